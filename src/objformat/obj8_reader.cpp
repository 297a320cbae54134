#include "objformat/obj8_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

#include "objformat/file_buffer.h"
#include "objformat/line_numbers.h"
#include "objformat/model_validation.h"
#include "objformat/text_scanner.h"

namespace tarvosk {

namespace {

template <size_t N>
inline bool is(std::string_view token, const char (&keyword)[N]) {
    return token.size() == N - 1 && std::memcmp(token.data(), keyword, N - 1) == 0;
}

// Bytes ahead of the reading that are asked into the cache: about fifty lines.
constexpr size_t kPrefetchAhead = 4096;

struct Obj8Reader {
    Obj8Reader(const char* bytes, size_t length, ObjectModel& out, std::string* errorOut)
        : data(bytes), size(length), model(out), error(errorOut) {}

    const char* data;
    size_t size;
    ObjectModel& model;
    std::string* error;
    TextScanner sc{data, data + size};
    std::vector<size_t> commandOffsets;
    int32_t declared[4] = {};
    size_t nextVertex = 0, nextLine = 0, nextLight = 0, nextIndex = 0;
    bool stoppedEarly = false;
    bool failed = false;
    bool countsRead = false;  // a POINT_COUNTS line was taken
    bool wholeRuns = true;    // off: every line through its keyword's handler
    size_t stopOffset = 0;

    bool fail(size_t offset, const std::string& text) {
        if (error)
            *error = "line " + std::to_string(lineNumberAt(data, size, offset)) + ": " + text;
        resetModel(model);
        return false;
    }

    LodRange& currentRange() { return model.lods.back(); }

    void appendCommand(size_t offset, const ModelCommand& command) {
        currentRange().commands.push_back(command);
        commandOffsets.push_back(offset);
    }

    // The numbers of this line as that many readFloat(false) give them, the whole line at
    // once where it has the common shape.
    void readFloats(float* out, unsigned count) {
        if (const char* after = scan::readLineNumbers(sc.position(), sc.end(), count, out)) {
            sc.moveTo(after);
        } else {
            for (unsigned k = 0; k < count; ++k) out[k] = sc.readFloat(false);
        }
    }

    void readVertex(VertexTable& table, size_t& next, uint32_t floats, size_t offset) {
        if (next >= table.count()) {
            stoppedEarly = true;
            stopOffset = offset;
            return;
        }
        readFloats(table.vertex(next), floats);
        ++next;
    }

    struct PointCount {
        uint64_t value = 0;
        bool negative = false, tooLarge = false;
        std::string text;  // as the message shows it
    };

    // A count of plain digits is read as the integer it is (through a float, 99999999999
    // would become 99999997952); anything else by the format's number rule, cut to a whole.
    PointCount readPointCount() {
        PointCount count;
        const char* start = sc.position();
        const std::string_view token = sc.readToken();
        std::string_view digits = token;
        if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
        const bool plain =
            !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
        if (plain) {
            for (char c : digits) {
                if (count.value > (UINT64_MAX - 9) / 10) count.tooLarge = true;
                if (!count.tooLarge)
                    count.value = count.value * 10 + static_cast<uint64_t>(c - '0');
            }
            count.text = count.tooLarge ? std::string(digits) : std::to_string(count.value);
            return count;
        }
        sc.moveTo(start);
        const double value = std::trunc(static_cast<double>(sc.readFloat(false)));
        count.negative = !(value >= 0.0);
        count.tooLarge = !count.negative && value >= 1.8e19;
        count.value = count.negative || count.tooLarge ? 0 : static_cast<uint64_t>(value);
        char text[64];
        std::snprintf(text, sizeof text, "%.0f", value);
        count.text = text;
        return count;
    }

