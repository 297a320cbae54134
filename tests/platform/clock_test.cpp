#include <gtest/gtest.h>

#include <thread>

#include "platform/clock.h"

namespace tarvosk::platform {
namespace {

TEST(MonotonicClock, NeverGoesBackAndFollowsRealTime) {
    long double last = MonotonicSeconds();
    for (int i = 0; i < 10000; ++i) {
        const long double now = MonotonicSeconds();
        ASSERT_GE(now, last);
        last = now;
    }
    const long double before = MonotonicSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const long double slept = MonotonicSeconds() - before;
    EXPECT_GE(slept, 0.019L);
    EXPECT_LT(slept, 5.0L);  // generous: a loaded machine may pause us
}

}  // namespace
}  // namespace tarvosk::platform
