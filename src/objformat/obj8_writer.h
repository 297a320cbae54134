// Writer of the version-8 text object format: the conversion cache for version-7 objects.
#pragma once

#include <string>

#include "objformat/object_model.h"

namespace tarvosk {

// Writes the model to `path` as a version-8 object. The text goes to a temporary file in the
// same folder that is then renamed over `path`, so a failed or interrupted write leaves the
// old file as it was. False, with the reason in `error` when given, when the model is not
// valid (see validateModel) or anything in creating, writing, flushing or renaming fails.
bool writeObj8(const std::string& path, const ObjectModel& model, std::string* error = nullptr);

// Writes `bytes` to a new file beside `path` (its name, `path` with a suffix, goes to
// `temporary`) and flushes it to the disk, ready to be renamed over `path`. False, with the
// reason in `error` when given and no file left behind, when anything fails.
bool writeBeside(const std::string& path, const std::string& bytes, std::string* temporary,
                 std::string* error = nullptr);

// The text writeObj8 would write. Animation commands whose record is missing write nothing.
std::string writeObj8ToString(const ObjectModel& model);

}  // namespace tarvosk
