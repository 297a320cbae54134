// Checks, once at load, that every command of a model stays inside the model's own arrays,
// so the renderer can draw it without bounds checks.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "objformat/object_model.h"

namespace tarvosk {

struct ModelIssue {
    static constexpr size_t kWholeModel = std::numeric_limits<size_t>::max();
    size_t lod = kWholeModel;      // index into lods, or kWholeModel
    size_t command = kWholeModel;  // index into that range's commands, or kWholeModel
    std::string message;
};

// Every TRIS and LINES range inside `indices`, each index a TRIS range uses below the mesh
// vertex count and each a LINES range uses below the line vertex count, every LIGHTS range
// inside `lightVertices`, every animation command's `first` inside `animations`, only
// version-8 command codes, the three strides 8, 6, 6 and at least one LodRange.
// Returns the issues in model order, at most `limit` of them.
std::vector<ModelIssue> findModelIssues(const ObjectModel& model,
                                        size_t limit = std::numeric_limits<size_t>::max());

// True when the model has no issue; otherwise the first one goes to `firstIssue`.
bool validateModel(const ObjectModel& model, ModelIssue* firstIssue = nullptr);

// A command as it would read in a file, e.g. "TRIS 84 6" or "ATTR_hard".
std::string describeCommand(const ModelCommand& command);

}  // namespace tarvosk
