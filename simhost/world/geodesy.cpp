// Latitude, longitude and altitude from local coordinates and back, the aircraft's position
// datarefs that follow from them, and the airports of the navigation database.
//
// The local frame's origin lies at the configured latitude and longitude, at the configured
// elevation, with x east, y up and z south along the plane that touches the earth there: the
// round trip is exact, and near the origin local y is the height above that elevation.
#include "world/geodesy.h"

#include <algorithm>
#include <cmath>

#include "control/host_state.h"

namespace simhost::detail {

namespace {

constexpr double kEarthRadius = 6371008.8;  // metres, the mean radius
constexpr double kRad = 3.14159265358979323846 / 180.0;

struct Vec {
    double x, y, z;
};

Vec EarthCentred(double lat, double lon, double alt) {
    const double r = kEarthRadius + alt;
    return {r * std::cos(lat * kRad) * std::cos(lon * kRad),
            r * std::cos(lat * kRad) * std::sin(lon * kRad), r * std::sin(lat * kRad)};
}

struct Frame {
    Vec origin, east, north, up;
};

Frame OriginFrame() {
    const simhost::HostConfig& c = H().config;
    const double sa = std::sin(c.originLatitude * kRad), ca = std::cos(c.originLatitude * kRad);
    const double so = std::sin(c.originLongitude * kRad), co = std::cos(c.originLongitude * kRad);
    return {EarthCentred(c.originLatitude, c.originLongitude, c.originElevation),
            {-so, co, 0},
            {-sa * co, -sa * so, ca},
            {ca * co, ca * so, sa}};
}

double Dot(const Vec& a, const Vec& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace

LatLon LocalToLatLon(double x, double y, double z) {
    const Frame f = OriginFrame();
    const double n = -z;
    const Vec p{f.origin.x + x * f.east.x + n * f.north.x + y * f.up.x,
                f.origin.y + x * f.east.y + n * f.north.y + y * f.up.y,
                f.origin.z + x * f.east.z + n * f.north.z + y * f.up.z};
    const double across = std::hypot(p.x, p.y);
    return {std::atan2(p.z, across) / kRad, std::atan2(p.y, p.x) / kRad,
            std::hypot(across, p.z) - kEarthRadius};
}

void LatLonToLocal(const LatLon& p, double* x, double* y, double* z) {
    const Frame f = OriginFrame();
    const Vec e = EarthCentred(p.latitude, p.longitude, p.altitude);
    const Vec d{e.x - f.origin.x, e.y - f.origin.y, e.z - f.origin.z};
    *x = Dot(d, f.east);
    *y = Dot(d, f.up);
    *z = -Dot(d, f.north);
}

double SurfaceDistance(double lat1, double lon1, double lat2, double lon2) {
    const double a = std::pow(std::sin((lat2 - lat1) * kRad / 2), 2) +
                     std::cos(lat1 * kRad) * std::cos(lat2 * kRad) *
                         std::pow(std::sin((lon2 - lon1) * kRad / 2), 2);
    return 2 * kEarthRadius * std::asin(std::min(1.0, std::sqrt(a)));
}

void InitGeodesy() {
    Host& h = H();
    const auto& omitted = h.config.omitDatarefs;
    auto add = [&](const char* name) {
        const bool listed = std::find(omitted.begin(), omitted.end(), name) == omitted.end();
        return h.data.AddSim(name, xplmType_Double, false, listed);
    };
    h.latitude = add("sim/flightmodel/position/latitude");
    h.longitude = add("sim/flightmodel/position/longitude");
    h.elevation = add("sim/flightmodel/position/elevation");
    h.airports.clear();
    if (h.config.defaultAirport) h.airports.push_back(simhost::kDefaultAirport);
    for (const simhost::AirportInfo& a : h.config.airports) h.airports.push_back(a);
    UpdateLatLon();
}

void UpdateLatLon() {
    Host& h = H();
    if (!h.latitude || !h.refs.localX) return;
    const LatLon p = LocalToLatLon(h.refs.localX->d, h.refs.localY->d, h.refs.localZ->d);
    h.latitude->d = p.latitude;
    h.longitude->d = p.longitude;
    h.elevation->d = p.altitude;
}

}  // namespace simhost::detail

using namespace simhost::detail;

void XPLMWorldToLocal(double latitude, double longitude, double altitude, double* outX,
                      double* outY, double* outZ) {
    double x = 0, y = 0, z = 0;
    if (HostReady()) LatLonToLocal({latitude, longitude, altitude}, &x, &y, &z);
    if (outX) *outX = x;
    if (outY) *outY = y;
    if (outZ) *outZ = z;
}

void XPLMLocalToWorld(double x, double y, double z, double* outLatitude, double* outLongitude,
                      double* outAltitude) {
    const LatLon p = HostReady() ? LocalToLatLon(x, y, z) : LatLon{};
    if (outLatitude) *outLatitude = p.latitude;
    if (outLongitude) *outLongitude = p.longitude;
    if (outAltitude) *outAltitude = p.altitude;
}
