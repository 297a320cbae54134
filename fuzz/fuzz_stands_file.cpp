// The stands file as a pilot may have edited it: whatever the bytes, reading them never fails
// hard, and what was read writes out as text that reads back to the same stands.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/stands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarvosk::StandPlans stands;
    stands.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    tarvosk::StandPlans again;
    again.Parse(stands.Text());
    if (again.Stands().size() != stands.Stands().size()) std::abort();
    for (const tarvosk::StoredStand& s : stands.Stands()) {
        if (stands.Find(s.key) == nullptr) std::abort();
    }
    return 0;
}
