// Where the straight leg ends, where the push ends, and what ending it does.
#pragma once

namespace tarvosk {

// True once the aircraft (heading h, local x) has passed endPointX; only x is compared.
bool LegEndReached(float h, double x);

// True when the floor of h equals targetHeading.
bool EndOfPushReached(float h);

// Brake set, steering centred, tug straightened, steering mode 0 and pushing cleared.
void EndPush();

}  // namespace tarvosk