    bool readPointCounts(size_t offset) {
        static const char* const kWhat[4] = {"vertices", "line vertices", "lights", "indices"};
        for (int i = 0; i < 4; ++i) {
            const PointCount count = readPointCount();
            if (count.negative) {
                return fail(offset,
                            "POINT_COUNTS gives a negative number of " + std::string(kWhat[i]));
            }
            // Bounds come from the file, never from the header's word: a count past the
            // file's size cannot be meant and would allocate without limit.
            if (count.tooLarge || count.value > size) {
                return fail(offset, "POINT_COUNTS declares " + count.text + " " + kWhat[i] +
                                        ", more than the file's " + std::to_string(size) +
                                        " bytes could hold");
            }
            declared[i] = static_cast<int32_t>(count.value);
        }
        // The first sizes the empty tables and leaves them unset: the reading writes what the
        // file gives, and zeroUnread the rest. A later one keeps the indices read so far and
        // zeroes the vertex tables, as it always has.
        const bool first = !countsRead;
        countsRead = true;
        if (first) {
            model.indices.resize(static_cast<size_t>(declared[3]));
        } else {
            model.indices.resize(static_cast<size_t>(declared[3]), 0);
        }
        const struct {
            VertexTable& table;
            uint32_t stride;
            size_t count;
        } tables[] = {{model.meshVertices, 8, static_cast<size_t>(declared[0])},
                      {model.lineVertices, 6, static_cast<size_t>(declared[1])},
                      {model.lightVertices, 6, static_cast<size_t>(declared[2])}};
        for (const auto& [table, stride, count] : tables) {
            table.clear(stride);
            if (first) {
                table.resizeUnset(count);
            } else {
                table.resize(count);
            }
        }
        return true;
    }

    // Reads one index; false when the table was already full, which ends the reading.
    bool readIndices(int wanted, size_t offset) {
        const size_t capacity = model.indices.size();
        if (nextIndex >= capacity) {
            stoppedEarly = true;
            stopOffset = offset;
            return false;
        }
        float values[scan::kMaxLineNumbers];
        readFloats(values, static_cast<unsigned>(wanted));
        for (int k = 0; k < wanted; ++k) {
            // An IDX10 line that runs past the declared count keeps what fits.
            if (nextIndex < capacity) model.indices[nextIndex++] = truncateToInt32(values[k]);
        }
        return true;
    }

    void readRange(CommandCode code, size_t offset) {
        ModelCommand command;
        command.code = code;
        command.first = sc.readInt();
        command.count = sc.readInt();
        appendCommand(offset, command);
    }

    void readLod() {
        if (currentRange().farDistance != 0.0f) model.lods.emplace_back();
        currentRange().nearDistance = sc.readFloat(false);
        currentRange().farDistance = sc.readFloat(false);
    }

    void readAnimation(CommandCode code, size_t offset) {
        ModelCommand command;
        command.code = code;
        command.first = static_cast<int32_t>(model.animations.size());
        AnimRecord anim;
        if (code == CommandCode::ANIM_rotate) {
            anim.keyFrom.x = anim.keyTo.x = sc.readFloat(false);
            anim.keyFrom.y = anim.keyTo.y = sc.readFloat(false);
            anim.keyFrom.z = anim.keyTo.z = sc.readFloat(false);
            anim.keyFrom.angle = sc.readFloat(false);
            anim.keyTo.angle = sc.readFloat(false);
        } else {
            anim.keyFrom.x = sc.readFloat(false);
            anim.keyFrom.y = sc.readFloat(false);
            anim.keyFrom.z = sc.readFloat(false);
            anim.keyTo.x = sc.readFloat(false);
            anim.keyTo.y = sc.readFloat(false);
            anim.keyTo.z = sc.readFloat(false);
        }
        anim.keyFrom.value = sc.readFloat(false);
        anim.keyTo.value = sc.readFloat(false);
        anim.datarefName = std::string(sc.readToken());
        model.animations.push_back(std::move(anim));
        appendCommand(offset, command);
    }

    // Attribute, smoke and bare ANIM_begin / ANIM_end lines. A range or animation keyword
    // with nothing after it has no meaning and is skipped like an unknown line.
    void readOther(std::string_view token, size_t offset) {
        const KeywordRow* row = lookupKeyword(token, 8);
        if (!row) return;
        const bool attribute = row->kind == kKindAttribute;
        const bool marker =
            row->code == CommandCode::ANIM_begin || row->code == CommandCode::ANIM_end;
        if (!attribute && !marker) return;
        ModelCommand command;
        command.code = row->code;
        const int args = row->argCount < 4 ? row->argCount : 4;
        for (int k = 0; k < args; ++k) command.params[static_cast<size_t>(k)] = sc.readFloat(false);
        appendCommand(offset, command);
    }

