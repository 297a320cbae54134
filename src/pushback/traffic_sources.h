// Where the other aircraft are, read from the host each frame a push runs: the TCAS target
// arrays where the simulator has them (X-Plane 11.50 on; one read per 64-slot array), else the
// multiplayer datarefs of planes 1 to 19. Handles are looked up once at enable; reading
// allocates nothing.
#pragma once

#include "pushback/traffic_geometry.h"

namespace tarvosk {

inline constexpr int kMaxOtherAircraft = 63;  // TCAS slots 1..63; slot 0 is our own aircraft

struct OtherAircraftList {
    GroundBox boxes[kMaxOtherAircraft];
    int count = 0;
};

// Looks up the traffic datarefs (none is required: a host without any shows no traffic).
void LookupTrafficDatarefs();

// True when the TCAS arrays are the source (false: multiplayer datarefs, or nothing).
bool TrafficFromTcas();

// The other aircraft now, as footprints on the ground. A slot whose position is exactly 0, 0
// is empty.
void ReadOtherAircraft(OtherAircraftList* out);

// Our own footprint: span and length from the aircraft's size datarefs (a single-aisle
// airliner's when the host has none), placed along the body by the nose wheel. Reads the gear
// table: call it once a push, not every frame.
OwnShape ReadOwnShape();

}  // namespace tarvosk
