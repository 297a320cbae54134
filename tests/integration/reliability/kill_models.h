// The versions of each file the kill tests (POSIX signals here, TerminateProcess on Windows)
// save over and over: the file on disk must always be one of them, whole.
#pragma once

#include <string>

#include "config/properties.h"
#include "objformat/obj8_reader.h"
#include "objformat/obj8_writer.h"
#include "objformat/object_model.h"

namespace tarvosk::killtest {

inline ObjectModel Box(int vertices, const char* texture) {
    ObjectModel model;
    resetModel(model);
    model.textureName = texture;
    for (int i = 0; i < vertices; ++i) {
        const float v[8] = {i * 0.25f, 1.5f, -i * 0.125f, 0, 1, 0, 0.5f, 0.25f};
        model.meshVertices.append(v);
        model.indices.push_back(i);
    }
    model.lods.emplace_back();
    ModelCommand tris;
    tris.code = CommandCode::TRIS;
    tris.count = vertices - vertices % 3;
    model.lods[0].commands.push_back(tris);
    return model;
}

// Version 0 or 1 of the object: long enough that a kill lands inside a write.
inline ObjectModel ObjectVersion(int version) {
    return version == 0 ? Box(30, "old.png") : Box(3000, "new.png");
}

// Version 0 or 1 of the settings: every value one letter, many lines.
inline void FillProperties(QN_Properties& properties, int version) {
    const std::string value(40, version == 0 ? 'a' : 'b');
    for (int k = 0; k < 2000; ++k) properties["KEY_" + std::to_string(k)] = value;
}

}  // namespace tarvosk::killtest
