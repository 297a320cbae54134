#include "pushback/traffic_geometry.h"

#include <algorithm>
#include <cmath>

namespace tarvosk {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct TypeRow {
    const char* type;
    Footprint size;
};

// Wingspan and overall length, rounded up to a tenth of a metre, from the makers' published
// airport-planning data (for each type the largest variant, winglets or sharklets included).
// Sorted by designator for the binary search.
constexpr TypeRow kTypes[] = {
    {"A19N", {35.8, 33.9}}, {"A20N", {35.8, 37.6}}, {"A21N", {35.8, 44.6}}, {"A306", {44.9, 54.1}},
    {"A318", {34.1, 31.5}}, {"A319", {35.8, 33.9}}, {"A320", {35.8, 37.6}}, {"A321", {35.8, 44.6}},
    {"A332", {60.3, 58.9}}, {"A333", {60.3, 63.7}}, {"A338", {64.0, 58.9}}, {"A339", {64.0, 63.7}},
    {"A343", {60.3, 63.7}}, {"A346", {63.5, 75.4}}, {"A359", {64.8, 66.9}}, {"A35K", {64.8, 73.8}},
    {"A388", {79.8, 72.8}}, {"AT43", {24.6, 22.7}}, {"AT45", {24.6, 22.7}}, {"AT72", {27.1, 27.2}},
    {"AT75", {27.1, 27.2}}, {"AT76", {27.1, 27.2}}, {"B37M", {35.9, 35.6}}, {"B38M", {35.9, 39.6}},
    {"B39M", {35.9, 42.2}}, {"B3XM", {35.9, 43.8}}, {"B712", {28.5, 37.9}}, {"B736", {35.8, 31.3}},
    {"B737", {35.8, 33.7}}, {"B738", {35.8, 39.5}}, {"B739", {35.8, 42.2}}, {"B742", {59.7, 70.7}},
    {"B744", {64.5, 70.7}}, {"B748", {68.5, 76.3}}, {"B752", {41.1, 47.4}}, {"B753", {41.1, 54.5}},
    {"B762", {47.6, 48.6}}, {"B763", {51.0, 54.9}}, {"B764", {51.9, 61.4}}, {"B772", {60.9, 63.8}},
    {"B773", {60.9, 73.9}}, {"B77L", {64.8, 63.8}}, {"B77W", {64.8, 73.9}}, {"B788", {60.2, 56.8}},
    {"B789", {60.2, 62.9}}, {"B78X", {60.2, 68.3}}, {"BCS1", {35.1, 35.0}}, {"BCS3", {35.1, 38.8}},
    {"C172", {11.0, 8.3}},  {"C208", {15.9, 12.7}}, {"CRJ2", {21.3, 26.8}}, {"CRJ7", {23.3, 32.6}},
    {"CRJ9", {24.9, 36.2}}, {"CRJX", {26.2, 39.2}}, {"DH8D", {28.5, 32.9}}, {"E170", {26.0, 29.9}},
    {"E175", {26.0, 31.7}}, {"E190", {28.8, 36.3}}, {"E195", {28.8, 38.7}}, {"E290", {33.8, 36.3}},
    {"E295", {35.2, 41.6}}, {"MD11", {51.8, 61.7}}, {"MD82", {32.9, 45.1}}, {"MD88", {32.9, 45.1}},
    {"PC12", {16.3, 14.4}},
};

constexpr bool TypesSorted() {
    for (std::size_t i = 1; i < sizeof kTypes / sizeof kTypes[0]; ++i) {
        if (!(std::string_view(kTypes[i - 1].type) < std::string_view(kTypes[i].type)))
            return false;
    }
    return true;
}
static_assert(TypesSorted(), "the type table is searched by halves: keep it sorted");

struct Vec {
    double x, z;
};

// The four corners, counter-clockwise seen from above.
void Corners(const GroundBox& b, Vec out[4]) {
    const double h = b.heading * kPi / 180.0;
    const Vec fwd{std::sin(h), -std::cos(h)};
    const Vec right{std::cos(h), std::sin(h)};
    const double signs[4][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
        const double f = signs[i][0] * b.halfLength, r = signs[i][1] * b.halfSpan;
        out[i] = {b.x + fwd.x * f + right.x * r, b.z + fwd.z * f + right.z * r};
    }
}

double PointSegment(Vec p, Vec a, Vec b) {
    const double dx = b.x - a.x, dz = b.z - a.z;
    const double len2 = dx * dx + dz * dz;
    double t = len2 > 0.0 ? ((p.x - a.x) * dx + (p.z - a.z) * dz) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x, ez = a.z + t * dz - p.z;
    return std::sqrt(ex * ex + ez * ez);
}

// Separating axes of two rectangles: their four edge directions.
bool Overlap(const Vec a[4], const Vec b[4]) {
    const Vec* shapes[2] = {a, b};
    for (const Vec* s : shapes) {
        for (int e = 0; e < 2; ++e) {
            const Vec axis{s[e + 1].z - s[e].z, s[e].x - s[e + 1].x};
            double minA = 1e300, maxA = -1e300, minB = 1e300, maxB = -1e300;
            for (int i = 0; i < 4; ++i) {
                const double pa = a[i].x * axis.x + a[i].z * axis.z;
                const double pb = b[i].x * axis.x + b[i].z * axis.z;
                minA = std::min(minA, pa), maxA = std::max(maxA, pa);
                minB = std::min(minB, pb), maxB = std::max(maxB, pb);
            }
            if (maxA < minB || maxB < minA) return false;
        }
    }
    return true;
}

}  // namespace

