// The tug's arrival test, its swing beside the pushed aircraft and its departure arc: pure
// state updates of gTruck, kept apart from the host reads so they can be exercised directly.
#include <cmath>

#include "config/settings.h"
#include "pushback/heading_math.h"
#include "pushback/pushback.h"
#include "pushback/tug_geometry.h"

namespace tarvosk {

namespace {

void ApplySwing(float heading) {
    const float base = gSettings.FRONT_WHEEL ? heading : heading - 180.0f;
    gTruck.truckHeading = base + gTruck.truckSwing;
}

float Plus(float v, double step) {
    return static_cast<float>(v + step);
}

}  // namespace

bool TruckArrivedAt(double gearX, double gearZ, float aircraftHeading) {
    const double tx = std::floor(10.0 * gTruck.truckX);
    const double tz = std::floor(10.0 * gTruck.truckZ);
    const double gx = std::floor(10.0 * gearX);
    const double gz = std::floor(10.0 * gearZ);
    const bool front = gSettings.FRONT_WHEEL;
    switch (HeadingQuadrant(aircraftHeading)) {
        case 1:
            return front ? (gx >= tx && gz <= tz) : (gx <= tx && gz >= tz);
        case 2:
            return front ? (gx >= tx && gz >= tz) : (gx <= tx && gz <= tz);
        case 3:
            return front ? (gx <= tx && gz >= tz) : (gx >= tx && gz <= tz);
        default:
            return front ? (gx <= tx && gz <= tz) : (gx >= tx && gz >= tz);
    }
}

void UpdateTruckSwing(PushDirection side, float h) {
    float& swing = gTruck.truckSwing;
    const int n = static_cast<int>(Wrap360(h - gTruck.truckHeading));
    switch (side) {
        case PushDirection::TailRight:
            if (n > 1) {
                swing = swing < 11.0f ? Plus(swing, 0.15) : 11.0f;
            } else {
                if (Wrap360(gTruck.truckHeading - h) >= 11.0f) {
                    gTruck.truckHeading = h + 11.0f;
                    return;
                }
                swing = static_cast<int>(std::fabs(swing)) >= 11 ? 11.0f : Plus(swing, 0.15);
            }
            break;
        case PushDirection::TailLeft:
            if (n >= 359) {
                gTruck.truckHeading = h - 11.0f;
                return;
            }
            swing = swing > -11.0f ? Plus(swing, -0.15) : -11.0f;
            break;
        case PushDirection::Straight:
            if (n >= 2 && n <= 10) {
                swing = swing < 0.0f ? Plus(swing, 0.15) : 0.0f;
            } else if (n >= 359) {
                return;
            } else {
                swing = swing > 0.0f ? Plus(swing, -0.15) : 0.0f;
            }
            break;
    }
    ApplySwing(h);
}

namespace {

// 0.4 degrees for every 0.1 unit: the arc of the per-frame departure at the default speed.
constexpr double kDepartureTurnPerUnit = 4.0;

// How far to back off before turning on an arc of `radius`: ahead of the nose gear the nose
// overhangs a few units; behind the main gear the tail runs for about half the aircraft's
// length, which the leg length (3/4 of it) covers.
double BackOffFor(double radius) {
    const double overhang = gSettings.FRONT_WHEEL ? 8.0 : static_cast<double>(gTruck.legLength);
    return radius + overhang;
}

// One step of `d` units, turning `turn` degrees once the tug has backed off `backOff`.
bool DepartureStep(double d, double turn, double backOff) {
    // The tug faces the aircraft it pushed (its front toward heading + 180) and its arc curves
    // back toward its front, so driven forward at once it would swing under the nose. Released,
    // it first backs straight off along its heading until the arc clears the aircraft.
    const HeadingTrig back = HeadingTrig64(gTruck.truckHeading);
    if (gTruck.backedOff < backOff) {
        gTruck.truckX += d * back.sinH;
        gTruck.truckZ -= d * back.cosH;
        gTruck.backedOff += d;
        return true;
    }
    gTruck.truckHeading =
        Plus(gTruck.truckHeading, gPushback.direction == PushDirection::TailLeft ? turn : -turn);
    const float e = Wrap360(gTruck.truckHeading - gTruck.departureHeading);
    if (e <= 5.0f) return false;
    // Then forward round the arc, so it drives off nose first.
    const HeadingTrig t = HeadingTrig64(gTruck.truckHeading);
    gTruck.truckX -= d * t.sinH;
    gTruck.truckZ += d * t.cosH;
    return true;
}

}  // namespace

double DepartureBackOff(double step) {
    // 0.4 degrees per step of `step` units: the arc's radius.
    return BackOffFor(std::fabs(step) / (0.4 * kDegToRad64));
}

bool StepTruckDeparture() {
    const double d = gSettings.truckSpeedFactor;
    return DepartureStep(d, 0.4, DepartureBackOff(d));
}

bool StepTruckDeparture(double distance) {
    // The same arc whatever the frame's length: its radius depends on no step.
    return DepartureStep(distance, kDepartureTurnPerUnit * distance,
                         BackOffFor(1.0 / (kDepartureTurnPerUnit * kDegToRad64)));
}

}  // namespace tarvosk
