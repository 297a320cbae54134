// Other aircraft on the ground around a push: their footprints by type, and how far the band
// our own aircraft sweeps along its path stays from them. Pure functions, no host calls, no
// allocation, so the traffic watch can run them every frame.
#pragma once

#include <string_view>

#include "pushback/push_path.h"

namespace tarvosk {

// Wingspan and overall length in metres.
struct Footprint {
    double span = 0.0;
    double length = 0.0;
};

// The footprint of an ICAO type designator ("B738", "A20N"); a generous default, the size of
// the largest twins, for a type the table does not know or an empty one.
Footprint FootprintOfType(std::string_view icaoType);
inline constexpr Footprint kUnknownFootprint{65.0, 75.0};

// An aircraft on the ground as a rectangle: span across, length along its heading, centred on
// its reference point (`aftShift` metres aft of it for our own aircraft, whose reference point
// is its centre of gravity).
struct GroundBox {
    double x = 0.0, z = 0.0;
    double heading = 0.0;  // degrees
    double halfSpan = 0.0, halfLength = 0.0;
};

GroundBox BoxAt(double x, double z, double heading, const Footprint& f);

// Metres between two boxes; 0 when they touch or overlap.
double BoxGap(const GroundBox& a, const GroundBox& b);

// A lower bound of BoxGap, cheap enough for every aircraft every frame: the widest gap between
// the boxes' shadows on their four edge directions (0 when they overlap on all four).
double BoxSeparation(const GroundBox& a, const GroundBox& b);

// Our aircraft as it moves: its footprint and where its centre lies in its own frame.
struct OwnShape {
    Footprint footprint;
    double centreAft = 0.0;  // metres the middle of the footprint lies behind the reference
};

// Our box when we stand at `pose`.
GroundBox OwnBoxAt(const PathPose& pose, const OwnShape& own);

// The smallest gap between our box, swept along `path` from `from` to `to` metres (checked
// every `spacing` metres, both ends included), and `other`. Returns the gap and, in
// `atDistance` (may be null), where along the path it is smallest. A gap known to be more than
// `enough` metres is not worked out: a lower bound above `enough` comes back instead.
double SweptGap(const PushPath& path, const PathPose& start, const OwnShape& own, double from,
                double to, double spacing, const GroundBox& other, double enough,
                double* atDistance);

}  // namespace tarvosk
