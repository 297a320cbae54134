#include <windows.h>

#include "platform/clock.h"

namespace tarvosk::platform {

long double MonotonicSeconds() {
    // The counter's frequency is fixed at boot, so it is read once.
    static const long double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<long double>(f.QuadPart);
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<long double>(now.QuadPart) / frequency;
}

}  // namespace tarvosk::platform
