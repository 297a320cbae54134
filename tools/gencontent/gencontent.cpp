// Generates the plug-in's installed content from code, so no opaque binaries are committed:
//   TVKdefault.obj / .png / LIT.png     the default tug
//   GroundServices/GPU.obj / .png / LIT.png   the ground power unit cart
//   Bitmaps/TVKlogo.png                 the About window's logo
// Usage: tarvosk-gencontent OUTPUT_DIR
//
// Both objects are placed one metre above the ground (the ground is at y = -1 in the object)
// and turned like the aircraft, so -z is the aircraft's forward direction. The tug's origin is
// the pushed gear: its tow bar runs from there forwards to the tug, which stands ahead of the
// aircraft facing it (its front, headlights and cab toward +z), as real tugs do: it drives up
// to the gear and pushes the aircraft back driving forwards. The cart stands ahead and right
// of the nose gear with its tow bar aft and its cable reaching left, across to the nose gear.
// docs/making-trucks.md explains the rules for anyone building another truck.
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

constexpr double kPi = 3.14159265358979323846;

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

// A rectangle of the texture atlas in pixels (y down), as the faces that use it see it.
struct Region {
    int x0, y0, x1, y1;
};

using V3 = std::array<double, 3>;

// A model of flat faces and cylinders, each face mapped onto a region of a 256x256 atlas.
struct Mesh {
    static constexpr double kAtlas = 256.0;
    std::vector<std::array<float, 8>> vertices;
    std::vector<int> indices;

    int add(const V3& p, const V3& n, double u, double v) {
        vertices.push_back({static_cast<float>(p[0]), static_cast<float>(p[1]),
                            static_cast<float>(p[2]), static_cast<float>(n[0]),
                            static_cast<float>(n[1]), static_cast<float>(n[2]),
                            static_cast<float>(u / kAtlas), static_cast<float>(1.0 - v / kAtlas)});
        return static_cast<int>(vertices.size()) - 1;
    }

