// The process-wide pushback, tug and GPU records.
#include "pushback/pushback.h"

namespace tarvosk {

PushbackState gPushback;
TruckState gTruck;
GpuState gGpu;

}  // namespace tarvosk
