// The aircraft is not pushed by forces: each frame it is moved truckSpeedFactor units back and
// turned 0.15 degrees, written straight into the flight model. Per frame, not per second,
// unless SPEED_PER_SECOND asks for a step that follows the frame's duration.
#include "pushback/push_motion.h"

#include "config/settings.h"
#include "pushback/heading_math.h"
#include "pushback/host_data.h"
#include "pushback/manual_drive.h"
#include "pushback/pushback.h"
#include "pushback/traffic_watch.h"
#include "pushback/tug_geometry.h"
#include "pushback/turns.h"

namespace tarvosk {

void SetAircraftPose(float h, double x, double z) {
    XPLMSetDatad(gHostData.localX, x);
    XPLMSetDatad(gHostData.localZ, z);
    const float phi = XPLMGetDataf(gHostData.phi);
    const float theta = XPLMGetDataf(gHostData.theta);
    Quaternion q = AttitudeQuaternion(h, theta, phi);
    XPLMSetDatavf(gHostData.q, q.q, 0, 4);
}

void SteerNoseWheel(int turn) {
    if (XPLMGetDatai(gHostData.hasJoystick) != 1) return;
    const float r = XPLMGetDataf(gHostData.yokeHeadingRatio);
    if (turn == 0) {
        XPLMSetDataf(gHostData.yokeHeadingRatio, 0.0f);
    } else if (turn == 1) {
        if (r > -0.3f) XPLMSetDataf(gHostData.yokeHeadingRatio, r - 0.02f);
    } else if (turn == 2) {
        if (r < 0.3f) XPLMSetDataf(gHostData.yokeHeadingRatio, r + 0.02f);
    }
}

namespace {

// The per-frame turn and step keep an arc of 0.1 / (0.15 degrees in radians), about 38.2
// units; the per-second mode keeps that radius by turning 1.5 degrees per unit pushed.
constexpr double kTurnPerFrame = 0.15;
constexpr double kTurnPerUnit = kTurnPerFrame / 0.1;

// A hitch of the simulator must not jump the aircraft, nor turn it past its target heading in
// one step (the end test looks for the target's whole degree): at most a tenth of a second
// counts, which bounds the turn to 0.75 degrees per frame even at the slider's top speed.
constexpr double kLongestStep = 0.1;

}  // namespace

double StepSeconds(float sinceLast) {
    const double dt = sinceLast;
    if (!(dt > 0.0)) return 0.0;
    return dt < kLongestStep ? dt : kLongestStep;
}

PushStep PushStepFor(float sinceLast) {
    if (!gSettings.SPEED_PER_SECOND) return {gSettings.truckSpeedFactor, kTurnPerFrame};
    const double distance = gSettings.TRUCK_SPEED / 10.0 * StepSeconds(sinceLast);
    return {distance, kTurnPerUnit * distance};
}

float PushMotionLoop(float sinceLast, float, int, void*) {
    const HostDatarefs& d = gHostData;
    double x = XPLMGetDatad(d.localX);
    double z = XPLMGetDatad(d.localZ);
    float psi = XPLMGetDataf(d.psi);

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
    if (gManual.mode != kManualNone) {
        ManualMotionFrame(sinceLast);
        return -1.0f;
    }

    PushStep pushStep = PushStepFor(sinceLast);
    int turn = 0;
    double dh = 0.0;
    if (gPushback.steeringMode != 1) {
        turn = (gPushback.direction == 1 || gPushback.direction == 2) ? gPushback.direction : 0;
        dh = turn == 1 ? pushStep.turnDegrees : turn == 2 ? -pushStep.turnDegrees : 0.0;
    }

    if (gPushback.steeringMode != 0) {
        x = XPLMGetDatad(d.localX);
        z = XPLMGetDatad(d.localZ);
        psi = XPLMGetDataf(d.psi);
        if (gPushback.steeringMode == 2) {
            if (EndOfPushReached(psi)) {
                EndPush();
                return -1.0f;
            }
        } else if (gPushback.steeringMode == 1 && LegEndReached(x, z)) {
            gPushback.steeringMode = 2;
            return -1.0f;
        }
    }

    // A pause or "stop here" brakes the step down on the same arc; otherwise the share is 1.
    const double pace = FixedKindPace(pushStep.distance, sinceLast);
    if (gManual.stopping && gManual.speed <= 0.0) {
        EndPush();
        return -1.0f;
    }
    if (pace < 1.0) {
        if (!(pace > 0.0)) return -1.0f;
        pushStep.distance *= pace;
        dh *= pace;
    }

    SteerNoseWheel(turn);
    psi = XPLMGetDataf(d.psi);
    UpdateTruckSwing(2 - turn, psi);

    const double step = pushStep.distance;
    const HeadingTrig t = HeadingTrig32(psi);
    const double newX = x - step * t.sinH;
    const double newZ = z + step * t.cosH;
    SetAircraftPose(static_cast<float>(psi + dh), newX, newZ);
    return -1.0f;
}

}  // namespace tarvosk
