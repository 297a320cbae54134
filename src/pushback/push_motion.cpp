// The motion loop: each frame it hands the pushed aircraft to the running kind's motion. The
// fixed kinds are not pushed by forces: each frame the aircraft moves truckSpeedFactor units
// back and turns 0.15 degrees, written straight into the flight model. Per frame, not per
// second, unless SPEED_PER_SECOND asks for a step that follows the frame's duration.
#include "config/settings.h"
#include "pushback/heading_math.h"
#include "pushback/host_data.h"
#include "pushback/manual_drive.h"
#include "pushback/motion_base.h"
#include "pushback/planned_motion.h"
#include "pushback/pushback.h"
#include "pushback/traffic_watch.h"
#include "pushback/tug_geometry.h"
#include "pushback/turns.h"

namespace tarvosk {

namespace {

// The motion loop's frames in which nothing moves (brake set, push not running, sim paused).
void StillFrame(bool simPaused, float sinceLast) {
    if (simPaused) return;  // time stands still: so does every pace
    gPace.speed = 0.0;
    if (gManual.mode != kManualNone) ManualStillFrame(sinceLast);
    // Nothing to slow down: a halted push that was asked to stop here ends at once.
    if (gPace.stopping && gPushback.pushing && gPushback.pushRequested) {
        EndPush(ManualReadsRudder());
    }
}

void FixedKindFrame(float sinceLast) {
    const HostDatarefs& d = gHostData;
    double x = XPLMGetDatad(d.localX);
    double z = XPLMGetDatad(d.localZ);
    float psi = XPLMGetDataf(d.psi);

    PushStep pushStep = PushStepFor(sinceLast);
    PushDirection turn = PushDirection::Straight;
    double dh = 0.0;
    if (gPushback.steering != Steering::LegFirst) {
        turn = gPushback.direction;
        dh = turn == PushDirection::TailLeft    ? pushStep.turnDegrees
             : turn == PushDirection::TailRight ? -pushStep.turnDegrees
                                                : 0.0;
    }

    if (gPushback.steering != Steering::None) {
        x = XPLMGetDatad(d.localX);
        z = XPLMGetDatad(d.localZ);
        psi = XPLMGetDataf(d.psi);
        if (gPushback.steering == Steering::Turning) {
            if (EndOfPushReached(psi)) {
                EndPush(false);
                return;
            }
        } else if (LegEndReached(x, z)) {
            gPushback.steering = Steering::Turning;
            return;
        }
    }

    // A pause or "stop here" brakes the step down on the same arc; otherwise the share is 1.
    const double pace = PaceStep(pushStep.distance, sinceLast);
    if (gPace.stopping && gPace.speed <= 0.0) {
        EndPush(false);
        return;
    }
    if (pace < 1.0) {
        if (!(pace > 0.0)) return;
        pushStep.distance *= pace;
        dh *= pace;
    }

    SteerNoseWheel(turn);
    psi = XPLMGetDataf(d.psi);
    UpdateTruckSwing(turn, psi);

    const double step = pushStep.distance;
    const HeadingTrig t = HeadingTrig32(psi);
    const double newX = x - step * t.sinH;
    const double newZ = z + step * t.cosH;
    SetAircraftPose(static_cast<float>(psi + dh), newX, newZ);
}

}  // namespace

float PushMotionLoop(float sinceLast, float, int, void*) {
    const HostDatarefs& d = gHostData;
    const bool simPaused = XPLMGetDatai(d.paused) != 0;
    const bool moving = gPushback.pushing && !simPaused && XPLMGetDataf(d.parkBrake) == 0.0f &&
                        gPushback.pushRequested;
    if (!moving) {
        StillFrame(simPaused, sinceLast);
        return -1.0f;
    }
    // Traffic watch: brakes the tug short of other aircraft, or stops a step that would touch.
    if (WatchTraffic(sinceLast) == TrafficStep::kBlocked) {
        StillFrame(false, sinceLast);
        return -1.0f;
    }
    switch (KindInfo(gPushback.kind).motion) {
        case KindMotion::Manual:
            ManualMotionFrame(sinceLast);
            break;
        case KindMotion::Planned:
            PlannedMotionFrame(sinceLast);
            break;
        case KindMotion::Fixed:
            FixedKindFrame(sinceLast);
            break;
    }
    return -1.0f;
}

}  // namespace tarvosk
