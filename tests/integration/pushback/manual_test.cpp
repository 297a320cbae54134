// The kinds the pilot drives: a manual push and a forward tow, steered by held commands, the
// pedals or a cockpit, at a speed in m/s that changes smoothly at any frame rate; and pause and
// "stop here" for every kind.
#include <algorithm>
#include <cmath>
#include <fstream>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

constexpr const char* kMode = "quorren/tarvosk/manual/mode";
constexpr const char* kSteer = "quorren/tarvosk/manual/steer";
constexpr const char* kSpeed = "quorren/tarvosk/speed";
constexpr const char* kPhase = "tarvosk/diagnostics/truck_phase";
constexpr const char* kPilotYaw = "simhost/pilot/yaw_axis";
constexpr const char* kYawRatio = "sim/joystick/yolk_heading_ratio";
constexpr const char* kOverrideYaw = "sim/operation/override/override_joystick_heading";
constexpr const char* kTerminated = "TVK320 push back terminated, cleared to taxi. Good flight !";
constexpr double kPi = 3.14159265358979323846;

struct Pose {
    double x, z, heading;
};

Pose Now() {
    return {simhost::GetDataref(kLocalX), simhost::GetDataref(kLocalZ), simhost::GetDataref(kPsi)};
}

// Components of the move from `a` to `b` along a's heading (forward) and to its left.
struct Move {
    double forward, left;
};
Move Between(const Pose& a, const Pose& b) {
    const double h = a.heading * kPi / 180.0;
    const double dx = b.x - a.x, dz = b.z - a.z;
    return {dx * std::sin(h) - dz * std::cos(h), -(dx * std::cos(h) + dz * std::sin(h))};
}

double HeadingChange(const Pose& a, const Pose& b) {
    double d = b.heading - a.heading;
    while (d > 180.0) d -= 360.0;
    while (d < -180.0) d += 360.0;
    return d;
}

class Manual : public PushbackHost {
  protected:
    static bool Command(const std::string& name, int phase = -1) {
        return simhost::RunCommand("quorren/tarvosk/" + name, phase);
    }
    // Orders a manual kind with the brake released and runs until the aircraft moves.
    bool StartMoving(const char* command) {
        if (!Set(kParkBrake, 0.0) || !Command(command)) return false;
        return RunUntil([] { return Get(kSpeed) > 0.0; }, 60.0);
    }
    // The pose after `seconds` of a manual push started now, steered by `steer` held.
    Pose PushFor(double seconds, const char* held) {
        EXPECT_TRUE(StartMoving("manual_push"));
        if (held != nullptr) {
            EXPECT_TRUE(Command(held, xplm_CommandBegin));
        }
        simhost::RunSeconds(seconds);
        if (held != nullptr) {
            EXPECT_TRUE(Command(held, xplm_CommandEnd));
        }
        return Now();
    }
    void Restart() {
        TearDown();
        SetUp();
    }
};

TEST_F(Manual, MenuItemsFollowTheFiveKinds) {
    for (const char* item : {"Manual pushback", "Manual tow forward", "Pause / resume pushback",
                             "Stop pushback here", "Stop PushBack!"}) {
        EXPECT_EQ(simhost::MenuItemEnabled(std::string(kMenu) + item), 1) << item;
    }
    ASSERT_TRUE(Choose("Manual tow forward"));
    simhost::RunFrames(1);
    EXPECT_EQ(Get(kPBstatus), 1.0);
    EXPECT_EQ(Get(kMode), 2.0);
    ASSERT_TRUE(Choose("Stop PushBack!"));
    EXPECT_EQ(Get(kPBstatus), 0.0);
    EXPECT_EQ(Get(kMode), 0.0);
}

TEST_F(Manual, AWriteOfZeroToThePushbackStatusStopsAManualKind) {
    ASSERT_TRUE(StartMoving("manual_tow"));
    ASSERT_TRUE(Set(kPBstatus, 0.0));
    EXPECT_EQ(Get(kMode), 0.0);
    EXPECT_EQ(Get(kSpeed), 0.0);
    const Pose stopped = Now();
    simhost::RunSeconds(2.0);
    EXPECT_EQ(Now().x, stopped.x);
    EXPECT_EQ(Now().z, stopped.z);
    EXPECT_TRUE(SpeechTimes(kTerminated).empty());  // stopped, not ended: nothing is said
}

