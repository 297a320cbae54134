// Where the straight leg ends, where the push ends, and what ending it does.
#pragma once

namespace tarvosk {

// True once the aircraft at local (x, z) has travelled more than legLength along the push
// direction from where the leg started (ComputeEndPoint).
bool LegEndReached(double x, double z);

// True when the floor of h equals targetHeading.
bool EndOfPushReached(float h);

// Brake set, steering centred, tug straightened, steering mode 0 and pushing cleared.
void EndPush();

}  // namespace tarvosk
