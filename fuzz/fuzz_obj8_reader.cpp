// The version-8 reader on arbitrary bytes. A model it accepts must pass validation, and the
// writer's text of it must read back with the same tables and commands.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "objformat/model_validation.h"
#include "objformat/obj8_reader.h"
#include "objformat/obj8_writer.h"

using namespace tarvosk;

namespace {

// Integers above 2^24 do not survive the format's per-digit single-precision rounding; no
// range of a model that fits in memory can use them, so only the others must come back.
bool sameUsableIndices(const TableVector<int32_t>& a, const TableVector<int32_t>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const bool usable = a[i] >= -(1 << 24) && a[i] <= (1 << 24);
        if (usable && a[i] != b[i]) return false;
    }
    return true;
}

bool sameBits(const TableVector<float>& a, const TableVector<float>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * 4) == 0);
}

size_t commandCount(const ObjectModel& model) {
    size_t n = 0;
    for (const LodRange& range : model.lods) n += range.commands.size();
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    ObjectModel model;
    std::string error;
    Obj8ReadDetails details;
    readObj8Unvalidated(bytes, size, model, &error, &details);
    error.clear();
    const bool ok = readObj8FromBuffer(bytes, size, model, &error);
    // Runs of lines read whole must give what the keyword handlers give line by line.
    ObjectModel slow;
    std::string slowError;
    if (readObj8LineByLine(bytes, size, slow, &slowError) != ok || slowError != error ||
        !sameBits(slow.meshVertices.floats, model.meshVertices.floats) ||
        !sameBits(slow.lineVertices.floats, model.lineVertices.floats) ||
        !sameBits(slow.lightVertices.floats, model.lightVertices.floats) ||
        slow.indices != model.indices || commandCount(slow) != commandCount(model)) {
        std::abort();
    }
    if (!ok) return 0;
    if (!validateModel(model) || model.lods.empty()) std::abort();

    const std::string text = writeObj8ToString(model);
    ObjectModel back;
    if (!readObj8FromBuffer(text.data(), text.size(), back, &error)) std::abort();
    if (back.meshVertices.count() != model.meshVertices.count() ||
        back.lineVertices.count() != model.lineVertices.count() ||
        back.lightVertices.count() != model.lightVertices.count() ||
        !sameUsableIndices(model.indices, back.indices) ||
        back.animations.size() != model.animations.size() ||
        commandCount(back) != commandCount(model)) {
        std::abort();
    }
    return 0;
}