    bool readHeader(int32_t& version) {
        sc.skipLine();
        version = sc.readInt();
        sc.skipLine();
        const int32_t written = version;
        if (!sc.matchKeyword("OBJ", true)) version = 0;
        sc.skipLine();
        if (version == 800) return true;
        if (error) {
            *error = written == 800 ? "no \"OBJ\" line after the version line"
                                    : "not a version-8 object (version line reads " +
                                          std::to_string(written) + ")";
        }
        return false;
    }

    // Handlers of the keywords that need a blank after them; false for any other token.
    bool readKeywordLine(std::string_view token, size_t offset) {
        if (is(token, "VT")) {
            readVertex(model.meshVertices, nextVertex, 8, offset);
        } else if (is(token, "IDX10")) {
            readIndices(10, offset);
        } else if (is(token, "IDX")) {
            readIndices(1, offset);
        } else if (is(token, "VLINE")) {
            readVertex(model.lineVertices, nextLine, 6, offset);
        } else if (is(token, "VLIGHT")) {
            readVertex(model.lightVertices, nextLight, 6, offset);
        } else if (is(token, "TRIS")) {
            readRange(CommandCode::TRIS, offset);
        } else if (is(token, "LINES")) {
            readRange(CommandCode::LINES, offset);
        } else if (is(token, "LIGHTS")) {
            readRange(CommandCode::LIGHTS, offset);
        } else if (is(token, "TEXTURE")) {
            model.textureName = std::string(sc.readToken());
        } else if (is(token, "TEXTURE_LIT")) {
            model.litTextureName = std::string(sc.readToken());
        } else if (is(token, "POINT_COUNTS")) {
            failed = !readPointCounts(offset);
        } else if (is(token, "ANIM_rotate")) {
            readAnimation(CommandCode::ANIM_rotate, offset);
        } else if (is(token, "ANIM_trans")) {
            readAnimation(CommandCode::ANIM_trans, offset);
        } else {
            return false;  // ANIM_begin and ANIM_end come out the same through the table
        }
        return true;
    }

    // A run of vertex or index lines, the bulk of a large object, read whole: each line as
    // its keyword's handler and skipLine would read it. False, with nothing read, where the
    // line at the cursor starts no such run or a table has no room for its first line.
    bool readRun() {
        if (sc.remaining() < 8) return false;
        const char* p = sc.position();
        scan::LineRun run;
        // A later POINT_COUNTS line may have cut a table below what was already read.
        auto room = [](size_t filled, size_t next) { return filled > next ? filled - next : 0; };
        auto vertices = [&](std::string_view keyword, VertexTable& table, size_t& next) {
            const size_t lines = room(table.count(), next);
            if (lines == 0) return;
            run =
                scan::readFloatLines(p, sc.end(), keyword, table.stride, lines, table.vertex(next));
            next += run.lines;
        };
        if (std::memcmp(p, "VT ", 3) == 0) {
            vertices("VT", model.meshVertices, nextVertex);
        } else if (std::memcmp(p, "IDX10 ", 6) == 0) {
            // Whole lines only: the line that meets the declared count is the handler's.
            const size_t lines = room(model.indices.size(), nextIndex) / 10;
            if (lines == 0) return false;
            run = scan::readIndexLines(p, sc.end(), "IDX10", 10, lines,
                                       model.indices.data() + nextIndex);
            nextIndex += run.lines * 10;
        } else if (std::memcmp(p, "VLINE ", 6) == 0) {
            vertices("VLINE", model.lineVertices, nextLine);
        } else if (std::memcmp(p, "VLIGHT ", 7) == 0) {
            vertices("VLIGHT", model.lightVertices, nextLight);
        }
        if (run.lines == 0) return false;
        sc.moveTo(run.next);
        return true;
    }

