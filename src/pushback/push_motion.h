// The per-frame motion of the pushed aircraft and its nose-wheel steering.
#pragma once

namespace tarvosk {

// Writes the aircraft's local x and z and the attitude quaternion for heading h (degrees),
// keeping the host's pitch and roll.
void SetAircraftPose(float h, double x, double z);

// How far one pushed frame moves the aircraft back (units) and how far a turn turns it
// (degrees): truckSpeedFactor and 0.15 per frame, or with SPEED_PER_SECOND TRUCK_SPEED tenths
// of a unit per second of the frame's duration `sinceLast`, on the same turn radius.
struct PushStep {
    double distance;
    double turnDegrees;
};
PushStep PushStepFor(float sinceLast);

// The frame's duration `sinceLast` as one motion step counts it: at most a tenth of a second,
// so a hitch of the simulator never jumps the aircraft; 0 for nonsense.
double StepSeconds(float sinceLast);

// turn 0 straight, 1 left, 2 right; only with a joystick present.
void SteerNoseWheel(int turn);

}  // namespace tarvosk
