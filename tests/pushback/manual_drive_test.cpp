// The pace of a pushback and the manual kinds' inputs, called directly: easing a fixed kind
// down to a pause and back, the target speed's steps and limits, and the steering's sum.
#include <gtest/gtest.h>

#include <cmath>

#include "pushback/manual_drive.h"
#include "pushback/pushback.h"

namespace tarvosk {
namespace {

class ManualDriveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gManual = ManualDrive{};
        gPushback = PushbackState{};
    }
    void TearDown() override { gManual = ManualDrive{}; }
};

TEST_F(ManualDriveTest, AFixedKindKeepsItsWholeStepUntilPaused) {
    for (int k = 0; k < 10; ++k) EXPECT_EQ(PaceStep(0.1, 1.0f / 30), 1.0);
    EXPECT_NEAR(gPace.speed, 3.0, 1e-6);  // 0.1 unit a frame at 30 frames per second
}

// The tug halts a fixed kind in 1.5 s from any speed (braking at least 0.25 m/s per second),
// then a resume eases it back up at 0.25 m/s per second.
TEST_F(ManualDriveTest, APauseBrakesAFixedKindWithinASecondAndAHalfAndEasesItBackUp) {
    struct Case {
        double step;
        float frame;
        double haltSeconds;
    };
    for (const Case c : {Case{0.05, 1.0f / 20, 1.5},      // 1 m/s
                         Case{0.1, 1.0f / 60, 1.5},       // 6 m/s: per frame at 60 fps
                         Case{0.5, 1.0f / 120, 1.5},      // 60 m/s: the slider's top, 120 fps
                         Case{0.005, 1.0f / 20, 0.4}}) {  // 0.1 m/s at the gentlest rate
        SetUp();
        const double nominal = c.step / c.frame;
        PaceStep(c.step, c.frame);
        gPace.paused = true;
        int frames = 0;
        while (PaceStep(c.step, c.frame) > 0.0) ASSERT_LT(++frames, 100000);
        EXPECT_EQ(gPace.speed, 0.0);
        EXPECT_NEAR((frames + 1) * c.frame, c.haltSeconds, c.frame + 1e-6) << nominal;
        gPace.paused = false;
        const double share = PaceStep(c.step, c.frame);
        EXPECT_NEAR(share, 0.25 * c.frame / nominal, 1e-6);  // the step in proportion
        for (int k = 0; k < 100000 && gPace.easing; ++k) PaceStep(c.step, c.frame);
        EXPECT_EQ(PaceStep(c.step, c.frame), 1.0);  // back on its own step
    }
}

TEST_F(ManualDriveTest, TheSpeedIsTheStepOverTheFramesRealLength) {
    PaceStep(0.1, 0.5f);  // a slow frame still moves its one step
    EXPECT_NEAR(gPace.speed, 0.2, 1e-6);
    PaceStep(0.1, 0.0f);
    EXPECT_EQ(gPace.speed, 0.0);
}

TEST_F(ManualDriveTest, TargetSpeedStepsWithinTheKindsLimits) {
    ChangeTargetSpeed(1);  // no manual kind: nothing
    EXPECT_EQ(gManual.targetSpeed, 0.0);
    gManual.mode = kManualPush;
    gManual.targetSpeed = kDefaultPushSpeed;
    for (int k = 0; k < 10; ++k) ChangeTargetSpeed(1);
    EXPECT_EQ(gManual.targetSpeed, 2.0);
    for (int k = 0; k < 20; ++k) ChangeTargetSpeed(-1);
    EXPECT_EQ(gManual.targetSpeed, 0.25);
    gManual.mode = kManualTow;
    for (int k = 0; k < 30; ++k) ChangeTargetSpeed(1);
    EXPECT_EQ(gManual.targetSpeed, 4.0);
}

TEST_F(ManualDriveTest, CockpitSteeringIsClampedAddedAndReadBackAtOnce) {
    gManual.mode = kManualTow;
    gManual.axisSteer = 0.25f;
    SetCockpitSteer(0.5f);
    EXPECT_FLOAT_EQ(gManual.steer, 0.75f);
    SetCockpitSteer(9.0f);
    EXPECT_FLOAT_EQ(gManual.cockpitSteer, 1.0f);
    EXPECT_FLOAT_EQ(gManual.steer, 1.0f);
    SetCockpitSteer(std::nanf(""));
    SetCockpitSteer(INFINITY);
    EXPECT_FLOAT_EQ(gManual.cockpitSteer, 1.0f);
    SetCockpitSteer(-3.0f);
    EXPECT_FLOAT_EQ(gManual.steer, -0.75f);
}

TEST_F(ManualDriveTest, ASteerKeyReleasedCentresWhileTheOtherHeldKeepsIt) {
    gManual.mode = kManualPush;
    HoldSteer(-1, true);
    gManual.commandSteer = -0.8f;
    HoldSteer(1, true);  // both held: they cancel from the next frame on
    HoldSteer(1, false);
    EXPECT_FLOAT_EQ(gManual.commandSteer, -0.8f);  // left still held
    HoldSteer(-1, false);
    EXPECT_EQ(gManual.commandSteer, 0.0f);
    EXPECT_EQ(gManual.steer, 0.0f);
}

TEST_F(ManualDriveTest, ResetForgetsThePushButNotTheKeys) {
    gManual.mode = kManualTow;
    gPace.speed = 2.0;
    gPace.paused = true;
    gManual.cockpitSteer = 0.5f;
    HoldSteer(1, true);
    ResetManualDrive();
    ResetPace();
    EXPECT_EQ(gManual.mode, kManualNone);
    EXPECT_EQ(gPace.speed, 0.0);
    EXPECT_FALSE(gPace.paused);
    EXPECT_EQ(gManual.cockpitSteer, 0.0f);
    EXPECT_TRUE(gManual.holdRight);
}

TEST_F(ManualDriveTest, PauseAndStopHereNeedAPushbackThatHasNotEnded) {
    TogglePause();
    StopHere();
    EXPECT_FALSE(gPace.paused);
    EXPECT_FALSE(gPace.stopping);
    gPushback.pushRequested = true;
    gPushback.truckPhase = TugPhase::Departing;  // the tug is leaving: the push is over
    TogglePause();
    EXPECT_FALSE(gPace.paused);
    gPushback.truckPhase = TugPhase::Pushing;
    gPushback.pushing = true;
    TogglePause();
    EXPECT_TRUE(gPace.paused);
    TogglePause();
    EXPECT_FALSE(gPace.paused);
    StopHere();
    EXPECT_TRUE(gPace.stopping);
}

}  // namespace
}  // namespace tarvosk
