#include "pushback/motion_base.h"

#include <algorithm>

#include "config/settings.h"
#include "pushback/heading_math.h"
#include "pushback/host_data.h"
#include "pushback/pushback.h"
#include "pushback/tug_geometry.h"

namespace tarvosk {

PushPace gPace;

namespace {

// A hitch of the simulator must not jump the aircraft, nor turn it past its target heading in
// one step (the end test looks for the target's whole degree): at most a tenth of a second
// counts, which bounds the turn to 0.75 degrees per frame even at the slider's top speed.
constexpr double kLongestStep = 0.1;

}  // namespace

void ResetPace() {
    gPace = PushPace{};
}

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

double Approach(double value, double target, double step) {
    if (value < target) return std::min(value + step, target);
    return std::max(value - step, target);
}

double PaceStep(double distance, float sinceLast) {
    const double dt = StepSeconds(sinceLast);
    // The speed is the step over the frame's real length (a slow frame still moves one step).
    const double frame = sinceLast > 0.0f ? static_cast<double>(sinceLast) : 0.0;
    const double nominal = frame > 0.0 ? distance / frame : 0.0;
    const bool halting = Halting();
    if (halting) gPace.easing = true;
    if (!gPace.easing) {
        gPace.speed = nominal;
        return 1.0;
    }
    if (halting) {
        // The tug brakes from the kind's own speed, however high the frame rate or the truck
        // speed made it, in kTugHaltSeconds at most. Braking counts the frame's whole length:
        // a long frame only halts it sooner.
        gPace.speed = std::min(gPace.speed, nominal);
        const double rate = std::max(kSpeedRate, nominal / kTugHaltSeconds);
        gPace.speed = Approach(gPace.speed, 0.0, rate * frame);
    } else {
        gPace.speed = Approach(gPace.speed, nominal, kSpeedRate * dt);
        if (gPace.speed >= nominal) {
            gPace.easing = false;
            gPace.speed = nominal;
            return 1.0;
        }
    }
    return nominal > 0.0 ? std::min(gPace.speed / nominal, 1.0) : 0.0;
}

void SetAircraftPose(float h, double x, double z) {
    XPLMSetDatad(gHostData.localX, x);
    XPLMSetDatad(gHostData.localZ, z);
    const float phi = XPLMGetDataf(gHostData.phi);
    const float theta = XPLMGetDataf(gHostData.theta);
    Quaternion q = AttitudeQuaternion(h, theta, phi);
    XPLMSetDatavf(gHostData.q, q.q, 0, 4);
}

void SteerNoseWheel(PushDirection side) {
    if (XPLMGetDatai(gHostData.hasJoystick) != 1) return;
    const float r = XPLMGetDataf(gHostData.yokeHeadingRatio);
    switch (side) {
        case PushDirection::Straight:
            XPLMSetDataf(gHostData.yokeHeadingRatio, 0.0f);
            break;
        case PushDirection::TailLeft:
            if (r > -0.3f) XPLMSetDataf(gHostData.yokeHeadingRatio, r - 0.02f);
            break;
        case PushDirection::TailRight:
            if (r < 0.3f) XPLMSetDataf(gHostData.yokeHeadingRatio, r + 0.02f);
            break;
    }
}

void EndPush(bool pedalsArePilots) {
    XPLMSetDataf(gHostData.parkBrake, 1.0f);
    // Pedals that steer a manual kind are the pilot's: never written.
    if (XPLMGetDatai(gHostData.hasJoystick) == 1 && !pedalsArePilots) {
        XPLMSetDataf(gHostData.yokeHeadingRatio, 0.0f);
    }
    UpdateTruckSwing(PushDirection::Straight, XPLMGetDataf(gHostData.psi));
    gPushback.steering = Steering::None;
    gPushback.pushing = false;
}

void TogglePause() {
    if (!gPushback.pushRequested || !TugEngaged(gPushback.truckPhase)) return;
    gPace.paused = !gPace.paused;
}

void StopHere() {
    if (!gPushback.pushRequested || !TugEngaged(gPushback.truckPhase) || gPace.stopping) return;
    // Before the push has begun nothing has moved: it ends as "Stop PushBack!" does, without
    // a clearance, the brake as the pilot left it.
    if (gPushback.truckPhase != TugPhase::Pushing) {
        StopPushback();
        return;
    }
    gPace.stopping = true;
}

}  // namespace tarvosk
