#include "objformat/obj7_convert.h"

#include <cmath>
#include <cstdint>

#include "objformat/model_validation.h"
#include "objformat/obj8_reader.h"

namespace tarvosk {

namespace {

bool isQuadCode(CommandCode code) {
    return code == CommandCode::quad || code == CommandCode::quad_hard ||
           code == CommandCode::quad_cockpit || code == CommandCode::quad_movie;
}

class Converter {
  public:
    explicit Converter(ObjectModel& model) : model_(model) {}

    void convert(const Obj7Object& object) {
        const auto& commands = object.commands;
        reserveTables(commands);
        for (size_t i = 0; i < commands.size(); ++i) {
            const Obj7Command& command = commands[i];
            const bool lastOrQuadNext =
                i + 1 == commands.size() || isQuadCode(commands[i + 1].code);
            convertCommand(command, lastOrQuadNext);
        }
        scaleColours(model_.lineVertices);
        scaleColours(model_.lightVertices);
        for (LodRange& range : model_.lods) mergeRanges(range);
        for (const LodRange& range : model_.lods) {
            for (const ModelCommand& command : range.commands) {
                if (command.code == CommandCode::TRIS) flatNormals(command);
            }
        }
    }

  private:
    // Sizes the tables once, from an upper bound, so a large object does not reallocate.
    void reserveTables(const std::vector<Obj7Command>& commands) {
        size_t textured = 0, coloured = 0;
        for (const Obj7Command& command : commands) {
            textured += command.texturedVertices.size();
            coloured += command.colouredVertices.size();
        }
        model_.meshVertices.floats.reserve(textured * 8);
        model_.lineVertices.floats.reserve(coloured * 6);
        model_.lightVertices.floats.reserve(coloured * 6);
        model_.indices.reserve(textured * 3 + coloured);
    }

    ObjectModel& model_;
    bool hardOn_ = false;
    bool cockpitOn_ = false;

    void append(CommandCode code) {
        ModelCommand command;
        command.code = code;
        model_.lods.back().commands.push_back(command);
    }

    void appendRange(CommandCode code, size_t first, size_t count) {
        ModelCommand command;
        command.code = code;
        command.first = static_cast<int32_t>(first);
        command.count = static_cast<int32_t>(count);
        model_.lods.back().commands.push_back(command);
    }

    // Appends the first `count` vertices as x y z 0 0 0 s t; returns the index of the first.
    int32_t appendMeshVertices(const std::vector<TexturedVertex>& vertices, size_t count) {
        const auto base = static_cast<int32_t>(model_.meshVertices.count());
        for (size_t i = 0; i < count; ++i) {
            const TexturedVertex& v = vertices[i];
            const float vertex[8] = {v.x, v.y, v.z, 0.0f, 0.0f, 0.0f, v.s, v.t};
            model_.meshVertices.append(vertex);
        }
        return base;
    }

    void index(int32_t value) { model_.indices.push_back(value); }

    void convertCommand(const Obj7Command& command, bool lastOrQuadNext) {
        const auto& textured = command.texturedVertices;
        const size_t n = textured.size();
        switch (command.code) {
            case CommandCode::light: {
                appendRange(CommandCode::LIGHTS, model_.lightVertices.count(),
                            command.colouredVertices.size());
                for (const ColouredVertex& v : command.colouredVertices) {
                    const float vertex[6] = {v.x, v.y, v.z, v.r, v.g, v.b};
                    model_.lightVertices.append(vertex);
                }
                break;
            }
            case CommandCode::line: {
                appendRange(CommandCode::LINES, model_.indices.size(),
                            command.colouredVertices.size());
                for (const ColouredVertex& v : command.colouredVertices) {
                    const float vertex[6] = {v.x, v.y, v.z, v.r, v.g, v.b};
                    index(model_.lineVertices.append(vertex));
                }
                break;
            }
            case CommandCode::tri: {
                const size_t used = n - n % 3;
                if (used == 0) break;
                appendRange(CommandCode::TRIS, model_.indices.size(), used);
                const int32_t base = appendMeshVertices(textured, used);
                for (size_t k = 0; k < used; ++k) index(base + static_cast<int32_t>(k));
                break;
            }
            case CommandCode::quad:
            case CommandCode::quad_hard:
            case CommandCode::quad_cockpit:
            case CommandCode::quad_movie:
                convertQuad(command, lastOrQuadNext);
                break;
            case CommandCode::polygon:
            case CommandCode::tri_fan: {
                if (n < 3) break;
                appendRange(CommandCode::TRIS, model_.indices.size(), (n - 2) * 3);
                const int32_t base = appendMeshVertices(textured, n);
                for (int32_t m = 2; m < static_cast<int32_t>(n); ++m) {
                    index(base);
                    index(base + m - 1);
                    index(base + m);
                }
                break;
            }
            case CommandCode::quad_strip: {
                const size_t used = n - n % 2;  // an unpaired last vertex has no partner
                if (used < 4) break;
                appendRange(CommandCode::TRIS, model_.indices.size(), (used - 2) * 3);
                const int32_t base = appendMeshVertices(textured, used);
                for (int32_t m = 2; m < static_cast<int32_t>(used); m += 2) {
                    index(base + m - 2);
                    index(base + m - 1);
                    index(base + m + 1);
                    index(base + m - 2);
                    index(base + m + 1);
                    index(base + m);
                }
                break;
            }
            case CommandCode::tri_strip: {
                if (n < 3) break;
                appendRange(CommandCode::TRIS, model_.indices.size(), (n - 2) * 3);
                const int32_t base = appendMeshVertices(textured, n);
                for (int32_t m = 2; m < static_cast<int32_t>(n); ++m) {
                    index(base + m - 2);
                    index(base + (m % 2 == 0 ? m - 1 : m));
                    index(base + (m % 2 == 0 ? m : m - 1));
                }
                break;
            }
            case CommandCode::ATTR_LOD: {
                LodRange& current = model_.lods.back();
                if (current.farDistance != 0.0f) model_.lods.emplace_back();
                const auto& a = command.attributes;
                model_.lods.back().nearDistance = a.size() > 0 ? a[0] : 0.0f;
                model_.lods.back().farDistance = a.size() > 1 ? a[1] : 0.0f;
                hardOn_ = false;
                cockpitOn_ = false;
                break;
            }
            default: {
                const auto code = static_cast<int32_t>(command.code);
                if (code < 12 || code > 27 || code == 21) break;
                ModelCommand attribute;
                attribute.code = command.code;
                for (size_t k = 0; k < command.attributes.size() && k < 4; ++k) {
                    attribute.params[k] = command.attributes[k];
                }
                model_.lods.back().commands.push_back(attribute);
                break;
            }
        }
    }

