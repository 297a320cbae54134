// Small pictures made in memory for the decoder tests.
#pragma once

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvosk::testing {

using Bytes = std::vector<uint8_t>;

// Pixel (x, y) of a w x h test pattern, y counted from the top, RGB(A).
inline void patternPixel(uint32_t x, uint32_t y, uint8_t* out, int channels) {
    out[0] = static_cast<uint8_t>(x * 7 + 1);
    out[1] = static_cast<uint8_t>(y * 13 + 2);
    out[2] = static_cast<uint8_t>((x + y) * 3 + 3);
    if (channels == 4) out[3] = static_cast<uint8_t>(255 - x);
}

// Top-down pixels of the pattern, tightly packed.
inline Bytes pattern(uint32_t w, uint32_t h, int channels) {
    Bytes out(size_t{w} * h * channels);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            patternPixel(x, y, out.data() + (size_t{y} * w + x) * channels, channels);
        }
    }
    return out;
}

// A PNG written with libpng's own writer. `rows` are top-down and packed as the colour type
// and bit depth say (16-bit samples big-endian). `gamma` > 0 writes a gAMA chunk (none
// otherwise, so the reader's default file gamma applies); `palette` (RGB triples) and
// `transparency` (tRNS bytes) are written when not empty.
inline Bytes makePng(uint32_t w, uint32_t h, int colourType, int bitDepth, const Bytes& rows,
                     double gamma = -1.0, const Bytes& palette = {},
                     const Bytes& transparency = {}) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            auto* target = static_cast<Bytes*>(png_get_io_ptr(p));
            target->insert(target->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, w, h, bitDepth, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (gamma > 0) png_set_gAMA(png, info, gamma);
    std::vector<png_color> entries;
    for (size_t i = 0; i + 2 < palette.size(); i += 3) {
        entries.push_back({palette[i], palette[i + 1], palette[i + 2]});
    }
    if (!entries.empty()) png_set_PLTE(png, info, entries.data(), static_cast<int>(entries.size()));
    Bytes trns = transparency;
    if (!trns.empty()) {
        if (colourType == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
        } else {
            png_color_16 colour{};
            colour.gray = trns[0];
            colour.red = trns[0];
            colour.green = trns.size() > 1 ? trns[1] : 0;
            colour.blue = trns.size() > 2 ? trns[2] : 0;
            png_set_tRNS(png, info, nullptr, 0, &colour);
        }
    }
    png_write_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    for (uint32_t y = 0; y < h; ++y) {
        png_write_row(png, const_cast<png_bytep>(rows.data() + y * rowBytes));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// An 8-bit RGB or RGBA PNG whose gamma the reader leaves alone (file gamma 1/2.2).
inline Bytes makeNeutralPng(uint32_t w, uint32_t h, int channels, const Bytes& topDown) {
    return makePng(w, h, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, 8, topDown,
                   1.0 / 2.2);
}

inline void put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

inline void put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// An uncompressed TGA: rows bottom-up, pixels B G R [A], as the file stores them.
inline Bytes makeTga(uint32_t w, uint32_t h, int bits, const Bytes& topDown) {
    const int channels = bits / 8;
    Bytes out(18, 0);
    out[2] = 2;
    put16(out, 12, w);
    put16(out, 14, h);
    out[16] = static_cast<uint8_t>(bits);
    for (uint32_t row = 0; row < h; ++row) {
        const uint8_t* in = topDown.data() + size_t{h - 1 - row} * w * channels;
        for (uint32_t x = 0; x < w; ++x, in += channels) {
            out.push_back(in[2]);
            out.push_back(in[1]);
            out.push_back(in[0]);
            if (channels == 4) out.push_back(in[3]);
        }
    }
    return out;
}

// A 24-bit BMP: rows bottom-up, padded to 4 bytes, pixels B G R; `gap` extra bytes between
// the headers and the pixels (as a palette would leave).
inline Bytes makeBmp(int32_t w, int32_t h, const Bytes& topDown, uint32_t gap = 0) {
    const uint32_t uw = static_cast<uint32_t>(w);
    const uint32_t uh = static_cast<uint32_t>(h < 0 ? -h : h);
    const uint32_t stride = (uw * 3 + 3) / 4 * 4;
    Bytes out(54 + gap, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, 54 + gap + stride * uh);
    put32(out, 10, 54 + gap);
    put32(out, 14, 40);
    put32(out, 18, static_cast<uint32_t>(w));
    put32(out, 22, static_cast<uint32_t>(h));
    put16(out, 26, 1);
    put16(out, 28, 24);
    for (uint32_t row = 0; row < uh; ++row) {
        const uint8_t* in = topDown.data() + size_t{uh - 1 - row} * uw * 3;
        for (uint32_t x = 0; x < uw; ++x, in += 3) {
            out.push_back(in[2]);
            out.push_back(in[1]);
            out.push_back(in[0]);
        }
        for (uint32_t pad = uw * 3; pad < stride; ++pad) out.push_back(0xEE);
    }
    return out;
}

// Bottom-up copy of top-down rows, as the decoders deliver them.
inline Bytes flipRows(const Bytes& rows, uint32_t w, uint32_t h, int channels) {
    Bytes out(rows.size());
    const size_t row = size_t{w} * channels;
    for (uint32_t y = 0; y < h; ++y) {
        std::copy_n(rows.data() + y * row, row, out.data() + (h - 1 - y) * row);
    }
    return out;
}

}  // namespace tarvosk::testing
