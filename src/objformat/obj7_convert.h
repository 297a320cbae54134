// Turns a version-7 object into the version-8 model: triangulated primitives in shared
// tables, explicit hard/cockpit attributes, rescaled colours, merged ranges, flat normals.
#pragma once

#include <string>

#include "objformat/object_model.h"

namespace tarvosk {

// Fills the model from the object, which is only read. The result is validated like a
// version-8 read; a failure (which the conversion's own rules should never produce) empties
// the model and returns false with the first issue in `error`.
//
// Degenerate primitives are made safe: polygons, fans and strips under three vertices are
// dropped, quad strips with an odd vertex count lose their unpaired last vertex (and are
// dropped when fewer than four remain), and tri and quad lists keep whole triangles and
// whole quads only.
bool convertObj7(const Obj7Object& object, ObjectModel& model, std::string* error = nullptr);

}  // namespace tarvosk
