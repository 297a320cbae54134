// Heading and attitude arithmetic shared by the pushback files. Pure functions: no host calls,
// so they are testable without a simulator.
//
// Conventions: local x east, y up, z south; a heading h points along (sin h, -cos h).
// Two degree-to-radian constants are in use on purpose: the aircraft's own motion, attitude,
// end point and quadrant use the 32-bit one, everything about the tug and the GPU the 64-bit
// one. Both hold the intermediate angle a = (90 - h) as a 32-bit float, exactly as the flight
// behaviour was tuned.
#pragma once

#include <cmath>

#include "pushback/push_kinds.h"

namespace tarvosk {

inline constexpr float kDegToRad32 = 0.017453294f;
inline constexpr double kDegToRad64 = 0.01745329238474369;
// 57.295776 taken as a 32-bit float and used as a double; not the float nearest 180/pi.
inline constexpr double kRadToDegCamera = 57.2957763671875;

struct HeadingTrig {
    double sinH;  // sin h = cos a
    double cosH;  // cos h = sin a
};

// sin and cos of heading `h` through a = (90 - h), converted with the 32-bit constant.
inline HeadingTrig HeadingTrig32(float h) {
    const float a = (90.0f - h) * kDegToRad32;
    return {std::cos(static_cast<double>(a)), std::sin(static_cast<double>(a))};
}

// The same with the 64-bit constant (a still held as a 32-bit float).
inline HeadingTrig HeadingTrig64(double h) {
    const float a = static_cast<float>((90.0 - h) * kDegToRad64);
    return {std::cos(static_cast<double>(a)), std::sin(static_cast<double>(a))};
}

// One correction each way: v - 360 when v >= 360, then + 360 when below 0.
float Wrap360(float v);

// 1 for headings in (0, 90), 2 in (90, 180), 3 in (180, 270), 4 in (270, 360); 1 whenever
// the sine or cosine of (h - 90) is exactly zero.
int HeadingQuadrant(float h);

// Target heading of a pushback ordered at `heading`: tail left +90, tail right -90, straight
// the heading itself, truncated to whole degrees in [0, 360).
int TargetHeadingFrom(float heading, PushDirection direction);

// The host's attitude quaternion for heading, pitch and roll in degrees.
struct Quaternion {
    float q[4];
};
Quaternion AttitudeQuaternion(float headingDeg, float pitchDeg, float rollDeg);

// Camera angles that look from `eye` at `target` (local coordinates).
struct LookAngles {
    double heading;  // degrees, atan2(-dx, dz) - 180
    double pitch;    // degrees
};
LookAngles LookAt(const double eye[3], const double target[3]);

}  // namespace tarvosk
