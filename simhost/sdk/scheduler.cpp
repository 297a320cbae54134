// Flight loops and draw callbacks on virtual time, in the simulator's order.
#include <cstdio>

#include "control/host_state.h"
#include "drawing/graphics.h"
#include "drawing/graphics_internal.h"

using namespace simhost::detail;

namespace {

constexpr double kTimeSlack = 1e-9;  // frame times are exact fractions; guard rounding only

std::string Describe(XPLMFlightLoop_f cb, void* refcon) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%p refcon %p", reinterpret_cast<void*>(cb), refcon);
    return buf;
}

// Interval encoding shared by registration, rescheduling and return values:
// > 0 seconds, < 0 that many frames, 0 inactive (still registered).
void Schedule(FlightLoop& f, float interval, double from) {
    Host& h = H();
    if (interval > 0) {
        f.active = true;
        f.byFrames = false;
        f.dueTime = from + interval;
    } else if (interval < 0) {
        f.active = true;
        f.byFrames = true;
        long long frames = static_cast<long long>(-interval);
        if (frames < 1) frames = 1;
        f.dueFrame = h.frame + frames;
    } else {
        f.active = false;
    }
}

FlightLoop* FindLoop(XPLMFlightLoop_f cb, void* refcon) {
    for (FlightLoop& f : H().flightLoops)
        if (!f.removed && f.callback == cb && f.refcon == refcon) return &f;
    return nullptr;
}

}  // namespace

namespace simhost::detail {

void RunFlightLoops() {
    Host& h = H();
    const float sinceAny = static_cast<float>(h.now - h.lastFlightLoopPass);
    h.lastFlightLoopPass = h.now;
    h.inFlightLoops = true;
    // By index: callbacks may register more loops, which reallocates the vector. Loops
    // registered during the pass are due in a later frame at the earliest.
    const std::size_t count = h.flightLoops.size();
    for (std::size_t k = 0; k < count; ++k) {
        FlightLoop& f = h.flightLoops[k];
        if (f.removed || !f.active || !PluginIsEnabled(f.owner)) continue;
        bool due = f.byFrames ? h.frame >= f.dueFrame : h.now + kTimeSlack >= f.dueTime;
        if (!due) continue;
        const XPLMFlightLoop_f cb = f.callback;
        void* const refcon = f.refcon;
        const float sinceMine = static_cast<float>(h.now - f.lastCall);
        f.lastCall = h.now;
        h.runningCallback = cb;
        h.runningRefcon = refcon;
        float next;
        {
            PluginScope scope(f.owner);
            next = cb(sinceMine, sinceAny, static_cast<int>(h.frame), refcon);
        }
        h.runningCallback = nullptr;
        h.runningRefcon = nullptr;
        FlightLoop& after = h.flightLoops[k];  // the vector may have moved
        if (!after.removed) Schedule(after, next, h.now);
    }
    h.inFlightLoops = false;
    std::erase_if(h.flightLoops, [](const FlightLoop& f) { return f.removed; });
}

void RunDrawCallbacks() {
    Host& h = H();
    static const int kPhases[] = {
        xplm_Phase_FirstScene, xplm_Phase_Terrain,   xplm_Phase_Airports,  xplm_Phase_Vectors,
        xplm_Phase_Objects,    xplm_Phase_Airplanes, xplm_Phase_LastScene, xplm_Phase_FirstCockpit,
        xplm_Phase_Panel,      xplm_Phase_Gauges,    xplm_Phase_Window,    xplm_Phase_LastCockpit};
    // Without a context there is nothing to draw into: the phases are skipped. With nothing
    // to draw, the context need not even be made.
    if (h.drawCallbacks.empty() && !PictureWanted()) return;
    if (!GraphicsUp()) return;
    for (int phase : kPhases) {
        const bool scene = phase < xplm_Phase_FirstCockpit;
        if (phase == xplm_Phase_FirstCockpit) Begin2D();
        for (int before = 1; before >= 0; --before) {
            // The simulator draws its own part of the phase between the two kinds of callback.
            if (before == 0) HostDrawPhase(phase);
            const std::size_t count = h.drawCallbacks.size();
            for (std::size_t k = 0; k < count; ++k) {
                DrawCallback d = h.drawCallbacks[k];
                if (d.removed || d.phase != phase || d.before != before ||
                    !PluginIsEnabled(d.owner))
                    continue;
                // Vulkan and Metal never call the 3-D phases.
                if (scene && h.modernDriver) continue;
                ++h.drawCalls;
                if (scene) {
                    ++h.sceneDrawCalls;
                    Begin3DCallback();
                } else {
                    Begin2D();
                }
                PluginScope scope(d.owner);
                h.inDrawCallback = true;
                d.callback(phase, before, d.refcon);
                h.inDrawCallback = false;
            }
        }
    }
    std::erase_if(h.drawCallbacks, [](const DrawCallback& d) { return d.removed; });
}

}  // namespace simhost::detail

float XPLMGetElapsedTime(void) {
    return static_cast<float>(H().now);
}

void XPLMRegisterFlightLoopCallback(XPLMFlightLoop_f callback, float interval, void* refcon) {
    if (!HostReady() || !callback) return;
    Host& h = H();
    if (FindLoop(callback, refcon)) {
        // The simulator would run both instances; tests insist this never happens.
        ++h.doubleRegistrations;
        Event("warning: flight loop registered twice: " + Describe(callback, refcon) + " by " +
              PluginLabel(CurrentPlugin()));
    }
    FlightLoop f{callback, refcon, CurrentPlugin()};
    f.lastCall = h.now;
    Schedule(f, interval, h.now);
    h.flightLoops.push_back(f);
}

void XPLMUnregisterFlightLoopCallback(XPLMFlightLoop_f callback, void* refcon) {
    if (!HostReady()) return;
    Host& h = H();
    if (h.runningCallback == callback && h.runningRefcon == refcon)
        Fault("flight loop unregistered itself from inside its own call: " +
              Describe(callback, refcon));
    FlightLoop* f = FindLoop(callback, refcon);
    if (!f) return;
    f->removed = true;
    if (!h.inFlightLoops)
        std::erase_if(h.flightLoops, [](const FlightLoop& l) { return l.removed; });
}

void XPLMSetFlightLoopCallbackInterval(XPLMFlightLoop_f callback, float interval, int relativeToNow,
                                       void* refcon) {
    if (!HostReady()) return;
    FlightLoop* f = FindLoop(callback, refcon);
    if (!f) {
        Log("XPLMSetFlightLoopCallbackInterval for an unregistered callback " +
            Describe(callback, refcon));
        return;
    }
    Schedule(*f, interval, relativeToNow ? H().now : f->lastCall);
}

int XPLMRegisterDrawCallback(XPLMDrawCallback_f callback, XPLMDrawingPhase phase, int wantsBefore,
                             void* refcon) {
    if (!HostReady() || !callback) return 0;
    if (phase < 0 || phase > xplm_Phase_LastCockpit || phase % 5 != 0) return 0;
    H().drawCallbacks.push_back({callback, phase, wantsBefore ? 1 : 0, refcon, CurrentPlugin()});
    return 1;
}

int XPLMUnregisterDrawCallback(XPLMDrawCallback_f callback, XPLMDrawingPhase phase, int wantsBefore,
                               void* refcon) {
    if (!HostReady()) return 0;
    for (DrawCallback& d : H().drawCallbacks)
        if (!d.removed && d.callback == callback && d.phase == phase &&
            d.before == (wantsBefore ? 1 : 0) && d.refcon == refcon) {
            d.removed = true;
            return 1;
        }
    return 0;
}
