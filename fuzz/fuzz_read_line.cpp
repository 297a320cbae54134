// Whole-line number reading against number-by-number reading: the first byte picks how many
// numbers, the rest is the line. Wherever the line is taken whole, the bits and the end must be
// those of the number-by-number reading, with the line alone in its buffer or followed by more.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "objformat/line_numbers.h"
#include "objformat/text_scanner.h"

namespace {

void check(const std::string& buffer, unsigned count) {
    const char* begin = buffer.data();
    const char* end = begin + buffer.size();
    float whole[tarvosk::scan::kMaxLineNumbers];
    const char* after = tarvosk::scan::readLineNumbers(begin, end, count, whole);
    if (!after) return;
    tarvosk::TextScanner one(begin, end);
    for (unsigned k = 0; k < count; ++k) {
        if (std::bit_cast<uint32_t>(one.readFloat(false)) != std::bit_cast<uint32_t>(whole[k])) {
            std::abort();
        }
    }
    if (one.position() != after) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const unsigned count = 1 + data[0] % tarvosk::scan::kMaxLineNumbers;
    const std::string line(reinterpret_cast<const char*>(data + 1), size - 1);
    check(line, count);
    check(line + "\n" + std::string(150, '5'), count);
    return 0;
}
