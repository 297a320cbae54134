// What other plug-ins see and drive through the twelve published datarefs.
#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

TEST_F(PushbackHost, PushbackStatusWritesStartAndStop) {
    EXPECT_EQ(Get(kPBstatus), 0.0);
    const int reads[6] = {0, 1, 2, 3, 2, 3};  // automated turns read as their manual twins
    for (int kind = 1; kind <= 5; ++kind) {
        ASSERT_TRUE(Set(kPBstatus, kind));
        EXPECT_EQ(Get(kPBstatus), reads[kind]) << "kind " << kind;
    }
    ASSERT_TRUE(Set(kPBstatus, 0));
    EXPECT_EQ(Get(kPBstatus), 0.0);
    ASSERT_TRUE(Set(kPBstatus, 1));
    ASSERT_TRUE(Set(kPBstatus, 9));
    EXPECT_EQ(Get(kPBstatus), 0.0);
}

TEST_F(PushbackHost, WritingDuringAPushRestartsAsTheNewKind) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    const double x0 = Get(kLocalX);
    ASSERT_TRUE(Set(kPBstatus, 1));
    ASSERT_TRUE(RunUntil([&] { return Get(kLocalX) != x0; }, 30.0));
    // Through the menu this is refused; through the dataref it restarts.
    ASSERT_TRUE(Choose("Turn tail left"));
    EXPECT_EQ(Get(kPBstatus), 1.0);
    ASSERT_TRUE(Set(kPBstatus, 3));
    EXPECT_EQ(Get(kPBstatus), 3.0);
    EXPECT_EQ(
        SpeechTimes("Ok, TVK320 we are ready to push back tail left. Please remove breaks.").size(),
        1u);
    ASSERT_TRUE(RunUntil([] { return Get(kPBstatus) == 0.0; }, 400.0));
    EXPECT_EQ(std::floor(Get(kPsi)), 5);  // the straight leg kept 275.4
}

TEST_F(PushbackHost, GpuStatusWritesAreNotTheReadCodes) {
    ASSERT_TRUE(Set(kGPUstatus, 1));
    EXPECT_EQ(Get(kGPUstatus), 1.0);
    ASSERT_TRUE(Set(kGPUstatus, 2));  // disconnects
    EXPECT_EQ(Get(kGPUstatus), 0.0);
    ASSERT_TRUE(Set(kGPUstatus, 7));
    EXPECT_EQ(Get(kGPUstatus), 0.0);
}

TEST_F(PushbackHost, PositionsReadBackWhatWasWritten) {
    ASSERT_TRUE(Set("quorren/tarvosk/GPU/position_ogl_x", 1.1));
    EXPECT_EQ(Get("quorren/tarvosk/GPU/position_ogl_x"), static_cast<double>(1.1f));
    ASSERT_TRUE(Set(kTruckZ, 1.1));
    EXPECT_EQ(Get(kTruckZ), 1.1);
    ASSERT_TRUE(Set(kTruckHeading, 33.25));
    EXPECT_EQ(Get(kTruckHeading), 33.25);
}

TEST_F(PushbackHost, GpuCartStandsBesideTheNose) {
    ASSERT_TRUE(Choose("GPU"));
    const double x = Get("quorren/tarvosk/GPU/position_ogl_x");
    const double y = Get("quorren/tarvosk/GPU/position_ogl_y");
    const double z = Get("quorren/tarvosk/GPU/position_ogl_z");
    // Nose gear 12.5 ahead of the reference point; ground at 0.
    const double h = 275.4 * M_PI / 180.0;
    const double noseX = Get(kLocalX) + 12.5 * std::sin(h);
    const double noseZ = Get(kLocalZ) - 12.5 * std::cos(h);
    EXPECT_NEAR(std::hypot(x - noseX, z - noseZ), 5.0, 0.01);
    EXPECT_NEAR(y, 0.0, 0.05);
}

}  // namespace
}  // namespace tarvosk::testing
