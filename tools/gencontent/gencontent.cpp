// Generates the plug-in's installed content from code, so no opaque binaries are committed:
//   TVKdefault.obj / .png / LIT.png     the default tug
//   GroundServices/GPU.obj / .png       the ground power unit cart
//   Bitmaps/TVKlogo.png                 the About window's logo
// Usage: tarvosk-gencontent OUTPUT_DIR
#include <png.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Rgba {
    unsigned char r, g, b, a;
};

bool writePng(const fs::path& path, int width, int height,
              const std::function<Rgba(int x, int y)>& pixel) {
    FILE* file = std::fopen(path.string().c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<unsigned char> row(static_cast<size_t>(width) * 4);
    bool ok = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                Rgba p = pixel(x, y);
                unsigned char* out = &row[static_cast<size_t>(x) * 4];
                out[0] = p.r, out[1] = p.g, out[2] = p.b, out[3] = p.a;
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

// A model built from axis-aligned boxes, each face mapped onto a horizontal band of the
// texture so the generated texture can colour parts differently.
struct Mesh {
    std::vector<std::array<float, 8>> vertices;
    std::vector<int> indices;

    void box(float x0, float y0, float z0, float x1, float y1, float z1, float t0, float t1) {
        struct Face {
            float n[3];
            float c[4][3];
        };
        const Face faces[6] = {
            {{0, 0, -1}, {{x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}}},
            {{0, 0, 1}, {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}}},
            {{-1, 0, 0}, {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}}},
            {{1, 0, 0}, {{x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}}},
            {{0, 1, 0}, {{x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}, {x0, y1, z0}}},
            {{0, -1, 0}, {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}}},
        };
        const float st[4][2] = {{0, t0}, {1, t0}, {1, t1}, {0, t1}};
        for (const Face& f : faces) {
            int base = static_cast<int>(vertices.size());
            for (int k = 0; k < 4; ++k)
                vertices.push_back(
                    {f.c[k][0], f.c[k][1], f.c[k][2], f.n[0], f.n[1], f.n[2], st[k][0], st[k][1]});
            for (int k : {0, 1, 2, 0, 2, 3}) indices.push_back(base + k);
        }
    }
};

bool writeObj(const fs::path& path, const std::string& texture, const std::string& litTexture,
              const Mesh& mesh) {
    FILE* f = std::fopen(path.string().c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "I\n800\nOBJ\n\nTEXTURE %s\n", texture.c_str());
    if (!litTexture.empty()) std::fprintf(f, "TEXTURE_LIT %s\n", litTexture.c_str());
    std::fprintf(f, "POINT_COUNTS %zu 0 0 %zu\n", mesh.vertices.size(), mesh.indices.size());
    for (const auto& v : mesh.vertices)
        std::fprintf(f, "VT %f %f %f %f %f %f %f %f\n", v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                     v[7]);
    size_t n = mesh.indices.size(), full = n - n % 10;
    for (size_t i = 0; i < n; ++i) {
        if (i < full) {
            if (i % 10 == 0) std::fputs("IDX10", f);
            std::fprintf(f, " %d", mesh.indices[i]);
            if (i % 10 == 9) std::fputc('\n', f);
        } else {
            std::fprintf(f, "IDX %d\n", mesh.indices[i]);
        }
    }
    std::fprintf(f, "\nATTR_LOD 0.000000 3000.000000\nTRIS 0 %zu\n", n);
    return std::fclose(f) == 0;
}

// Texture bands, top to bottom of the image: t in [0.5,1] body, [0.25,0.5] cab, [0,0.25] wheels.
Rgba tugPixel(int x, int y, int size, bool lit) {
    float t = 1.0f - (y + 0.5f) / size;
    bool stripe = ((x / 8) % 2) == 0;
    if (t >= 0.5f) {  // body: safety yellow with black chevrons along the bottom edge
        if (t < 0.58f) return stripe ? Rgba{20, 20, 20, 255} : Rgba{235, 190, 20, 255};
        return lit ? Rgba{60, 48, 8, 255} : Rgba{235, 190, 20, 255};
    }
    if (t >= 0.25f) {  // cab: windows, lit warm at night
        bool window = x % 32 > 4 && x % 32 < 28 && t > 0.32f && t < 0.45f;
        if (window) return lit ? Rgba{255, 230, 150, 255} : Rgba{60, 80, 100, 255};
        return lit ? Rgba{50, 40, 8, 255} : Rgba{220, 175, 20, 255};
    }
    return Rgba{25, 25, 25, 255};  // wheels and chassis
}

Rgba gpuPixel(int x, int y, int size) {
    float t = 1.0f - (y + 0.5f) / size;
    if (t >= 0.5f) return (x / 4) % 4 == 0 ? Rgba{90, 95, 100, 255} : Rgba{170, 175, 180, 255};
    if (t >= 0.25f) return Rgba{200, 60, 40, 255};  // panel and cable reel
    return Rgba{25, 25, 25, 255};
}

