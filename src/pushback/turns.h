// Where the fixed kinds' straight leg ends and where their turn ends.
#pragma once

#include "pushback/push_kinds.h"

namespace tarvosk {

// The whole-degree heading the turn ends at, from the aircraft's present heading.
void TargetHeadingFor(PushDirection direction);

// True once the aircraft at local (x, z) has travelled more than legLength along the push
// direction from where the leg started (ComputeEndPoint).
bool LegEndReached(double x, double z);

// True when the floor of h equals targetHeading.
bool EndOfPushReached(float h);

}  // namespace tarvosk
