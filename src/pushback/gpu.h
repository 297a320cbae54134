// The ground power unit: connect, 15-second warm-up, running with a battery feed, disconnect,
// and the inter-plug-in broadcasts that tell other plug-ins about it.
#pragma once

namespace tarvosk {

// Places the cart 5 units from the nose gear, 45 degrees right of the aircraft's heading.
void PlaceGpu();

float GpuWarmupLoop(float sinceLast, float sinceAnyLoop, int counter, void* refcon);
float BatteryFeedLoop(float sinceLast, float sinceAnyLoop, int counter, void* refcon);

}  // namespace tarvosk
