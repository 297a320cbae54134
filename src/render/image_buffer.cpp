// Helpers of the decoders that need neither GL nor the host: reading a picture file and the
// colour key.
#include <cstdio>

#include "platform/files.h"
#include "render/texture.h"

namespace tarvosk {

namespace {

// No picture we accept can come from a bigger file: 8192 x 8192 RGBA plus headers.
constexpr uint64_t kMaxFileSize = uint64_t{kMaxImageSide} * kMaxImageSide * 4 + (1u << 20);

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::FILE* file = platform::OpenFile(path, "rb");
    if (file == nullptr) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long end = ok ? std::ftell(file) : -1;
    ok = ok && end >= 0 && static_cast<uint64_t>(end) <= kMaxFileSize &&
         std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(end));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!ok) bytes.clear();
    return ok;
}

void ApplyColourKey(ImageBuffer& image) {
    if (image.channels != 3) return;
    const size_t rowBytes = size_t{image.width} * 3 + image.rowPadding;
    std::vector<uint8_t> rgba(size_t{image.width} * image.height * 4);
    uint8_t* out = rgba.data();
    for (uint32_t row = 0; row < image.height; ++row) {
        const uint8_t* in = image.pixels.data() + row * rowBytes;
        for (uint32_t column = 0; column < image.width; ++column, in += 3, out += 4) {
            if (in[0] == 255 && in[1] == 0 && in[2] == 255) {
                out[0] = out[1] = out[2] = out[3] = 0;
            } else {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = 255;
            }
        }
    }
    image.pixels = std::move(rgba);
    image.rowPadding = 0;
    image.channels = 4;
}

}  // namespace tarvosk
