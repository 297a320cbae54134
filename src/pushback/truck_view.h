// The camera view from the tug, toggled by the truck-view hot key.
#pragma once

#include "xplm/host.h"

namespace tarvosk {

// Host camera-control callback: 3.5 units ahead of the tug at 1.75 up, aimed at the aircraft.
int TruckCamera(XPLMCameraPosition_t* position, int losingControl, void* refcon);

// The pose TruckCamera writes, from the tug's state and the aircraft's position. Pure.
void TruckCameraPose(const double aircraft[3], XPLMCameraPosition_t& position);

}  // namespace tarvosk
