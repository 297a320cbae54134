#include "objformat/obj7_reader.h"

#include <cstdint>

#include "objformat/file_buffer.h"
#include "objformat/text_scanner.h"

namespace tarvosk {

namespace {

struct Obj7Reader {
    Obj7Reader(const char* bytes, size_t length, Obj7Object& out, std::string* errorOut)
        : data(bytes), size(length), object(out), error(errorOut) {}

    const char* data;
    size_t size;
    Obj7Object& object;
    std::string* error;
    TextScanner sc{data, data + size};
    bool cut = false;  // the file ended where a vertex number should stand

    bool fail(size_t offset, const std::string& text) {
        if (error)
            *error = "line " + std::to_string(lineNumberAt(data, size, offset)) + ": " + text;
        return false;
    }

    // A vertex count from the file is trusted only as far as the file could back it.
    bool checkVertexCount(int64_t count, std::string_view what, size_t offset) {
        if (count < 0) {
            return fail(offset, std::string(what) + " gives a negative vertex count (" +
                                    std::to_string(count) + ")");
        }
        if (count > static_cast<int64_t>(size)) {
            return fail(offset, std::string(what) + " declares " + std::to_string(count) +
                                    " vertices, more than the file's " + std::to_string(size) +
                                    " bytes could hold");
        }
        return true;
    }

    // A vertex number, which may stand on a later line. Where the file ends first the number
    // reads as 0 and the file is marked cut.
    float readVertexNumber() {
        const char* p = sc.position();
        while (p < sc.end() && scan::isDelimiter(*p)) ++p;
        sc.moveTo(p);
        if (p == sc.end()) cut = true;
        return sc.readFloat(true);
    }

    TexturedVertex readTextured() {
        TexturedVertex v{};
        v.x = readVertexNumber();
        v.y = readVertexNumber();
        v.z = readVertexNumber();
        v.s = readVertexNumber();
        v.t = readVertexNumber();
        return v;
    }

    ColouredVertex readColoured() {
        ColouredVertex v{};
        v.x = readVertexNumber();
        v.y = readVertexNumber();
        v.z = readVertexNumber();
        v.r = readVertexNumber();
        v.g = readVertexNumber();
        v.b = readVertexNumber();
        return v;
    }

    // A primitive whose vertex list the file ends inside would be drawn with zeros for the
    // rest: the mark of a cut file, refused whole.
    bool failCut(std::string_view what, int64_t declared, int64_t complete, size_t offset) {
        return fail(offset, std::string(what) + " declares " + std::to_string(declared) +
                                " vertices, the file ends after " + std::to_string(complete));
    }

    bool readVersion700() {
        while (!sc.atEnd()) {
            const size_t offset = sc.offset();
            const std::string_view token = sc.readToken();
            const KeywordRow* row = lookupKeyword(token, 7);
            if (!row) {
                sc.skipLine();
                continue;
            }
            Obj7Command command;
            command.kind = row->kind;
            command.code = row->code;
            switch (row->kind) {
                case kKindEnd:
                    sc.skipLine();
                    return true;
                case kKindColouredPrimitive: {
                    sc.skipLine();
                    command.colouredVertices.reserve(static_cast<size_t>(row->argCount));
                    for (int i = 0; i < row->argCount; ++i) {
                        command.colouredVertices.push_back(readColoured());
                        if (cut) return failCut(token, row->argCount, i, offset);
                    }
                    break;
                }
                case kKindTexturedPrimitive: {
                    int64_t count = row->argCount;
                    if (count == 0) count = sc.readInt();
                    if (!checkVertexCount(count, token, offset)) return false;
                    sc.skipLine();
                    command.texturedVertices.reserve(static_cast<size_t>(count));
                    for (int64_t i = 0; i < count; ++i) {
                        command.texturedVertices.push_back(readTextured());
                        if (cut) return failCut(token, count, i, offset);
                    }
                    break;
                }
                default: {  // attributes, smoke and ATTR_LOD
                    command.attributes.reserve(static_cast<size_t>(row->argCount));
                    for (int i = 0; i < row->argCount; ++i) {
                        command.attributes.push_back(sc.readFloat(false));
                    }
                    break;
                }
            }
            object.commands.push_back(std::move(command));
            sc.skipLine();
        }
        return true;
    }

