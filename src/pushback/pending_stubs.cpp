// Placeholders for the pushback operations until they are built; each function moves to its
// own source file as it is written, and this file disappears.
#include "pushback/pushback.h"

namespace tarvosk {

PushbackState gPushback;
TruckState gTruck;
GpuState gGpu;

int PushbackPreCheck() { return 0; }
const char* RefusalMessage(int) { return nullptr; }
void StopPushback() {}
void BeginPushback() {}
void ComputeEndPoint() {}
float PushbackSequenceLoop(float, float, int, void*) { return -1.0f; }
void StartPushbackKind(int) {}
void ReadAircraftSize() {}
void TargetHeadingFor(int) {}
float PushMotionLoop(float, float, int, void*) { return -1.0f; }
float TextRestoreLoop(float, float, int, void*) { return -1.0f; }
void ToggleGpu() {}
void BroadcastGpuStatus() {}
void ToggleTruckView(void*) {}
int DrawTruck(XPLMDrawingPhase, int, void*) { return 1; }
int DrawGpu(XPLMDrawingPhase, int, void*) { return 1; }

}  // namespace tarvosk
