// Reader of the host's older text object formats: version 7 (700) and its numeric
// predecessor, version 2. Primitives are kept as written; the conversion triangulates them.
#pragma once

#include <cstddef>
#include <string>

#include "objformat/object_model.h"

namespace tarvosk {

// True when the file was read as a version-7 or version-2 object. On false, `error` (when
// given) says why and the object holds whatever was read before the failure.
bool readObj7(const std::string& path, Obj7Object& object, std::string* error = nullptr);

// The same on a file already in memory.
bool readObj7FromBuffer(const char* data, size_t size, Obj7Object& object,
                        std::string* error = nullptr);

}  // namespace tarvosk
