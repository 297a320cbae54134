// Shared body of the image-decoder fuzz targets: whatever a decoder accepts must come out with
// a sane size and exactly the pixel bytes its size, channels and row padding say, and the
// colour key must then give four channels without padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/texture.h"

inline int FuzzDecoder(bool (*decode)(const uint8_t*, size_t, tarvosk::ImageBuffer&),
                       const uint8_t* data, size_t size) {
    tarvosk::ImageBuffer image;
    if (!decode(data, size, image)) return 0;
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
