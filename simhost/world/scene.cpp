// The host's own scene, drawn on picture frames the way the simulator draws its world: sky,
// ground and apron with the stand's markings, a terminal, and the user's aircraft; and the
// cameras the pictures look through.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "control/host_state.h"
#include "drawing/airliner_model.h"
#include "drawing/graphics_internal.h"
#include "drawing/standin_model.h"

namespace simhost::detail {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

// Column-major 4x4 matrices, as OpenGL keeps them.
struct M4 {
    double m[16];
};

M4 Identity() {
    M4 r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1;
    return r;
}

M4 Mul(const M4& a, const M4& b) {
    M4 r{};
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += a.m[k * 4 + row] * b.m[c * 4 + k];
            r.m[c * 4 + row] = s;
        }
    return r;
}

M4 Translate(double x, double y, double z) {
    M4 r = Identity();
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

// As glRotatef: `degrees` about a unit axis.
M4 Rotate(double degrees, double x, double y, double z) {
    const double c = std::cos(degrees * kDegToRad), s = std::sin(degrees * kDegToRad);
    const double t = 1 - c;
    M4 r = Identity();
    r.m[0] = t * x * x + c;
    r.m[1] = t * x * y + s * z;
    r.m[2] = t * x * z - s * y;
    r.m[4] = t * x * y - s * z;
    r.m[5] = t * y * y + c;
    r.m[6] = t * y * z + s * x;
    r.m[8] = t * x * z + s * y;
    r.m[9] = t * y * z - s * x;
    r.m[10] = t * z * z + c;
    return r;
}

M4 Perspective(double fovYDegrees, double aspect, double zNear, double zFar) {
    const double f = 1.0 / std::tan(fovYDegrees * kDegToRad / 2);
    M4 r{};
    r.m[0] = f / aspect;
    r.m[5] = f;
    r.m[10] = (zFar + zNear) / (zNear - zFar);
    r.m[11] = -1;
    r.m[14] = 2 * zFar * zNear / (zNear - zFar);
    return r;
}

M4 LookAt(const double eye[3], const double at[3], const double up[3]) {
    double f[3] = {at[0] - eye[0], at[1] - eye[1], at[2] - eye[2]};
    double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (double& v : f) v /= fl;
    double s[3] = {f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2],
                   f[0] * up[1] - f[1] * up[0]};
    double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    for (double& v : s) v /= sl;
    double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    M4 r = Identity();
    r.m[0] = s[0];
    r.m[4] = s[1];
    r.m[8] = s[2];
    r.m[1] = u[0];
    r.m[5] = u[1];
    r.m[9] = u[2];
    r.m[2] = -f[0];
    r.m[6] = -f[1];
    r.m[10] = -f[2];
    return Mul(r, Translate(-eye[0], -eye[1], -eye[2]));
}

// A body-axes offset (x right, y up, z aft) of an aircraft at heading psi, in local axes.
void BodyToLocal(double psi, double bx, double by, double bz, const double origin[3],
                 double out[3]) {
    const double c = std::cos(psi * kDegToRad), s = std::sin(psi * kDegToRad);
    out[0] = origin[0] + bx * c - bz * s;
    out[1] = origin[1] + by;
    out[2] = origin[2] + bx * s + bz * c;
}

struct Pose {
    double pos[3];
    double psi, theta, phi;
};

Pose AircraftPose(const Host& h) {
    const AircraftRefs& r = h.refs;
    return {{r.localX->d, r.localY->d, r.localZ->d}, r.psi->f, r.theta->f, r.phi->f};
}

// The stand the aircraft was parked on: the scene's markings stay there when it moves.
Pose StandPose(const Host& h) {
    const Aircraft& a = h.aircraft;
    return {{a.x, a.groundY, a.z}, a.heading, 0, 0};
}

}  // namespace

