#include "objformat/conversion_cache.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "objformat/file_buffer.h"
#include "objformat/keyword_table.h"
#include "objformat/model_validation.h"
#include "objformat/obj8_reader.h"
#include "objformat/obj8_writer.h"
#include "platform/files.h"

namespace tarvosk {

namespace {

bool fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

// The file holds six decimals; numbers of many digits also take the reader's rounding.
bool sameNumber(float written, float read) {
    return std::fabs(written - read) <= 1e-6f + std::fabs(written) * 1e-6f;
}

bool sameNumbers(const float* written, const float* read, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!sameNumber(written[i], read[i])) return false;
    }
    return true;
}

// What a file holds of every animation, rotation or translation: the first key's position or
// axis, and both dataref values.
bool sameAnimation(const AnimRecord& written, const AnimRecord& read) {
    const float a[] = {written.keyFrom.x, written.keyFrom.y, written.keyFrom.z,
                       written.keyFrom.value, written.keyTo.value};
    const float b[] = {read.keyFrom.x, read.keyFrom.y, read.keyFrom.z, read.keyFrom.value,
                       read.keyTo.value};
    return written.datarefName == read.datarefName && sameNumbers(a, b, std::size(a));
}

bool sameCommand(const ModelCommand& written, const ModelCommand& read) {
    if (written.code != read.code || written.first != read.first || written.count != read.count)
        return false;
    const KeywordRow* row = lookupCode(written.code);
    const int args = row && row->kind == kKindAttribute ? std::min(row->argCount, 4) : 0;
    return sameNumbers(written.params.data(), read.params.data(), static_cast<size_t>(args));
}

bool sameTable(const VertexTable& written, const VertexTable& read) {
    return written.stride == read.stride && written.floats.size() == read.floats.size() &&
           sameNumbers(written.floats.data(), read.floats.data(), written.floats.size());
}

// Keeps the original bytes as `backup`, a file made new for them.
bool keepOriginal(const std::string& backup, const char* original, size_t size,
                  std::string* error) {
    std::FILE* file = platform::CreateNewFile(backup);
    if (file == nullptr) {
        if (errno != EEXIST) {
            return fail(error, "cannot create " + backup + ": " + std::strerror(errno));
        }
        // An earlier load kept this very file and then could not replace it: kept already.
        FileBuffer existing;
        if (readWholeFile(backup, existing, nullptr) && existing.size == size &&
            std::memcmp(existing.begin(), original, size) == 0) {
            return true;
        }
        return fail(error, backup + " already exists and holds another file, which is kept");
    }
    bool ok = std::fwrite(original, 1, size, file) == size && platform::SyncFile(file);
    std::string reason = ok ? "" : std::strerror(errno);
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        reason = std::strerror(errno);
    }
    if (!ok) {
        platform::RemoveFile(backup);
        return fail(error, "cannot write " + backup + ": " + reason);
    }
    return true;
}

}  // namespace

std::string obj7BackupPath(const std::string& path) {
    std::string stem = path;
    const std::string extension = stem.size() >= 4 ? stem.substr(stem.size() - 4) : "";
    if (extension == ".obj" || extension == ".OBJ" || extension == ".Obj") {
        stem.resize(stem.size() - 4);
    }
    return stem + ".obj7.bak";
}

std::string differenceAfterReading(const ObjectModel& written, const ObjectModel& read) {
    if (written.textureName != read.textureName || written.litTextureName != read.litTextureName)
        return "the texture names differ";
    if (written.indices != read.indices) return "the indices differ";
    if (!sameTable(written.meshVertices, read.meshVertices)) return "the vertices differ";
    if (!sameTable(written.lineVertices, read.lineVertices)) return "the line vertices differ";
    if (!sameTable(written.lightVertices, read.lightVertices)) return "the lights differ";
    if (written.animations.size() != read.animations.size()) return "the animations differ";
    for (size_t i = 0; i < written.animations.size(); ++i) {
        if (!sameAnimation(written.animations[i], read.animations[i]))
            return "animation " + std::to_string(i) + " differs";
    }
    if (written.lods.size() != read.lods.size()) return "the LOD ranges differ";
    for (size_t i = 0; i < written.lods.size(); ++i) {
        const LodRange& a = written.lods[i];
        const LodRange& b = read.lods[i];
        if (!sameNumber(a.nearDistance, b.nearDistance) ||
            !sameNumber(a.farDistance, b.farDistance) || a.commands.size() != b.commands.size() ||
            !std::equal(a.commands.begin(), a.commands.end(), b.commands.begin(), sameCommand)) {
            return "LOD range " + std::to_string(i) + " differs";
        }
    }
    return {};
}

bool replaceWithConversion(const std::string& path, const char* original, size_t size,
                           const ObjectModel& model, std::string* error) {
    ModelIssue issue;
    if (!validateModel(model, &issue)) {
        return fail(error, "refusing to write an invalid model: " + issue.message);
    }
    std::string temporary;
    if (!writeBeside(path, writeObj8ToString(model), &temporary, error)) return false;
    auto discard = [&](const std::string& reason) {
        platform::RemoveFile(temporary);
        return fail(error, reason);
    };

    // What the next load will read, read now: a file that does not give the model back (a
    // full disk, numbers no text holds) must not take the original's place.
    ObjectModel back;
    std::string reason;
    if (!readObj8(temporary, back, &reason, ShortTables::Refused)) {
        return discard(temporary + " does not read back: " + reason);
    }
    if (const std::string difference = differenceAfterReading(model, back); !difference.empty()) {
        return discard(temporary + " does not read back as written: " + difference);
    }

    if (!keepOriginal(obj7BackupPath(path), original, size, &reason)) return discard(reason);
    if (!platform::AtomicReplace(temporary, path, &reason)) {
        return discard("cannot replace " + path + ": " + reason);
    }
    return true;
}

}  // namespace tarvosk
