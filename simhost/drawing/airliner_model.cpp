// The host's airliner: geometry generated as an OBJ8 file's text, its livery as a generated
// texture atlas, read with the object reader and drawn with vertex arrays.
#define GL_GLEXT_PROTOTYPES 1
#include "drawing/airliner_model.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "objformat/obj8_reader.h"
#include "objformat/object_model.h"

namespace simhost::detail {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Texture atlas: the fuselage's livery on the left 384 columns (u along the length, v around
// the fuselage from the top through the right side), flat colour patches on the right.
constexpr int kTexW = 512, kTexH = 256;
constexpr double kNoseZ = -17.8, kTailZ = 20.8;

enum Patch { kWing, kNacelle, kIntake, kTail, kTyre, kStrut, kStabiliser, kPylon, kHub };

void PatchUv(Patch p, float* u, float* v) {
    const int col = p % 4, row = p / 4;
    *u = (384 + col * 32 + 16) / static_cast<float>(kTexW);
    *v = (row * 32 + 16) / static_cast<float>(kTexH);
}

struct Builder {
    std::vector<std::array<float, 8>> verts;
    std::vector<int> idx;

    int add(double x, double y, double z, double nx, double ny, double nz, float u, float v) {
        verts.push_back({static_cast<float>(x), static_cast<float>(y), static_cast<float>(z),
                         static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz), u,
                         v});
        return static_cast<int>(verts.size()) - 1;
    }
    // A flat polygon (3 or 4 corners) in one colour patch; its normal faces away from `inside`.
    void flat(const std::vector<std::array<double, 3>>& p, Patch patch,
              const std::array<double, 3>& inside) {
        double ax = p[1][0] - p[0][0], ay = p[1][1] - p[0][1], az = p[1][2] - p[0][2];
        double bx = p[2][0] - p[0][0], by = p[2][1] - p[0][1], bz = p[2][2] - p[0][2];
        double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
        double len = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (len <= 0) return;
        nx /= len, ny /= len, nz /= len;
        double cx = 0, cy = 0, cz = 0;
        for (auto& q : p) cx += q[0] / p.size(), cy += q[1] / p.size(), cz += q[2] / p.size();
        // Counter-clockwise seen from outside, so back faces can be culled.
        const bool flip = nx * (cx - inside[0]) + ny * (cy - inside[1]) + nz * (cz - inside[2]) < 0;
        if (flip) nx = -nx, ny = -ny, nz = -nz;
        float u, v;
        PatchUv(patch, &u, &v);
        int base = static_cast<int>(verts.size());
        for (auto& q : p) add(q[0], q[1], q[2], nx, ny, nz, u, v);
        for (std::size_t k = 1; k + 1 < p.size(); ++k) {
            const int second = base + static_cast<int>(k), third = second + 1;
            idx.insert(idx.end(), {base, flip ? third : second, flip ? second : third});
        }
    }
    // A slab between two aerofoil-ish outlines: (root LE, root TE, tip TE, tip LE) with a
    // thickness at root and tip, along `up`.
    void slab(const std::array<std::array<double, 3>, 4>& c, double thickRoot, double thickTip,
              const std::array<double, 3>& up, Patch patch) {
        auto off = [&](const std::array<double, 3>& q, double t) {
            return std::array<double, 3>{q[0] + up[0] * t, q[1] + up[1] * t, q[2] + up[2] * t};
        };
        const double th[4] = {thickRoot, thickRoot, thickTip, thickTip};
        std::array<std::array<double, 3>, 4> top, bottom;
        for (int k = 0; k < 4; ++k)
            top[k] = off(c[k], th[k] / 2), bottom[k] = off(c[k], -th[k] / 2);
        std::array<double, 3> mid{};
        for (auto& q : c)
            for (int k = 0; k < 3; ++k) mid[k] += q[k] / 4;
        flat({top[0], top[1], top[2], top[3]}, patch, mid);
        flat({bottom[0], bottom[1], bottom[2], bottom[3]}, patch, mid);
        for (int k = 0; k < 4; ++k) {
            int n = (k + 1) % 4;
            flat({top[k], top[n], bottom[n], bottom[k]}, patch, mid);
        }
    }
    // A tube along z through rings (z, radius, centre y) at centre x, `sides` around; u/v from
    // the patch, or the fuselage livery when `livery` is set.
    void tube(double cx, const std::vector<std::array<double, 3>>& rings, int sides, Patch patch,
              bool livery) {
        std::vector<int> prev;
        for (std::size_t r = 0; r < rings.size(); ++r) {
            const double z = rings[r][0], radius = rings[r][1], cy = rings[r][2];
            std::vector<int> ring;
            for (int s = 0; s <= sides; ++s) {
                double a = 2 * kPi * s / sides;  // 0 on top, a quarter turn on the right
                double nx = std::sin(a), ny = std::cos(a);
                float u, v;
                if (livery) {
                    u = static_cast<float>((z - kNoseZ) / (kTailZ - kNoseZ) * 384.0 / kTexW);
                    v = static_cast<float>(s) / sides;
                } else {
                    PatchUv(patch, &u, &v);
                }
                ring.push_back(add(cx + radius * nx, cy + radius * ny, z, nx, ny, 0, u, v));
            }
            if (!prev.empty())
                for (int s = 0; s < sides; ++s) {
                    int a0 = prev[s], a1 = prev[s + 1], b0 = ring[s], b1 = ring[s + 1];
                    idx.insert(idx.end(), {a0, b0, a1, a1, b0, b1});
                }
            prev = ring;
        }
    }
    // A wheel: a short cylinder along x with flat sides.
    void wheel(double x, double y, double z, double radius, double width) {
        const int sides = 12;
        float u, v, hu, hv;
        PatchUv(kTyre, &u, &v);
        PatchUv(kHub, &hu, &hv);
        std::vector<int> left, right;
        for (int s = 0; s <= sides; ++s) {
            double a = 2 * kPi * s / sides;
            double ny = std::cos(a), nz = std::sin(a);
            left.push_back(add(x - width / 2, y + radius * ny, z + radius * nz, 0, ny, nz, u, v));
            right.push_back(add(x + width / 2, y + radius * ny, z + radius * nz, 0, ny, nz, u, v));
        }
        for (int s = 0; s < sides; ++s)
            idx.insert(idx.end(),
                       {left[s], left[s + 1], right[s], left[s + 1], right[s + 1], right[s]});
        for (int side = -1; side <= 1; side += 2) {
            double sx = x + side * width / 2;
            int centre = add(sx, y, z, side, 0, 0, hu, hv);
            std::vector<int> rim;
            for (int s = 0; s <= sides; ++s) {
                double a = 2 * kPi * s / sides;
                rim.push_back(add(sx, y + radius * std::cos(a), z + radius * std::sin(a), side, 0,
                                  0, s % 2 ? u : hu, s % 2 ? v : hv));
            }
            for (int s = 0; s < sides; ++s)
                idx.insert(idx.end(), side > 0
                                          ? std::initializer_list<int>{centre, rim[s], rim[s + 1]}
                                          : std::initializer_list<int>{centre, rim[s + 1], rim[s]});
        }
    }
    void strut(double x, double yTop, double yBottom, double z, double w) {
        const std::array<double, 3> in{x, (yTop + yBottom) / 2, z};
        double x0 = x - w, x1 = x + w, z0 = z - w, z1 = z + w;
        flat({{x0, yTop, z0}, {x1, yTop, z0}, {x1, yBottom, z0}, {x0, yBottom, z0}}, kStrut, in);
        flat({{x0, yTop, z1}, {x1, yTop, z1}, {x1, yBottom, z1}, {x0, yBottom, z1}}, kStrut, in);
        flat({{x0, yTop, z0}, {x0, yTop, z1}, {x0, yBottom, z1}, {x0, yBottom, z0}}, kStrut, in);
        flat({{x1, yTop, z0}, {x1, yTop, z1}, {x1, yBottom, z1}, {x1, yBottom, z0}}, kStrut, in);
    }
};

