// The version-7 conversion cache: a converted object is written back over its file in
// version-8 form, so the next load reads it directly, and its original is kept beside it.
#pragma once

#include <cstddef>
#include <string>

#include "objformat/object_model.h"

namespace tarvosk {

// Where the original of a converted object is kept: "Tug.obj" gives "Tug.obj7.bak".
std::string obj7BackupPath(const std::string& path);

// Replaces the object file at `path`, whose bytes were `original` (`size` of them), by `model`
// in version-8 form, in this order: the version-8 text goes to a new file beside it, which is
// read back and must give the model again; the original bytes are kept as obj7BackupPath,
// never over another file of that name (one holding the very same bytes is taken as kept);
// only then is the new file renamed over `path`. False, with the reason in `error` when
// given, when any step fails; `path` is then as it was and no new file is left behind.
bool replaceWithConversion(const std::string& path, const char* original, size_t size,
                           const ObjectModel& model, std::string* error = nullptr);

// Empty when `read`, the model read back from the text written for `written`, is the same
// model: the same texts, indices, commands, ranges and animation datarefs, and every number
// the file holds equal to its six decimals. Otherwise what differs first.
std::string differenceAfterReading(const ObjectModel& written, const ObjectModel& read);

}  // namespace tarvosk