Camera MakeCamera(const FrameRequest& request, const Host& h, int width, int height) {
    Camera cam;
    const double aspect = static_cast<double>(width) / std::max(height, 1);
    M4 projection = Perspective(45.0, aspect, 0.5, 6000.0);
    M4 view;
    const Pose a = AircraftPose(h);
    const double groundY = h.aircraft.groundY;
    double eye[3];
    if (request.view == "top") {
        double centre[3];
        double above = 70;
        double up[3] = {0, 0, -1};  // north
        if (request.fixedTop) {
            up[0] = request.upX;
            up[2] = request.upZ;
            centre[0] = request.centreX;
            centre[2] = request.centreZ;
            above = request.height_m;
        } else {
            BodyToLocal(a.psi, 0, 0, -6, a.pos, centre);
        }
        centre[1] = groundY;
        eye[0] = centre[0];
        eye[1] = groundY + above;
        eye[2] = centre[2];
        view = LookAt(eye, centre, up);
    } else if (request.view == "outside") {
        // Beside and ahead of the nose, looking back at the nose gear: where the tug works. A
        // real aircraft's file sets the scale (the airliner is 37.6 m long, its nose 17.8 m
        // ahead); the eye comes no further than for the airliner, short of the terminal.
        const bool real = h.aircraft.acfVersion > 0;
        const double k = real ? std::clamp(h.aircraft.sizeZ / 37.6, 0.06, 2.0) : 1.0;
        const double nose = real ? h.aircraft.outline.noseZ : -17.8, closeness = std::min(k, 1.0);
        double at[3];
        BodyToLocal(a.psi, 18 * closeness, 3.2, nose - 24.2 * closeness, a.pos, eye);
        eye[1] = groundY + std::max(7.5 * closeness, 1.2);
        BodyToLocal(a.psi, -1.5 * k, 0, nose + 3.8 * k, a.pos, at);
        at[1] = groundY + 1.6 * k;
        const double up[3] = {0, 1, 0};
        view = LookAt(eye, at, up);
    } else {
        // The camera as it is: the plug-in's, or the simulator's own.
        const XPLMCameraPosition_t& p = h.cameraPose;
        eye[0] = p.x;
        eye[1] = p.y;
        eye[2] = p.z;
        view = Mul(Rotate(p.roll, 0, 0, 1),
                   Mul(Rotate(-p.pitch, 1, 0, 0),
                       Mul(Rotate(p.heading, 0, 1, 0), Translate(-eye[0], -eye[1], -eye[2]))));
        const double zoom = p.zoom > 0.05f ? p.zoom : 1.0;
        const double fov = 2 * std::atan(std::tan(55.0 * kDegToRad / 2) / zoom) / kDegToRad;
        projection = Perspective(fov, aspect, 0.3, 6000.0);
    }
    std::memcpy(cam.projection, projection.m, sizeof cam.projection);
    std::memcpy(cam.modelview, view.m, sizeof cam.modelview);
    std::memcpy(cam.eye, eye, sizeof cam.eye);
    return cam;
}

float SceneBrightness(const Host& h) {
    const DatarefEntry* e = h.data.FindAny("sim/graphics/scenery/percent_lights_on");
    const float lights = e ? std::clamp(e->f, 0.0f, 1.0f) : 0.0f;
    return 1.0f - 0.85f * lights;
}

void SetSceneLights(float b) {
    // The sun high in the south-east; its direction is fixed in local axes, so it is set with
    // the camera's model-view loaded.
    const GLfloat sun[4] = {0.45f, 0.78f, 0.43f, 0.0f};
    // Objects keep OpenGL's default material (ambient 0.2, diffuse 0.8), so the light is
    // strong enough that shaded sides stay readable: about 0.4 ambient and 0.7 direct.
    const GLfloat ambient[4] = {2.0f * b, 2.0f * b, 2.1f * b, 1};
    const GLfloat diffuse[4] = {0.88f * b, 0.86f * b, 0.82f * b, 1};
    const GLfloat none[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, sun);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glEnable(GL_LIGHT0);
}

