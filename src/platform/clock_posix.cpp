#include <time.h>

#include "platform/clock.h"

namespace tarvosk::platform {

long double MonotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long double>(now.tv_sec) + static_cast<long double>(now.tv_nsec) * 1e-9L;
}

}  // namespace tarvosk::platform