Builder BuildAirliner() {
    Builder b;
    // Fuselage: (z, radius, centre y); the nose droops a little, the tail cone rises.
    b.tube(0,
           {{kNoseZ, 0.05, 0.15},
            {-17.2, 0.75, 0.25},
            {-16.2, 1.3, 0.4},
            {-14.8, 1.72, 0.5},
            {-13.0, 1.95, 0.58},
            {-10.5, 2.0, 0.6},
            {12.0, 2.0, 0.6},
            {14.5, 1.8, 0.75},
            {17.0, 1.3, 1.0},
            {19.2, 0.75, 1.3},
            {kTailZ, 0.2, 1.55}},
           16, kWing, true);
    for (int side = -1; side <= 1; side += 2) {
        const double s = side;
        // Wing, low and swept, with a little dihedral, and a winglet.
        b.slab({{{s * 1.6, -0.95, -4.2},
                 {s * 1.6, -0.95, 4.0},
                 {s * 17.0, -0.25, 5.6},
                 {s * 17.0, -0.25, 3.6}}},
               0.55, 0.14, {0, 1, 0}, kWing);
        b.slab({{{s * 17.0, -0.25, 3.7},
                 {s * 17.0, -0.25, 5.5},
                 {s * 17.2, 1.5, 5.9},
                 {s * 17.2, 1.5, 5.0}}},
               0.08, 0.06, {1, 0, 0}, kTail);
        // Horizontal stabiliser.
        b.slab({{{s * 0.8, 1.25, 15.6},
                 {s * 0.8, 1.25, 19.6},
                 {s * 6.4, 1.6, 20.4},
                 {s * 6.4, 1.6, 18.6}}},
               0.25, 0.08, {0, 1, 0}, kStabiliser);
        // Engine: nacelle, dark intake, exhaust cone; pylon to the wing.
        const double ex = s * 5.7, ey = -1.85;
        b.tube(ex,
               {{-6.3, 0.82, ey},
                {-6.1, 0.98, ey},
                {-4.0, 0.98, ey},
                {-2.3, 0.85, ey},
                {-1.6, 0.5, ey},
                {-1.0, 0.22, ey}},
               14, kNacelle, false);
        b.tube(ex, {{-6.05, 0.0, ey}, {-6.05, 0.8, ey}}, 14, kIntake, false);
        b.slab({{{ex, -1.05, -4.6}, {ex, -1.05, -0.4}, {ex, -1.0, -1.0}, {ex, -1.0, -4.0}}}, 0.3,
               0.3, {1, 0, 0}, kPylon);
        // Main gear: strut and a pair of wheels.
        b.strut(s * 3.8, -1.0, -2.6, 1.5, 0.12);
        b.wheel(s * 3.8 - 0.42, -2.6, 1.5, 0.6, 0.36);
        b.wheel(s * 3.8 + 0.42, -2.6, 1.5, 0.6, 0.36);
    }
    // Fin.
    b.slab({{{0, 1.9, 13.2}, {0, 1.9, 20.4}, {0, 8.6, 20.9}, {0, 8.6, 18.3}}}, 0.45, 0.16,
           {1, 0, 0}, kTail);
    // Nose gear.
    b.strut(0, -1.0, -2.83, -12.5, 0.09);
    b.wheel(-0.24, -2.83, -12.5, 0.37, 0.22);
    b.wheel(0.24, -2.83, -12.5, 0.37, 0.22);
    return b;
}

