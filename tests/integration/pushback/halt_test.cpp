// Pause and "stop here": the tug brakes the aircraft to a halt within two seconds whatever the
// frame rate made a fixed kind's per-frame speed, and from a manual tow's full speed; a paused push
// then holds its place and, resumed, ends on its own heading; a stopped one ends where it halted.
#include <cmath>
#include <fstream>
#include <string>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

constexpr const char* kSpeed = "quorren/tarvosk/speed";
constexpr const char* kPhase = "tarvosk/diagnostics/truck_phase";
constexpr const char* kTerminated = "TVK320 push back terminated, cleared to taxi. Good flight !";

struct Rate {
    double fps;
    bool perSecond;
};

struct Pose {
    double x, z, heading;
};

Pose Here() {
    return {simhost::GetDataref(kLocalX), simhost::GetDataref(kLocalZ), simhost::GetDataref(kPsi)};
}

class Halt : public PushbackHost, public ::testing::WithParamInterface<Rate> {
  protected:
    void Configure(simhost::HostConfig& config) override {
        config.framesPerSecond = GetParam().fps;
    }
    void BeforeLoad(const std::filesystem::path& sandbox) override {
        std::ofstream(sandbox / "Output/preferences/Quorren.Tarvosk.prf")
            << "SPEED_PER_SECOND=" << (GetParam().perSecond ? 1 : 0) << "\nTRUCK_SPEED=10.000000\n";
    }
    static bool Command(const char* name) {
        return simhost::RunCommand(std::string("quorren/tarvosk/") + name, -1);
    }
    // Orders `item` with the brake released and runs until the aircraft moves.
    bool StartMoving(const std::string& item) {
        if (!Set(kParkBrake, 0.0) || !Choose(item)) return false;
        return RunUntil([] { return Get(kSpeed) > 0.0; }, 60.0);
    }
    static void ExpectStill(const Pose& a, const Pose& b) {
        EXPECT_NEAR(b.x, a.x, 1e-3);
        EXPECT_NEAR(b.z, a.z, 1e-3);
        EXPECT_NEAR(b.heading, a.heading, 1e-3);
    }
};

TEST_P(Halt, PausedTurnStandsWithinTwoSecondsHoldsAndEndsOnTheUnpausedHeading) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(PushToTheEnd("Turn tail right"));
    const double unpaused = Get(kPsi);
    TearDown();
    SetUp();

    ASSERT_TRUE(StartMoving("Turn tail right"));
    ASSERT_TRUE(RunUntil([] { return Get(kPsi) < 245.0; }, 60.0));  // a third into the turn
    ASSERT_TRUE(Command("pause"));
    simhost::RunSeconds(2.0);
    const Pose held = Here();
    EXPECT_EQ(Get(kSpeed), 0.0);
    simhost::RunSeconds(10.0);
    ExpectStill(held, Here());
    EXPECT_EQ(Get(kPBstatus), 2.0);
    EXPECT_EQ(Get(kPhase), 2.0);  // the tug stays hooked up
    EXPECT_TRUE(SpeechTimes(kTerminated).empty());

    ASSERT_TRUE(Command("pause"));
    ASSERT_TRUE(RunUntil([] { return Get(kPBstatus) == 0.0; }, 300.0));
    EXPECT_EQ(std::floor(Get(kPsi)), std::floor(unpaused));
    EXPECT_NEAR(Get(kPsi), unpaused, 0.15);  // within one step of the turn
    EXPECT_EQ(SpeechTimes(kTerminated).size(), 1u);
}

TEST_P(Halt, StopHereEndsAnAutomatedTurnWhereItHalted) {
    const Pose start = Here();
    ASSERT_TRUE(StartMoving("Automated tail left"));
    simhost::RunSeconds(1.0);
    ASSERT_TRUE(Command("stop_here"));
    simhost::RunSeconds(2.0);
    const Pose halted = Here();
    EXPECT_EQ(Get(kPhase), 3.0);  // the push is over: the tug unhooks
    EXPECT_EQ(Get(kParkBrake), 1.0);
    ASSERT_TRUE(RunUntil([] { return Get(kPBstatus) == 0.0; }, 120.0));
    ExpectStill(halted, Here());
    EXPECT_NEAR(Here().heading, start.heading, 1e-3);  // halted on the straight leg, unturned
    EXPECT_EQ(SpeechTimes(kTerminated).size(), 1u);
    EXPECT_EQ(Get(kParkBrake), 0.0);  // released for taxi, as after a completed push
}

TEST_P(Halt, AManualTowAtFullSpeedHaltsWithinTwoSeconds) {
    ASSERT_TRUE(StartMoving("Manual tow forward"));
    for (int k = 0; k < 8; ++k) ASSERT_TRUE(Command("faster"));
    ASSERT_TRUE(RunUntil([] { return Get(kSpeed) >= 4.0; }, 60.0));
    ASSERT_TRUE(Command("pause"));
    simhost::RunSeconds(2.0);
    const Pose held = Here();
    EXPECT_EQ(Get(kSpeed), 0.0);
    simhost::RunSeconds(5.0);
    ExpectStill(held, Here());
}

INSTANTIATE_TEST_SUITE_P(Rates, Halt,
                         ::testing::Values(Rate{20, false}, Rate{30, false}, Rate{60, false},
                                           Rate{20, true}, Rate{30, true}, Rate{60, true}),
                         [](const ::testing::TestParamInfo<Rate>& param) {
                             return std::to_string(static_cast<int>(param.param.fps)) + "fps" +
                                    (param.param.perSecond ? "PerSecond" : "PerFrame");
                         });

}  // namespace
}  // namespace tarvosk::testing
