// Small, bounded reads of host datarefs used across the pushback files.
//
// Every buffer starts zeroed, so a handle the host did not give us (after a failed start-up
// gate) reads as zero and nothing downstream indexes or divides with garbage.
#pragma once

#include <algorithm>

#include "pushback/host_data.h"

namespace tarvosk {

// Most engines we read or feed; the host may report more, or nonsense.
inline constexpr int kMaxEngines = 8;

// Element `index` of a float-array dataref, 0 when it cannot be read.
inline float ReadArrayElement(XPLMDataRef ref, int index) {
    float value = 0.0f;
    XPLMGetDatavf(ref, &value, index, 1);
    return value;
}

// The engine count, clamped to 0..kMaxEngines.
inline int EngineCount() {
    return std::clamp(XPLMGetDatai(gHostData.numEngines), 0, kMaxEngines);
}

// The first 6 bytes of the tail number, always terminated.
struct TailNumber {
    char text[7] = {};
};
inline TailNumber ReadTailNumber() {
    TailNumber tail;
    XPLMGetDatab(gHostData.tailNumber, tail.text, 0, 6);
    tail.text[6] = '\0';
    return tail;
}

}  // namespace tarvosk
