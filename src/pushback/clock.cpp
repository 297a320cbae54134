#include "platform/clock.h"
#include "pushback/host_data.h"

namespace tarvosk {

namespace {

// Only the simulated host publishes this: its virtual time, so a scenario runs the same on
// every machine and faster than real time. The real simulator has no such dataref.
constexpr const char* kHostClockDataref = "simhost/clock/monotonic_seconds";

struct ClockState {
    bool firstCall = true;
    XPLMDataRef hostClock = nullptr;
    long double origin = 0.0L;
};

ClockState gClock;

}  // namespace

void RestartElapsedSeconds() {
    gClock = ClockState{};
}

// The one time seam of the plug-in: the host's clock when it offers one, else the steady clock.
long double ElapsedSeconds() {
    if (gClock.firstCall) gClock.hostClock = XPLMFindDataRef(kHostClockDataref);
    long double now = 0.0L;
    if (gClock.hostClock != nullptr) {
        now = XPLMGetDatad(gClock.hostClock);
    } else {
        now = platform::MonotonicSeconds();
    }
    if (gClock.firstCall) {
        gClock.origin = now;
        gClock.firstCall = false;
    }
    return now - gClock.origin;
}

}  // namespace tarvosk
