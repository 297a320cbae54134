// Drawing of a placed object with fixed-function OpenGL, from inside a host draw callback:
// the per-object frame (distance test, transform, day or lit texture, graphics state) and an
// interpreter of the version-8 command list of its model.
//
// Main thread only, with the host's GL context current.
#pragma once

#include <GL/gl.h>

#include <string>

#include "objformat/object_model.h"
#include "render/placed_object.h"

namespace tarvosk {

// The distance handed to RenderModel for the choice of the LOD range, whatever the camera's.
constexpr float MODEL_VIEW_DISTANCE = 500.0f;

// Texturing, texture coordinates and animation values are reached only through this table.
struct ModelDrawHooks {
    void (*meshTexturing)(int);
    void (*cockpitMeshTexturing)(int);
    void (*linesTexturing)(int);
    void (*lightsTexturing)(int);
    void (*texCoordPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
    float (*animValue)(const std::string& datarefName, float fromValue, float toValue);
};

extern const ModelDrawHooks kModelDrawHooks;

// Draws the object at its placement; nothing when the camera is farther than drawDistance.
void DrawPlacedObject(const PlacedObject& object);

// Draws the LOD range of `model` that covers `distance` (the last matching range, else the
// last range). Leaves the matrix stack as it found it and disables the client arrays it
// enabled; other GL state stays as the commands left it.
void RenderModel(const ObjectModel& model, float distance);

// Linear key interpolation without clamping: fromOut when the two key values are equal.
float InterpolateKey(float fromValue, float toValue, float fromOut, float toOut, float value);

// The current value of the host dataref `name` as a float; 0 when the host does not know it.
// Handles are looked up once per name and kept.
float ReadAnimValue(const std::string& name);

}  // namespace tarvosk
