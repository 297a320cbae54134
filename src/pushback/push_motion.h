// The per-frame motion of the pushed aircraft and its nose-wheel steering.
#pragma once

namespace tarvosk {

// Writes the aircraft's local x and z and the attitude quaternion for heading h (degrees),
// keeping the host's pitch and roll.
void SetAircraftPose(float h, double x, double z);

// turn 0 straight, 1 left, 2 right; only with a joystick present.
void SteerNoseWheel(int turn);

}  // namespace tarvosk
