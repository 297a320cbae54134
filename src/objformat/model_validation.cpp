#include "objformat/model_validation.h"

#include <climits>
#include <cstdint>

namespace tarvosk {

namespace {

bool isModelCode(CommandCode code) {
    const auto value = static_cast<int32_t>(code);
    return value >= 12 && value <= 40 && code != CommandCode::ATTR_LOD;
}

std::string keywordOf(CommandCode code) {
    const KeywordRow* row = lookupCode(code);
    return row && row->keyword ? row->keyword
                               : "code " + std::to_string(static_cast<int32_t>(code));
}

// Describes the first problem of one command, or returns an empty text.
std::string checkCommand(const ObjectModel& model, const ModelCommand& command) {
    if (!isModelCode(command.code)) {
        return describeCommand(command) + " is not a version-8 command";
    }
    const int64_t first = command.first;
    const int64_t count = command.count;
    switch (command.code) {
        case CommandCode::TRIS:
        case CommandCode::LINES: {
            const auto size = static_cast<int64_t>(model.indices.size());
            if (first < 0 || count < 0 || first + count > size) {
                return describeCommand(command) + " reaches outside the " + std::to_string(size) +
                       " indices";
            }
            const bool tris = command.code == CommandCode::TRIS;
            const auto vertices = static_cast<int64_t>(tris ? model.meshVertices.count()
                                                            : model.lineVertices.count());
            // One pass of plain ors and subtractions, which the compiler vectorizes with the
            // base instruction set, finds whether any index is outside; a large object's million
            // indices are checked in a tenth of the time. The top bit of the index, or of the
            // highest vertex number less the index, is set exactly for those outside.
            if (vertices > 0 && vertices <= INT32_MAX) {
                const int32_t* range = model.indices.data() + first;
                const auto highest = static_cast<uint32_t>(vertices - 1);
                uint32_t seen = 0;
                for (int64_t i = 0; i < count; ++i) {
                    const auto index = static_cast<uint32_t>(range[i]);
                    seen |= index | (highest - index);
                }
                if ((seen >> 31) == 0) return {};
            }
            for (int64_t i = first; i < first + count; ++i) {
                const int64_t index = model.indices[static_cast<size_t>(i)];
                if (index < 0 || index >= vertices) {
                    return describeCommand(command) + " uses index " + std::to_string(index) +
                           " (position " + std::to_string(i) + "), but there are " +
                           std::to_string(vertices) + (tris ? " mesh" : " line") + " vertices";
                }
            }
            return {};
        }
        case CommandCode::LIGHTS: {
            const auto lights = static_cast<int64_t>(model.lightVertices.count());
            if (first < 0 || count < 0 || first + count > lights) {
                return describeCommand(command) + " reaches outside the " + std::to_string(lights) +
                       " lights";
            }
            return {};
        }
        case CommandCode::ANIM_rotate:
        case CommandCode::ANIM_trans: {
            const auto animations = static_cast<int64_t>(model.animations.size());
            if (first < 0 || first >= animations) {
                return describeCommand(command) + " refers to animation " + std::to_string(first) +
                       ", but there are " + std::to_string(animations);
            }
            return {};
        }
        default:
            return {};
    }
}

}  // namespace

std::string describeCommand(const ModelCommand& command) {
    std::string text = keywordOf(command.code);
    switch (command.code) {
        case CommandCode::TRIS:
        case CommandCode::LINES:
        case CommandCode::LIGHTS:
            text.append(" ").append(std::to_string(command.first));
            text.append(" ").append(std::to_string(command.count));
            break;
        case CommandCode::ANIM_rotate:
        case CommandCode::ANIM_trans:
            text.append(" (animation ").append(std::to_string(command.first)).append(")");
            break;
        default:
            break;
    }
    return text;
}

std::vector<ModelIssue> findModelIssues(const ObjectModel& model, size_t limit) {
    std::vector<ModelIssue> issues;
    auto add = [&](size_t lod, size_t command, std::string message) {
        if (issues.size() < limit) issues.push_back({lod, command, std::move(message)});
    };
    if (model.meshVertices.stride != 8 || model.lineVertices.stride != 6 ||
        model.lightVertices.stride != 6) {
        add(ModelIssue::kWholeModel, ModelIssue::kWholeModel,
            "vertex tables do not have the strides 8, 6, 6");
        return issues;  // counts are meaningless with the wrong strides
    }
    if (model.lods.empty()) {
        add(ModelIssue::kWholeModel, ModelIssue::kWholeModel, "the model has no LOD range");
    }
    for (size_t lod = 0; lod < model.lods.size() && issues.size() < limit; ++lod) {
        const auto& commands = model.lods[lod].commands;
        for (size_t i = 0; i < commands.size() && issues.size() < limit; ++i) {
            std::string problem = checkCommand(model, commands[i]);
            if (!problem.empty()) add(lod, i, std::move(problem));
        }
    }
    return issues;
}

bool validateModel(const ObjectModel& model, ModelIssue* firstIssue) {
    std::vector<ModelIssue> issues = findModelIssues(model, 1);
    if (issues.empty()) return true;
    if (firstIssue) *firstIssue = std::move(issues.front());
    return false;
}

}  // namespace tarvosk
