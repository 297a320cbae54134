// How far one pushed frame moves and turns the aircraft, per frame or per second.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "config/settings.h"
#include "pushback/motion_base.h"

namespace tarvosk {
namespace {

class PushStepTest : public ::testing::Test {
  protected:
    void SetUp() override { ApplyDefaultSettings(); }
    void TearDown() override { ApplyDefaultSettings(); }
};

TEST_F(PushStepTest, PerFrameIgnoresTheFrameDuration) {
    for (float dt : {0.0f, 1.0f / 60, 1.0f / 20, 2.0f}) {
        const PushStep step = PushStepFor(dt);
        EXPECT_EQ(step.distance, 0.1);
        EXPECT_EQ(step.turnDegrees, 0.15);
    }
    gSettings.truckSpeedFactor = 0.25;
    EXPECT_EQ(PushStepFor(0.5f).distance, 0.25);
}

TEST_F(PushStepTest, PerSecondFollowsTheFrameOnTheSameRadius) {
    gSettings.SPEED_PER_SECOND = true;
    const PushStep step = PushStepFor(1.0f / 30);
    EXPECT_NEAR(step.distance, 1.0 / 30, 1e-7);  // TRUCK_SPEED 10: one unit per second (float dt)
    // Radius = distance / turn in radians: that of 0.1 unit and 0.15 degrees per frame.
    const double radius = step.distance / (step.turnDegrees * std::numbers::pi / 180.0);
    EXPECT_NEAR(radius, 0.1 / (0.15 * std::numbers::pi / 180.0), 1e-9);
    EXPECT_NEAR(radius, 38.2, 0.05);
    gSettings.TRUCK_SPEED = 50.0f;
    EXPECT_NEAR(PushStepFor(0.05f).distance, 0.25, 1e-7);
}

TEST_F(PushStepTest, PerSecondBoundsAHitchAndRefusesBackwardTime) {
    gSettings.SPEED_PER_SECOND = true;
    gSettings.TRUCK_SPEED = 50.0f;
    const PushStep hitch = PushStepFor(3.0f);
    EXPECT_NEAR(hitch.distance, 0.5, 1e-9);
    EXPECT_LT(hitch.turnDegrees, 1.0);  // never past the target's whole degree in one step
    EXPECT_EQ(PushStepFor(-0.1f).distance, 0.0);
    EXPECT_EQ(PushStepFor(std::nanf("")).distance, 0.0);
}

}  // namespace
}  // namespace tarvosk