Footprint FootprintOfType(std::string_view icaoType) {
    // The dataref holds up to 8 bytes, NUL-padded.
    const std::size_t nul = icaoType.find('\0');
    if (nul != std::string_view::npos) icaoType = icaoType.substr(0, nul);
    const TypeRow* end = kTypes + sizeof kTypes / sizeof kTypes[0];
    const TypeRow* row = std::lower_bound(
        kTypes, end, icaoType,
        [](const TypeRow& r, std::string_view t) { return std::string_view(r.type) < t; });
    if (row != end && icaoType == row->type) return row->size;
    return kUnknownFootprint;
}

GroundBox BoxAt(double x, double z, double heading, const Footprint& f) {
    return {x, z, heading, f.span / 2.0, f.length / 2.0};
}

double BoxGap(const GroundBox& a, const GroundBox& b) {
    Vec ca[4], cb[4];
    Corners(a, ca);
    Corners(b, cb);
    if (Overlap(ca, cb)) return 0.0;
    double gap = 1e300;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            gap = std::min(gap, PointSegment(ca[i], cb[j], cb[(j + 1) % 4]));
            gap = std::min(gap, PointSegment(cb[i], ca[j], ca[(j + 1) % 4]));
        }
    }
    return gap;
}

double BoxSeparation(const GroundBox& a, const GroundBox& b) {
    const double ha = a.heading * kPi / 180.0, hb = b.heading * kPi / 180.0;
    const double sa = std::sin(ha), ca = std::cos(ha), sb = std::sin(hb), cb = std::cos(hb);
    // Each box's forward (sin h, -cos h) and right (cos h, sin h) directions as the axes.
    const double axes[4][2] = {{sa, -ca}, {ca, sa}, {sb, -cb}, {cb, sb}};
    const double dx = b.x - a.x, dz = b.z - a.z;
    double widest = 0.0;
    for (const auto& axis : axes) {
        const double reachA = std::fabs(sa * axis[0] - ca * axis[1]) * a.halfLength +
                              std::fabs(ca * axis[0] + sa * axis[1]) * a.halfSpan;
        const double reachB = std::fabs(sb * axis[0] - cb * axis[1]) * b.halfLength +
                              std::fabs(cb * axis[0] + sb * axis[1]) * b.halfSpan;
        widest = std::max(widest, std::fabs(dx * axis[0] + dz * axis[1]) - reachA - reachB);
    }
    return widest;
}

GroundBox OwnBoxAt(const PathPose& pose, const OwnShape& own) {
    const GroundPoint centre = PlaceBodyPoint(pose, {0.0, own.centreAft});
    return BoxAt(centre.x, centre.z, pose.heading, own.footprint);
}

double SweptGap(const PushPath& path, const PathPose& start, const OwnShape& own, double from,
                double to, double spacing, const GroundBox& other, double enough,
                double* atDistance) {
    if (!(spacing > 0.0)) spacing = 1.0;
    from = std::clamp(from, 0.0, path.Length());
    to = std::clamp(to, from, path.Length());
    // Far away boxes need no corner work: their centres are further apart than both reaches
    // plus the stretch looked at.
    const double reachOwn = std::hypot(own.footprint.span / 2.0, own.footprint.length / 2.0);
    const double reachOther = std::hypot(other.halfSpan, other.halfLength);
    const PathPose first = path.PoseAt(start, from);
    const GroundBox firstBox = OwnBoxAt(first, own);
    const double centres = std::hypot(firstBox.x - other.x, firstBox.z - other.z);
    const double lowest = centres - reachOwn - reachOther - (to - from);
    if (lowest > enough) {
        if (atDistance != nullptr) *atDistance = from;
        return lowest;
    }
    double best = 1e300, bestAt = from;
    for (double d = from;; d += spacing) {
        if (d > to) d = to;
        const double gap = BoxGap(OwnBoxAt(path.PoseAt(start, d), own), other);
        if (gap < best) best = gap, bestAt = d;
        if (d >= to || best == 0.0) break;
    }
    if (atDistance != nullptr) *atDistance = bestAt;
    return best;
}

}  // namespace tarvosk
