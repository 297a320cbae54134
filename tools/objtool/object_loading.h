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
    // Version 8: tables whose lines fall short of POINT_COUNTS (vertices, indices) or run past
    // it (any table). The plug-in refuses the first; X-Plane draws garbage or nothing from
    // either.
    std::vector<std::string> countIssues;
    // Version 8: line vertices or lights short of POINT_COUNTS; X-Plane loads such objects.
    std::vector<std::string> countWarnings;

    // Why check fails the object and convert refuses it; empty when both accept it.
    std::string refusal() const;
};

LoadedObject loadObject(const std::string& path);

}  // namespace tarvosk::objtool