TEST_F(Manual, RefusedAsTheOtherKindsAre) {
    ASSERT_TRUE(Set(kGPUstatus, 1.0));  // a connected GPU refuses a pushback
    ASSERT_TRUE(Command("manual_push"));
    simhost::RunFrames(2);
    EXPECT_EQ(Get(kPBstatus), 0.0);
    EXPECT_EQ(Get(kMode), 0.0);
    EXPECT_TRUE(WindowShows("You can't start a PushBack with the GPU running!"));
}

TEST_F(Manual, PushMovesBackAtOneMetrePerSecond) {
    ASSERT_TRUE(StartMoving("manual_push"));
    EXPECT_EQ(Get(kMode), 1.0);
    EXPECT_EQ(Get(kPBstatus), 1.0);
    simhost::RunSeconds(5.0);  // up to speed after 4 s at 0.25 m/s per second
    EXPECT_NEAR(Get(kSpeed), 1.0, 1e-6);
    const Pose a = Now();
    simhost::RunSeconds(10.0);
    const Move m = Between(a, Now());
    EXPECT_NEAR(m.forward, -10.0, 0.05);
    EXPECT_NEAR(m.left, 0.0, 0.05);
}

TEST_F(Manual, HeldSteerLeftSwingsTheTailLeft) {
    const Pose start = Now();
    const Pose straight = PushFor(20.0, nullptr);
    Restart();
    const Pose left = PushFor(20.0, "steer_left");
    // The tail leads: it ends to the left of where a straight push ends, the heading up.
    EXPECT_GT(Between(start, left).left - Between(start, straight).left, 1.0);
    EXPECT_GT(HeadingChange(start, left), 5.0);
    Restart();
    const Pose right = PushFor(20.0, "steer_right");
    EXPECT_LT(Between(start, right).left - Between(start, straight).left, -1.0);
    EXPECT_LT(HeadingChange(start, right), -5.0);
}

TEST_F(Manual, HeldCommandRisesToFullInASecondAndCentresOnRelease) {
    ASSERT_TRUE(StartMoving("manual_push"));
    ASSERT_TRUE(Command("steer_left", xplm_CommandBegin));
    simhost::RunSeconds(0.5);
    EXPECT_NEAR(Get(kSteer), -0.5, 0.05);
    simhost::RunSeconds(1.0);
    EXPECT_EQ(Get(kSteer), -1.0);
    ASSERT_TRUE(Command("steer_left", xplm_CommandEnd));
    simhost::RunFrames(1);
    EXPECT_EQ(Get(kSteer), 0.0);
}

TEST_F(Manual, FullDeflectionTurnsOnTheAutomatedRadiusHalfOnTwice) {
    ASSERT_TRUE(StartMoving("manual_tow"));
    simhost::RunSeconds(10.0);  // at 2 m/s
    ASSERT_TRUE(Set(kSteer, -1.0));
    simhost::RunFrames(1);
    Pose a = Now();
    simhost::RunSeconds(5.0);
    // 10 m at 2 m/s on a radius of 38.2 m: 15 degrees, the nose to the left.
    EXPECT_NEAR(HeadingChange(a, Now()), -10.0 / 38.197 * 180.0 / kPi, 0.3);
    ASSERT_TRUE(Set(kSteer, 0.5));
    simhost::RunFrames(1);
    a = Now();
    simhost::RunSeconds(5.0);
    EXPECT_NEAR(HeadingChange(a, Now()), 10.0 / (2 * 38.197) * 180.0 / kPi, 0.3);
}

TEST_F(Manual, TowMovesForwardAlongItsHeading) {
    const Pose start = Now();
    ASSERT_TRUE(StartMoving("manual_tow"));
    EXPECT_EQ(Get(kMode), 2.0);
    simhost::RunSeconds(20.0);
    const Move m = Between(start, Now());
    EXPECT_GT(m.forward, 25.0);  // 8 s to reach 2 m/s, then 2 m/s
    EXPECT_NEAR(m.left, 0.0, 0.05);
    EXPECT_NEAR(HeadingChange(start, Now()), 0.0, 1e-3);
}

