// Pictures: PNG, uncompressed TGA and 24-bit BMP decoders, their upload as host GL textures,
// and the drawing of a texture as a flat (optionally turned) quad.
//
// Every decoder takes hostile input: sizes are checked against the bytes really present,
// in 64-bit arithmetic, before anything is allocated, and pictures wider or taller than
// kMaxImageSide are refused. Everything runs on the host's main thread; uploads and drawing
// need the host's GL context to be current.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvosk {

// The largest side a texture may have: the upload's power-of-two walk stops here.
constexpr uint32_t kMaxImageSide = 8192;

// One decoded picture, alive only during a load.
struct ImageBuffer {
    std::vector<uint8_t> pixels;  // rows bottom-up, pixels R G B [A]
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rowPadding = 0;  // bytes after each row (BMP rows are padded to 4 bytes)
    uint16_t channels = 0;    // 3 or 4
};

// One picture as a host texture. `pixels` is held only between a decode and its upload.
struct Texture {
    std::vector<uint8_t> pixels;
    int32_t bitsPerPixel = 0;  // 24 (RGB) or 32 (RGBA)
    uint32_t width = 0;        // size of the GL texture (the padded canvas when padded)
    uint32_t height = 0;
    uint32_t imageWidth = 0;  // size of the picture inside the texture
    uint32_t imageHeight = 0;
    int32_t textureNumber = 0;  // GL texture of the last upload, 0 before any
    bool uploadOnLoad = false;  // upload as soon as a picture is decoded
};

// In-memory decoders: bytes in, picture out. False (and `image` untouched) when the bytes are
// not a picture this decoder accepts. The PNG decoder gives 3 or 4 channels as the file's
// colour type and transparency say; the TGA decoder 3 or 4 with the file's own alpha; the BMP
// decoder 3 channels with padded rows. No colour key is applied here.
bool DecodePng(const uint8_t* data, size_t size, ImageBuffer& image);
bool DecodeTga(const uint8_t* data, size_t size, ImageBuffer& image);
bool DecodeBmp(const uint8_t* data, size_t size, ImageBuffer& image);

// File loaders: decode `path`, apply the format's colour rule (PNG and BMP: magenta is
// transparent; TGA: none), fill `texture` and, when `uploadOnLoad` is set, upload it.
// False leaves the texture unchanged and creates no texture number.
bool LoadPngTexture(Texture& texture, const std::string& path);
bool LoadTgaTexture(Texture& texture, const std::string& path);
bool LoadBmpTexture(Texture& texture, const std::string& path);

// Turns a 3-channel picture into an unpadded 4-channel one: (255, 0, 255) becomes fully
// transparent black, every other pixel opaque. A 4-channel picture is left alone.
void ApplyColourKey(ImageBuffer& image);

// Creates a host texture from `texture.pixels`, sets `textureNumber` and releases the pixels.
// Sides that are not powers of two (both of them) are padded into a zeroed power-of-two
// canvas with the picture in its top-left corner.
void UploadTexture(Texture& texture);

// Draws the source rectangle (s0, t0)-(s1, t1), in texture pixels, onto the screen rectangle
// with its lower-left corner at (x, y) and size w x h, turned by `angle` degrees about its
// centre. Dimmed to alpha 0.4 while the host draws transparent panels.
void DrawTexturedQuad(const Texture& texture, float s0, float t0, float s1, float t1, int x, int y,
                      int w, int h, float angle);

// Reads a whole file into `bytes`. False when it cannot be opened or read completely, or is
// larger than any picture we accept could be.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace tarvosk
