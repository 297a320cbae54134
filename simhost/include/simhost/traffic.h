// Other aircraft in the simulated world, from tests, scenarios and the soak.
//
// The host publishes them as the simulator of its version does: the multiplayer datarefs
// (sim/multiplayer/position/planeN_x, _y, _z, _psi, N = 1 to 19) always, the TCAS arrays
// (sim/cockpit2/tcas/targets/..., 64 slots, slot 0 the user's aircraft) from 11500 on, their
// wing spans from 12000 on. A slot whose datarefs a test or script wrote itself (SetDataref and
// friends) is left alone until a traffic call takes it again.
#pragma once

#include <string>
#include <vector>

#include "simhost/simhost.h"

namespace simhost {

// The highest slot the host's version publishes other aircraft in: 19, or 63 from 11500 on.
SIMHOST_API int LastTrafficSlot();
// An aircraft of ICAO type `icao` (1 to 7 capital letters and digits) standing on the ground
// at local (x, z), facing `heading` degrees true; it replaces whatever was in the slot.
SIMHOST_API bool PlaceTraffic(int slot, const std::string& icao, double x, double z, double heading,
                              std::string* why);
// A straight line at `speed` metres per second along `heading` (0 stops it), facing its way.
SIMHOST_API bool MoveTraffic(int slot, double speed, double heading, std::string* why);
// Straight to local (x, z) at `speed`, facing its way, and stops there.
SIMHOST_API bool MoveTrafficTo(int slot, double x, double z, double speed, std::string* why);
// Takes the aircraft away: the slot's datarefs read 0 and an empty type.
SIMHOST_API bool RemoveTraffic(int slot, std::string* why);

struct TrafficInfo {
    int slot;
    std::string icao;
    double x, y, z, heading, speed;
    bool scriptWritten;   // the script's own values, which the host leaves alone
    double span, length;  // metres, as the host draws its type
};
SIMHOST_API std::vector<TrafficInfo> TrafficNow();  // the slots in use, slot 0 not included

// The user's aircraft's body axes (x right, z aft) and heading give local positions.
SIMHOST_API void LocalFromBody(double right, double aft, double* x, double* z);

}  // namespace simhost
