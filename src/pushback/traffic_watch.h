// The traffic watch: each frame a push or tow moves, it looks along the path the motion code
// is about to follow for as far as the tug needs to stop at its braking limit, and holds the
// tug when our swept footprint would come closer to another aircraft than the pilot's
// clearance. A band clear for three seconds lets the push go on by itself.
#pragma once

namespace tarvosk {

// Metres published as the clearance when nothing is near (or the watch is off).
inline constexpr float kNothingNear = 9999.0f;
// Seconds the band must stay clear before a held push goes on, and between reminders.
inline constexpr double kClearSeconds = 3.0;
inline constexpr double kReminderSeconds = 30.0;

enum class TrafficStep {
    kGo,       // move as the motion code wants (braking if TrafficHolds())
    kBlocked,  // this frame's step itself would touch another aircraft: do not move at all
};

// One frame of a moving push or tow, before its step; `sinceLast` as the motion loop has it.
TrafficStep WatchTraffic(float sinceLast);

// The tug is braking for, or held by, traffic: the motion code brakes as for a pause.
bool TrafficHolds();

// Metres between the band looked at and the nearest other footprint; kNothingNear if none.
float TrafficClearance();

// A new push, or none: no hold, nothing near.
void ResetTrafficWatch();

}  // namespace tarvosk
