// libFuzzer target: the TGA decoder on arbitrary bytes. Whatever it accepts must come out
// with a sane size and exactly the pixel bytes its size, channels and row padding say.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarvosk::ImageBuffer image;
    if (!tarvosk::DecodeTga(data, size, image)) return 0;
    const size_t row = size_t{image.width} * image.channels + image.rowPadding;
    if (image.width == 0 || image.height == 0 || image.width > tarvosk::kMaxImageSide ||
        image.height > tarvosk::kMaxImageSide || (image.channels != 3 && image.channels != 4) ||
        image.pixels.size() != row * image.height) {
        std::abort();
    }
    tarvosk::ApplyColourKey(image);
    if (image.channels != 4 || image.pixels.size() != size_t{image.width} * image.height * 4) {
        std::abort();
    }
    return 0;
}