namespace {

void ResetHostState() {
    glMatrixMode(GL_MODELVIEW);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glShadeModel(GL_SMOOTH);
    glColor4f(1, 1, 1, 1);
}

void Shade(float r, float g, float b, float k) {
    glColor3f(r * k, g * k, b * k);
}

// A quad on the ground in stand axes: body x right, body z aft, from (x0, z0) to (x1, z1).
void GroundQuad(const Pose& stand, double x0, double z0, double x1, double z1, double lift) {
    double p[4][3];
    const double xs[4] = {x0, x1, x1, x0}, zs[4] = {z0, z0, z1, z1};
    for (int k = 0; k < 4; ++k) BodyToLocal(stand.psi, xs[k], lift, zs[k], stand.pos, p[k]);
    glBegin(GL_QUADS);
    for (int k = 0; k < 4; ++k) glVertex3d(p[k][0], p[k][1], p[k][2]);
    glEnd();
}

// A painted line along a polyline in stand axes.
void PaintedLine(const Pose& stand, const std::vector<std::pair<double, double>>& points,
                 double halfWidth) {
    for (std::size_t k = 0; k + 1 < points.size(); ++k) {
        double x0 = points[k].first, z0 = points[k].second;
        double x1 = points[k + 1].first, z1 = points[k + 1].second;
        double dx = x1 - x0, dz = z1 - z0, len = std::hypot(dx, dz);
        if (len <= 0) continue;
        double nx = -dz / len * halfWidth, nz = dx / len * halfWidth;
        double p[4][3];
        BodyToLocal(stand.psi, x0 + nx, 0.02, z0 + nz, stand.pos, p[0]);
        BodyToLocal(stand.psi, x1 + nx, 0.02, z1 + nz, stand.pos, p[1]);
        BodyToLocal(stand.psi, x1 - nx, 0.02, z1 - nz, stand.pos, p[2]);
        BodyToLocal(stand.psi, x0 - nx, 0.02, z0 - nz, stand.pos, p[3]);
        glBegin(GL_QUADS);
        for (auto& v : p) glVertex3d(v[0], v[1], v[2]);
        glEnd();
    }
}

void Arc(std::vector<std::pair<double, double>>& out, double cx, double cz, double radius,
         double fromDeg, double toDeg, int steps) {
    for (int k = 0; k <= steps; ++k) {
        double a = (fromDeg + (toDeg - fromDeg) * k / steps) * kDegToRad;
        out.emplace_back(cx + radius * std::cos(a), cz + radius * std::sin(a));
    }
}

void DrawSky(const Camera& cam, float b) {
    // A dome around the eye, pale at the horizon and deeper overhead.
    const float horizon[3] = {0.78f * b, 0.86f * b, 0.95f * b};
    const float zenith[3] = {0.28f * b * b, 0.48f * b * b, 0.82f * b};
    const double r = 4000;
    const int around = 24, up = 6;
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    for (int j = 0; j < up; ++j) {
        double e0 = (j == 0 ? -10.0 : 90.0 * j / up) * kDegToRad,
               e1 = 90.0 * (j + 1) / up * kDegToRad;
        float t0 = j == 0 ? 0.0f : static_cast<float>(j) / up;
        float t1 = static_cast<float>(j + 1) / up;
        glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= around; ++i) {
            double a = 2 * 3.14159265358979 * i / around;
            for (int s = 0; s < 2; ++s) {
                double e = s ? e1 : e0;
                float t = std::sqrt(s ? t1 : t0);
                glColor3f(horizon[0] + (zenith[0] - horizon[0]) * t,
                          horizon[1] + (zenith[1] - horizon[1]) * t,
                          horizon[2] + (zenith[2] - horizon[2]) * t);
                glVertex3d(cam.eye[0] + r * std::cos(e) * std::cos(a), cam.eye[1] + r * std::sin(e),
                           cam.eye[2] + r * std::cos(e) * std::sin(a));
            }
        }
        glEnd();
    }
}

