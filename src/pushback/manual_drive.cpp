#include "pushback/manual_drive.h"

#include <algorithm>
#include <cmath>

#include "config/settings.h"
#include "pushback/heading_math.h"
#include "pushback/host_data.h"
#include "pushback/push_motion.h"
#include "pushback/pushback.h"
#include "pushback/traffic_watch.h"
#include "pushback/tug_geometry.h"
#include "pushback/turns.h"

namespace tarvosk {

ManualDrive gManual;

namespace {

// A held steer command reaches full deflection in this long.
constexpr double kSteerRiseSeconds = 1.0;
// Full deflection turns on the automated turns' radius: 0.15 degrees per 0.1 unit pushed.
constexpr double kTurnPerUnit = 1.5;
// The nose wheel shows the steering as far as the fixed kinds ramp it.
constexpr float kWheelDeflection = 0.3f;
// Below this the tug stays in line with the aircraft.
constexpr float kSwingThreshold = 0.05f;

double Approach(double value, double target, double step) {
    if (value < target) return std::min(value + step, target);
    return std::max(value - step, target);
}

float Clamp1(float v) {
    return std::clamp(v, -1.0f, 1.0f);
}

double MaxSpeed() {
    return gManual.mode == kManualTow ? kMaxTowSpeed : kMaxPushSpeed;
}

bool HasJoystick() {
    return XPLMGetDatai(gHostData.hasJoystick) == 1;
}

void CombineSteer() {
    gManual.steer = Clamp1(gManual.commandSteer + gManual.axisSteer + gManual.cockpitSteer);
}

void UpdateSteer(double dt) {
    const int side = (gManual.holdRight ? 1 : 0) - (gManual.holdLeft ? 1 : 0);
    if (side == 0) {
        gManual.commandSteer = 0.0f;
    } else {
        gManual.commandSteer =
            Clamp1(static_cast<float>(gManual.commandSteer + side * dt / kSteerRiseSeconds));
    }
    gManual.axisSteer = 0.0f;
    if (ManualReadsRudder()) {
        const float r = XPLMGetDataf(gHostData.yokeHeadingRatio);
        gManual.axisSteer = std::isfinite(r) ? Clamp1(r) : 0.0f;
    }
    CombineSteer();
}

// With the rudder steering, the simulator must keep reporting the pedals, so the axis is not
// taken over; otherwise the nose wheel shows the steering through the overridden ratio. The
// setting may change during the push.
void SteerNoseWheelManually() {
    if (!HasJoystick()) return;
    const int wanted = ManualReadsRudder() ? 0 : 1;
    if (XPLMGetDatai(gHostData.overrideJoystickHeading) != wanted) {
        XPLMSetDatai(gHostData.overrideJoystickHeading, wanted);
    }
    if (wanted == 1) XPLMSetDataf(gHostData.yokeHeadingRatio, kWheelDeflection * gManual.steer);
}

}  // namespace

void ResetManualDrive() {
    const bool left = gManual.holdLeft, right = gManual.holdRight;
    gManual = ManualDrive{};
    ResetTrafficWatch();  // traffic watch: a new push starts unheld
    // The keys are still where the pilot's fingers are.
    gManual.holdLeft = left;
    gManual.holdRight = right;
}

void StartManualKind(int mode) {
    StopPushback();
    if (mode != kManualPush && mode != kManualTow) return;
    gPushback.pushRequested = true;
    gPushback.direction = 0;
    gPushback.steeringMode = 0;
    gManual.mode = mode;
    gManual.targetSpeed = mode == kManualTow ? kDefaultTowSpeed : kDefaultPushSpeed;
    BeginPushback();
    TargetHeadingFor(0);
}

bool ManualReadsRudder() {
    return gManual.mode != kManualNone && gSettings.MANUAL_RUDDER;
}

void TogglePause() {
    if (!gPushback.pushRequested) return;
    if (gPushback.truckPhase < 0 || gPushback.truckPhase > 2) return;
    gManual.paused = !gManual.paused;
}

void StopHere() {
    if (!gPushback.pushRequested) return;
    if (gPushback.truckPhase < 0 || gPushback.truckPhase > 2 || gManual.stopping) return;
    // Before the push has begun nothing has moved: it ends as "Stop PushBack!" does, without
    // a clearance, the brake as the pilot left it.
    if (gPushback.truckPhase < 2) {
        StopPushback();
        return;
    }
    gManual.stopping = true;
}

void ChangeTargetSpeed(int steps) {
    if (gManual.mode == kManualNone) return;
    gManual.targetSpeed =
        std::clamp(gManual.targetSpeed + steps * kSpeedStep, kMinSpeed, MaxSpeed());
}

void HoldSteer(int side, bool held) {
    if (side < 0) gManual.holdLeft = held;
    if (side > 0) gManual.holdRight = held;
    // Released: back to centre at once, as a sprung tiller does.
    if (!held && gManual.holdLeft == gManual.holdRight) {
        gManual.commandSteer = 0.0f;
        if (gManual.mode != kManualNone) CombineSteer();
    }
}

void SetCockpitSteer(float value) {
    if (!std::isfinite(value)) return;
    gManual.cockpitSteer = Clamp1(value);
    // Read back at once, as a cockpit expects of a dataref it has just written.
    if (gManual.mode != kManualNone) CombineSteer();
}

void ManualMotionFrame(float sinceLast) {
    const double dt = StepSeconds(sinceLast);
    UpdateSteer(dt);
    // Faster and slower keep the comfort limit; a pause or "stop here" is the crew calling
    // stop, and the tug brakes to a halt within kTugHaltSeconds from any speed.
    const bool halting = gManual.paused || gManual.stopping || TrafficHolds();  // traffic watch
    const double target = halting ? 0.0 : gManual.targetSpeed;
    const double rate =
        halting ? std::max(kSpeedRate, gManual.targetSpeed / kTugHaltSeconds) : kSpeedRate;
    gManual.speed = Approach(gManual.speed, target, rate * dt);
    if (gManual.stopping && gManual.speed <= 0.0) {
        EndPush();
        return;
    }
    SteerNoseWheelManually();

    const double distance = gManual.speed * dt;
    if (!(distance > 0.0)) return;
    const HostDatarefs& d = gHostData;
    const double x = XPLMGetDatad(d.localX);
    const double z = XPLMGetDatad(d.localZ);
    const float psi = XPLMGetDataf(d.psi);
    const float steer = gManual.steer;
    UpdateTruckSwing(steer < -kSwingThreshold ? 1 : steer > kSwingThreshold ? 0 : 2, psi);

    // Reversing: the tail goes where the pilot steers, so left raises the heading as a tail-left
    // turn does. Towing: the nose goes there.
    const bool push = gManual.mode == kManualPush;
    const double along = push ? -distance : distance;
    const double dh = kTurnPerUnit * distance * steer * (push ? -1.0 : 1.0);
    const HeadingTrig t = HeadingTrig32(psi);
    SetAircraftPose(static_cast<float>(psi + dh), x + along * t.sinH, z - along * t.cosH);
}

double FixedKindPace(double distance, float sinceLast) {
    const double dt = StepSeconds(sinceLast);
    // The speed is the step over the frame's real length (a slow frame still moves one step).
    const double frame = sinceLast > 0.0f ? static_cast<double>(sinceLast) : 0.0;
    const double nominal = frame > 0.0 ? distance / frame : 0.0;
    const bool halting = gManual.paused || gManual.stopping || TrafficHolds();  // traffic watch
    if (halting) gManual.easing = true;
    if (!gManual.easing) {
        gManual.speed = nominal;
        return 1.0;
    }
    if (halting) {
        // The tug brakes from the kind's own speed, however high the frame rate or the truck
        // speed made it, in kTugHaltSeconds at most. Braking counts the frame's whole length:
        // a long frame only halts it sooner.
        gManual.speed = std::min(gManual.speed, nominal);
        const double rate = std::max(kSpeedRate, nominal / kTugHaltSeconds);
        gManual.speed = Approach(gManual.speed, 0.0, rate * frame);
    } else {
        gManual.speed = Approach(gManual.speed, nominal, kSpeedRate * dt);
        if (gManual.speed >= nominal) {
            gManual.easing = false;
            gManual.speed = nominal;
            return 1.0;
        }
    }
    return nominal > 0.0 ? std::min(gManual.speed / nominal, 1.0) : 0.0;
}

void StillFrame(bool simPaused, float sinceLast) {
    if (simPaused) return;  // time stands still: so does every pace
    gManual.speed = 0.0;
    if (gManual.mode != kManualNone) {
        UpdateSteer(StepSeconds(sinceLast));
        if (gPushback.pushing) SteerNoseWheelManually();
    }
    // Nothing to slow down: a halted push that was asked to stop here ends at once.
    if (gManual.stopping && gPushback.pushing && gPushback.pushRequested) EndPush();
}

}  // namespace tarvosk