// The livery: white with a blue cheat line, grey belly, a row of cabin windows, doors and the
// cockpit windows; patches for the other parts.
std::vector<unsigned char> LiveryPixels() {
    std::vector<unsigned char> px(static_cast<std::size_t>(kTexW) * kTexH * 4, 255);
    auto put = [&](int x, int y, int r, int g, int b) {
        unsigned char* p = &px[(static_cast<std::size_t>(y) * kTexW + x) * 4];
        p[0] = static_cast<unsigned char>(r), p[1] = static_cast<unsigned char>(g);
        p[2] = static_cast<unsigned char>(b), p[3] = 255;
    };
    const double metresPerU = (kTailZ - kNoseZ) / 384.0;
    for (int y = 0; y < kTexH; ++y) {
        // Degrees around the fuselage from the top, folded so both sides look alike.
        double a = (y + 0.5) / kTexH * 360.0;
        double side = a <= 180 ? a : 360 - a;
        for (int x = 0; x < 384; ++x) {
            double z = kNoseZ + (x + 0.5) * metresPerU;
            int r = 246, g = 247, b = 250;
            if (side > 118) r = 170, g = 174, b = 182;               // belly
            if (side > 96 && side < 106) r = 20, g = 60, b = 150;    // cheat line
            if (side > 106 && side < 110) r = 230, g = 170, b = 20;  // pin stripe
            bool cabin = z > -11.0 && z < 14.0 && side > 70 && side < 78;
            if (cabin && std::fmod(z + 11.0, 0.95) < 0.42) r = 30, g = 36, b = 48;  // windows
            bool door =
                (std::fabs(z + 11.8) < 0.5 || std::fabs(z - 13.9) < 0.5) && side > 58 && side < 100;
            if (door && (std::fabs(std::fabs(z + 11.8) - 0.5) < 0.06 ||
                         std::fabs(std::fabs(z - 13.9) - 0.5) < 0.06 || side < 59.5))
                r = 120, g = 124, b = 132;
            // Cockpit windows: three panes a side above the nose, with white posts between.
            bool cockpit = z > -16.1 && z < -14.5 && side > 42 && side < 70;
            bool post = std::fabs(z + 15.55) < 0.07 || std::fabs(z + 15.0) < 0.07;
            if (cockpit && !post) r = 22, g = 28, b = 40;
            if (z > 15.5 && side < 60) r = 20, g = 60, b = 150;  // tail cone in company blue
            put(x, y, r, g, b);
        }
    }
    const int patches[9][3] = {{196, 200, 206}, {225, 228, 232}, {40, 42, 46},
                               {22, 62, 152},   {30, 30, 32},    {150, 150, 155},
                               {214, 218, 224}, {200, 204, 210}, {175, 178, 182}};
    for (int p = 0; p < 9; ++p)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                put(384 + (p % 4) * 32 + x, (p / 4) * 32 + y, patches[p][0], patches[p][1],
                    patches[p][2]);
    return px;
}

}  // namespace

