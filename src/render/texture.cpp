// File loaders, the colour key, the upload with its power-of-two rule, and the quad drawing.
#include "render/texture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

#include "render/lighting.h"
#include "xplm/host.h"

namespace tarvosk {

namespace {

using Decoder = bool (*)(const uint8_t*, size_t, ImageBuffer&);

// The loaders' common ending: the picture becomes the texture's, uploaded when asked.
bool LoadTexture(Texture& texture, const std::string& path, Decoder decode, bool colourKey) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    ImageBuffer image;
    if (!decode(bytes.data(), bytes.size(), image)) return false;
    bytes = {};
    if (colourKey) ApplyColourKey(image);

    texture.pixels = std::move(image.pixels);
    texture.bitsPerPixel = image.channels * 8;
    texture.width = texture.imageWidth = image.width;
    texture.height = texture.imageHeight = image.height;
    if (texture.uploadOnLoad) UploadTexture(texture);
    return true;
}

// Smallest power of two from 2 to kMaxImageSide not below `side` (sides are limited to it).
uint32_t PowerOfTwoAtLeast(uint32_t side) {
    uint32_t p = 2;
    while (p < side && p < kMaxImageSide) p *= 2;
    return p;
}

bool IsPowerOfTwoSide(uint32_t side) {
    return side >= 2 && side <= kMaxImageSide && (side & (side - 1)) == 0;
}

}  // namespace

bool LoadPngTexture(Texture& texture, const std::string& path) {
    return LoadTexture(texture, path, DecodePng, true);
}

bool LoadTgaTexture(Texture& texture, const std::string& path) {
    return LoadTexture(texture, path, DecodeTga, false);
}

bool LoadBmpTexture(Texture& texture, const std::string& path) {
    return LoadTexture(texture, path, DecodeBmp, true);
}

void UploadTexture(Texture& texture) {
    XPLMSetGraphicsState(0, 0, 0, 1, 1, 0, 0);
    int number = 0;
    XPLMGenerateTextureNumbers(&number, 1);
    texture.textureNumber = number;
    XPLMBindTexture2d(number, 0);

    const GLenum format = texture.bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    const uint32_t channels = texture.bitsPerPixel == 24 ? 3 : 4;
    const bool ownSize = IsPowerOfTwoSide(texture.width) || IsPowerOfTwoSide(texture.height);
    if (!ownSize) {
        const uint32_t w2 = PowerOfTwoAtLeast(texture.width);
        const uint32_t h2 = PowerOfTwoAtLeast(texture.height);
        const size_t canvasRow = (size_t{w2} * channels + 3) / 4 * 4;
        const size_t imageRow = size_t{texture.width} * channels;
        // Zeroed: the margin around the picture must not show stale memory when sampled.
        std::vector<uint8_t> canvas(canvasRow * h2, 0);
        const size_t firstRow = h2 - texture.height;  // the picture's top rows end the canvas
        for (uint32_t row = 0; row < texture.height; ++row) {
            std::copy_n(texture.pixels.data() + row * imageRow, imageRow,
                        canvas.data() + (firstRow + row) * canvasRow);
        }
        texture.pixels = std::move(canvas);
        texture.width = w2;
        texture.height = h2;
    }

    XPLMBindTexture2d(number, 0);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Unpadded RGB rows of a side that is not a multiple of 4 bytes must not be read with
    // GL's default 4-byte row alignment, which would run past the end of the pixels.
    const bool tightRows = ownSize && (size_t{texture.width} * channels) % 4 != 0;
    if (tightRows) glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(texture.width),
                 static_cast<GLsizei>(texture.height), 0, format, GL_UNSIGNED_BYTE,
                 texture.pixels.data());
    if (tightRows) glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGetError();  // upload errors are cleared, not reported
    texture.pixels = {};
}

void DrawTexturedQuad(const Texture& texture, float s0, float t0, float s1, float t1, int x, int y,
                      int w, int h, float angle) {
    XPLMSetGraphicsState(0, 1, 0, 0, 1, 0, 0);
    XPLMBindTexture2d(texture.textureNumber, 0);
    glColor4f(1.0f, 1.0f, 1.0f, PanelAlpha());

    // A texture never uploaded has no size; draw it with the coordinates as given.
    const float tw = texture.width != 0 ? static_cast<float>(texture.width) : 1.0f;
    const float th = texture.height != 0 ? static_cast<float>(texture.height) : 1.0f;
    s0 /= tw;
    s1 /= tw;
    t0 /= th;
    t1 /= th;

    const bool turned = angle != 0.0f;
    if (turned) {
        const float cx = static_cast<float>(x + w / 2);
        const float cy = static_cast<float>(y + h / 2);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glTranslatef(cx, cy, 0.0f);
        glRotatef(angle, 0.0f, 0.0f, 1.0f);
        glTranslatef(-cx, -cy, 0.0f);
    }
    const auto fx = static_cast<float>(x);
    const auto fy = static_cast<float>(y);
    const auto fx2 = static_cast<float>(x + w);
    const auto fy2 = static_cast<float>(y + h);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(fx, fy);
    glTexCoord2f(s0, t1);
    glVertex2f(fx, fy2);
    glTexCoord2f(s1, t1);
    glVertex2f(fx2, fy2);
    glTexCoord2f(s1, t0);
    glVertex2f(fx2, fy);
    glEnd();
    if (turned) glPopMatrix();
}

}  // namespace tarvosk
