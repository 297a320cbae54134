// The tug and the GPU cart as host instances, where the simulator draws with Vulkan or Metal
// and never calls the 3-D drawing phases (X-Plane 12, and 11.50 and later when so set up).
//
// The instancing calls are looked up at run time, so the plug-in still loads in simulators
// that lack them; there, and with OpenGL, the draw callbacks draw as before and nothing here
// does anything. Main thread only.
#pragma once

namespace tarvosk {

// Decides once, at start, between the draw callbacks and instances; logs the choice.
bool ChooseInstancedDrawing();
bool DrawsWithInstances();

// Loads the host objects of the files truckObject and gpuObject were read from (enable),
// reloading any whose file changed, or the truck's always when `reloadTruck` (truck chosen).
void LoadInstanceObjects(bool reloadTruck = false);

// Destroys the instances and unloads the objects (disable).
void UnloadInstanceObjects();

// Flight loop, every frame: creates, poses and destroys the two instances as the placement
// shows or hides each object.
float SceneInstancesLoop(float sinceLast, float sinceAnyLoop, int counter, void* refcon);

}  // namespace tarvosk
