// Reader of the host's version-8 text object format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "objformat/object_model.h"

namespace tarvosk {

// True when the file was read as a version-8 object and the model passed validation; the
// model then holds it. Otherwise the model is empty (possibly without any LodRange) and
// `error`, when given, says why: the file, the header, a POINT_COUNTS line the file cannot
// hold, or the first command (with its line) that reaches outside the model's arrays.
bool readObj8(const std::string& path, ObjectModel& model, std::string* error = nullptr);

// The same on a file already in memory.
bool readObj8FromBuffer(const char* data, size_t size, ObjectModel& model,
                        std::string* error = nullptr);

// readObj8FromBuffer with every line through its keyword's handler, none read in runs: the
// same model and message, more slowly. For checking the faster reading against.
bool readObj8LineByLine(const char* data, size_t size, ObjectModel& model,
                        std::string* error = nullptr);

// What a read saw, for inspection tools.
struct Obj8ReadDetails {
    int32_t version = 0;               // from the header; 0 when "OBJ" did not follow it
    int32_t declaredCounts[4] = {};    // POINT_COUNTS: vertices, line vertices, lights, indices
    size_t filledCounts[4] = {};       // VT, VLINE, VLIGHT lines and indices stored
    bool stoppedEarly = false;         // a vertex or index line found its table full
    size_t stopLine = 0;               // that line's number
    std::vector<size_t> commandLines;  // line of each command, in file (and model) order
};

// Reads like readObj8FromBuffer but leaves out the validation: the model may hold ranges
// outside its arrays. For tools that report on a file; never hand such a model to drawing.
bool readObj8Unvalidated(const char* data, size_t size, ObjectModel& model, std::string* error,
                         Obj8ReadDetails* details);

// Empties the model as every read starts: no texts, no indices, strides 8, 6, 6, no
// animations and no LodRange.
void resetModel(ObjectModel& model);

// Converts ascending byte offsets into 1-based line numbers in one pass.
void offsetsToLines(const char* data, size_t size, std::vector<size_t>& offsets);

}  // namespace tarvosk
