// The two kinds the pilot drives (a manual push and a forward tow), and the pace of every
// pushback: its speed in metres per second, pause and resume, and "stop here".
//
// The five fixed kinds keep their per-frame or per-second step. A pause or a "stop here" brakes
// every kind as a tug does when the crew calls stop, to a halt within kTugHaltSeconds whatever
// its speed; a resumed one eases back up at the manual kinds' 0.25 m/s per second.
#pragma once

namespace tarvosk {

enum ManualMode : int { kManualNone = 0, kManualPush = 1, kManualTow = 2 };

inline constexpr double kSpeedRate = 0.25;  // m/s per second, up or down
inline constexpr double kSpeedStep = 0.25;  // faster / slower
inline constexpr double kMinSpeed = 0.25;
inline constexpr double kMaxPushSpeed = 2.0;
inline constexpr double kMaxTowSpeed = 4.0;
inline constexpr double kDefaultPushSpeed = 1.0;
inline constexpr double kDefaultTowSpeed = 2.0;
// Longest halt of a fixed kind after a pause or a "stop here" (never braking below kSpeedRate).
inline constexpr double kTugHaltSeconds = 1.5;

struct ManualDrive {
    int mode = kManualNone;
    double targetSpeed = 0.0;   // m/s, within the mode's limits
    double speed = 0.0;         // present speed along the path, m/s (every kind)
    float steer = 0.0f;         // last combined deflection, -1 full left .. 1 full right
    float commandSteer = 0.0f;  // from the held steer commands
    float cockpitSteer = 0.0f;  // written by a cockpit through the published dataref
    float axisSteer = 0.0f;     // the pilot's yaw axis when it steers
    bool holdLeft = false, holdRight = false;
    bool paused = false;    // the pilot asked for a halt; the tug stays attached
    bool stopping = false;  // "stop here": halt, then end as a completed push ends
    bool easing = false;    // a fixed kind is off its nominal speed after a pause
};

extern ManualDrive gManual;

// Starts a manual push or tow as the other kinds start (no pre-check here).
void StartManualKind(int mode);

// Back to nothing ordered; called wherever the per-push values are cleared.
void ResetManualDrive();

// Commands and menu items, for every kind; they do nothing while no pushback is ordered.
void TogglePause();
void StopHere();
void ChangeTargetSpeed(int steps);    // +1 faster, -1 slower; manual kinds only
void HoldSteer(int side, bool held);  // side -1 left, +1 right
void SetCockpitSteer(float value);    // clamped to -1..1; non-finite ignored
bool ManualReadsRudder();             // a manual kind that leaves the yaw axis alone

// One frame of a manual kind's motion (the push motion loop hands over to it).
void ManualMotionFrame(float sinceLast);

// For the five kinds: the share of the nominal step `distance` to take this frame (1 except
// while braking to a pause or a stop, or easing back from a pause), keeping the published
// speed up to date.
double FixedKindPace(double distance, float sinceLast);

// The motion loop's frames in which nothing moves (brake set, push not running, sim paused).
void StillFrame(bool simPaused, float sinceLast);

}  // namespace tarvosk
