// The soak's other aircraft: traffic appearing, moving and vanishing at random around the
// user's aircraft, now and then a script writing a slot itself, and requests the host must
// refuse (a slot the version lacks, a bad type or speed).
#include <cmath>
#include <cstdio>
#include <string>

#include "simhost/traffic.h"
#include "soak_run.h"

namespace simhost::soak {

namespace {

constexpr const char* kTypes[] = {"A320", "B738", "B77W", "A388", "C172", "CRJ9",
                                  "E190", "AT76", "DH8D", "ZZZZ", "b738", "TOOLONGTYPE"};

int AnySlot(Soak& s) {
    const int last = LastTrafficSlot();
    if (s.Below(12) == 0) return s.Below(2) ? 0 : last + 1;  // none the version has
    return 1 + s.Below(last);
}

std::string Outcome(bool ok, const std::string& why) {
    return ok ? std::string() : " (refused: " + why + ")";
}

}  // namespace

std::string MoveOtherAircraft(Soak& s) {
    const int slot = AnySlot(s);
    std::string why;
    char text[256];
    switch (s.Below(6)) {
        case 0:
        case 1: {
            // Mostly near the stand, where the plug-in has to watch it.
            const char* type = kTypes[s.Below(12)];
            double x, z;
            LocalFromBody(s.Uniform(-120, 120), s.Uniform(-120, 160), &x, &z);
            const double heading = s.Below(8) ? s.Uniform(0, 360) : s.AnyValue();
            const bool ok = PlaceTraffic(slot, type, x, z, heading, &why);
            std::snprintf(text, sizeof text, "traffic place %d %s at %.17g %.17g heading %.17g",
                          slot, type, x, z, heading);
            return text + Outcome(ok, why);
        }
        case 2: {
            const double speed = s.Below(6) ? s.Uniform(0, 15) : s.AnyValue();
            const double heading = s.Uniform(0, 360);
            const bool ok = MoveTraffic(slot, speed, heading, &why);
            std::snprintf(text, sizeof text, "traffic move %d speed %.17g heading %.17g", slot,
                          speed, heading);
            return text + Outcome(ok, why);
        }
        case 3: {
            double x, z;
            LocalFromBody(s.Uniform(-80, 80), s.Uniform(-80, 120), &x, &z);
            const double speed = s.Uniform(0.5, 12);
            const bool ok = MoveTrafficTo(slot, x, z, speed, &why);
            std::snprintf(text, sizeof text, "traffic move %d to %.17g %.17g speed %.17g", slot, x,
                          z, speed);
            return text + Outcome(ok, why);
        }
        case 4: {
            const bool ok = RemoveTraffic(slot, &why);
            return "traffic remove " + std::to_string(slot) + Outcome(ok, why);
        }
        default: {
            // A script drives a multiplayer slot itself; the host must leave it alone.
            const int n = 1 + s.Below(19);
            const std::string name = "sim/multiplayer/position/plane" + std::to_string(n) + "_x";
            const double v = s.Below(4) ? s.Uniform(-500, 500) : s.AnyValue();
            SetDataref(name, v);
            std::snprintf(text, sizeof text, "write %s = %.17g", name.c_str(), v);
            return text;
        }
    }
}

}  // namespace simhost::soak
