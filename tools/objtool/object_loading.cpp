#include "object_loading.h"

#include "objformat/file_buffer.h"
#include "objformat/obj7_convert.h"
#include "objformat/obj7_reader.h"
#include "objformat/text_scanner.h"

namespace tarvosk::objtool {

int headerVersion(const char* data, size_t size) {
    TextScanner sc(data, data + size);
    sc.skipLine();
    const int version = sc.readInt();
    sc.skipLine();
    if (version == 2) return 2;
    if (version != 700 && version != 800) return 0;
    return sc.matchKeyword("OBJ", true) ? version : 0;
}

namespace {

std::vector<std::string> describeIssues(const ObjectModel& model,
                                        const std::vector<size_t>& commandLines) {
    std::vector<std::string> out;
    for (const ModelIssue& issue : findModelIssues(model, 50)) {
        std::string where;
        if (issue.lod != ModelIssue::kWholeModel) {
            size_t flat = issue.command;
            for (size_t lod = 0; lod < issue.lod; ++lod) flat += model.lods[lod].commands.size();
            if (flat < commandLines.size()) {
                where = "line " + std::to_string(commandLines[flat]) + ": ";
            } else {
                where = "LOD range " + std::to_string(issue.lod) + ", command " +
                        std::to_string(issue.command) + ": ";
            }
        }
        out.push_back(where + issue.message);
    }
    return out;
}

}  // namespace

LoadedObject loadObject(const std::string& path) {
    LoadedObject result;
    FileBuffer buffer;
    if (!readWholeFile(path, buffer, &result.error)) return result;
    const int version = headerVersion(buffer.begin(), buffer.size);
    if (version == 0) {
        result.error = "not an object file: the header is not version 800, 700 or 2";
        return result;
    }
    result.version = version;
    if (version == 800) {
        if (!readObj8Unvalidated(buffer.begin(), buffer.size, result.model, &result.error,
                                 &result.details)) {
            return result;
        }
        result.issues = describeIssues(result.model, result.details.commandLines);
    } else {
        if (!readObj7FromBuffer(buffer.begin(), buffer.size, result.original, &result.error)) {
            return result;
        }
        if (!convertObj7(result.original, result.model, &result.error)) return result;
    }
    if (!result.issues.empty()) {
        result.error = result.issues.front();
        return result;
    }
    result.loaded = true;
    return result;
}

}  // namespace tarvosk::objtool
