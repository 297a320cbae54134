// The tug's swing, departure arc, arrival test and the truck-view camera pose.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "config/settings.h"
#include "pushback/heading_math.h"
#include "pushback/pushback.h"
#include "pushback/truck_view.h"
#include "pushback/tug_geometry.h"

namespace tarvosk {
namespace {

class TugTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gSettings = Settings{};
        gTruck = TruckState{};
        gPushback = PushbackState{};
    }
};

TEST_F(TugTest, TailLeftSwingGrowsToElevenDegreesThenHolds) {
    const float h = 100.0f;
    gTruck.truckHeading = h;
    UpdateTruckSwing(PushDirection::TailLeft, h);
    EXPECT_NEAR(gTruck.truckSwing, -0.15f, 1e-6);
    EXPECT_NEAR(gTruck.truckHeading, h - 0.15f, 1e-4);
    for (int i = 0; i < 200; ++i) UpdateTruckSwing(PushDirection::TailLeft, h);
    EXPECT_FLOAT_EQ(gTruck.truckSwing, -11.0f);
    EXPECT_FLOAT_EQ(gTruck.truckHeading, h - 11.0f);
}

TEST_F(TugTest, TailLeftWhenTheTugIsJustAheadSnapsToElevenBeside) {
    gTruck.truckHeading = 50.5f;  // n = 359
    gTruck.truckSwing = 3.0f;
    UpdateTruckSwing(PushDirection::TailLeft, 50.0f);
    EXPECT_FLOAT_EQ(gTruck.truckHeading, 39.0f);
    EXPECT_FLOAT_EQ(gTruck.truckSwing, 3.0f);  // unchanged, not applied
}

TEST_F(TugTest, TailRightSwingIsCappedAtEleven) {
    gTruck.truckHeading = 200.0f;
    gTruck.truckSwing = 10.95f;
    UpdateTruckSwing(PushDirection::TailRight, 195.0f);  // n = 355
    EXPECT_NEAR(gTruck.truckSwing, 11.1f, 1e-4);
    UpdateTruckSwing(PushDirection::TailRight, 190.0f);
    EXPECT_FLOAT_EQ(gTruck.truckSwing, 11.0f);
    EXPECT_FLOAT_EQ(gTruck.truckHeading, 201.0f);
}

TEST_F(TugTest, TailRightWithTheTugElevenAheadStopsThere) {
    gTruck.truckHeading = 80.0f;
    gTruck.truckSwing = 4.0f;
    UpdateTruckSwing(PushDirection::TailRight,
                     80.0f);  // n = 0; Wrap360(0) < 11: swing grows and applies
    EXPECT_NEAR(gTruck.truckHeading, 84.15f, 1e-4);
    gTruck.truckHeading = 70.0f;
    UpdateTruckSwing(PushDirection::TailRight,
                     70.5f);  // n = 0 after truncation; Wrap360(-0.5) >= 11
    EXPECT_FLOAT_EQ(gTruck.truckHeading, 81.5f);
}

TEST_F(TugTest, StraightSegmentsBringTheTugBackOnAxis) {
    gTruck.truckSwing = -5.0f;
    gTruck.truckHeading = 95.0f;
    for (int i = 0; i < 100; ++i) UpdateTruckSwing(PushDirection::Straight, 100.0f);
    EXPECT_FLOAT_EQ(gTruck.truckSwing, 0.0f);
    EXPECT_FLOAT_EQ(gTruck.truckHeading, 100.0f);
}

TEST_F(TugTest, RearGearTugFacesAft) {
    gSettings.FRONT_WHEEL = false;
    gTruck.truckHeading = 100.0f - 180.0f;
    UpdateTruckSwing(PushDirection::Straight, 100.0f);
    EXPECT_FLOAT_EQ(gTruck.truckHeading, -80.0f);
}

TEST_F(TugTest, DepartureTurnsPointFourPerTickUntilWithinFiveDegrees) {
    gSettings.truckSpeedFactor = 0.1;
    gTruck.truckHeading = 0.0f;
    gTruck.departureHeading = 180.0f;               // front gear, aircraft heading 0
    gPushback.direction = PushDirection::TailLeft;  // tail left: the tug turns up
    int steps = 0;
    while (StepTruckDeparture() && steps < 10000) ++steps;
    EXPECT_LT(steps, 10000);
    EXPECT_NEAR(Wrap360(gTruck.truckHeading - 180.0f), 0.0f, 0.5f);
    // It drove an arc: still close to its start, never back through it.
    EXPECT_GT(steps, 400);
    EXPECT_LT(std::hypot(gTruck.truckX, gTruck.truckZ), 0.1 * steps);
}

TEST_F(TugTest, DepartureOtherwiseTurnsDown) {
    gTruck.truckHeading = 10.0f;
    gTruck.departureHeading = 190.0f;
    gPushback.direction = PushDirection::TailRight;
    gTruck.backedOff = DepartureBackOff(gSettings.truckSpeedFactor);  // clear of the nose
    EXPECT_TRUE(StepTruckDeparture());
    EXPECT_NEAR(gTruck.truckHeading, 9.6f, 1e-5);
}

