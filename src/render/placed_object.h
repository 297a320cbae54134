// The two objects drawn in the scene (the tug and the GPU cart) and their loading.
//
// The model, texture and drawing parts are filled in by the rendering work; until then a
// load reports failure honestly (and is logged as such) and drawing draws nothing.
#pragma once

#include <string>

namespace tarvosk {

struct PlacedObject {
    float x = 0.0f, y = 0.0f, z = 0.0f;                // local OpenGL coordinates, metres
    float pitch = 0.0f, roll = 0.0f, heading = 0.0f;   // degrees
    int drawDistance = 3000;                           // metres; 0 switches the test off
    float alpha = 0.7f;
    float scaleX = 1.0f, scaleY = 1.0f, scaleZ = 1.0f;
    int dayTexture = 0;
    int litTexture = -1;                               // -1: no lit texture
};

extern PlacedObject truckObject;
extern PlacedObject gpuObject;

// Loads basePath + ".obj" and its textures; true when the model and a day texture loaded.
bool LoadPlacedObject(PlacedObject& object, const std::string& basePath);

// Loads the truck `name` from `folder` into truckObject and logs the outcome.
void LoadTruckObject(const std::string& folder, const std::string& name);

// Draws the object at its placement (host draw callback context).
void DrawPlacedObject(PlacedObject& object);

}  // namespace tarvosk