TEST_F(Manual, PedalsSteerWhenTheSettingIsOnAndAreNeverWritten) {
    ASSERT_TRUE(Set(kPilotYaw, -0.4));
    ASSERT_TRUE(StartMoving("manual_push"));
    simhost::RunSeconds(2.0);
    EXPECT_NEAR(Get(kSteer), -0.4, 1e-6);
    EXPECT_EQ(Get(kOverrideYaw), 0.0);  // the simulator goes on reporting the pedals
    EXPECT_NEAR(Get(kYawRatio), -0.4, 1e-6);
    // Commands add to the pedals, limited to full deflection.
    ASSERT_TRUE(Command("steer_left", xplm_CommandBegin));
    simhost::RunSeconds(2.0);
    EXPECT_EQ(Get(kSteer), -1.0);
    ASSERT_TRUE(Command("steer_left", xplm_CommandEnd));
}

class ManualNoRudder : public Manual {
  protected:
    void BeforeLoad(const std::filesystem::path& sandbox) override {
        std::ofstream(sandbox / "Output/preferences/Quorren.Tarvosk.prf") << "MANUAL_RUDDER=0\n";
    }
};

TEST_F(ManualNoRudder, PedalsIgnoredAndTheNoseWheelShowsTheSteering) {
    ASSERT_TRUE(Set(kPilotYaw, -1.0));
    ASSERT_TRUE(StartMoving("manual_push"));
    simhost::RunSeconds(2.0);
    EXPECT_EQ(Get(kSteer), 0.0);
    EXPECT_EQ(Get(kOverrideYaw), 1.0);
    ASSERT_TRUE(Set(kSteer, 1.0));
    simhost::RunFrames(2);
    EXPECT_NEAR(Get(kYawRatio), 0.3, 1e-6);
}

// Speeds within their limits, changing by at most 0.25 m/s per second, at any frame rate.
class ManualRate : public Manual, public ::testing::WithParamInterface<double> {
  protected:
    void Configure(simhost::HostConfig& config) override { config.framesPerSecond = GetParam(); }
    // Runs `seconds`, checking every frame; returns the highest speed seen.
    double Watch(double seconds, double limit) {
        double top = 0.0, last = Get(kSpeed);
        const long long frames = std::llround(seconds * GetParam());
        for (long long k = 0; k < frames; ++k) {
            simhost::RunFrames(1);
            const double v = Get(kSpeed);
            EXPECT_LE(std::fabs(v - last), 0.25 / GetParam() + 1e-6) << "at " << simhost::Now();
            EXPECT_GE(v, 0.0);
            EXPECT_LE(v, limit + 1e-6);
            top = std::max(top, v);
            last = v;
        }
        return top;
    }
};

TEST_P(ManualRate, PushStartsFasterSlowerPausesAndStopsSmoothly) {
    ASSERT_TRUE(StartMoving("manual_push"));
    EXPECT_NEAR(Watch(6.0, 2.0), 1.0, 1e-6);
    for (int k = 0; k < 8; ++k) ASSERT_TRUE(Command("faster"));
    EXPECT_NEAR(Watch(6.0, 2.0), 2.0, 1e-6);
    for (int k = 0; k < 12; ++k) ASSERT_TRUE(Command("slower"));
    Watch(10.0, 2.0);
    EXPECT_NEAR(Get(kSpeed), 0.25, 1e-6);
    ASSERT_TRUE(Command("pause"));
    Watch(3.0, 2.0);
    EXPECT_EQ(Get(kSpeed), 0.0);
    ASSERT_TRUE(Command("pause"));
    Watch(3.0, 2.0);
    EXPECT_NEAR(Get(kSpeed), 0.25, 1e-6);
    ASSERT_TRUE(Command("stop_here"));
    Watch(3.0, 2.0);
    EXPECT_EQ(Get(kMode), 1.0);  // the tug is leaving; the ending is under way
    EXPECT_EQ(Get(kPhase), 3.0);
}

