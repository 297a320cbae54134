#include "objformat/obj8_writer.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "objformat/model_validation.h"
#include "platform/files.h"

namespace tarvosk {

namespace {

class TextOut {
  public:
    explicit TextOut(std::string& text) : text_(text) {}

    TextOut& word(const char* s) {
        text_ += s;
        return *this;
    }
    TextOut& word(const std::string& s) {
        text_ += s;
        return *this;
    }
    // " %f": fixed notation, six decimals, the float widened to double (as printf does,
    // but independent of the process locale).
    TextOut& number(float value) {
        char buffer[64];
        buffer[0] = ' ';
#if defined(__cpp_lib_to_chars)
        const auto result = std::to_chars(buffer + 1, buffer + sizeof buffer,
                                          static_cast<double>(value), std::chars_format::fixed, 6);
        text_.append(buffer, result.ptr);
#else
        // Older C++ libraries (the portable build's) have no floating-point to_chars: printf
        // gives the same digits, and only the decimal point can differ with the locale.
        int length = std::snprintf(buffer + 1, sizeof buffer - 1, "%f", static_cast<double>(value));
        if (length < 0) length = 0;
        if (length > static_cast<int>(sizeof buffer) - 2)
            length = static_cast<int>(sizeof buffer) - 2;
        const char point = *std::localeconv()->decimal_point;
        for (int i = 1; i <= length; ++i)
            if (buffer[i] == point) buffer[i] = '.';
        text_.append(buffer, static_cast<size_t>(length) + 1);
#endif
        return *this;
    }
    // " %d"
    TextOut& integer(int32_t value) {
        char buffer[16];
        buffer[0] = ' ';
        const auto result = std::to_chars(buffer + 1, buffer + sizeof buffer, value);
        text_.append(buffer, result.ptr);
        return *this;
    }
    void end() {
        text_ += '\n';
    }

  private:
    std::string& text_;
};

void writeVertices(TextOut& out, const char* keyword, const VertexTable& table) {
    for (size_t i = 0; i < table.count(); ++i) {
        out.word(keyword);
        const float* v = table.vertex(i);
        for (uint32_t k = 0; k < table.stride; ++k) out.number(v[k]);
        out.end();
    }
}

void writeIndices(TextOut& out, const TableVector<int32_t>& indices) {
    const size_t full = indices.size() - indices.size() % 10;
    for (size_t i = 0; i < full; i += 10) {
        out.word("IDX10");
        for (size_t k = 0; k < 10; ++k) out.integer(indices[i + k]);
        out.end();
    }
    for (size_t i = full; i < indices.size(); ++i) {
        out.word("IDX").integer(indices[i]).end();
    }
}

void writeCommand(TextOut& out, const ObjectModel& model, const ModelCommand& command) {
    switch (command.code) {
        case CommandCode::TRIS:
        case CommandCode::LINES:
        case CommandCode::LIGHTS:
            out.word(lookupCode(command.code)->keyword)
                .integer(command.first)
                .integer(command.count)
                .end();
            return;
        case CommandCode::ANIM_rotate:
        case CommandCode::ANIM_trans: {
            if (command.first < 0 ||
                static_cast<size_t>(command.first) >= model.animations.size()) {
                return;
            }
            const AnimRecord& anim = model.animations[static_cast<size_t>(command.first)];
            if (command.code == CommandCode::ANIM_rotate) {
                out.word("ANIM_rotate")
                    .number(anim.keyFrom.x)
                    .number(anim.keyFrom.y)
                    .number(anim.keyFrom.z)
                    .number(anim.keyFrom.angle)
                    .number(anim.keyTo.angle);
            } else {
                out.word("ANIM_trans")
                    .number(anim.keyFrom.x)
                    .number(anim.keyFrom.y)
                    .number(anim.keyFrom.z)
                    .number(anim.keyTo.x)
                    .number(anim.keyTo.y)
                    .number(anim.keyTo.z);
            }
            out.number(anim.keyFrom.value)
                .number(anim.keyTo.value)
                .word(" ")
                .word(anim.datarefName);
            out.end();
            return;
        }
        default: {
            const KeywordRow* row = lookupCode(command.code);
            if (!row || !row->keyword) return;
            out.word(row->keyword);
            const int args = row->argCount < 4 ? row->argCount : 4;
            for (int k = 0; k < args; ++k) out.number(command.params[static_cast<size_t>(k)]);
            out.end();
            return;
        }
    }
}

bool fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

std::string writeObj8ToString(const ObjectModel& model) {
    std::string text;
    text.reserve(64 + model.meshVertices.count() * 90 + model.indices.size() * 8);
    TextOut out(text);
    out.word("I\n800\nOBJ\n\n");
    out.word("TEXTURE ").word(model.textureName).end();
    if (!model.litTextureName.empty()) out.word("TEXTURE_LIT ").word(model.litTextureName).end();
    out.word("POINT_COUNTS")
        .integer(static_cast<int32_t>(model.meshVertices.count()))
        .integer(static_cast<int32_t>(model.lineVertices.count()))
        .integer(static_cast<int32_t>(model.lightVertices.count()))
        .integer(static_cast<int32_t>(model.indices.size()))
        .end();
    writeVertices(out, "VT", model.meshVertices);
    writeVertices(out, "VLINE", model.lineVertices);
    writeVertices(out, "VLIGHT", model.lightVertices);
    writeIndices(out, model.indices);
    for (const LodRange& range : model.lods) {
        if (range.farDistance != 0.0f) {
            out.word("ATTR_LOD").number(range.nearDistance).number(range.farDistance).end();
        }
        for (const ModelCommand& command : range.commands) writeCommand(out, model, command);
    }
    return text;
}

bool writeBeside(const std::string& path, const std::string& bytes, std::string* temporary,
                 std::string* error) {
    // The temporary file sits beside the target so the replacement stays within one file
    // system. Bytes are written as they are: the same file on every platform.
    std::string name;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 100 && file == nullptr; ++attempt) {
        name =
            path + ".tmp." + std::to_string(platform::ProcessId()) + "." + std::to_string(attempt);
        file = platform::CreateNewFile(name);
        if (file == nullptr && errno != EEXIST) break;
    }
    if (file == nullptr) return fail(error, "cannot create " + name + ": " + std::strerror(errno));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (ok && !platform::SyncFile(file)) ok = false;
    std::string reason = ok ? "" : std::strerror(errno);
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        reason = std::strerror(errno);
    }
    if (!ok) {
        platform::RemoveFile(name);
        return fail(error, "cannot write " + name + ": " + reason);
    }
    *temporary = name;
    return true;
}

bool writeObj8(const std::string& path, const ObjectModel& model, std::string* error) {
    ModelIssue issue;
    if (!validateModel(model, &issue)) {
        return fail(error, "refusing to write an invalid model: " + issue.message);
    }
    std::string temporary;
    if (!writeBeside(path, writeObj8ToString(model), &temporary, error)) return false;
    std::string reason;
    if (!platform::AtomicReplace(temporary, path, &reason)) {
        platform::RemoveFile(temporary);
        return fail(error, "cannot replace " + path + ": " + reason);
    }
    return true;
}

}  // namespace tarvosk