std::string AirlinerObjectText() {
    const Builder b = BuildAirliner();
    std::string out = "I\n800\nOBJ\n\nTEXTURE airliner.png\n";
    char line[256];
    std::snprintf(line, sizeof line, "POINT_COUNTS %zu 0 0 %zu\n\n", b.verts.size(), b.idx.size());
    out += line;
    for (const auto& v : b.verts) {
        std::snprintf(line, sizeof line, "VT %.4f %.4f %.4f %.4f %.4f %.4f %.5f %.5f\n", v[0], v[1],
                      v[2], v[3], v[4], v[5], v[6], v[7]);
        out += line;
    }
    for (std::size_t k = 0; k < b.idx.size(); ++k) {
        std::snprintf(line, sizeof line, "IDX %d\n", b.idx[k]);
        out += line;
    }
    std::snprintf(line, sizeof line, "\nATTR_LOD 0 5000\nTRIS 0 %zu\n", b.idx.size());
    out += line;
    return out;
}

const tarvosk::ObjectModel* AirlinerModel(std::string* error) {
    static tarvosk::ObjectModel model;
    static int state = 0;  // 0 not read, 1 read, -1 refused
    static std::string why;
    if (state == 0) {
        const std::string text = AirlinerObjectText();
        state = tarvosk::readObj8FromBuffer(text.data(), text.size(), model, &why) ? 1 : -1;
    }
    if (state < 0 && error) *error = why;
    return state > 0 ? &model : nullptr;
}

void DrawAirliner(const double position[3], double psi, double theta, double phi, float brightness,
                  const double* scale) {
    const tarvosk::ObjectModel* model = AirlinerModel();
    if (!model || model->lods.empty()) return;
    static GLuint texture = 0;
    if (!texture) {
        std::vector<unsigned char> px = LiveryPixels();
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kTexW, kTexH, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     px.data());
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    (void)brightness;  // the scene's light carries day and night
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(position[0], position[1], position[2]);
    glRotated(-psi, 0, 1, 0);
    glRotated(theta, 1, 0, 0);
    glRotated(-phi, 0, 0, 1);
    if (scale) glScaled(scale[0], scale[1], scale[2]);
    // OpenGL's default material, as the objects plug-ins draw get it.
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    const GLfloat black[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glColor4f(1, 1, 1, 1);
    const float* v = model->meshVertices.floats.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 32, v);
    glNormalPointer(GL_FLOAT, 32, v + 3);
    glTexCoordPointer(2, GL_FLOAT, 32, v + 6);
    for (const tarvosk::ModelCommand& c : model->lods.back().commands)
        if (c.code == tarvosk::CommandCode::TRIS)
            glDrawElements(GL_TRIANGLES, c.count, GL_UNSIGNED_INT, model->indices.data() + c.first);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
}

}  // namespace simhost::detail
