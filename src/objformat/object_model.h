// The in-memory object model: the version-8 model the renderer draws, and the version-7
// object that lives only between the version-7 reader and the conversion.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "objformat/keyword_table.h"
#include "objformat/table_storage.h"

namespace tarvosk {

// A flat float array read as vertices of `stride` floats each. Vertices are never merged.
struct VertexTable {
    TableVector<float> floats;
    uint32_t stride = 8;

    void clear(uint32_t newStride) {
        floats.clear();
        stride = newStride;
    }
    // Holds exactly `count` vertices afterwards; added floats are 0.
    void resize(size_t count) { floats.resize(count * stride, 0.0f); }
    // The same, with the added floats unset until written.
    void resizeUnset(size_t count) { floats.resize(count * stride); }
    // Appends `stride` floats from `vertex`; returns the new vertex's index.
    int32_t append(const float* vertex) {
        const auto index = static_cast<int32_t>(count());
        floats.insert(floats.end(), vertex, vertex + stride);
        return index;
    }
    void set(size_t index, const float* vertex) {
        std::copy(vertex, vertex + stride, floats.begin() + index * stride);
    }
    const float* vertex(size_t index) const { return floats.data() + index * stride; }
    float* vertex(size_t index) { return floats.data() + index * stride; }
    size_t count() const { return stride == 0 ? 0 : floats.size() / stride; }
};

struct ModelCommand {
    CommandCode code = CommandCode::ATTR_reset;
    std::array<float, 4> params{};  // meaningful: the argument count of the code's row
    int32_t first = 0;              // TRIS/LINES: position in indices; LIGHTS: first light;
                                    // ANIM_rotate/ANIM_trans: position in animations
    int32_t count = 0;              // TRIS/LINES: index count; LIGHTS: light count
};

struct LodRange {
    float nearDistance = 0.0f;
    float farDistance = 0.0f;  // 0: distances not yet given; the next ATTR_LOD sets them
    std::vector<ModelCommand> commands;
};

struct AnimKey {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float angle = 0.0f;
    float value = 0.0f;
};

struct AnimRecord {
    std::string datarefName;
    AnimKey keyFrom;  // rotation: axis, first angle, first value; translation: first offset
    AnimKey keyTo;    // rotation: axis, second angle, second value; translation: second offset
};

struct ObjectModel {
    std::string textureName;
    std::string litTextureName;
    TableVector<int32_t> indices;  // TRIS ranges index meshVertices, LINES ranges lineVertices
    // All three tables have stride 8 until a reader or the conversion sets 8, 6, 6.
    VertexTable meshVertices;   // stride 8: x y z nx ny nz s t
    VertexTable lineVertices;   // stride 6 once read: x y z r g b
    VertexTable lightVertices;  // stride 6 once read: x y z r g b
    std::vector<AnimRecord> animations;
    std::vector<LodRange> lods;
};

struct TexturedVertex {
    float x, y, z, s, t;
};

struct ColouredVertex {
    float x, y, z, r, g, b;  // colour on the version-7 scale (0 to 10)
};

struct Obj7Command {
    int32_t kind = 0;  // 1, 2 or 3, as in KeywordTable
    CommandCode code = CommandCode::end;
    std::vector<float> attributes;                 // kind 3
    std::vector<TexturedVertex> texturedVertices;  // kind 2
    std::vector<ColouredVertex> colouredVertices;  // kind 1
};

struct Obj7Object {
    std::string textureName;  // as written, normally without extension
    std::vector<Obj7Command> commands;
};

}  // namespace tarvosk
