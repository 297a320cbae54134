#include "pushback/traffic_sources.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "pushback/host_data.h"
#include "pushback/tug_geometry.h"

namespace tarvosk {

namespace {

constexpr int kTcasSlots = 64;
constexpr int kTypeBytes = 8;  // per slot in the type array, NUL-padded
constexpr int kMultiplayerPlanes = 19;

struct TrafficDatarefs {
    XPLMDataRef x = nullptr, z = nullptr, psi = nullptr;
    XPLMDataRef type = nullptr, span = nullptr, count = nullptr;
    XPLMDataRef planeX[kMultiplayerPlanes] = {};
    XPLMDataRef planeZ[kMultiplayerPlanes] = {};
    XPLMDataRef planePsi[kMultiplayerPlanes] = {};
};
TrafficDatarefs gRefs;

// One frame's reads; static so the frame allocates nothing and the stack stays small.
struct TcasFrame {
    float x[kTcasSlots], z[kTcasSlots], psi[kTcasSlots], span[kTcasSlots];
    char type[kTcasSlots * kTypeBytes];
    // Each slot's type as last looked up, and its footprint: types rarely change.
    char knownType[kTcasSlots * kTypeBytes];
    Footprint known[kTcasSlots];
    bool looked[kTcasSlots];
};
TcasFrame gFrame;

// A single-aisle airliner: what a host without size datarefs most likely flies.
constexpr Footprint kOwnFallback{35.8, 37.6};
// On airliners the nose lies about a seventh of the length ahead of the nose wheel (an A320:
// 5.1 m of 37.6), which places the footprint along the body.
constexpr double kNoseAheadOfNoseWheel = 0.14;

bool Usable(double x, double z, double psi) {
    return std::isfinite(x) && std::isfinite(z) && std::isfinite(psi) && !(x == 0.0 && z == 0.0);
}

void ReadTcas(OtherAircraftList* out) {
    int n = XPLMGetDatai(gRefs.count);
    if (n > kTcasSlots) n = kTcasSlots;
    if (n <= 1) return;
    XPLMGetDatavf(gRefs.x, gFrame.x, 0, n);
    XPLMGetDatavf(gRefs.z, gFrame.z, 0, n);
    XPLMGetDatavf(gRefs.psi, gFrame.psi, 0, n);
    XPLMGetDatab(gRefs.type, gFrame.type, 0, n * kTypeBytes);
    const bool spans = gRefs.span != nullptr;
    if (spans) XPLMGetDatavf(gRefs.span, gFrame.span, 0, n);
    for (int i = 1; i < n; ++i) {
        if (!Usable(gFrame.x[i], gFrame.z[i], gFrame.psi[i])) continue;
        const char* type = gFrame.type + i * kTypeBytes;
        char* knownType = gFrame.knownType + i * kTypeBytes;
        if (!gFrame.looked[i] || std::memcmp(type, knownType, kTypeBytes) != 0) {
            std::memcpy(knownType, type, kTypeBytes);
            gFrame.known[i] = FootprintOfType(std::string_view(type, kTypeBytes));
            gFrame.looked[i] = true;
        }
        Footprint f = gFrame.known[i];
        // The simulator's own wing span wins over the table's.
        if (spans && gFrame.span[i] > 0.0f && gFrame.span[i] < 200.0f) f.span = gFrame.span[i];
        out->boxes[out->count++] = BoxAt(gFrame.x[i], gFrame.z[i], gFrame.psi[i], f);
    }
}

void ReadMultiplayer(OtherAircraftList* out) {
    for (int i = 0; i < kMultiplayerPlanes; ++i) {
        if (gRefs.planeX[i] == nullptr || gRefs.planeZ[i] == nullptr) continue;
        const double x = XPLMGetDatad(gRefs.planeX[i]);
        const double z = XPLMGetDatad(gRefs.planeZ[i]);
        const double psi = XPLMGetDataf(gRefs.planePsi[i]);
        // These datarefs carry no type: every one gets the generous default.
        if (Usable(x, z, psi)) out->boxes[out->count++] = BoxAt(x, z, psi, kUnknownFootprint);
    }
}

}  // namespace

void LookupTrafficDatarefs() {
    TrafficDatarefs& r = gRefs;
    r.x = XPLMFindDataRef("sim/cockpit2/tcas/targets/position/x");
    r.z = XPLMFindDataRef("sim/cockpit2/tcas/targets/position/z");
    r.psi = XPLMFindDataRef("sim/cockpit2/tcas/targets/position/psi");
    r.type = XPLMFindDataRef("sim/cockpit2/tcas/targets/icao_type");
    r.span = XPLMFindDataRef("sim/cockpit2/tcas/targets/wake/wing_span_m");
    r.count = XPLMFindDataRef("sim/cockpit2/tcas/indicators/tcas_num_acf");
    char name[64];
    for (int i = 0; i < kMultiplayerPlanes; ++i) {
        std::snprintf(name, sizeof name, "sim/multiplayer/position/plane%d_x", i + 1);
        r.planeX[i] = XPLMFindDataRef(name);
        std::snprintf(name, sizeof name, "sim/multiplayer/position/plane%d_z", i + 1);
        r.planeZ[i] = XPLMFindDataRef(name);
        std::snprintf(name, sizeof name, "sim/multiplayer/position/plane%d_psi", i + 1);
        r.planePsi[i] = XPLMFindDataRef(name);
    }
}

bool TrafficFromTcas() {
    const TrafficDatarefs& r = gRefs;
    return r.x != nullptr && r.z != nullptr && r.psi != nullptr && r.type != nullptr &&
           r.count != nullptr;
}

void ReadOtherAircraft(OtherAircraftList* out) {
    out->count = 0;
    if (TrafficFromTcas()) {
        ReadTcas(out);
    } else {
        ReadMultiplayer(out);
    }
}

OwnShape ReadOwnShape() {
    OwnShape own{kOwnFallback, 0.0};
    if (gHostData.sizeX == nullptr || gHostData.sizeZ == nullptr) return own;
    const float span = XPLMGetDataf(gHostData.sizeX);
    const float length = XPLMGetDataf(gHostData.sizeZ);
    if (std::isfinite(span) && span > 1.0f && span < 200.0f) own.footprint.span = span;
    if (std::isfinite(length) && length > 1.0f && length < 200.0f) own.footprint.length = length;
    // The sizes say how large, not where: the nose wheel says where the nose is. Without one
    // (a tail wheel, an old host) the footprint stays centred on the reference point.
    GearTable gear;
    if (ReadGearTable(&gear)) {
        const int nose = ChooseGears(gear).nose;
        const double size = own.footprint.length;
        if (nose >= 0 && gear.z[nose] < -0.2 * size) {
            const double noseZ = gear.z[nose] - kNoseAheadOfNoseWheel * size;
            own.centreAft = noseZ + size / 2.0;
        }
    }
    return own;
}

}  // namespace tarvosk
