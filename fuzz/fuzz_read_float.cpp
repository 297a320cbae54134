// The scanner's fast number path against its general digit-by-digit path: the same bytes must
// give the same bits whether or not enough of the buffer follows for the fast path to run.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "objformat/text_scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string token(reinterpret_cast<const char*>(data), size);
    const std::string padded = token + std::string(64, ' ');
    tarvosk::TextScanner tight(token.data(), token.data() + token.size());
    tarvosk::TextScanner roomy(padded.data(), padded.data() + padded.size());
    for (bool crossLines : {false, true, false}) {
        const float a = tight.readFloat(crossLines);
        const float b = roomy.readFloat(crossLines);
        uint32_t bitsA, bitsB;
        std::memcpy(&bitsA, &a, 4);
        std::memcpy(&bitsB, &b, 4);
        if (bitsA != bitsB && !(std::isnan(a) && std::isnan(b))) std::abort();
        // The padding's blanks may be passed over once the token is used up.
        if (tight.offset() < token.size() && tight.offset() != roomy.offset()) std::abort();
    }
    return 0;
}