    // A quad given bottom-left, bottom-right, top-right, top-left as seen from outside (away
    // from `inside`), so it winds counter-clockwise from outside; the region is laid on it.
    void quad(V3 bl, V3 br, V3 tr, V3 tl, const Region& r, const V3& inside) {
        V3 a{br[0] - bl[0], br[1] - bl[1], br[2] - bl[2]};
        V3 b{tl[0] - bl[0], tl[1] - bl[1], tl[2] - bl[2]};
        V3 n{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
        double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (len <= 0) return;
        for (double& c : n) c /= len;
        V3 centre{(bl[0] + tr[0]) / 2, (bl[1] + tr[1]) / 2, (bl[2] + tr[2]) / 2};
        if (n[0] * (centre[0] - inside[0]) + n[1] * (centre[1] - inside[1]) +
                n[2] * (centre[2] - inside[2]) <
            0) {
            std::swap(bl, br);  // mirror the face so that it faces outwards
            std::swap(tl, tr);
            for (double& c : n) c = -c;
        }
        const double in = 0.5;  // keep samples inside the region
        int i0 = add(bl, n, r.x0 + in, r.y1 - in), i1 = add(br, n, r.x1 - in, r.y1 - in);
        int i2 = add(tr, n, r.x1 - in, r.y0 + in), i3 = add(tl, n, r.x0 + in, r.y0 + in);
        indices.insert(indices.end(), {i0, i1, i2, i0, i2, i3});
    }

    // An axis-aligned box; a region per face: left (-x), right (+x), front (-z), rear (+z),
    // top, bottom. Front is the object's forward end.
    void box(double x0, double y0, double z0, double x1, double y1, double z1, const Region& left,
             const Region& right, const Region& front, const Region& rear, const Region& top,
             const Region& bottom) {
        const V3 c{(x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2};
        quad({x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}, left, c);
        quad({x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, right, c);
        quad({x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, front, c);
        quad({x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}, rear, c);
        quad({x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}, {x0, y1, z0}, top, c);
        quad({x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}, bottom, c);
    }
    void box(double x0, double y0, double z0, double x1, double y1, double z1, const Region& all) {
        box(x0, y0, z0, x1, y1, z1, all, all, all, all, all, all);
    }

    // A bar of square section `w` from a to b (tow bars, cables).
    void bar(const V3& a, const V3& b, double w, const Region& r) {
        V3 d{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (len <= 0) return;
        for (double& c : d) c /= len;
        // Two directions across the bar.
        V3 up{0, 1, 0};
        if (std::fabs(d[1]) > 0.9) up = {1, 0, 0};
        V3 s{d[1] * up[2] - d[2] * up[1], d[2] * up[0] - d[0] * up[2], d[0] * up[1] - d[1] * up[0]};
        double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
        for (double& c : s) c /= sl;
        V3 t{s[1] * d[2] - s[2] * d[1], s[2] * d[0] - s[0] * d[2], s[0] * d[1] - s[1] * d[0]};
        auto corner = [&](const V3& p, double i, double j) {
            return V3{p[0] + (s[0] * i + t[0] * j) * w / 2, p[1] + (s[1] * i + t[1] * j) * w / 2,
                      p[2] + (s[2] * i + t[2] * j) * w / 2};
        };
        V3 mid{(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
        const double sides[5][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
        for (int k = 0; k < 4; ++k) {
            const double *p = sides[k], *q = sides[k + 1];
            quad(corner(a, p[0], p[1]), corner(a, q[0], q[1]), corner(b, q[0], q[1]),
                 corner(b, p[0], p[1]), r, mid);
        }
    }

    // A wheel turning about x: tread from `tyre`, both sides from `hub` (a disc in the region).
    void wheel(double x, double y, double z, double radius, double width, const Region& tyre,
               const Region& hub) {
        const int sides = 14;
        const V3 centre{x, y, z};
        for (int s = 0; s < sides; ++s) {
            double a0 = 2 * kPi * s / sides, a1 = 2 * kPi * (s + 1) / sides;
            auto at = [&](double a, double dx) {
                return V3{x + dx, y + radius * std::cos(a), z + radius * std::sin(a)};
            };
            Region strip{tyre.x0 + (tyre.x1 - tyre.x0) * s / sides, tyre.y0,
                         tyre.x0 + (tyre.x1 - tyre.x0) * (s + 1) / sides, tyre.y1};
            quad(at(a0, -width / 2), at(a0, width / 2), at(a1, width / 2), at(a1, -width / 2),
                 strip, centre);
        }
        const double hu = (hub.x0 + hub.x1) / 2.0, hv = (hub.y0 + hub.y1) / 2.0;
        const double hr = (hub.x1 - hub.x0) / 2.0 - 1;
        for (int side = -1; side <= 1; side += 2) {
            const double sx = x + side * width / 2;
            const V3 n{static_cast<double>(side), 0, 0};
            int c = add({sx, y, z}, n, hu, hv);
            std::vector<int> rim;
            for (int s = 0; s <= sides; ++s) {
                double a = 2 * kPi * s / sides;
                rim.push_back(add({sx, y + radius * std::cos(a), z + radius * std::sin(a)}, n,
                                  hu + hr * std::sin(a), hv - hr * std::cos(a)));
            }
            for (int s = 0; s < sides; ++s)
                if (side > 0)
                    indices.insert(indices.end(), {c, rim[s], rim[s + 1]});
                else
                    indices.insert(indices.end(), {c, rim[s + 1], rim[s]});
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

bool in(const Region& r, int x, int y) {
    return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1;
}

// ---- The tug ------------------------------------------------------------------------------
// Atlas (pixels, y down): body side, body top, front with headlights, rear with tail lights,
// cab sides, cab front and back, cab roof, beacon, tyre tread, hub, tow bar, chassis.
const Region kTugSide{0, 0, 256, 64}, kTugTop{0, 64, 128, 128}, kTugFront{128, 64, 192, 128},
    kTugRear{192, 64, 256, 128}, kCabSide{0, 128, 96, 192}, kCabEnd{96, 128, 160, 192},
    kCabRoof{160, 128, 208, 160}, kBeacon{208, 128, 256, 160}, kTyre{0, 192, 96, 224},
    kHub{96, 192, 128, 224}, kTowBar{128, 192, 256, 208}, kChassis{128, 224, 256, 256},
    kBumper{160, 160, 256, 192};

const Rgba kYellow{236, 188, 22, 255}, kDarkYellow{196, 152, 16, 255}, kBlack{22, 22, 24, 255},
    kGlass{52, 72, 92, 255}, kUnlit{0, 0, 0, 255};

Rgba shade(Rgba c, float k) {
    auto f = [k](unsigned char v) {
        return static_cast<unsigned char>(std::fmin(255.0f, static_cast<float>(v) * k));
    };
    return {f(c.r), f(c.g), f(c.b), 255};
}

// Is (x, y) on a lamp: headlights on the front, tail lights on the rear, side markers, the
// beacon. `warm`/`red`/`amber` say which colour it glows in.
enum class Lamp { None, Head, Tail, Marker, Beacon, Cab };

Lamp tugLamp(int x, int y) {
    if (in(kTugFront, x, y)) {
        int lx = x - kTugFront.x0, ly = y - kTugFront.y0;
        if (ly >= 14 && ly < 28 && ((lx >= 4 && lx < 18) || (lx >= 46 && lx < 60)))
            return Lamp::Head;
    }
    if (in(kTugRear, x, y)) {
        int lx = x - kTugRear.x0, ly = y - kTugRear.y0;
        if (ly >= 14 && ly < 24 && ((lx >= 4 && lx < 14) || (lx >= 50 && lx < 60)))
            return Lamp::Tail;
    }
    if (in(kTugSide, x, y)) {
        int lx = x - kTugSide.x0, ly = y - kTugSide.y0;
        if (ly >= 16 && ly < 22 && ((lx >= 6 && lx < 14) || (lx >= 242 && lx < 250)))
            return Lamp::Marker;
    }
    if (in(kBeacon, x, y)) return Lamp::Beacon;
    if (in(kCabSide, x, y) || in(kCabEnd, x, y)) {
        const Region& r = in(kCabSide, x, y) ? kCabSide : kCabEnd;
        int lx = x - r.x0, ly = y - r.y0, w = r.x1 - r.x0;
        if (lx >= 6 && lx < w - 6 && ly >= 6 && ly < 38) return Lamp::Cab;
    }
    return Lamp::None;
}

Rgba tugDay(int x, int y) {
    switch (tugLamp(x, y)) {
        case Lamp::Head:
            return {235, 235, 225, 255};
        case Lamp::Tail:
            return {170, 30, 24, 255};
        case Lamp::Marker:
            return {230, 120, 20, 255};
        case Lamp::Beacon:
            return {240, 140, 20, 255};
        case Lamp::Cab:
            return kGlass;
        case Lamp::None:
            break;
    }
    if (in(kTugSide, x, y)) {
        int ly = y - kTugSide.y0;
        if (ly >= 50) return ((x + ly) / 8) % 2 ? kBlack : kYellow;  // hazard chevrons
        if (ly >= 46) return kBlack;
        // Engine-bay louvres and the maker's lettering panel.
        if (x >= 150 && x < 220 && ly >= 14 && ly < 36 && (ly % 5) < 2)
            return shade(kYellow, 0.55f);
        if (x >= 40 && x < 110 && ly >= 14 && ly < 34) return shade(kYellow, 0.86f);
        return ly < 3 ? shade(kYellow, 0.8f) : kYellow;
    }
    if (in(kTugTop, x, y)) {
        int lx = x - kTugTop.x0, ly = y - kTugTop.y0;
        bool plate = lx > 8 && lx < 120 && ly > 8 && ly < 56;
        if (plate && (lx + ly) % 6 == 0) return shade(kYellow, 0.7f);
        return plate ? kDarkYellow : kYellow;
    }
    if (in(kTugFront, x, y) || in(kTugRear, x, y)) {
        int ly = y - 64;
        if (ly >= 44) return kBlack;  // bumper
        if (in(kTugRear, x, y) && ly >= 28 && x >= 214 && x < 234) return shade(kBlack, 2.5f);
        return kYellow;
    }
    if (in(kCabSide, x, y) || in(kCabEnd, x, y)) return kYellow;
    if (in(kCabRoof, x, y)) return {232, 232, 226, 255};
    if (in(kTyre, x, y)) return (x % 6) < 2 ? Rgba{14, 14, 14, 255} : Rgba{34, 34, 36, 255};
    if (in(kHub, x, y)) {
        double dx = x - 111.5, dy = y - 207.5, r = std::sqrt(dx * dx + dy * dy);
        if (r < 6) return {90, 90, 92, 255};
        if (r < 11) return kYellow;
        return {30, 30, 32, 255};
    }
    if (in(kTowBar, x, y)) return ((x - y) / 10) % 2 ? kYellow : kBlack;
    if (in(kBumper, x, y)) return kBlack;
    return {40, 40, 42, 255};  // chassis
}

Rgba tugLit(int x, int y) {
    switch (tugLamp(x, y)) {
        case Lamp::Head:
            return {255, 246, 210, 255};
        case Lamp::Tail:
            return {255, 40, 28, 255};
        case Lamp::Marker:
            return {255, 150, 30, 255};
        case Lamp::Beacon:
            return {255, 170, 40, 255};
        case Lamp::Cab:
            return {46, 40, 26, 255};  // a faint dashboard glow
        case Lamp::None:
            break;
    }
    return kUnlit;
}

Mesh buildTug() {
    Mesh m;
    // Ground at y = -1. Body: 2.6 m wide, 5.6 m long, 1.3 m high, 3.6 m ahead of the gear.
    const double g = -1.0;
    // The end toward the aircraft (+z) is the front, with the headlights.
    m.box(-1.3, g + 0.3, -9.2, 1.3, g + 1.3, -3.6, kTugSide, kTugSide, kTugRear, kTugFront, kTugTop,
          kChassis);
    // Bumpers at both ends.
    m.box(-1.35, g + 0.3, -9.45, 1.35, g + 0.6, -9.2, kBumper);
    m.box(-1.35, g + 0.3, -3.6, 1.35, g + 0.6, -3.35, kBumper);
    // The cab, low at the front on the driver's left (+x, facing +z), where the driver faces
    // the nose gear.
    m.box(0.2, g + 1.3, -5.7, 1.25, g + 2.45, -3.75, kCabSide, kCabSide, kCabEnd, kCabEnd, kCabRoof,
          kChassis);
    m.box(0.6, g + 2.45, -5.0, 0.85, g + 2.62, -4.75, kBeacon);
    // Four wheels.
    for (double z : {-4.4, -8.3})
        for (double x : {-1.22, 1.22}) m.wheel(x, g + 0.5, z, 0.5, 0.42, kTyre, kHub);
    // Tow bar: from the hitch under the tug's front bumper to a head that takes the nose
    // wheel's axle at the origin.
    m.bar({0, g + 0.5, -3.4}, {0, g + 0.45, -0.5}, 0.16, kTowBar);
    m.bar({-0.5, g + 0.45, -0.6}, {0, g + 0.5, -1.6}, 0.1, kTowBar);
    m.bar({0.5, g + 0.45, -0.6}, {0, g + 0.5, -1.6}, 0.1, kTowBar);
    m.box(-0.55, g + 0.3, -0.65, 0.55, g + 0.55, -0.35, kBumper);
    return m;
}

// ---- The GPU cart -------------------------------------------------------------------------
const Region kGpuSide{0, 0, 128, 64}, kGpuEnd{128, 0, 192, 64}, kGpuTop{0, 64, 128, 128},
    kGpuPanel{128, 64, 192, 128}, kCable{0, 192, 128, 200}, kGpuTyre{0, 224, 96, 256},
    kGpuHub{96, 224, 128, 256}, kGpuFrame{128, 192, 256, 256}, kGpuLamp{192, 0, 224, 16};

Rgba gpuDay(int x, int y) {
    const Rgba body{196, 202, 208, 255}, dark{80, 86, 92, 255};
    if (in(kGpuLamp, x, y)) return {40, 150, 60, 255};
    if (in(kGpuSide, x, y)) {
        int ly = y - kGpuSide.y0;
        if (ly >= 56) return dark;
        if (x >= 70 && x < 118 && ly >= 10 && ly < 44 && (ly % 4) < 2) return dark;  // louvres
        if (ly >= 10 && ly < 18 && x >= 10 && x < 60) return {210, 60, 40, 255};     // red band
        return body;
    }
    if (in(kGpuEnd, x, y) || in(kGpuTop, x, y)) return body;
    if (in(kGpuPanel, x, y)) {
        int lx = x - kGpuPanel.x0, ly = y - kGpuPanel.y0;
        if (lx > 6 && lx < 58 && ly > 6 && ly < 30) return {30, 34, 40, 255};  // display
        if (ly > 38 && ly < 50 && (lx / 8) % 2) return {210, 60, 40, 255};     // buttons
        return {150, 156, 162, 255};
    }
    if (in(kCable, x, y)) return {26, 26, 28, 255};
    if (in(kGpuTyre, x, y)) return (x % 6) < 2 ? Rgba{14, 14, 14, 255} : Rgba{34, 34, 36, 255};
    if (in(kGpuHub, x, y)) return {110, 110, 112, 255};
    return {60, 62, 66, 255};  // frame and tow bar
}

Rgba gpuLit(int x, int y) {
    if (in(kGpuLamp, x, y)) return {60, 255, 90, 255};
    if (in(kGpuPanel, x, y)) {
        int lx = x - kGpuPanel.x0, ly = y - kGpuPanel.y0;
        if (lx > 6 && lx < 58 && ly > 6 && ly < 30) return {40, 110, 60, 255};
    }
    return kUnlit;
}

Mesh buildGpu() {
    Mesh m;
    const double g = -1.0;
    // Housing on a frame, four small wheels, a tow bar at the aft end (+z) and the power cable
    // leaving the left side and lying on the ground across to the nose gear: the cart stands
    // 5 units ahead and right of the gear, turned like the aircraft.
    m.box(-0.6, g + 0.45, -1.0, 0.6, g + 1.55, 1.2, kGpuSide, kGpuSide, kGpuEnd, kGpuEnd, kGpuTop,
          kGpuFrame);
    m.box(-0.45, g + 1.1, -1.08, 0.45, g + 1.5, -1.0, kGpuPanel);
    m.box(-0.1, g + 1.55, -0.8, 0.1, g + 1.6, -0.6, kGpuLamp);
    m.box(-0.65, g + 0.3, -1.05, 0.65, g + 0.45, 1.25, kGpuFrame);
    for (double z : {0.85, -0.7})
        for (double x : {-0.62, 0.62}) m.wheel(x, g + 0.25, z, 0.25, 0.16, kGpuTyre, kGpuHub);
    m.bar({0, g + 0.38, 1.25}, {0, g + 0.12, 2.3}, 0.08, kGpuFrame);
    const V3 cable[] = {{-0.6, g + 1.0, 0.2},  {-0.85, g + 0.5, 0.4}, {-1.2, g + 0.05, 0.8},
                        {-2.2, g + 0.05, 1.4}, {-3.2, g + 0.05, 2.0}, {-3.8, g + 0.3, 2.5}};
    for (size_t k = 0; k + 1 < std::size(cable); ++k) m.bar(cable[k], cable[k + 1], 0.07, kCable);
    return m;
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
    const Mesh tug = buildTug(), gpu = buildGpu();
    bool ok = writeObj(out / "TVKdefault.obj", "TVKdefault.png", "TVKdefaultLIT.png", tug) &&
              writePng(out / "TVKdefault.png", 256, 256, tugDay) &&
              writePng(out / "TVKdefaultLIT.png", 256, 256, tugLit) &&
              writeObj(out / "GroundServices" / "GPU.obj", "GPU.png", "GPULIT.png", gpu) &&
              writePng(out / "GroundServices" / "GPU.png", 256, 256, gpuDay) &&
              writePng(out / "GroundServices" / "GPULIT.png", 256, 256, gpuLit) &&
              writePng(out / "Bitmaps" / "TVKlogo.png", 361, 256, logoPixel);
    if (!ok) {
        std::fprintf(stderr, "failed to write content into %s\n", out.string().c_str());
        return 1;
    }
    return 0;
}
