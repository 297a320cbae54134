// Placed objects, for now without models or textures: those arrive with the rendering work.
// Until then a load reports failure honestly (the callers log it) and drawing draws nothing,
// so the plug-in never pretends the tug or the GPU cart is on screen.
#include "render/placed_object.h"

#include "config/log.h"

namespace tarvosk {

PlacedObject truckObject;
PlacedObject gpuObject;

bool LoadPlacedObject(PlacedObject&, const std::string&) {
    return false;
}

void LoadTruckObject(const std::string& folder, const std::string& name) {
    const std::string path = folder + name;
    if (LoadPlacedObject(truckObject, path)) {
        Log("Meshes and textures for object " + path + " succesfuly loaded\n");
    } else {
        Log("[WRNG] Failed to load object " + path + " (path: " + folder + ")\n");
    }
}

void DrawPlacedObject(PlacedObject&) {}

}  // namespace tarvosk
