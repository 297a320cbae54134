// A stand-in for a real aircraft file: fuselage, wing and tail scaled to the file's length and
// span, and every gear slot drawn where the file puts it (leg and tyre), so that a picture shows
// which wheel the tug is at. Drawn in body axes about the centre of gravity.
#include "drawing/standin_model.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace simhost::detail {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A colour as OpenGL's default material takes it: diffuse the colour, ambient a fifth of it,
// so the scene's strong ambient light shades the stand-in as it shades the airliner.
void Paint(float r, float g, float b) {
    const GLfloat ambient[4] = {0.2f * r, 0.2f * g, 0.2f * b, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glColor3f(r, g, b);
}

// A tube along z through rings (z, radius, centre y), `sides` around, at centre x.
void Tube(double cx, const double (*rings)[3], int count, int sides) {
    for (int r = 0; r + 1 < count; ++r) {
        glBegin(GL_QUAD_STRIP);
        for (int s = 0; s <= sides; ++s) {
            const double a = 2 * kPi * s / sides, nx = std::sin(a), ny = std::cos(a);
            glNormal3d(nx, ny, 0);
            glVertex3d(cx + rings[r][1] * nx, rings[r][2] + rings[r][1] * ny, rings[r][0]);
            glVertex3d(cx + rings[r + 1][1] * nx, rings[r + 1][2] + rings[r + 1][1] * ny,
                       rings[r + 1][0]);
        }
        glEnd();
    }
}

// A box between two corners.
void Box(double x0, double y0, double z0, double x1, double y1, double z1) {
    const double c[2][3] = {{x0, y0, z0}, {x1, y1, z1}};
    glBegin(GL_QUADS);
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            double n[3] = {0, 0, 0};
            n[axis] = side ? 1 : -1;
            glNormal3dv(n);
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            for (int k = 0; k < 4; ++k) {
                double p[3];
                p[axis] = c[side][axis];
                p[u] = c[(k == 1 || k == 2) ? 1 : 0][u];
                p[v] = c[k >= 2 ? 1 : 0][v];
                glVertex3dv(p);
            }
        }
    }
    glEnd();
}

// A wheel: a short cylinder along x, with its sides closed.
void Wheel(double x, double y, double z, double radius, double width) {
    const int sides = 16;
    glBegin(GL_QUAD_STRIP);
    for (int s = 0; s <= sides; ++s) {
        const double a = 2 * kPi * s / sides, ny = std::cos(a), nz = std::sin(a);
        glNormal3d(0, ny, nz);
        glVertex3d(x - width / 2, y + radius * ny, z + radius * nz);
        glVertex3d(x + width / 2, y + radius * ny, z + radius * nz);
    }
    glEnd();
    for (int side = -1; side <= 1; side += 2) {
        glBegin(GL_TRIANGLE_FAN);
        glNormal3d(side, 0, 0);
        glVertex3d(x + side * width / 2, y, z);
        for (int s = 0; s <= sides; ++s) {
            const double a = 2 * kPi * s / sides;
            glVertex3d(x + side * width / 2, y + radius * std::cos(a), z + radius * std::sin(a));
        }
        glEnd();
    }
}

// A strut of half-width w from (x0, y0) down to (x1, y1) at z: a slanted square prism.
void Strut(double x0, double y0, double x1, double y1, double z, double w) {
    const double corners[4][2] = {{-w, -w}, {w, -w}, {w, w}, {-w, w}};
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k <= 4; ++k) {
        const double* c = corners[k % 4];
        glNormal3d(c[0], 0, c[1]);
        glVertex3d(x0 + c[0], y0, z + c[1]);
        glVertex3d(x1 + c[0], y1, z + c[1]);
    }
    glEnd();
}

// A gear slot: its leg from where the file attaches it (or from the fuselage's underside when
// the attachment hangs below it, as on a bush plane's splayed gear) down to the axle, and its
// tyre, or a skid's runner.
void DrawGear(const GearSlot& g, double scale, double bodyY, double radius) {
    const GearLeg& l = g.leg;
    const double axleY = l.y - l.legLength;
    const double strut = std::clamp(0.04 * scale, 0.03, 0.15);
    const double underside = bodyY - radius * 0.7;
    Paint(0.55f, 0.56f, 0.60f);
    if (l.legLength > 0) Strut(l.x, l.y, l.x, axleY, l.z, strut);
    if (l.y < underside)
        Strut(std::clamp(static_cast<double>(l.x), -radius * 0.5, radius * 0.5), underside, l.x,
              std::min(static_cast<double>(l.y), axleY), l.z, strut);
    if (g.type == 1) {  // a skid: a runner along the body
        Paint(0.25f, 0.25f, 0.28f);
        const double half = std::max(0.5, 0.08 * scale);
        Box(l.x - strut, axleY - strut, l.z - half, l.x + strut, axleY + strut, l.z + half);
        return;
    }
    Paint(0.10f, 0.10f, 0.11f);
    const double tyre = std::max(0.005, static_cast<double>(l.tyreRadius));
    Wheel(l.x, axleY, l.z, tyre, std::max(0.01, tyre * 0.6));
}

}  // namespace

void DrawStandIn(const Aircraft& a, const double position[3], double psi, double theta,
                 double phi) {
    const AircraftOutline& o = a.outline;
    const double length = std::max(1.0, o.tailZ - o.noseZ);
    const double span = std::max(1.0, 2 * o.halfSpan);
    const double r = std::clamp(length * 0.055, 0.2, 3.0);
    const double y = o.bodyY, z0 = o.noseZ, z1 = o.tailZ;

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(position[0], position[1], position[2]);
    glRotated(-psi, 0, 1, 0);
    glRotated(theta, 1, 0, 0);
    glRotated(-phi, 0, 0, 1);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);

    // Fuselage: a rounded nose, a straight cabin and a cone rising to the tail.
    const double rings[][3] = {{z0, r * 0.15, y},
                               {z0 + length * 0.04, r * 0.75, y},
                               {z0 + length * 0.12, r, y},
                               {z1 - length * 0.28, r, y},
                               {z1 - length * 0.04, r * 0.35, y + r * 0.5},
                               {z1, r * 0.1, y + r * 0.6}};
    Paint(0.93f, 0.93f, 0.95f);
    Tube(0, rings, 6, 16);

    // Wing about the centre of gravity, low on the fuselage; tailplane and fin at the tail.
    const double chord = std::clamp(length * 0.14, 0.3, 9.0);
    const double thick = std::max(0.04, chord * 0.08);
    const double wingY = y - r * 0.45;
    Paint(0.80f, 0.82f, 0.86f);
    Box(-span / 2, wingY - thick, -chord * 0.45, span / 2, wingY + thick, chord * 0.55);
    const double tailChord = chord * 0.55, tailSpan = std::max(span * 0.32, r * 2.5);
    Box(-tailSpan / 2, y + r * 0.4 - thick * 0.6, z1 - tailChord * 1.2, tailSpan / 2,
        y + r * 0.4 + thick * 0.6, z1 - tailChord * 0.2);
    Paint(0.12f, 0.27f, 0.62f);
    Box(-thick, y + r * 0.5, z1 - tailChord * 1.5, thick, y + r * 0.5 + std::max(r * 2.6, 0.6),
        z1 - tailChord * 0.1);

    for (const GearSlot& g : a.gear)
        if (g.type > 0) DrawGear(g, length, y, r);

    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_NORMALIZE);
    // OpenGL's default material again, for what is drawn next.
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glPopMatrix();
}

}  // namespace simhost::detail