    // Matching the keywords one after another in the documented order finds the same
    // handler as this lookup by whole token: no two keywords can match the same line, and
    // only "ATTR_LOD" also accepts a line end after it.
    bool readBody() {
        model.lods.emplace_back();
        while (!sc.atEnd()) {
            if (wholeRuns && readRun()) continue;
            // The hardware's own prefetching stays too close behind a reader this fast: asking
            // for the bytes some fifty lines ahead saves a fifth of a large object's parsing.
            if (sc.remaining() > kPrefetchAhead) __builtin_prefetch(sc.position() + kPrefetchAhead);
            const size_t offset = sc.offset();
            const std::string_view token = sc.readToken();
            const bool blankAfter = !sc.atEnd() && scan::isBlank(*sc.position());
            if (!(blankAfter && readKeywordLine(token, offset))) {
                if (is(token, "ATTR_LOD")) {
                    readLod();
                } else {
                    readOther(token, offset);
                }
            }
            if (failed) return false;
            if (stoppedEarly) break;
            sc.skipLine();
        }
        return true;
    }

    // What the file never gave is zero, as X-Plane draws a short table.
    void zeroUnread() {
        auto zeroFrom = [](auto& values, size_t filled) {
            if (filled < values.size()) std::fill(values.begin() + filled, values.end(), 0);
        };
        zeroFrom(model.meshVertices.floats, nextVertex * model.meshVertices.stride);
        zeroFrom(model.lineVertices.floats, nextLine * model.lineVertices.stride);
        zeroFrom(model.lightVertices.floats, nextLight * model.lightVertices.stride);
        zeroFrom(model.indices, nextIndex);
    }

    bool read(int32_t& version) {
        resetModel(model);
        const bool ok = readHeader(version) && readBody();
        if (ok) zeroUnread();
        return ok;
    }

