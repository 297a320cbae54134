// Whether the tug and the GPU cart are shown and where: shared by both drawing paths.
#pragma once

namespace tarvosk {

// Writes truckObject's pose (and the tug's height over the ground) when the tug is shown:
// a pushback has it out and DRAW_TRUCK is on. False, and nothing written, otherwise.
bool PlaceTruckObject();

// Writes gpuObject's pose when the cart is shown: placed, with HANDLE_GPU on.
bool PlaceGpuObject();

}  // namespace tarvosk
