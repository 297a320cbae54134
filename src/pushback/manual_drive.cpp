#include "pushback/manual_drive.h"

#include <algorithm>
#include <cmath>

#include "config/settings.h"
#include "pushback/heading_math.h"
#include "pushback/host_data.h"
#include "pushback/pushback.h"
#include "pushback/tug_geometry.h"

namespace tarvosk {

ManualDrive gManual;

namespace {

// A held steer command reaches full deflection in this long.
constexpr double kSteerRiseSeconds = 1.0;
// The nose wheel shows the steering as far as the fixed kinds ramp it.
constexpr float kWheelDeflection = 0.3f;
// Below this the tug stays in line with the aircraft.
constexpr float kSwingThreshold = 0.05f;

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
    // The keys are still where the pilot's fingers are.
    gManual.holdLeft = left;
    gManual.holdRight = right;
}

void PrepareManualKind(ManualMode mode) {
    gManual.mode = mode;
    gManual.targetSpeed = mode == kManualTow ? kDefaultTowSpeed : kDefaultPushSpeed;
}

bool ManualReadsRudder() {
    return gManual.mode != kManualNone && gSettings.MANUAL_RUDDER;
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
    const bool halting = Halting();
    const double target = halting ? 0.0 : gManual.targetSpeed;
    const double rate =
        halting ? std::max(kSpeedRate, gManual.targetSpeed / kTugHaltSeconds) : kSpeedRate;
    gPace.speed = Approach(gPace.speed, target, rate * dt);
    if (gPace.stopping && gPace.speed <= 0.0) {
        EndPush(ManualReadsRudder());
        return;
    }
    SteerNoseWheelManually();

    const double distance = gPace.speed * dt;
    if (!(distance > 0.0)) return;
    const HostDatarefs& d = gHostData;
    const double x = XPLMGetDatad(d.localX);
    const double z = XPLMGetDatad(d.localZ);
    const float psi = XPLMGetDataf(d.psi);
    const float steer = gManual.steer;
    UpdateTruckSwing(steer < -kSwingThreshold  ? PushDirection::TailLeft
                     : steer > kSwingThreshold ? PushDirection::TailRight
                                               : PushDirection::Straight,
                     psi);

    // Reversing: the tail goes where the pilot steers, so left raises the heading as a tail-left
    // turn does. Towing: the nose goes there.
    const bool push = gManual.mode == kManualPush;
    const double along = push ? -distance : distance;
    const double dh = kTurnPerUnit * distance * steer * (push ? -1.0 : 1.0);
    const HeadingTrig t = HeadingTrig32(psi);
    SetAircraftPose(static_cast<float>(psi + dh), x + along * t.sinH, z - along * t.cosH);
}

void ManualStillFrame(float sinceLast) {
    UpdateSteer(StepSeconds(sinceLast));
    if (gPushback.pushing) SteerNoseWheelManually();
}

}  // namespace tarvosk
