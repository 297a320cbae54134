// The planned kind: the aircraft follows the plan's path (straight, a turn on the fixed kinds'
// radius, straight) by distance along it, so it stops where the plan's end says at any frame
// rate and speed.
#pragma once

#include "pushback/push_path.h"

namespace tarvosk {

struct PlannedPush {
    PushPath path;
    PathPose start;          // where the push was ordered
    double travelled = 0.0;  // metres along the path so far
    bool fromStand = false;  // the plan is the one the stand remembered
};

extern PlannedPush gPlanned;

// Where the aircraft stands now, as a path pose.
PathPose PresentPose();

// Where the push ends: from where it was ordered while a planned push runs, else from here.
PathPose PlannedEnd();

// A planned push is being ordered: the stand's stored plan unless one written from outside
// wins, the path from here, the turn's side for the status and the tug, and the stand stores
// the plan.
void PreparePlannedKind();

// One frame of the planned push (the motion loop hands over to it).
void PlannedMotionFrame(float sinceLast);

}  // namespace tarvosk
