// Refusals, the host's load messages, the truck view and the registrations behind them.
#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

constexpr const char* kGroundSpeed = "sim/flightmodel/position/groundspeed";
constexpr const char* kAgl = "sim/flightmodel/position/y_agl";
constexpr const char* kGearHandle = "sim/cockpit/switches/gear_handle_status";
constexpr const char* kN1 = "sim/flightmodel/engine/ENGN_N1_";

class Refusals : public PushbackHost {
  protected:
    // Orders a straight push at once (no frame between the set-up and the order) and tells
    // whether the warning box shows `line`.
    bool RefusedWith(const std::string& line) {
        EXPECT_TRUE(Choose("Push straight back"));
        const bool started = Get(kPBstatus) != 0.0;
        simhost::RunFrames(1);
        return !started && WindowShows("Warning...") && WindowShows(line);
    }
};

TEST_F(Refusals, Airborne) {
    ASSERT_TRUE(Set(kAgl, 25.0));
    ASSERT_TRUE(Set(kGroundSpeed, 6.0));
    EXPECT_TRUE(RefusedWith("You can't start a PushBack while airborne!"));
}

TEST_F(Refusals, EnginesRunning) {
    ASSERT_TRUE(simhost::SetDatarefArray(kN1, {5.0f, 5.01f}));
    EXPECT_TRUE(RefusedWith("You can't Pushback a plane while the engines are"));
    EXPECT_TRUE(WindowShows(" running. (you can allow this in the preferences panel."));
}

TEST_F(Refusals, IdleEnginesAreNotRunning) {
    ASSERT_TRUE(simhost::SetDatarefArray(kN1, {5.0f, 5.0f}));
    ASSERT_TRUE(Choose("Push straight back"));
    EXPECT_EQ(Get(kPBstatus), 1.0);
}

TEST_F(Refusals, Taxiing) {
    ASSERT_TRUE(Set(kGroundSpeed, 3.0));
    EXPECT_TRUE(RefusedWith("You can't start a PushBack while taxiing!"));
}

TEST_F(Refusals, SlowWithGearUpOrHighButSlowPass) {
    ASSERT_TRUE(Set(kGroundSpeed, 3.0));
    ASSERT_TRUE(Set(kGearHandle, 0.0));
    ASSERT_TRUE(Choose("Push straight back"));
    EXPECT_EQ(Get(kPBstatus), 1.0);
    ASSERT_TRUE(Choose("Stop PushBack!"));
    ASSERT_TRUE(Set(kAgl, 25.0));
    ASSERT_TRUE(Set(kGroundSpeed, 4.0));
    ASSERT_TRUE(Set(kGearHandle, 0.0));
    ASSERT_TRUE(Choose("Turn tail right"));
    EXPECT_EQ(Get(kPBstatus), 2.0);
}

TEST_F(Refusals, ManeuverRunning) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    const double x0 = Get(kLocalX);
    ASSERT_TRUE(Choose("Push straight back"));
    ASSERT_TRUE(RunUntil([&] { return Get(kLocalX) != x0; }, 30.0));
    EXPECT_TRUE(WindowShows("TVK320 starting push back"));
    ASSERT_TRUE(Choose("Turn tail left"));
    simhost::RunFrames(1);
    EXPECT_TRUE(WindowShows("Please wait for the current maneuver to finish"));
    EXPECT_TRUE(WindowShows("before restarting one!"));
    EXPECT_EQ(Get(kPBstatus), 1.0);  // the running push goes on
    // Stopping is always possible.
    ASSERT_TRUE(Choose("Stop PushBack!"));
    EXPECT_EQ(Get(kPBstatus), 0.0);
}

TEST_F(Refusals, GpuConnected) {
    ASSERT_TRUE(Choose("GPU"));
    EXPECT_TRUE(RefusedWith("You can't start a PushBack with the GPU running!"));
}

class LoadMessages : public PushbackHost, public ::testing::WithParamInterface<int> {};

TEST_P(LoadMessages, StopEverythingSilently) {
    ASSERT_TRUE(Choose("GPU"));
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    const double x0 = Get(kLocalX);
    ASSERT_TRUE(Set(kPBstatus, 5));  // the dataref skips the GPU refusal
    ASSERT_TRUE(RunUntil([&] { return Get(kLocalX) != x0; }, 30.0));

    const int spoken = SpeechCount();
    const size_t sent = simhost::SentMessages().size();
    simhost::SendMessageFromHost(plugin_, GetParam(), nullptr);
    EXPECT_EQ(Get(kPBstatus), 0.0);
    EXPECT_EQ(Get(kGPUstatus), 0.0);
    simhost::RunFrames(1);
    const double x = Get(kLocalX), z = Get(kLocalZ);
    simhost::RunSeconds(30.0);
    EXPECT_EQ(Get(kLocalX), x);
    EXPECT_EQ(Get(kLocalZ), z);
    EXPECT_EQ(SpeechCount(), spoken);
    EXPECT_EQ(simhost::SentMessages().size(), sent);
}

