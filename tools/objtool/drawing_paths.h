// Where the two ways the plug-in's objects are drawn would find different textures: with
// OpenGL (X-Plane 9 to 11) the plug-in finds them from the object's own file name; as an
// instance (X-Plane 11.50+ with Vulkan or Metal, and 12) the simulator reads the TEXTURE and
// TEXTURE_LIT lines. A truck that passes both looks the same everywhere.
#pragma once

#include <string>
#include <vector>

#include "objformat/object_model.h"

namespace tarvosk::objtool {

// One sentence per texture the two paths would draw differently (none when they agree).
std::vector<std::string> drawingPathDifferences(const std::string& objectPath,
                                                const ObjectModel& model);

}  // namespace tarvosk::objtool
