// libFuzzer target: the PNG decoder on arbitrary bytes (checks in decoder_checks.h).
#include "decoder_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzDecoder(tarvosk::DecodePng, data, size);
}