void DrawGround(const Host& h, const Camera& cam, float b) {
    const double y = h.aircraft.groundY;
    const double r = 3500;
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    Shade(0.36f, 0.47f, 0.27f, b);
    glBegin(GL_QUADS);
    glVertex3d(cam.eye[0] - r, y, cam.eye[2] - r);
    glVertex3d(cam.eye[0] - r, y, cam.eye[2] + r);
    glVertex3d(cam.eye[0] + r, y, cam.eye[2] + r);
    glVertex3d(cam.eye[0] + r, y, cam.eye[2] - r);
    glEnd();
}

void DrawApron(const Host& h, float b) {
    const Pose stand = StandPose(h);
    // Flood lights keep the apron a little brighter than the grass at night.
    const float lit = std::min(1.0f, b + 0.12f * (1 - b));
    Shade(0.62f, 0.62f, 0.60f, lit);
    GroundQuad(stand, -140, -70, 140, 150, 0.0);
    // Concrete slabs: a slightly darker band for the taxi lane behind the stands.
    Shade(0.55f, 0.55f, 0.54f, lit);
    GroundQuad(stand, -140, 27, 140, 97, 0.005);
    // The airliner's shadow, the sun nearly overhead: its outline straight below it.
    if (h.aircraft.acfVersion == 0) {
        const Pose a = AircraftPose(h);
        const Pose ground{{a.pos[0], h.aircraft.groundY, a.pos[2]}, a.psi, 0, 0};
        Shade(0.40f, 0.40f, 0.40f, lit);
        GroundQuad(ground, -1.9, -17.0, 1.9, 19.5, 0.01);
        for (int side = -1; side <= 1; side += 2) {
            const double outline[4][2] = {{1.6, -4.2}, {17.0, 3.6}, {17.0, 5.6}, {1.6, 4.0}};
            double p[4][3];
            for (int k = 0; k < 4; ++k)
                BodyToLocal(a.psi, side * outline[k][0], 0.01, outline[k][1], ground.pos, p[k]);
            glBegin(GL_QUADS);
            for (auto& v : p) glVertex3d(v[0], v[1], v[2]);
            glEnd();
        }
        GroundQuad(ground, -6.4, 16.0, 6.4, 20.0, 0.01);
    }
    // Yellow markings: lead-in lines of this stand and its neighbours, curving into the taxi
    // lane's centre line, and a stop bar at the nose.
    Shade(0.95f, 0.78f, 0.10f, lit);
    for (double x : {-48.0, 0.0, 48.0}) {
        std::vector<std::pair<double, double>> line = {{x, -40}, {x, 27}};
        Arc(line, x - 35, 27, 35, 0, 90, 10);
        PaintedLine(stand, line, 0.15);
        PaintedLine(stand, {{x - 2.5, -20.5}, {x + 2.5, -20.5}}, 0.3);
    }
    PaintedLine(stand, {{-140, 62}, {140, 62}}, 0.15);
    // Red safety lines around the stand, and a white equipment area by the nose.
    Shade(0.80f, 0.15f, 0.12f, lit);
    PaintedLine(stand, {{-20, -24}, {20, -24}, {20, 24}, {-20, 24}, {-20, -24}}, 0.12);
    Shade(0.92f, 0.92f, 0.90f, lit);
    PaintedLine(stand, {{5, -16}, {10, -16}, {10, -11}, {5, -11}, {5, -16}}, 0.08);
    if (h.showTrail && h.trail.size() > 1) {
        // Local coordinates are the body axes of a pose at heading 0 on the origin.
        const Pose origin{{0.0, h.aircraft.groundY + 0.01, 0.0}, 0.0, 0.0, 0.0};
        Shade(0.15f, 0.40f, 0.95f, lit);
        PaintedLine(origin, h.trail, 0.3);
    }
}

