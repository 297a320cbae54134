#include "pushback/heading_math.h"

namespace tarvosk {

float Wrap360(float v) {
    if (v >= 360.0f) v -= 360.0f;
    if (v < 0.0f) v += 360.0f;
    return v;
}

int HeadingQuadrant(float h) {
    const float a = (h - 90.0f) * kDegToRad32;
    const double s = std::sin(static_cast<double>(a));
    const double c = std::cos(static_cast<double>(a));
    if (s < 0.0 && c > 0.0) return 1;
    if (s > 0.0 && c > 0.0) return 2;
    if (s > 0.0 && c < 0.0) return 3;
    if (s < 0.0 && c < 0.0) return 4;
    return 1;
}

int TargetHeadingFrom(float heading, PushDirection direction) {
    // A heading outside the host's range (or not a number) must not leak into the target.
    const int p = std::isfinite(heading) ? static_cast<int>(heading) : 0;
    int target = p;
    if (direction == PushDirection::TailLeft) {
        target = p + 90;
        if (target >= 360) target -= 360;
    } else if (direction == PushDirection::TailRight) {
        target = p - 90;
        if (target < 0) target += 360;
    }
    return target;
}

Quaternion AttitudeQuaternion(float headingDeg, float pitchDeg, float rollDeg) {
    const double psi = static_cast<double>(headingDeg * kDegToRad32 / 2.0f);
    const double the = static_cast<double>(pitchDeg * kDegToRad32 / 2.0f);
    const double phi = static_cast<double>(rollDeg * kDegToRad32 / 2.0f);
    const double cps = std::cos(psi), sps = std::sin(psi);
    const double cth = std::cos(the), sth = std::sin(the);
    const double cph = std::cos(phi), sph = std::sin(phi);
    Quaternion out;
    out.q[0] = static_cast<float>(cps * cth * cph + sps * sth * sph);
    out.q[1] = static_cast<float>(cps * cth * sph - sps * sth * cph);
    out.q[2] = static_cast<float>(cps * sth * cph + sps * cth * sph);
    out.q[3] = static_cast<float>(sps * cth * cph - cps * sth * sph);
    return out;
}

LookAngles LookAt(const double eye[3], const double target[3]) {
    const double dx = target[0] - eye[0];
    const double dy = target[1] - eye[1];
    const double dz = target[2] - eye[2];
    LookAngles out;
    out.heading = std::atan2(-dx, dz) * kRadToDegCamera - 180.0;
    // atan2 equals atan(dy / horizontal) for any horizontal distance above zero, and stays
    // finite when the eye is straight above or below the target.
    out.pitch = std::atan2(dy, std::sqrt(dz * dz + dx * dx)) * kRadToDegCamera;
    return out;
}

}  // namespace tarvosk
