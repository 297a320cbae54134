// The two objects drawn in the scene (the tug and the GPU cart): their model, textures,
// placement and draw parameters, and their loading from a base path.
//
// Main thread only. Loading and unloading create and delete host textures, so the host's GL
// context must be current (enable, menu handler, stop).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "objformat/object_model.h"
#include "render/texture.h"

namespace tarvosk {

struct PlacedObject {
    float x = 0.0f, y = 0.0f, z = 0.0f;               // local OpenGL coordinates, metres
    float pitch = 0.0f, roll = 0.0f, heading = 0.0f;  // degrees
    int32_t drawDistance = 3000;                      // metres; 0 switches the test off
    float alpha = 0.7f;
    float scaleX = 1.0f, scaleY = 1.0f, scaleZ = 1.0f;
    int32_t dayTexture = 0;
    int32_t litTexture = -1;  // -1: no lit texture
    ObjectModel model;
    Texture textureSlot;  // every picture of this object is decoded and uploaded through it

    std::string objectPath;              // the object file of the last model read; empty if none
    std::vector<int32_t> ownedTextures;  // texture numbers this object still has to delete
};

extern PlacedObject truckObject;
extern PlacedObject gpuObject;

// Reads a version-8 object, or a version-7 (or 2) object which is then converted and written
// back over the file in version-8 form, its original kept beside it (see
// replaceWithConversion; the outcome goes to the log). False when neither reader accepts the
// file, a cut one included, which is then left as it is; the reason goes to `error`.
bool LoadObjectModel(const std::string& path, ObjectModel& model, std::string* error = nullptr);

// Loads basePath + ".obj" and its day and lit textures; true when the model and a day texture
// loaded. A successful load deletes the textures of the previous one. `error` receives the
// object reader's reason when the object file fails.
bool LoadPlacedObject(PlacedObject& object, const std::string& basePath,
                      std::string* error = nullptr);

// Loads the truck `name` from `folder` into truckObject and logs the outcome.
void LoadTruckObject(const std::string& folder, const std::string& name);

// Deletes every texture the object holds and empties its model; it then draws nothing.
void UnloadPlacedObject(PlacedObject& object);

}  // namespace tarvosk
