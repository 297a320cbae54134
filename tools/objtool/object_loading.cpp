#include "object_loading.h"

#include <string_view>

#include "objformat/file_buffer.h"
#include "objformat/obj7_convert.h"
#include "objformat/obj7_reader.h"
#include "objformat/text_scanner.h"

namespace tarvosk::objtool {

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

// The lines of each table as the file has them, whatever the reader kept: VT, VLINE and
// VLIGHT lines, and the numbers of IDX and IDX10 lines. A separate pass over the bytes, so
// the reader's own loops stay as they are.
struct TableLines {
    size_t counts[4] = {};
    size_t firstPast[4] = {};  // line of the first entry past the declared count; 0: none
};

TableLines tallyTables(const char* data, size_t size, const int32_t declared[4]) {
    TableLines tally;
    size_t lineNumber = 0;
    const char* p = data;
    const char* const end = data + size;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (p < end) {
        ++lineNumber;
        const char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r') ++lineEnd;
        while (p < lineEnd && blank(*p)) ++p;
        const char* word = p;
        while (p < lineEnd && !blank(*p)) ++p;
        const std::string_view keyword(word, p - word);
        int table = -1;
        size_t entries = 1;
        if (keyword == "VT") {
            table = 0;
        } else if (keyword == "VLINE") {
            table = 1;
        } else if (keyword == "VLIGHT") {
            table = 2;
        } else if (keyword == "IDX") {
            table = 3;
        } else if (keyword == "IDX10") {
            table = 3;
            entries = 0;
            // Ten at most: numbers past the tenth are ignored, as every reader does.
            for (const char* q = p; q < lineEnd && entries < 10;) {
                while (q < lineEnd && blank(*q)) ++q;
                if (q >= lineEnd || *q == '#') break;
                ++entries;
                while (q < lineEnd && !blank(*q)) ++q;
            }
        }
        if (table >= 0) {
            tally.counts[table] += entries;
            const size_t limit = declared[table] > 0 ? static_cast<size_t>(declared[table]) : 0;
            if (tally.counts[table] > limit && !tally.firstPast[table])
                tally.firstPast[table] = lineNumber;
        }
        // CR LF, LF or a lone CR ends a line.
        p = lineEnd + (lineEnd + 1 < end && lineEnd[0] == '\r' && lineEnd[1] == '\n' ? 2 : 1);
    }
    return tally;
}

// Tables whose lines do not match POINT_COUNTS: `errors` for those the plug-in refuses or
// X-Plane draws wrongly (vertices or indices short, any table running past its count),
// `warnings` for line vertices and lights that fall short, which X-Plane loads: exporters
// count custom and named lights into POINT_COUNTS without a VLIGHT line for them.
void describeCounts(const TableLines& tally, const int32_t declared[4],
                    std::vector<std::string>& errors, std::vector<std::string>& warnings) {
    for (int k = 0; k < 4; ++k) {
        const auto table = static_cast<PointTable>(k);
        const size_t wanted = declared[k] > 0 ? static_cast<size_t>(declared[k]) : 0;
        if (tally.counts[k] == wanted) continue;
        std::string text = describeTableCount(table, wanted, tally.counts[k]);
        if (tally.counts[k] > wanted) {
            text += " (from line " + std::to_string(tally.firstPast[k]) + " on past the count)";
            errors.push_back(text);
        } else if (table == PointTable::LineVertices || table == PointTable::Lights) {
            warnings.push_back(text);
        } else {
            errors.push_back(text);
        }
    }
}

}  // namespace

LoadedObject loadObject(const std::string& path) {
    LoadedObject result;
    FileBuffer buffer;
    if (!readWholeFile(path, buffer, &result.error)) return result;
    const int version = objectHeaderVersion(buffer.begin(), buffer.size);
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
        describeCounts(tallyTables(buffer.begin(), buffer.size, result.details.declaredCounts),
                       result.details.declaredCounts, result.countIssues, result.countWarnings);
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

namespace tarvosk::objtool {

std::string LoadedObject::refusal() const {
    if (!loaded) return error;
    std::string why;
    for (const std::string& issue : countIssues) why += (why.empty() ? "" : "; ") + issue;
    return why;
}

}  // namespace tarvosk::objtool
