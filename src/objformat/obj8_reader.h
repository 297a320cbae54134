// Reader of the host's version-8 text object format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "objformat/object_model.h"

namespace tarvosk {

// How a read treats vertices and indices that POINT_COUNTS declares and no line gives.
enum class ShortTables {
    ZeroFilled,  // kept, as zeros: X-Plane loads such objects
    Refused,     // the read fails: the mark of a cut or damaged file, drawn from zeros otherwise
};

// True when the file was read as a version-8 object and the model passed validation; the
// model then holds it. Otherwise the model is empty (possibly without any LodRange) and
// `error`, when given, says why: the file, the header, a POINT_COUNTS line the file cannot
// hold, vertices or indices it declares and never gives (when refused), or the first command
// (with its line) that reaches outside the model's arrays. `version8`, when given, says
// whether the header was that of a version-8 object, so no older reader need try the file.
bool readObj8(const std::string& path, ObjectModel& model, std::string* error = nullptr,
              ShortTables shortTables = ShortTables::ZeroFilled, bool* version8 = nullptr);

// The same on a file already in memory.
bool readObj8FromBuffer(const char* data, size_t size, ObjectModel& model,
                        std::string* error = nullptr,
                        ShortTables shortTables = ShortTables::ZeroFilled);

// readObj8FromBuffer with every line through its keyword's handler, none read in runs: the
// same model and message, more slowly. For checking the faster reading against.
bool readObj8LineByLine(const char* data, size_t size, ObjectModel& model,
                        std::string* error = nullptr);

// The tables of POINT_COUNTS, in its order.
enum class PointTable { Vertices, LineVertices, Lights, Indices };

// "POINT_COUNTS declares 544 vertices, the file has 300 VT lines": the words of every report
// of a table whose lines do not match its declared count.
std::string describeTableCount(PointTable table, size_t declared, size_t found);

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
// outside its arrays, and zeros for vertices and indices the file never gave. For tools that
// report on a file; never hand such a model to drawing.
bool readObj8Unvalidated(const char* data, size_t size, ObjectModel& model, std::string* error,
                         Obj8ReadDetails* details);

// The version number an object file's header gives, 800, 700 or 2, as the readers read the
// header; 0 when the header is none of the formats.
int objectHeaderVersion(const char* data, size_t size);

// Empties the model as every read starts: no texts, no indices, strides 8, 6, 6, no
// animations and no LodRange.
void resetModel(ObjectModel& model);

// Converts ascending byte offsets into 1-based line numbers in one pass.
void offsetsToLines(const char* data, size_t size, std::vector<size_t>& offsets);

}  // namespace tarvosk