// The About window's logo: 361 x 256 (the picture shows its lower 361 x 246; a side of 256 is
// uploaded unpadded). "TARVOSK" in block letters over a tug, on a dark blue field.
const std::array<unsigned char, 7>& LogoGlyph(char c) {
    static const std::array<unsigned char, 7> kBlank{};
    static const struct {
        char c;
        std::array<unsigned char, 7> rows;
    } kGlyphs[] = {
        {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
        {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
        {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
        {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
        {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
        {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
        {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
        {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
        {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
        {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
        {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
        {'&', {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D}},
    };
    for (const auto& g : kGlyphs)
        if (g.c == c) return g.rows;
    return kBlank;
}

// Whether (x, y) falls on a dot of `text` drawn from (left, top) with `scale`-pixel dots.
bool OnText(const char* text, int left, int top, int scale, int x, int y) {
    if (x < left || y < top) return false;
    const int cell = 6 * scale;
    const int index = (x - left) / cell, col = ((x - left) % cell) / scale, row = (y - top) / scale;
    if (row >= 7 || col >= 5 || index >= static_cast<int>(std::char_traits<char>::length(text)))
        return false;
    return (LogoGlyph(text[index])[static_cast<size_t>(row)] >> (4 - col)) & 1;
}

Rgba logoPixel(int x, int y) {
    const Rgba yellow{250, 200, 30, 255}, black{15, 15, 20, 255}, white{235, 240, 250, 255};
    if (OnText("TARVOSK", 33, 40, 7, x, y)) return yellow;
    if (OnText("PUSHBACK & GPU", 55, 108, 3, x, y)) return white;
    // The tug: body, cab with a window, two wheels, on a grey apron line.
    const auto inBox = [&](int x0, int y0, int x1, int y1) {
        return x >= x0 && x < x1 && y >= y0 && y < y1;
    };
    const auto inWheel = [&](int cx, int cy, int r) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    };
    if (inWheel(135, 214, 14) || inWheel(226, 214, 14)) return black;
    if (inBox(150, 148, 190, 170)) return Rgba{120, 170, 220, 255};  // cab window
    if (inBox(110, 185, 252, 212) || inBox(142, 140, 198, 186)) return yellow;
    if (inBox(20, 226, 341, 230)) return Rgba{150, 150, 160, 255};
    // A dark blue field, lighter towards the top.
    const unsigned char shade = static_cast<unsigned char>(40 + (256 - y) / 6);
    return Rgba{15, 30, shade, 255};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const fs::path out = argv[1];
    std::error_code ec;
    fs::create_directories(out / "GroundServices", ec);
    fs::create_directories(out / "Bitmaps", ec);
    if (ec) {
        std::fprintf(stderr, "cannot create %s: %s\n", out.string().c_str(), ec.message().c_str());
        return 1;
    }

    Mesh tug;  // origin one metre above the ground, nose towards -z
    tug.box(-1.2f, -0.7f, -3.0f, 1.2f, 0.2f, 3.0f, 0.5f, 1.0f);  // body
    tug.box(-1.0f, 0.2f, 0.8f, 1.0f, 1.4f, 2.4f, 0.25f, 0.5f);   // cab
    for (float z : {-2.0f, 2.0f})
        for (float x : {-1.3f, 0.9f})
            tug.box(x, -1.0f, z - 0.45f, x + 0.4f, -0.1f, z + 0.45f, 0.0f, 0.25f);

    Mesh gpu;
    gpu.box(-0.6f, -0.6f, -1.0f, 0.6f, 0.6f, 1.0f, 0.5f, 1.0f);  // housing
    gpu.box(-0.5f, 0.6f, -0.3f, 0.5f, 0.9f, 0.3f, 0.25f, 0.5f);  // panel
    for (float z : {-0.7f, 0.7f})
        for (float x : {-0.7f, 0.55f})
            gpu.box(x, -1.0f, z - 0.2f, x + 0.15f, -0.6f, z + 0.2f, 0.0f, 0.25f);

    const int size = 128;
    bool ok = writeObj(out / "TVKdefault.obj", "TVKdefault.png", "TVKdefaultLIT.png", tug) &&
              writePng(out / "TVKdefault.png", size, size,
                       [&](int x, int y) { return tugPixel(x, y, size, false); }) &&
              writePng(out / "TVKdefaultLIT.png", size, size,
                       [&](int x, int y) { return tugPixel(x, y, size, true); }) &&
              writeObj(out / "GroundServices" / "GPU.obj", "GPU.png", "", gpu) &&
              writePng(out / "GroundServices" / "GPU.png", size, size,
                       [&](int x, int y) { return gpuPixel(x, y, size); }) &&
              writePng(out / "Bitmaps" / "TVKlogo.png", 361, 256, logoPixel);
    if (!ok) {
        std::fprintf(stderr, "failed to write content into %s\n", out.string().c_str());
        return 1;
    }
    return 0;
}
