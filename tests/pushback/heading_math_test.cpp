#include "pushback/heading_math.h"

#include <gtest/gtest.h>

namespace tarvosk {
namespace {

TEST(Wrap360, CorrectsOnceInEachDirection) {
    EXPECT_FLOAT_EQ(Wrap360(360.0f), 0.0f);
    EXPECT_FLOAT_EQ(Wrap360(370.5f), 10.5f);
    EXPECT_FLOAT_EQ(Wrap360(-10.0f), 350.0f);
    EXPECT_FLOAT_EQ(Wrap360(359.5f), 359.5f);
    // Only one correction: values a full turn or more out of range stay out of range.
    EXPECT_FLOAT_EQ(Wrap360(720.0f), 360.0f);
    EXPECT_FLOAT_EQ(Wrap360(-400.0f), -40.0f);
}

TEST(HeadingQuadrant, NumbersTheQuartersClockwiseFromNorth) {
    EXPECT_EQ(HeadingQuadrant(45.0f), 1);
    EXPECT_EQ(HeadingQuadrant(135.0f), 2);
    EXPECT_EQ(HeadingQuadrant(225.0f), 3);
    EXPECT_EQ(HeadingQuadrant(315.0f), 4);
    EXPECT_EQ(HeadingQuadrant(0.5f), 1);
    EXPECT_EQ(HeadingQuadrant(359.5f), 4);
}

TEST(HeadingQuadrant, ExactZeroSineGivesOne) {
    // (90 - 90) is exactly zero, so the sine is exactly zero.
    EXPECT_EQ(HeadingQuadrant(90.0f), 1);
}

TEST(TargetHeadingFrom, TurnsAQuarterAndStaysInRange) {
    EXPECT_EQ(TargetHeadingFrom(275.4f, PushDirection::TailLeft), 5);
    EXPECT_EQ(TargetHeadingFrom(270.5f, PushDirection::TailLeft), 0);
    EXPECT_EQ(TargetHeadingFrom(45.9f, PushDirection::TailRight), 315);
    EXPECT_EQ(TargetHeadingFrom(90.0f, PushDirection::TailRight), 0);
    EXPECT_EQ(TargetHeadingFrom(89.99f, PushDirection::TailRight), 359);
    EXPECT_EQ(TargetHeadingFrom(12.7f, PushDirection::Straight), 12);
}

TEST(TargetHeadingFrom, NotANumberGivesNorth) {
    EXPECT_EQ(TargetHeadingFrom(std::nanf(""), PushDirection::TailLeft), 90);
}

TEST(HeadingTrig, ConstantsDifferInTheirLastBits) {
    // The two conversions are both in use; they must not be silently unified.
    EXPECT_NE(static_cast<double>(kDegToRad32), kDegToRad64);
    EXPECT_EQ(static_cast<float>(0.1015), 0.1015f);
    EXPECT_NEAR(HeadingTrig32(30.0f).sinH, 0.5, 1e-6);
    EXPECT_NEAR(HeadingTrig64(30.0).cosH, std::sqrt(3.0) / 2.0, 1e-6);
}

TEST(AttitudeQuaternion, LevelAttitudes) {
    const Quaternion north = AttitudeQuaternion(0.0f, 0.0f, 0.0f);
    EXPECT_NEAR(north.q[0], 1.0f, 1e-7);
    EXPECT_NEAR(north.q[1], 0.0f, 1e-7);
    EXPECT_NEAR(north.q[2], 0.0f, 1e-7);
    EXPECT_NEAR(north.q[3], 0.0f, 1e-7);

    const Quaternion east = AttitudeQuaternion(90.0f, 0.0f, 0.0f);
    EXPECT_NEAR(east.q[0], std::sqrt(0.5f), 1e-6);
    EXPECT_NEAR(east.q[3], std::sqrt(0.5f), 1e-6);
    EXPECT_NEAR(east.q[1], 0.0f, 1e-7);
}

TEST(AttitudeQuaternion, PitchAndRollGoToTheirOwnAxes) {
    const Quaternion rolled = AttitudeQuaternion(0.0f, 0.0f, 20.0f);
    EXPECT_NEAR(rolled.q[1], std::sin(10.0 * kDegToRad64), 1e-6);
    EXPECT_NEAR(rolled.q[2], 0.0f, 1e-7);
    const Quaternion pitched = AttitudeQuaternion(0.0f, 4.0f, 0.0f);
    EXPECT_NEAR(pitched.q[2], std::sin(2.0 * kDegToRad64), 1e-6);
    EXPECT_NEAR(pitched.q[1], 0.0f, 1e-7);
}

TEST(AttitudeQuaternion, IsUnitLength) {
    const Quaternion q = AttitudeQuaternion(237.3f, -3.1f, 1.7f);
    const double norm = q.q[0] * q.q[0] + q.q[1] * q.q[1] + q.q[2] * q.q[2] + q.q[3] * q.q[3];
    EXPECT_NEAR(norm, 1.0, 1e-6);
}

TEST(LookAt, StraightAboveStaysFinite) {
    const double eye[3] = {1.0, 10.0, 2.0};
    const double target[3] = {1.0, 0.0, 2.0};
    const LookAngles look = LookAt(eye, target);
    EXPECT_NEAR(look.pitch, -90.0, 1e-4);
    EXPECT_TRUE(std::isfinite(look.heading));
}

}  // namespace
}  // namespace tarvosk
