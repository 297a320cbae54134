// The simulated host's reader of real aircraft files: any bytes give a clean refusal or an
// aircraft whose numbers are finite and whose gear stays in the simulator's ten slots.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "world/acf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace simhost::detail;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    AcfFile f;
    std::string error;
    const bool looks = LooksLikeAcf(text);
    if (!ReadAcf(text, "fuzz.acf", &f, &error)) {
        if (error.rfind("fuzz.acf:", 0) != 0) std::abort();  // every refusal names file and line
        return 0;
    }
    if (!looks) std::abort();  // read, so its header was an aircraft file's
    const double numbers[] = {f.cgY, f.cgZ, f.maxWeightLb, f.halfSpan, f.noseZ, f.tailZ};
    for (double v : numbers)
        if (!std::isfinite(v)) std::abort();
    for (const AcfGear& g : f.gear) {
        if (g.type < 0 || !(g.tyreRadius >= 0) || !(g.legLength >= 0)) std::abort();
        if (!std::isfinite(g.x + g.y + g.z)) std::abort();
    }
    if (f.name.size() > 255 || f.tailNumber.size() > 255) std::abort();
    return 0;
}
