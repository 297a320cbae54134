// The version-7 and version-2 reader on arbitrary bytes, then the conversion, the writer and
// the version-8 reader on what the writer made: every converted model must survive that.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "objformat/model_validation.h"
#include "objformat/obj7_convert.h"
#include "objformat/obj7_reader.h"
#include "objformat/obj8_reader.h"
#include "objformat/obj8_writer.h"

using namespace tarvosk;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Obj7Object object;
    std::string error;
    if (!readObj7FromBuffer(reinterpret_cast<const char*>(data), size, object, &error)) return 0;
    ObjectModel model;
    if (!convertObj7(object, model, &error)) std::abort();  // conversion never makes a bad model

    const std::string text = writeObj8ToString(model);
    ObjectModel back;
    if (!readObj8FromBuffer(text.data(), text.size(), back, &error)) std::abort();
    if (back.meshVertices.count() != model.meshVertices.count() ||
        back.lineVertices.count() != model.lineVertices.count() ||
        back.lightVertices.count() != model.lightVertices.count() ||
        back.indices != model.indices) {
        std::abort();
    }
    return 0;
}