TEST_F(TugTest, DepartureBacksOffStraightThenDrivesForwardRoundTheArc) {
    // Front gear, aircraft heading 0: the tug at the gear faces south, toward the aircraft.
    gTruck.truckHeading = 0.0f;
    gTruck.departureHeading = 180.0f;
    gPushback.direction = PushDirection::TailRight;
    const double backOff = DepartureBackOff(0.1);
    // The arc's radius (0.1 per 0.4 degrees) plus the nose's overhang.
    EXPECT_NEAR(backOff, 0.1 / (0.4 * kDegToRad64) + 8.0, 1e-9);
    int steps = 0;
    while (gTruck.backedOff < backOff && steps < 10000) {
        ASSERT_TRUE(StepTruckDeparture());
        ++steps;
    }
    // Straight back along its heading (north), away from the aircraft, not turning.
    EXPECT_FLOAT_EQ(gTruck.truckHeading, 0.0f);
    EXPECT_NEAR(gTruck.truckX, 0.0, 1e-6);
    EXPECT_NEAR(gTruck.truckZ, -0.1 * steps, 1e-6);
    // Then each step moves it toward its front (heading + 180): forwards.
    const double z0 = gTruck.truckZ;
    double nearest = 1e9;
    while (true) {
        const double x = gTruck.truckX, z = gTruck.truckZ;
        if (!StepTruckDeparture()) break;
        const double front = (gTruck.truckHeading + 180.0) * kDegToRad64;
        EXPECT_GT((gTruck.truckX - x) * std::sin(front) - (gTruck.truckZ - z) * std::cos(front),
                  0.09);
        nearest = std::min(nearest, -gTruck.truckZ);
        ASSERT_LT(++steps, 10000);
    }
    // It swung round ahead of the gear, never nearer than the overhang, and ended beside its
    // back-off point facing the aircraft's heading.
    EXPECT_GT(nearest, 7.5);
    EXPECT_NEAR(gTruck.truckZ, z0, 2.0);
    EXPECT_LE(Wrap360(gTruck.truckHeading - 180.0f), 5.0f);
}

TEST_F(TugTest, ArrivalNeedsBothAxesPassedInTheDirectionOfTravel) {
    // Aircraft heading 45, front gear: the tug comes from the north-east (larger x, smaller z).
    gTruck.truckX = 10.0;
    gTruck.truckZ = -10.0;
    EXPECT_FALSE(TruckArrivedAt(0.0, 0.0, 45.0f));
    gTruck.truckX = 0.0;
    EXPECT_FALSE(TruckArrivedAt(0.0, 0.0, 45.0f));
    gTruck.truckZ = 0.0;
    EXPECT_TRUE(TruckArrivedAt(0.0, 0.0, 45.0f));
    gTruck.truckX = -0.05;  // the same 0.1 cell as the gear
    EXPECT_TRUE(TruckArrivedAt(-0.01, 0.0, 45.0f));
    gSettings.FRONT_WHEEL = false;
    gTruck.truckX = -1.0;
    gTruck.truckZ = 1.0;
    EXPECT_FALSE(TruckArrivedAt(0.0, 0.0, 45.0f));
}

TEST_F(TugTest, CameraLooksBackAtTheAircraftFromAheadOfTheTug) {
    const double aircraft[3] = {0.0, 0.0, 20.0};
    XPLMCameraPosition_t pose{};
    pose.zoom = 1.5f;
    TruckCameraPose(aircraft, pose);
    EXPECT_NEAR(pose.x, 0.0f, 1e-5);
    EXPECT_FLOAT_EQ(pose.y, 1.75f);
    EXPECT_NEAR(pose.z, -3.5f, 1e-5);
    EXPECT_NEAR(pose.heading, -180.0f, 1e-4);
    EXPECT_NEAR(pose.pitch, -4.2589f, 1e-3);
    EXPECT_FLOAT_EQ(pose.roll, 0.0f);
    EXPECT_FLOAT_EQ(pose.zoom, 1.5f);  // left as the host filled it

    gSettings.FRONT_WHEEL = false;
    TruckCameraPose(aircraft, pose);
    EXPECT_NEAR(pose.heading, -360.0f, 1e-4);
}

TEST_F(TugTest, CameraFollowsTheTugHeading) {
    gTruck.truckHeading = 90.0f;
    gTruck.truckX = 100.0;
    const double aircraft[3] = {80.0, 0.0, 0.0};
    XPLMCameraPosition_t pose{};
    TruckCameraPose(aircraft, pose);
    EXPECT_NEAR(pose.x, 103.5f, 1e-4);
    EXPECT_NEAR(pose.z, 0.0f, 1e-4);
    // Looking west: atan2(23.5, 0) = 90 degrees, minus 180.
    EXPECT_NEAR(pose.heading, -90.0f, 1e-3);
}

}  // namespace
}  // namespace tarvosk