    // Vertices or indices declared and never given would be drawn from zeros: the mark of a
    // cut or damaged file, which is refused whole. Line vertices and lights that fall short
    // are not: exporters count custom and named lights into POINT_COUNTS, and X-Plane loads
    // such files.
    std::string shortfall() const {
        const struct {
            PointTable table;
            size_t filled;
        } tables[] = {{PointTable::Vertices, nextVertex}, {PointTable::Indices, nextIndex}};
        for (const auto& [table, filled] : tables) {
            const auto wanted = static_cast<size_t>(declared[static_cast<int>(table)]);
            if (filled >= wanted) continue;
            std::string text = describeTableCount(table, wanted, filled);
            if (stoppedEarly) {
                text += " before line " + std::to_string(lineNumberAt(data, size, stopOffset)) +
                        ", whose table was already full and where the reading stopped";
            }
            return text;
        }
        return {};
    }
};

}  // namespace

std::string describeTableCount(PointTable table, size_t declared, size_t found) {
    static const char* const kWhat[] = {"vertices", "line vertices", "lights", "indices"};
    static const char* const kLines[] = {"VT lines", "VLINE lines", "VLIGHT lines",
                                         "indices on IDX and IDX10 lines"};
    const auto k = static_cast<size_t>(table);
    return "POINT_COUNTS declares " + std::to_string(declared) + " " + kWhat[k] +
           ", the file has " + std::to_string(found) + " " + kLines[k];
}

int objectHeaderVersion(const char* data, size_t size) {
    TextScanner sc(data, data + size);
    sc.skipLine();
    const int version = sc.readInt();
    sc.skipLine();
    if (version == 2) return 2;
    if (version != 700 && version != 800) return 0;
    return sc.matchKeyword("OBJ", true) ? version : 0;
}

void resetModel(ObjectModel& model) {
    model.textureName.clear();
    model.litTextureName.clear();
    model.indices.clear();
    model.meshVertices.clear(8);
    model.lineVertices.clear(6);
    model.lightVertices.clear(6);
    model.animations.clear();
    model.lods.clear();
}

void offsetsToLines(const char* data, size_t size, std::vector<size_t>& offsets) {
    size_t line = 1;
    size_t i = 0;
    for (size_t& offset : offsets) {
        for (; i < offset && i < size; ++i) {
            if (data[i] == '\n') {
                ++line;
            } else if (data[i] == '\r') {
                if (i + 1 < size && data[i + 1] == '\n') ++i;
                ++line;
            }
        }
        offset = line;
    }
}

bool readObj8Unvalidated(const char* data, size_t size, ObjectModel& model, std::string* error,
                         Obj8ReadDetails* details) {
    Obj8Reader reader{data, size, model, error};
    int32_t version = 0;
    const bool ok = reader.read(version);
    if (details) {
        *details = Obj8ReadDetails{};
        details->version = version;
        std::copy(std::begin(reader.declared), std::end(reader.declared), details->declaredCounts);
        details->filledCounts[0] = reader.nextVertex;
        details->filledCounts[1] = reader.nextLine;
        details->filledCounts[2] = reader.nextLight;
        details->filledCounts[3] = reader.nextIndex;
        details->stoppedEarly = reader.stoppedEarly;
        details->stopLine = reader.stoppedEarly ? lineNumberAt(data, size, reader.stopOffset) : 0;
        details->commandLines = std::move(reader.commandOffsets);
        offsetsToLines(data, size, details->commandLines);
    }
    return ok;
}

namespace {

bool readValidated(const char* data, size_t size, ObjectModel& model, std::string* error,
                   bool wholeRuns, ShortTables shortTables, bool* version8 = nullptr) {
    Obj8Reader reader{data, size, model, error};
    reader.wholeRuns = wholeRuns;
    int32_t version = 0;
    const bool read = reader.read(version);
    if (version8) *version8 = version == 800;
    if (!read) return false;
    std::string shortfall;
    if (shortTables == ShortTables::Refused) shortfall = reader.shortfall();
    if (!shortfall.empty()) {
        if (error) *error = std::move(shortfall);
        resetModel(model);
        return false;
    }
    ModelIssue issue;
    if (validateModel(model, &issue)) return true;
    // A model that reaches outside its own arrays is refused whole, so drawing can trust it.
    if (error) {
        std::string where;
        if (issue.lod != ModelIssue::kWholeModel) {
            size_t flat = issue.command;  // commands were appended in file order
            for (size_t lod = 0; lod < issue.lod; ++lod) flat += model.lods[lod].commands.size();
            if (flat < reader.commandOffsets.size()) {
                where = "line " +
                        std::to_string(lineNumberAt(data, size, reader.commandOffsets[flat])) +
                        ": ";
            }
        }
        *error = where + issue.message;
    }
    resetModel(model);
    return false;
}

}  // namespace

bool readObj8FromBuffer(const char* data, size_t size, ObjectModel& model, std::string* error,
                        ShortTables shortTables) {
    return readValidated(data, size, model, error, true, shortTables);
}

bool readObj8LineByLine(const char* data, size_t size, ObjectModel& model, std::string* error) {
    return readValidated(data, size, model, error, false, ShortTables::ZeroFilled);
}

bool readObj8(const std::string& path, ObjectModel& model, std::string* error,
              ShortTables shortTables, bool* version8) {
    // One buffer reused from read to read: a fresh allocation of the file's size costs a page
    // fault per page, as much as the parsing of a large file. Kept up to a size no real object
    // reaches, so a freak file does not pin its memory. Objects are read on the main thread only;
    // not thread_local, because a thread_local with a destructor keeps a dlopen'ed plug-in from
    // ever unloading.
    constexpr size_t kKeptBufferBytes = size_t{128} << 20;
    static FileBuffer buffer;
    if (version8) *version8 = false;
    bool ok = readWholeFile(path, buffer, error);
    if (ok) {
        ok = readValidated(buffer.begin(), buffer.size, model, error, true, shortTables, version8);
        if (!ok && error) *error = path + ": " + *error;
    } else {
        resetModel(model);
    }
    if (buffer.capacity > kKeptBufferBytes) buffer = FileBuffer{};
    return ok;
}

}  // namespace tarvosk