void Box(const Pose& stand, double x0, double y0, double z0, double x1, double y1, double z1,
         const float top[3], const float side[3], float b) {
    double p[8][3];
    for (int k = 0; k < 8; ++k)
        BodyToLocal(stand.psi, (k & 1) ? x1 : x0, (k & 2) ? y1 : y0, (k & 4) ? z1 : z0, stand.pos,
                    p[k]);
    static const int faces[5][4] = {
        {0, 1, 3, 2}, {4, 6, 7, 5}, {0, 2, 6, 4}, {1, 5, 7, 3}, {2, 3, 7, 6}};
    static const float shade[5] = {0.85f, 0.7f, 0.6f, 0.75f, 1.0f};
    glBegin(GL_QUADS);
    for (int f = 0; f < 5; ++f) {
        const float* c = f == 4 ? top : side;
        Shade(c[0], c[1], c[2], b * shade[f]);
        for (int k : faces[f]) glVertex3d(p[k][0], p[k][1], p[k][2]);
    }
    glEnd();
}

void DrawTerminal(const Host& h, float b) {
    const Pose stand = StandPose(h);
    const float roof[3] = {0.55f, 0.56f, 0.58f}, wall[3] = {0.70f, 0.72f, 0.74f};
    const float glass[3] = {0.30f, 0.42f, 0.52f};
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    Box(stand, -150, 0, -95, 150, 14, -50, roof, wall, b);
    Box(stand, -150, 2, -50.3, 150, 11, -50, glass, glass, std::max(b, 0.55f));
}

// Beacon, navigation and strobe lights of the user's aircraft at night.
void DrawAircraftLights(const Host& h, float b) {
    if (b > 0.7f) return;
    const Pose a = AircraftPose(h);
    struct Lamp {
        double x, y, z;
        float r, g, bl;
    };
    const Lamp lamps[] = {{-17.0, -0.9, 4.6, 1, 0.1f, 0.1f}, {17.0, -0.9, 4.6, 0.1f, 1, 0.2f},
                          {0, 2.65, 2, 1, 0.2f, 0.1f},       {0, -1.45, 3, 1, 0.2f, 0.1f},
                          {0, 0.4, 20.6, 1, 1, 1},           {0, 8.4, 19.4, 1, 1, 1}};
    glPointSize(std::max(3.0f, 6.0f * (1 - b)));
    glEnable(GL_POINT_SMOOTH);
    glBegin(GL_POINTS);
    for (const Lamp& l : lamps) {
        double p[3];
        BodyToLocal(a.psi, l.x, l.y, l.z, a.pos, p);
        glColor3f(l.r, l.g, l.bl);
        glVertex3d(p[0], p[1], p[2]);
    }
    glEnd();
    glDisable(GL_POINT_SMOOTH);
    glPointSize(1);
}

}  // namespace

void HostDrawPhase(int phase) {
    // The 2-D phases keep the screen projection Begin2D set: the host draws nothing there.
    if (!PictureFrame() || phase >= xplm_Phase_FirstCockpit) return;
    const Host& h = H();
    const Camera& cam = FrameCamera();
    const float b = SceneBrightness(h);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(cam.projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(cam.modelview);
    ResetHostState();
    switch (phase) {
        case xplm_Phase_FirstScene:
            DrawSky(cam, b);
            break;
        case xplm_Phase_Terrain:
            DrawGround(h, cam, b);
            break;
        case xplm_Phase_Airports:
            DrawApron(h, b);
            break;
        case xplm_Phase_Objects:
            DrawTerminal(h, b);
            break;
        case xplm_Phase_Airplanes: {
            const Pose a = AircraftPose(h);
            if (h.aircraft.acfVersion > 0) {
                DrawStandIn(h.aircraft, a.pos, a.psi, a.theta, a.phi);
            } else {
                DrawAirliner(a.pos, a.psi, a.theta, a.phi, b);
                DrawAircraftLights(h, b);
            }
            DrawTraffic(b);
            DrawInstances(b);
            break;
        }
        default:
            break;
    }
    ResetHostState();
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

}  // namespace simhost::detail
