// Control API for other aircraft, and the frame's traffic step.
#include <cmath>

#include "control/host_state.h"
#include "simhost/traffic.h"

namespace simhost {

using namespace detail;

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

bool NotReady(std::string* why) {
    if (why) *why = "the host is not set up";
    return false;
}

float Heading(double heading) {
    return std::isfinite(heading) ? static_cast<float>(std::fmod(heading, 360.0)) : NAN;
}

}  // namespace

namespace detail {

void RunTraffic(double dt) {
    Host& h = H();
    const AircraftRefs& r = h.refs;
    const OwnAircraft own{r.localX->d, r.localY->d, r.localZ->d, r.psi->f, h.aircraft.sizeX};
    UpdateTraffic(h.traffic, own, dt);
}

void TrafficScriptWrite(const DatarefEntry* e, int offset, int count) {
    TrafficWrittenByScript(H().traffic, e, offset, count);
}

}  // namespace detail

int LastTrafficSlot() {
    return HostReady() ? H().traffic.LastSlot() : 0;
}

bool PlaceTraffic(int slot, const std::string& icao, double x, double z, double heading,
                  std::string* why) {
    if (!HostReady()) return NotReady(why);
    Host& h = H();
    return detail::PlaceTraffic(h.traffic, slot, icao, x, h.aircraft.groundY, z, Heading(heading),
                                why);
}

bool MoveTraffic(int slot, double speed, double heading, std::string* why) {
    if (!HostReady()) return NotReady(why);
    return detail::MoveTraffic(H().traffic, slot, speed, Heading(heading), why);
}

bool MoveTrafficTo(int slot, double x, double z, double speed, std::string* why) {
    if (!HostReady()) return NotReady(why);
    return detail::MoveTrafficTo(H().traffic, slot, x, z, speed, why);
}

bool RemoveTraffic(int slot, std::string* why) {
    if (!HostReady()) return NotReady(why);
    return detail::RemoveTraffic(H().traffic, slot, why);
}

std::vector<TrafficInfo> TrafficNow() {
    std::vector<TrafficInfo> out;
    if (!HostReady()) return out;
    const Traffic& t = H().traffic;
    for (int slot = 1; slot < kTcasSlots; ++slot) {
        TrafficPose pose;
        if (!TrafficPoseOf(t, slot, &pose)) continue;
        const TrafficSlot& s = t.slots[slot];
        const TrafficType& type = TrafficTypeOf(pose.icao);
        out.push_back({slot, pose.icao, pose.x, pose.y, pose.z, pose.heading, s.speed,
                       s.driver == SlotDriver::Script, type.span, type.length});
    }
    return out;
}

void LocalFromBody(double right, double aft, double* x, double* z) {
    if (!HostReady()) {
        *x = *z = 0;
        return;
    }
    const AircraftRefs& r = H().refs;
    const double psi = r.psi->f * kDegToRad, c = std::cos(psi), s = std::sin(psi);
    *x = r.localX->d + right * c - aft * s;
    *z = r.localZ->d + right * s + aft * c;
}

}  // namespace simhost
