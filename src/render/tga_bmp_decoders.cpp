// Uncompressed true-colour TGA and 24-bit BMP decoders.
//
// Header counts are never trusted: the pixel bytes a header asks for are checked, in 64-bit
// arithmetic, against the bytes the file really holds before anything is allocated.
#include <algorithm>
#include <cstring>

#include "render/texture.h"

namespace tarvosk {

namespace {

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

int32_t Le32Signed(const uint8_t* p) {
    return static_cast<int32_t>(Le32(p));
}

// B, G, R[, A] to R, G, B[, A] on `count` pixels of `channels` bytes.
void SwapRedBlue(uint8_t* pixel, uint64_t count, unsigned channels) {
    for (uint64_t i = 0; i < count; ++i, pixel += channels) std::swap(pixel[0], pixel[2]);
}

constexpr uint8_t kTgaHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr size_t kTgaHeaderSize = 18;
constexpr size_t kBmpHeadersSize = 14 + 40;

}  // namespace

bool DecodeTga(const uint8_t* data, size_t size, ImageBuffer& image) {
    // No image ID, no colour map, image type 2 (uncompressed true colour), origin 0.
    if (data == nullptr || size < kTgaHeaderSize) return false;
    if (std::memcmp(data, kTgaHeader, sizeof kTgaHeader) != 0) return false;
    const uint32_t width = Le16(data + 12);
    const uint32_t height = Le16(data + 14);
    const unsigned bits = data[16];
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) {
        return false;
    }
    if (bits != 24 && bits != 32) return false;

    const unsigned channels = bits / 8;
    const uint64_t pixelBytes = uint64_t{width} * height * channels;
    if (pixelBytes > size - kTgaHeaderSize) return false;

    // Rows are taken bottom-up as stored; the descriptor's origin bit is not consulted.
    std::vector<uint8_t> pixels(data + kTgaHeaderSize, data + kTgaHeaderSize + pixelBytes);
    SwapRedBlue(pixels.data(), uint64_t{width} * height, channels);

    image.pixels = std::move(pixels);
    image.width = width;
    image.height = height;
    image.rowPadding = 0;
    image.channels = static_cast<uint16_t>(channels);
    return true;
}

bool DecodeBmp(const uint8_t* data, size_t size, ImageBuffer& image) {
    if (data == nullptr || size < kBmpHeadersSize) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;
    const uint8_t* info = data + 14;
    const int32_t width = Le32Signed(info + 4);
    const int32_t height = Le32Signed(info + 8);  // negative: top-down rows, not supported
    const unsigned bits = Le16(info + 14);
    if (bits != 24) return false;
    if (width <= 0 || height <= 0) return false;
    if (static_cast<uint32_t>(width) > kMaxImageSide ||
        static_cast<uint32_t>(height) > kMaxImageSide) {
        return false;
    }

    const uint64_t w = static_cast<uint64_t>(width);
    const uint64_t h = static_cast<uint64_t>(height);
    // The file-size field minus the pixel-data offset must cover the pixels it promises.
    const uint64_t fileSizeField = Le32(data + 2);
    const uint64_t pixelOffset = Le32(data + 10);
    if (fileSizeField < pixelOffset || fileSizeField - pixelOffset < w * h * 3) return false;

    const uint64_t stride = (w * 3 + 3) / 4 * 4;
    // Pixels start at the header's offset (a palette or a larger header may come first);
    // files that point inside the two headers have their pixels right after them.
    const uint64_t start = pixelOffset >= kBmpHeadersSize ? pixelOffset : kBmpHeadersSize;
    if (start > size || stride * h > size - start) return false;

    std::vector<uint8_t> pixels(data + start, data + start + stride * h);
    for (uint64_t row = 0; row < h; ++row) {
        SwapRedBlue(pixels.data() + row * stride, w, 3);
    }

    image.pixels = std::move(pixels);
    image.width = static_cast<uint32_t>(width);
    image.height = static_cast<uint32_t>(height);
    image.rowPadding = static_cast<uint32_t>(stride - w * 3);
    image.channels = 3;
    return true;
}

}  // namespace tarvosk
