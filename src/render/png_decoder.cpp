// PNG decoding through libpng, from a copy of the file in memory.
//
// libpng reports errors by longjmp to png_jmpbuf. The jump must never cross a C++ frame with
// live destructors, so every libpng call that can fail runs inside a small helper that owns
// only plain data and sets its own jump point; buffers are allocated between the helpers.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "render/texture.h"

namespace tarvosk {

namespace {

constexpr double kScreenGamma = 2.2;
constexpr double kDefaultFileGamma = 1.0 / 1.8;

// The read cursor of one decode; it travels with the decode through libpng's io pointer, so
// two decodes never share it.
struct MemoryCursor {
    const uint8_t* current;
    const uint8_t* end;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* cursor = static_cast<MemoryCursor*>(png_get_io_ptr(png));
    if (cursor == nullptr || length > static_cast<size_t>(cursor->end - cursor->current)) {
        png_error(png, "PNG Read Error, overran end of buffer!");
    }
    std::memcpy(out, cursor->current, length);
    cursor->current += length;
}

// Both callbacks return without acting: libpng's default handler then reports the error on
// the standard error stream and returns to the jump point; warnings are dropped.
void IgnoreError(png_structp, png_const_charp) {}
void IgnoreWarning(png_structp, png_const_charp) {}

struct PngDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    MemoryCursor cursor{};
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int channels = 0;
    size_t rowBytes = 0;
};

// Reads the header and sets up the transformations. Plain data only: see the file comment.
bool ReadHeader(PngDecode& d) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_set_read_fn(d.png, &d.cursor, ReadFromMemory);
    png_set_sig_bytes(d.png, 8);
    png_read_info(d.png, d.info);

    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(d.png, d.info, &d.width, &d.height, &bitDepth, &colourType, nullptr, nullptr,
                 nullptr);
    if (d.width == 0 || d.height == 0 || d.width > kMaxImageSide || d.height > kMaxImageSide) {
        return false;
    }

    double fileGamma = kDefaultFileGamma;
    if (!png_get_gAMA(d.png, d.info, &fileGamma)) fileGamma = kDefaultFileGamma;
    png_set_gamma(d.png, kScreenGamma, fileGamma);

    const bool hasTransparency = png_get_valid(d.png, d.info, PNG_INFO_tRNS) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE && bitDepth <= 8) png_set_expand(d.png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand(d.png);
    if (hasTransparency) png_set_expand(d.png);
    if (bitDepth == 16) png_set_strip_16(d.png);
    if (bitDepth < 8) png_set_packing(d.png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(d.png);
    }
    png_set_interlace_handling(d.png);

    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY_ALPHA:
        case PNG_COLOR_TYPE_RGB_ALPHA:
            d.channels = 4;
            break;
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_RGB:
        case PNG_COLOR_TYPE_PALETTE:
            d.channels = hasTransparency ? 4 : 3;
            break;
        default:
            return false;
    }

    png_read_update_info(d.png, d.info);
    d.rowBytes = png_get_rowbytes(d.png, d.info);
    return true;
}

bool ReadRows(PngDecode& d, png_bytepp rows) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_read_image(d.png, rows);
    return true;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, ImageBuffer& image) {
    if (data == nullptr || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;

    PngDecode d;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, IgnoreError, IgnoreWarning);
    if (d.png == nullptr) return false;
    d.info = png_create_info_struct(d.png);
    struct Cleanup {
        PngDecode& d;
        ~Cleanup() { png_destroy_read_struct(&d.png, d.info ? &d.info : nullptr, nullptr); }
    } cleanup{d};
    if (d.info == nullptr) return false;

    d.cursor = {data + 8, data + size};
    if (!ReadHeader(d)) return false;

    // The row layout libpng will write must be exactly what we allocate for.
    const uint64_t rowBytes = uint64_t{d.width} * static_cast<uint64_t>(d.channels);
    if (d.rowBytes != rowBytes) return false;

    std::vector<uint8_t> pixels(static_cast<size_t>(rowBytes * d.height));
    std::vector<png_bytep> rows(d.height);
    for (png_uint_32 i = 0; i < d.height; ++i) {
        // Bottom-up: the picture's top row lands last in memory.
        rows[i] = pixels.data() + static_cast<size_t>(d.height - 1 - i) * rowBytes;
    }
    if (!ReadRows(d, rows.data())) return false;

    image.pixels = std::move(pixels);
    image.width = d.width;
    image.height = d.height;
    image.rowPadding = 0;
    image.channels = static_cast<uint16_t>(d.channels);
    return true;
}

}  // namespace tarvosk
