// The choice of the pushed wheel from the host's gear table: pure, so it is tested without a
// host (the reading and the refusal are in tug_geometry.cpp).
#include <cmath>

#include "pushback/tug_geometry.h"

namespace tarvosk {

namespace {

constexpr float kMinTyreRadius = 0.05f;  // smaller "wheels" are contact points, not gear
constexpr float kSameDistance = 0.001f;  // a tie between mirrored wheels

bool IsWheel(const GearTable& t, int k) {
    return t.type[k] >= 2 && t.tyreRadius[k] >= kMinTyreRadius && std::isfinite(t.x[k]) &&
           std::isfinite(t.z[k]);
}

}  // namespace

GearChoice ChooseGears(const GearTable& t) {
    GearChoice c;
    const int count = t.count < kGearSlots ? t.count : kGearSlots;
    for (int k = 0; k < count; ++k) {
        if (!IsWheel(t, k)) continue;
        if (t.steers[k] != 0 && t.z[k] < 0.0f && (c.nose < 0 || t.z[k] < t.z[c.nose])) c.nose = k;
        if (t.z[k] > 0.0f &&
            (c.main < 0 || std::fabs(t.x[k]) < std::fabs(t.x[c.main]) - kSameDistance))
            c.main = k;
    }
    return c;
}

}  // namespace tarvosk
