// The system's monotonic clock, through each platform's own call.
#pragma once

namespace tarvosk::platform {

// Seconds since an arbitrary fixed point; never goes back, sub-microsecond resolution.
long double MonotonicSeconds();

}  // namespace tarvosk::platform
