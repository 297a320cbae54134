// Loads an object file the way the plug-in's object manager does: version 8 first, then
// version 7 or 2 with the conversion. Keeps what a report on the file needs.
#pragma once

#include <string>
#include <vector>

#include "objformat/model_validation.h"
#include "objformat/obj8_reader.h"
#include "objformat/object_model.h"

namespace tarvosk::objtool {

struct LoadedObject {
    int version = 0;                  // 800, 700 or 2 once the header was recognised
    bool loaded = false;              // the model passed every check and can be drawn
    std::string error;                // why not
    ObjectModel model;                // version 8: as read (even when invalid); older: converted
    Obj8ReadDetails details;          // version 8 only
    Obj7Object original;              // version 7 and 2 only
    std::vector<std::string> issues;  // validation findings, with lines where known
    // Version 8: tables whose lines fall short of POINT_COUNTS or run past it. The model still
    // loads (the reader fills with zeros or stops), but X-Plane draws garbage or nothing.
    std::vector<std::string> countIssues;
};

// The version number the header gives, or 0 when the header is not one of the formats.
int headerVersion(const char* data, size_t size);

LoadedObject loadObject(const std::string& path);

}  // namespace tarvosk::objtool