INSTANTIATE_TEST_SUITE_P(PlaneAirportScenery, LoadMessages, ::testing::Values(102, 103, 104));

TEST_F(PushbackHost, TruckViewLooksAtTheAircraftFromAheadOfTheTug) {
    ASSERT_TRUE(Choose("Push straight back"));
    simhost::RunSeconds(6.0);  // the tug is on its way
    simhost::PressKey(XPLM_VK_F12, xplm_DownFlag);
    simhost::RunFrames(1);
    ASSERT_TRUE(simhost::CameraControlled());
    const XPLMCameraPosition_t pose = simhost::CameraPose();

    const double h = Get(kTruckHeading) * M_PI / 180.0;
    const double eye[3] = {Get(kTruckX) + 3.5 * std::sin(h), Get(kTruckY) + 1.75,
                           Get(kTruckZ) - 3.5 * std::cos(h)};
    EXPECT_NEAR(pose.x, eye[0], 1e-3);
    EXPECT_NEAR(pose.y, eye[1], 1e-3);
    EXPECT_NEAR(pose.z, eye[2], 1e-3);
    const double dx = Get(kLocalX) - eye[0], dy = Get(kLocalY) - eye[1], dz = Get(kLocalZ) - eye[2];
    EXPECT_NEAR(pose.heading, std::atan2(-dx, dz) * 180.0 / M_PI - 180.0, 1e-3);
    EXPECT_NEAR(pose.pitch, std::atan(dy / std::hypot(dx, dz)) * 180.0 / M_PI, 1e-3);
    EXPECT_EQ(pose.roll, 0.0f);

    simhost::ChangeView();
    simhost::RunFrames(1);
    EXPECT_FALSE(simhost::CameraControlled());
}

TEST_F(PushbackHost, MenuHoldsEveryItemInOrder) {
    const std::vector<std::string> expected = {"About...",
                                               "Preferences...",
                                               "-",
                                               "GPU",
                                               "-",
                                               "Push straight back",
                                               "Turn tail right",
                                               "Turn tail left",
                                               "-",
                                               "Automated tail right",
                                               "Automated tail left",
                                               "-",
                                               "Plan pushback...",
                                               "Planned pushback",
                                               "-",
                                               "Manual pushback",
                                               "Manual tow forward",
                                               "-",
                                               "Pause / resume pushback",
                                               "Stop pushback here",
                                               "Stop PushBack!",
                                               "-",
                                               "Trucks"};
    EXPECT_EQ(simhost::MenuItemNames("Plugins/Tarvosk"), expected);
    EXPECT_EQ(simhost::MenuItemCheck("Plugins/Tarvosk/GPU"), 1);
}

TEST_F(PushbackHost, ChoosingATruckMovesTheCheckMark) {
    const std::vector<std::string> trucks = simhost::MenuItemNames("Plugins/Tarvosk/Trucks");
    if (trucks.empty()) GTEST_SKIP() << "no truck objects in the sandbox (content not generated)";
    const std::string item = "Plugins/Tarvosk/Trucks/" + trucks[0];
    ASSERT_TRUE(simhost::ChooseMenuItem(item));
    EXPECT_EQ(simhost::MenuItemCheck(item), 2);
    ASSERT_TRUE(simhost::ChooseMenuItem(item));
    EXPECT_EQ(simhost::MenuItemCheck(item), 2);
}

TEST_F(PushbackHost, TwoPushbacksInARowRegisterNoLoopTwice) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(PushToTheEnd("Push straight back"));
    ASSERT_TRUE(PushToTheEnd("Turn tail right"));
    ASSERT_TRUE(Choose("Push straight back"));
    ASSERT_TRUE(Choose("Stop PushBack!"));
    ASSERT_TRUE(Set(kPBstatus, 2));
    ASSERT_TRUE(Set(kPBstatus, 0));
    simhost::RunSeconds(5.0);
    EXPECT_EQ(simhost::FlightLoopDoubleRegistrations(), 0);
    EXPECT_EQ(SpeechTimes("TVK320 push back terminated, cleared to taxi. Good flight !").size(),
              2u);
}

}  // namespace
}  // namespace tarvosk::testing
