#include "world/traffic.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "control/host_state.h"
#include "sdk/datarefs.h"

namespace simhost::detail {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr double kFarthest = 100000;  // metres from the local origin a traffic line may use
constexpr double kFastest = 150;      // metres per second: a take-off roll's end

// Span, length and reference-point height of the types the tests and demos use.
constexpr TrafficType kTypes[] = {
    {"A320", 35.8f, 37.6f, 3.2f}, {"B738", 35.8f, 39.5f, 3.1f}, {"B77W", 64.8f, 73.9f, 5.0f},
    {"A388", 79.8f, 72.7f, 6.2f}, {"C172", 11.0f, 8.3f, 1.0f},  {"CRJ9", 24.9f, 36.2f, 2.4f},
    {"E190", 28.7f, 36.2f, 2.7f}, {"AT72", 27.1f, 27.2f, 2.3f}, {"AT75", 27.1f, 27.2f, 2.3f},
    {"AT76", 27.1f, 27.2f, 2.3f}, {"DH8D", 28.4f, 32.8f, 2.5f}};
constexpr TrafficType kDefaultType = {"", 35.0f, 38.0f, 3.2f};

std::string Metres(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

float Normalized(double heading) {
    double h = std::fmod(heading, 360.0);
    if (h < 0) h += 360;
    return static_cast<float>(h >= 360 ? 0 : h);
}

bool Fail(std::string* why, const std::string& reason) {
    if (why) *why = reason;
    return false;
}

bool SlotInRange(const Traffic& t, int slot, std::string* why) {
    if (slot >= 1 && slot <= t.LastSlot()) return true;
    return Fail(why, "slot " + std::to_string(slot) + " is not one X-Plane " +
                         std::to_string(t.version) + " publishes other aircraft in (1 to " +
                         std::to_string(t.LastSlot()) + ")");
}

bool Driven(const Traffic& t, int slot, std::string* why) {
    if (!SlotInRange(t, slot, why)) return false;
    if (t.slots[slot].driver == SlotDriver::Traffic) return true;
    return Fail(why, "no traffic placed in slot " + std::to_string(slot));
}

bool GoodType(const std::string& icao) {
    if (icao.empty() || icao.size() >= static_cast<std::size_t>(kIcaoBytes)) return false;
    return std::all_of(icao.begin(), icao.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

void SetElement(DatarefEntry* e, int slot, float v) {
    if (e && slot < static_cast<int>(e->vf.size())) e->vf[slot] = v;
}

// Writes a slot into both sets as the simulator does; an empty icao clears the type.
void Publish(Traffic& t, int slot, double x, double y, double z, float heading,
             const std::string& icao, float span) {
    if (slot >= 1 && slot <= kMultiplayerSlots) {
        if (t.mpX[slot]) t.mpX[slot]->d = x;
        if (t.mpY[slot]) t.mpY[slot]->d = y;
        if (t.mpZ[slot]) t.mpZ[slot]->d = z;
        if (t.mpPsi[slot]) t.mpPsi[slot]->f = heading;
    }
    SetElement(t.tcasX, slot, static_cast<float>(x));
    SetElement(t.tcasY, slot, static_cast<float>(y));
    SetElement(t.tcasZ, slot, static_cast<float>(z));
    SetElement(t.tcasPsi, slot, heading);
    SetElement(t.wingSpan, slot, span);
    if (t.icaoType && slot > 0) {
        char* field = t.icaoType->bytes.data() + static_cast<std::ptrdiff_t>(slot) * kIcaoBytes;
        std::memset(field, 0, kIcaoBytes);
        std::memcpy(field, icao.data(), std::min<std::size_t>(icao.size(), kIcaoBytes - 1));
    }
}

void PublishSlot(Traffic& t, int slot) {
    const TrafficSlot& s = t.slots[slot];
    Publish(t, slot, s.x, s.y, s.z, s.heading, s.icao, TrafficTypeOf(s.icao).span);
}

// tcas_num_acf: the user's aircraft and every slot up to the highest in use, unless a script
// wrote it.
void Recount(Traffic& t) {
    if (!t.count || t.countHeld) return;
    int highest = 0;
    for (int slot = 1; slot < kTcasSlots; ++slot)
        if (t.slots[slot].driver != SlotDriver::Empty) highest = slot;
    t.count->i = highest + 1;
}

void Advance(TrafficSlot& s, int slot, double dt) {
    if (!(s.speed > 0) || !(dt > 0)) return;
    const double step = s.speed * dt;
    if (s.toTarget) {
        const double dx = s.targetX - s.x, dz = s.targetZ - s.z, left = std::hypot(dx, dz);
        if (left <= step) {
            s.x = s.targetX;
            s.z = s.targetZ;
            s.speed = 0;
            s.toTarget = false;
            Event("traffic: slot " + std::to_string(slot) + " stopped at " + Metres(s.x) + " " +
                  Metres(s.z));
            return;
        }
        s.x += dx / left * step;
        s.z += dz / left * step;
        return;
    }
    // Local axes: x east, z south; heading 0 is north.
    s.x += std::sin(s.heading * kDegToRad) * step;
    s.z -= std::cos(s.heading * kDegToRad) * step;
    // Past the edge of the local area it stops, rather than run on without bound.
    if (std::fabs(s.x) > kFarthest || std::fabs(s.z) > kFarthest) s.speed = 0;
}

}  // namespace

const TrafficType& TrafficTypeOf(const std::string& icao) {
    for (const TrafficType& type : kTypes)
        if (icao == type.icao) return type;
    return kDefaultType;
}

void RegisterTrafficDatarefs(DatarefRegistry& data, int version,
                             const std::vector<std::string>& omitted, Traffic* t) {
    *t = Traffic{};
    t->version = version;
    auto add = [&](const std::string& name, int type, bool writable) {
        const bool listed = std::find(omitted.begin(), omitted.end(), name) == omitted.end();
        return data.AddSim(name, type, writable, listed);
    };
    // Plug-ins may write the multiplayer positions (a plug-in that drives other aircraft does);
    // a slot the host drives is overwritten at the next frame, as the simulator does.
    for (int n = 1; n <= kMultiplayerSlots; ++n) {
        const std::string base = "sim/multiplayer/position/plane" + std::to_string(n);
        t->mpX[n] = add(base + "_x", xplmType_Double, true);
        t->mpY[n] = add(base + "_y", xplmType_Double, true);
        t->mpZ[n] = add(base + "_z", xplmType_Double, true);
        t->mpPsi[n] = add(base + "_psi", xplmType_Float, true);
    }
    t->slots[0].driver = SlotDriver::Own;
    if (version < kFirstTcasVersion) return;
    auto array = [&](const char* name) {
        DatarefEntry* e = add(name, xplmType_FloatArray, true);
        if (e) e->vf.assign(kTcasSlots, 0.0f);
        return e;
    };
    t->tcasX = array("sim/cockpit2/tcas/targets/position/x");
    t->tcasY = array("sim/cockpit2/tcas/targets/position/y");
    t->tcasZ = array("sim/cockpit2/tcas/targets/position/z");
    t->tcasPsi = array("sim/cockpit2/tcas/targets/position/psi");
    t->icaoType = add("sim/cockpit2/tcas/targets/icao_type", xplmType_Data, true);
    if (t->icaoType) t->icaoType->bytes.assign(kTcasSlots * kIcaoBytes, '\0');
    t->count = add("sim/cockpit2/tcas/indicators/tcas_num_acf", xplmType_Int, false);
    if (t->count) t->count->i = 1;
    if (version >= kFirstWingSpanVersion)
        t->wingSpan = array("sim/cockpit2/tcas/targets/wake/wing_span_m");
}

void UpdateTraffic(Traffic& t, const OwnAircraft& own, double dt) {
    for (int slot = 1; slot < kTcasSlots; ++slot) {
        TrafficSlot& s = t.slots[slot];
        if (s.driver != SlotDriver::Traffic) continue;
        Advance(s, slot, dt);
        PublishSlot(t, slot);
    }
    if (t.slots[0].driver == SlotDriver::Own)
        Publish(t, 0, own.x, own.y, own.z, own.heading, {}, own.span);
    Recount(t);
}

bool PlaceTraffic(Traffic& t, int slot, const std::string& icao, double x, double groundY, double z,
                  float heading, std::string* why) {
    if (!SlotInRange(t, slot, why)) return false;
    if (!GoodType(icao))
        return Fail(why, "'" + icao + "' is not an ICAO type (1 to 7 capital letters and digits)");
    if (!std::isfinite(x) || !std::isfinite(z) || std::fabs(x) > kFarthest ||
        std::fabs(z) > kFarthest)
        return Fail(why, "a traffic position must lie within 100 km of the local origin");
    if (!std::isfinite(heading)) return Fail(why, "the heading must be a number");
    TrafficSlot& s = t.slots[slot];
    s = TrafficSlot{};
    s.driver = SlotDriver::Traffic;
    s.icao = icao;
    s.x = x;
    s.y = groundY + TrafficTypeOf(icao).height;
    s.z = z;
    s.heading = Normalized(heading);
    t.countHeld = false;
    PublishSlot(t, slot);
    Recount(t);
    Event("traffic: slot " + std::to_string(slot) + " " + icao + " at " + Metres(x) + " " +
          Metres(z) + " heading " + Metres(s.heading));
    return true;
}

bool MoveTraffic(Traffic& t, int slot, double speed, float heading, std::string* why) {
    if (!Driven(t, slot, why)) return false;
    if (!(speed >= 0 && speed <= kFastest))
        return Fail(why, "a traffic speed is from 0 to 150 metres per second");
    if (!std::isfinite(heading)) return Fail(why, "the heading must be a number");
    TrafficSlot& s = t.slots[slot];
    s.speed = speed;
    s.heading = Normalized(heading);
    s.toTarget = false;
    PublishSlot(t, slot);
    Event("traffic: slot " + std::to_string(slot) + " moving " + Metres(speed) + " m/s heading " +
          Metres(s.heading));
    return true;
}

bool MoveTrafficTo(Traffic& t, int slot, double x, double z, double speed, std::string* why) {
    if (!Driven(t, slot, why)) return false;
    if (!(speed > 0 && speed <= kFastest))
        return Fail(why, "a traffic speed to a point is above 0 and at most 150 metres per second");
    if (!std::isfinite(x) || !std::isfinite(z) || std::fabs(x) > kFarthest ||
        std::fabs(z) > kFarthest)
        return Fail(why, "a traffic position must lie within 100 km of the local origin");
    TrafficSlot& s = t.slots[slot];
    const double dx = x - s.x, dz = z - s.z;
    if (std::hypot(dx, dz) < 1e-6) {
        s.speed = 0;
        s.toTarget = false;
        return true;
    }
    s.heading = Normalized(std::atan2(dx, -dz) / kDegToRad);
    s.speed = speed;
    s.toTarget = true;
    s.targetX = x;
    s.targetZ = z;
    PublishSlot(t, slot);
    Event("traffic: slot " + std::to_string(slot) + " moving " + Metres(speed) + " m/s to " +
          Metres(x) + " " + Metres(z));
    return true;
}

bool RemoveTraffic(Traffic& t, int slot, std::string* why) {
    if (!SlotInRange(t, slot, why)) return false;
    TrafficSlot& s = t.slots[slot];
    if (s.driver == SlotDriver::Empty)
        return Fail(why, "no aircraft in slot " + std::to_string(slot) + " to remove");
    s = TrafficSlot{};
    t.countHeld = false;
    Publish(t, slot, 0, 0, 0, 0, {}, 0);
    Recount(t);
    Event("traffic: slot " + std::to_string(slot) + " removed");
    return true;
}

void TrafficWrittenByScript(Traffic& t, const DatarefEntry* e, int offset, int count) {
    if (!e || count <= 0) return;
    if (e == t.count) {
        t.countHeld = true;
        return;
    }
    int first = -1, last = -1;
    ScriptedSet set = ScriptedSet::Tcas;
    for (int n = 1; n <= kMultiplayerSlots && first < 0; ++n)
        if (e == t.mpX[n] || e == t.mpY[n] || e == t.mpZ[n] || e == t.mpPsi[n]) {
            first = last = n;
            set = ScriptedSet::Multiplayer;
        }
    if (first < 0) {
        if (e == t.icaoType) {
            first = offset / kIcaoBytes;
            last = (offset + count - 1) / kIcaoBytes;
        } else if (e == t.tcasX || e == t.tcasY || e == t.tcasZ || e == t.tcasPsi ||
                   e == t.wingSpan) {
            first = offset;
            last = offset + count - 1;
        } else {
            return;
        }
    }
    for (int slot = std::max(first, 0); slot <= std::min(last, kTcasSlots - 1); ++slot) {
        TrafficSlot& s = t.slots[slot];
        s.driver = SlotDriver::Script;
        s.scripted = set;
        s.speed = 0;
        s.toTarget = false;
    }
    Recount(t);
}

bool TrafficPoseOf(const Traffic& t, int slot, TrafficPose* out) {
    if (slot < 1 || slot >= kTcasSlots) return false;
    const TrafficSlot& s = t.slots[slot];
    if (s.driver == SlotDriver::Traffic) {
        *out = {s.icao, s.x, s.y, s.z, s.heading};
        return true;
    }
    if (s.driver != SlotDriver::Script) return false;
    // As the script left it: the set it wrote last, the type from the TCAS arrays if any.
    out->icao = s.icao;
    if (t.icaoType) {
        const char* field =
            t.icaoType->bytes.data() + static_cast<std::ptrdiff_t>(slot) * kIcaoBytes;
        out->icao.assign(field, std::find(field, field + kIcaoBytes, '\0'));
    }
    const bool mp =
        slot <= kMultiplayerSlots && t.mpX[slot] && t.mpY[slot] && t.mpZ[slot] && t.mpPsi[slot];
    if (mp && (s.scripted == ScriptedSet::Multiplayer || !t.tcasX)) {
        out->x = t.mpX[slot]->d;
        out->y = t.mpY[slot]->d;
        out->z = t.mpZ[slot]->d;
        out->heading = t.mpPsi[slot]->f;
        return true;
    }
    if (!t.tcasX || !t.tcasY || !t.tcasZ || !t.tcasPsi) return false;
    out->x = t.tcasX->vf[slot];
    out->y = t.tcasY->vf[slot];
    out->z = t.tcasZ->vf[slot];
    out->heading = t.tcasPsi->vf[slot];
    return true;
}

}  // namespace simhost::detail