TEST_P(ManualRate, TowTopsAtFourMetresPerSecond) {
    ASSERT_TRUE(StartMoving("manual_tow"));
    for (int k = 0; k < 12; ++k) ASSERT_TRUE(Command("faster"));
    EXPECT_NEAR(Watch(20.0, 4.0), 4.0, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Frames, ManualRate, ::testing::Values(20.0, 30.0, 60.0),
                         [](const ::testing::TestParamInfo<double>& param) {
                             return std::to_string(static_cast<int>(param.param)) + "fps";
                         });

TEST_F(Manual, PauseHoldsTheAircraftStillWithTheTugAttached) {
    ASSERT_TRUE(StartMoving("manual_push"));
    simhost::RunSeconds(6.0);
    ASSERT_TRUE(Choose("Pause / resume pushback"));
    simhost::RunSeconds(5.0);  // 1 m/s comes down in 1.5 s
    const Pose held = Now();
    const double tugX = Get(kTruckX), tugZ = Get(kTruckZ);
    simhost::RunSeconds(10.0);
    const Pose after = Now();
    EXPECT_EQ(after.x, held.x);
    EXPECT_EQ(after.z, held.z);
    EXPECT_EQ(Get(kPBstatus), 1.0);
    EXPECT_EQ(Get(kPhase), 2.0);
    EXPECT_EQ(Get(kTruckX), tugX);
    EXPECT_EQ(Get(kTruckZ), tugZ);
    ASSERT_TRUE(Choose("Pause / resume pushback"));
    simhost::RunSeconds(2.0);
    EXPECT_LT(Between(held, Now()).forward, -0.2);
}

TEST_F(Manual, StopHereEndsAsACompletedPushEnds) {
    ASSERT_TRUE(StartMoving("manual_push"));
    simhost::RunSeconds(6.0);
    ASSERT_TRUE(Choose("Stop pushback here"));
    const Pose asked = Now();
    ASSERT_TRUE(RunUntil([] { return Get(kPhase) == 3.0; }, 10.0));
    // Braked from 1 m/s to rest in 1.5 s, as the tug does when the crew calls stop: 0.75 m more.
    EXPECT_NEAR(Between(asked, Now()).forward, -0.75, 0.1);
    EXPECT_EQ(Get(kParkBrake), 1.0);
    ASSERT_TRUE(RunUntil([] { return Get(kPBstatus) == 0.0; }, 120.0));
    EXPECT_EQ(SpeechTimes(kTerminated).size(), 1u);
    EXPECT_EQ(Get(kParkBrake), 0.0);
    EXPECT_EQ(Get(kMode), 0.0);
}

TEST_F(Manual, AKeyReleasedWhileDisabledLeavesNoSteering) {
    ASSERT_TRUE(StartMoving("manual_push"));
    ASSERT_TRUE(Command("steer_right", xplm_CommandBegin));
    simhost::RunSeconds(2.0);
    EXPECT_EQ(Get(kSteer), 1.0);
    // The end goes to no one while the plug-in is disabled (which ends the pushback).
    simhost::DisablePlugin(plugin_);
    ASSERT_TRUE(Command("steer_right", xplm_CommandEnd));
    simhost::EnablePlugin(plugin_);
    ASSERT_TRUE(StartMoving("manual_push"));
    simhost::RunFrames(2);
    EXPECT_EQ(Get(kSteer), 0.0);
    // A key still down when the plug-in comes back steers again from its continue phases.
    ASSERT_TRUE(Command("steer_left", xplm_CommandBegin));
    simhost::DisablePlugin(plugin_);
    simhost::EnablePlugin(plugin_);
    ASSERT_TRUE(StartMoving("manual_push"));
    simhost::RunSeconds(2.0);
    EXPECT_EQ(Get(kSteer), -1.0);
    ASSERT_TRUE(Command("steer_left", xplm_CommandEnd));
}

TEST_F(Manual, SteerWritesAreClampedAndNonsenseIgnored) {
    ASSERT_TRUE(StartMoving("manual_tow"));
    ASSERT_TRUE(Set(kSteer, 7.0));
    simhost::RunFrames(1);
    EXPECT_EQ(Get(kSteer), 1.0);
    ASSERT_TRUE(Set(kSteer, std::nan("")));
    simhost::RunFrames(1);
    EXPECT_EQ(Get(kSteer), 1.0);
    ASSERT_TRUE(Set(kSteer, -0.25));
    simhost::RunFrames(1);
    EXPECT_EQ(Get(kSteer), -0.25);
}

}  // namespace
}  // namespace tarvosk::testing