    void convertQuad(const Obj7Command& command, bool lastOrQuadNext) {
        const bool hard = command.code == CommandCode::quad_hard;
        if (hard != hardOn_) {
            hardOn_ = hard;
            append(hard ? CommandCode::ATTR_hard : CommandCode::ATTR_no_hard);
        }
        const bool cockpit = command.code == CommandCode::quad_cockpit;
        if (cockpit != cockpitOn_) {
            cockpitOn_ = cockpit;
            append(cockpit ? CommandCode::ATTR_cockpit : CommandCode::ATTR_no_cockpit);
        }
        const size_t n = command.texturedVertices.size();
        const size_t used = n - n % 4;
        if (used > 0) {
            appendRange(CommandCode::TRIS, model_.indices.size(), used * 3 / 2);
            const int32_t base = appendMeshVertices(command.texturedVertices, used);
            for (int32_t k = 0; k < static_cast<int32_t>(used); k += 4) {
                index(base + k);
                index(base + k + 1);
                index(base + k + 2);
                index(base + k);
                index(base + k + 2);
                index(base + k + 3);
            }
        }
        if (lastOrQuadNext) return;
        // A run of quads ends here: drop the surface flags it set.
        if (hardOn_) {
            hardOn_ = false;
            append(CommandCode::ATTR_no_hard);
        }
        if (cockpitOn_) {
            cockpitOn_ = false;
            append(CommandCode::ATTR_no_cockpit);
        }
    }

    static void scaleColours(VertexTable& table) {
        for (size_t i = 0; i < table.count(); ++i) {
            float* v = table.vertex(i);
            for (int k = 3; k < 6; ++k) v[k] = static_cast<float>(v[k] * 0.1);
        }
    }

    static void mergeRanges(LodRange& range) {
        auto& commands = range.commands;
        std::vector<ModelCommand> merged;
        merged.reserve(commands.size());
        for (const ModelCommand& command : commands) {
            const bool isRange = command.code == CommandCode::TRIS ||
                                 command.code == CommandCode::LINES ||
                                 command.code == CommandCode::LIGHTS;
            if (isRange && !merged.empty()) {
                ModelCommand& last = merged.back();
                if (last.code == command.code &&
                    static_cast<int64_t>(last.first) + last.count == command.first) {
                    last.count += command.count;
                    continue;
                }
            }
            merged.push_back(command);
        }
        commands = std::move(merged);
    }

    void flatNormals(const ModelCommand& command) {
        for (int64_t k = 0; k + 2 < command.count; k += 3) {
            const size_t at = static_cast<size_t>(command.first + k);
            float* v[3];
            for (int j = 0; j < 3; ++j) {
                v[j] = model_.meshVertices.vertex(static_cast<size_t>(model_.indices[at + j]));
            }
            const float ax = v[2][0] - v[0][0], ay = v[2][1] - v[0][1], az = v[2][2] - v[0][2];
            const float bx = v[1][0] - v[0][0], by = v[1][1] - v[0][1], bz = v[1][2] - v[0][2];
            float nx = ay * bz - az * by;
            float ny = az * bx - ax * bz;
            float nz = ax * by - ay * bx;
            const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
            if (length != 0.0f) {
                const float scale = 1.0f / length;
                nx *= scale;
                ny *= scale;
                nz *= scale;
            } else {
                nx = 0.0f;
                ny = 1.0f;
                nz = 0.0f;
            }
            for (float* vertex : v) {
                vertex[3] = nx;
                vertex[4] = ny;
                vertex[5] = nz;
            }
        }
    }
};

}  // namespace

bool convertObj7(const Obj7Object& object, ObjectModel& model, std::string* error) {
    model.textureName = object.textureName + ".png";
    model.litTextureName = object.textureName + "_LIT.png";
    model.indices.clear();
    model.meshVertices.clear(8);
    model.lineVertices.clear(6);
    model.lightVertices.clear(6);
    model.animations.clear();
    model.lods.assign(1, LodRange{});
    Converter(model).convert(object);
    ModelIssue issue;
    if (validateModel(model, &issue)) return true;
    if (error) *error = "conversion produced an invalid model: " + issue.message;
    resetModel(model);
    return false;
}

}  // namespace tarvosk
