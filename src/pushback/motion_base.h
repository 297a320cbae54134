// What every kind of push shares when it moves the aircraft: the step's seconds, the pace
// (speed, pause, "stop here"), writing the pose, steering the nose wheel and ending the push.
// The kinds' own motions (fixed, planned, manual) build on this file and never on each other.
#pragma once

#include "pushback/push_kinds.h"

namespace tarvosk {

inline constexpr double kSpeedRate = 0.25;  // m/s per second, up or down
// Longest halt of a fixed kind after a pause or a "stop here" (never braking below kSpeedRate).
inline constexpr double kTugHaltSeconds = 1.5;

// The pace of the push under way, whatever its kind.
struct PushPace {
    double speed = 0.0;          // present speed along the path, m/s
    bool paused = false;         // the pilot asked for a halt; the tug stays attached
    bool stopping = false;       // "stop here": halt, then end as a completed push ends
    bool easing = false;         // a kind with its own step is off its nominal speed after a pause
    bool heldByTraffic = false;  // the traffic watch brakes the tug short of another aircraft
};

extern PushPace gPace;

void ResetPace();

// The tug brakes to a halt: the pilot's pause or "stop here", or traffic in the way.
inline bool Halting() {
    return gPace.paused || gPace.stopping || gPace.heldByTraffic;
}

// The frame's duration `sinceLast` as one motion step counts it: at most a tenth of a second,
// so a hitch of the simulator never jumps the aircraft; 0 for nonsense.
double StepSeconds(float sinceLast);

// How far one pushed frame moves the aircraft back (units) and how far a turn turns it
// (degrees): truckSpeedFactor and 0.15 per frame, or with SPEED_PER_SECOND TRUCK_SPEED tenths
// of a unit per second of the frame's duration `sinceLast`, on the same turn radius.
struct PushStep {
    double distance;
    double turnDegrees;
};
PushStep PushStepFor(float sinceLast);

// The per-frame turn and step keep an arc of 0.1 / (0.15 degrees in radians), about 38.2
// units; the per-second mode keeps that radius by turning 1.5 degrees per unit pushed.
inline constexpr double kTurnPerFrame = 0.15;
inline constexpr double kTurnPerUnit = kTurnPerFrame / 0.1;

// `value` moved toward `target` by at most `step`.
double Approach(double value, double target, double step);

// For the kinds with a step of their own: the share of the nominal step `distance` to take
// this frame (1 except while braking to a pause or a stop, or easing back from a pause),
// keeping the published speed up to date.
double PaceStep(double distance, float sinceLast);

// Writes the aircraft's local x and z and the attitude quaternion for heading h (degrees),
// keeping the host's pitch and roll.
void SetAircraftPose(float h, double x, double z);

// Ramps the nose wheel toward the side the tail goes; centres it for a straight push. Only with
// a joystick present.
void SteerNoseWheel(PushDirection side);

// Brake set, steering centred (unless the pilot's pedals steer), tug straightened, steering
// cleared and pushing ended.
void EndPush(bool pedalsArePilots);

// Commands and menu items, for every kind; they do nothing while no pushback is ordered.
void TogglePause();
void StopHere();

}  // namespace tarvosk
