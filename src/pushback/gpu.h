// The ground power unit: connect, 15-second warm-up, running, disconnect, and the
// inter-plug-in broadcasts that tell other plug-ins about it.
//
// A running GPU powers the aircraft through the simulator's own external power where the
// simulator has it (gpu_on from 9.50, the GPU generator from 12.1), and only there; older
// simulators get the battery feed instead. The plug-in switches that power off only when it
// switched it on.
#pragma once

namespace tarvosk {

// Called whenever the cart is connected or disconnected, however that came about (menu,
// commands, datarefs, messages, the power switched off behind its back), so the menu's mark
// follows; null for none.
void SetGpuChangeListener(void (*listener)());

// Places the cart 5 units from the nose gear, 45 degrees right of the aircraft's heading.
void PlaceGpu();

// Looks up the simulator's external-power datarefs once; a missing one stays null. Called at
// start, before anything reads them.
void LookupExternalPower();
// True when the simulator has an external-power switch the cart drives.
bool HasExternalPower();
// True when the aircraft is not on the ground (the cart cannot reach it).
bool AircraftFlying();

float GpuWarmupLoop(float sinceLast, float sinceAnyLoop, int counter, void* refcon);
float BatteryFeedLoop(float sinceLast, float sinceAnyLoop, int counter, void* refcon);
float ExternalPowerWatchLoop(float sinceLast, float sinceAnyLoop, int counter, void* refcon);

}  // namespace tarvosk