    bool readVersion2Polygon(int32_t type, size_t offset) {
        const float a = sc.readFloat(false);
        const float b = sc.readFloat(false);
        const float c = sc.readFloat(false);
        const float d = sc.readFloat(false);
        sc.skipLine();
        Obj7Command command;
        command.kind = kKindTexturedPrimitive;
        command.code = type == 3   ? CommandCode::tri
                       : type == 5 ? CommandCode::quad_hard
                                   : CommandCode::quad;
        const float st[4][2] = {{b, d}, {b, c}, {a, c}, {a, d}};
        const int count = type == 3 ? 3 : 4;
        double sum[3] = {0.0, 0.0, 0.0};
        for (int i = 0; i < count; ++i) {
            TexturedVertex v{};
            v.x = readVertexNumber();
            v.y = readVertexNumber();
            v.z = readVertexNumber();
            if (cut) return failCut("type " + std::to_string(type) + " polygon", count, i, offset);
            v.s = st[i][0];
            v.t = st[i][1];
            sum[0] += v.x;
            sum[1] += v.y;
            sum[2] += v.z;
            command.texturedVertices.push_back(v);
        }
        object.commands.push_back(std::move(command));
        if (type == 6 || type == 7) {
            Obj7Command smoke;
            smoke.kind = kKindAttribute;
            smoke.code = type == 6 ? CommandCode::smoke_black : CommandCode::smoke_white;
            smoke.attributes = {static_cast<float>(sum[0] * 0.25),
                                static_cast<float>(sum[1] * 0.25),
                                static_cast<float>(sum[2] * 0.25), 1.0f};
            object.commands.push_back(std::move(smoke));
        }
        return true;
    }

    bool readVersion2() {
        while (!sc.atEnd()) {
            const size_t offset = sc.offset();
            const int32_t type = sc.readInt();
            if (type == 1 || type == 2) {
                const float r = sc.readFloat(false);
                const float g = sc.readFloat(false);
                const float b = sc.readFloat(false);
                sc.skipLine();
                Obj7Command command;
                command.kind = kKindColouredPrimitive;
                command.code = type == 1 ? CommandCode::light : CommandCode::line;
                for (int i = 0; i < type; ++i) {
                    ColouredVertex v{};
                    v.x = readVertexNumber();
                    v.y = readVertexNumber();
                    v.z = readVertexNumber();
                    if (cut) return failCut(type == 1 ? "light" : "line", type, i, offset);
                    v.r = r;
                    v.g = g;
                    v.b = b;
                    command.colouredVertices.push_back(v);
                }
                object.commands.push_back(std::move(command));
            } else if (type >= 3 && type <= 7) {
                if (!readVersion2Polygon(type, offset)) return false;
            } else if (type == 99) {
                sc.skipLine();
                return true;
            } else if (type < 0) {
                const int64_t count = -2 * static_cast<int64_t>(type);
                if (!checkVertexCount(count, "quad strip", offset)) return false;
                sc.skipLine();
                Obj7Command command;
                command.kind = kKindTexturedPrimitive;
                command.code = CommandCode::quad_strip;
                command.texturedVertices.reserve(static_cast<size_t>(count));
                for (int64_t i = 0; i < count; ++i) {
                    command.texturedVertices.push_back(readTextured());
                    if (cut) return failCut("quad strip", count, i, offset);
                }
                object.commands.push_back(std::move(command));
            } else {
                return fail(offset, "unknown version-2 type " + std::to_string(type));
            }
            sc.skipLine();
        }
        return true;
    }

    bool read() {
        object.textureName.clear();
        object.commands.clear();
        sc.skipLine();
        int32_t version = sc.readInt();
        sc.skipLine();
        const int32_t written = version;
        if (version == 700) {
            if (!sc.matchKeyword("OBJ", true)) version = 0;
            sc.skipLine();
        }
        if (version != 2 && version != 700) {
            if (error) {
                *error = written == 700 ? "no \"OBJ\" line after the version line"
                                        : "not a version-7 or version-2 object (version line "
                                          "reads " +
                                              std::to_string(written) + ")";
            }
            return false;
        }
        object.textureName = std::string(sc.readToken());
        sc.skipLine();
        return version == 700 ? readVersion700() : readVersion2();
    }
};

}  // namespace

bool readObj7FromBuffer(const char* data, size_t size, Obj7Object& object, std::string* error) {
    Obj7Reader reader(data, size, object, error);
    return reader.read();
}

bool readObj7(const std::string& path, Obj7Object& object, std::string* error) {
    object.textureName.clear();
    object.commands.clear();
    FileBuffer buffer;
    if (!readWholeFile(path, buffer, error)) return false;
    const bool ok = readObj7FromBuffer(buffer.begin(), buffer.size, object, error);
    if (!ok && error) *error = path + ": " + *error;
    return ok;
}

}  // namespace tarvosk
