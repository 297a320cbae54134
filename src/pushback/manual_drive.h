// The two kinds the pilot drives: a manual push and a forward tow, steered by the pilot at a
// speed the pilot chooses.
#pragma once

#include "pushback/motion_base.h"

namespace tarvosk {

enum ManualMode : int { kManualNone = 0, kManualPush = 1, kManualTow = 2 };

inline constexpr double kSpeedStep = 0.25;  // faster / slower
inline constexpr double kMinSpeed = 0.25;
inline constexpr double kMaxPushSpeed = 2.0;
inline constexpr double kMaxTowSpeed = 4.0;
inline constexpr double kDefaultPushSpeed = 1.0;
inline constexpr double kDefaultTowSpeed = 2.0;

struct ManualDrive {
    ManualMode mode = kManualNone;
    double targetSpeed = 0.0;   // m/s, within the mode's limits
    float steer = 0.0f;         // last combined deflection, -1 full left .. 1 full right
    float commandSteer = 0.0f;  // from the held steer commands
    float cockpitSteer = 0.0f;  // written by a cockpit through the published dataref
    float axisSteer = 0.0f;     // the pilot's yaw axis when it steers
    bool holdLeft = false, holdRight = false;
};

extern ManualDrive gManual;

// A manual push or tow is starting: its mode and its default speed.
void PrepareManualKind(ManualMode mode);

// Back to nothing ordered; called wherever the per-push values are cleared.
void ResetManualDrive();

// Commands and menu items; they do nothing while no manual kind runs.
void ChangeTargetSpeed(int steps);    // +1 faster, -1 slower; manual kinds only
void HoldSteer(int side, bool held);  // side -1 left, +1 right
void SetCockpitSteer(float value);    // clamped to -1..1; non-finite ignored
bool ManualReadsRudder();             // a manual kind that leaves the yaw axis alone

// One frame of a manual kind's motion (the push motion loop hands over to it).
void ManualMotionFrame(float sinceLast);

// A frame in which the aircraft stands still: the held steering still follows the keys.
void ManualStillFrame(float sinceLast);

}  // namespace tarvosk
