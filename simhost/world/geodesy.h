// The earth under the host's local frame: a sphere, the frame a tangent plane on it.
#pragma once

namespace simhost::detail {

struct LatLon {
    double latitude = 0, longitude = 0, altitude = 0;  // degrees; metres above sea level
};

// Local x east, y up, z south, in metres, from the origin the host's configuration gives.
LatLon LocalToLatLon(double x, double y, double z);
void LatLonToLocal(const LatLon& p, double* x, double* y, double* z);
// Metres along the surface between two points (degrees).
double SurfaceDistance(double lat1, double lon1, double lat2, double lon2);

}  // namespace simhost::detail
