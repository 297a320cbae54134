// Where the tug and the GPU cart stand. The OpenGL path draws them from the draw callbacks
// below; the instanced path (scene_instances.cpp) poses host instances from the same placement.
#include "pushback/scene_placement.h"

#include "config/settings.h"
#include "pushback/pushback.h"
#include "pushback/tug_geometry.h"
#include "render/object_renderer.h"

namespace tarvosk {

bool PlaceTruckObject() {
    if (!gSettings.DRAW_TRUCK || !gTruck.truckVisible) return false;
    gTruck.truckY = GroundHeightAtGear();  // the tug stands on the ground under the gear
    truckObject.pitch = 0.0f;
    truckObject.roll = 0.0f;
    truckObject.heading = gTruck.truckHeading;
    truckObject.x = static_cast<float>(gTruck.truckX);
    truckObject.y = static_cast<float>(gTruck.truckY + 1.0);
    truckObject.z = static_cast<float>(gTruck.truckZ);
    return true;
}

bool PlaceGpuObject() {
    if (!gSettings.HANDLE_GPU || !gGpu.gpuVisible) return false;
    gpuObject.pitch = 0.0f;
    gpuObject.roll = 0.0f;
    // Turned like the aircraft, as the tug is, so the cart keeps its place and attitude beside
    // the nose at every heading (a negated heading mirrored it: right only near 90 and 270).
    gpuObject.heading = static_cast<float>(gGpu.gpuHeading);
    gpuObject.x = static_cast<float>(gGpu.gpuX);
    gpuObject.y = static_cast<float>(gGpu.gpuY + 1.0);
    gpuObject.z = static_cast<float>(gGpu.gpuZ);
    return true;
}

int DrawTruck(XPLMDrawingPhase, int, void*) {
    if (PlaceTruckObject()) DrawPlacedObject(truckObject);
    return 1;
}

int DrawGpu(XPLMDrawingPhase, int, void*) {
    if (PlaceGpuObject()) DrawPlacedObject(gpuObject);
    return 1;
}

}  // namespace tarvosk
