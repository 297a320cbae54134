// SPEED_PER_SECOND: the same distance per simulated second at any frame rate, on the same
// turn; without it, the per-frame figures.
#include <cmath>
#include <fstream>
#include <numbers>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

struct Rate {
    double fps;
    bool perSecond;
};

class PushSpeed : public PushbackHost, public ::testing::WithParamInterface<Rate> {
  protected:
    void Configure(simhost::HostConfig& config) override {
        config.framesPerSecond = GetParam().fps;
    }
    void BeforeLoad(const std::filesystem::path& sandbox) override {
        std::ofstream(sandbox / "Output/preferences/Quorren.Tarvosk.prf")
            << "SPEED_PER_SECOND=" << (GetParam().perSecond ? 1 : 0) << "\nTRUCK_SPEED=10.000000\n";
    }
    // Distance the aircraft covers in `seconds` once the push has started.
    double DistanceIn(double seconds) {
        const double x0 = Get(kLocalX), z0 = Get(kLocalZ);
        EXPECT_TRUE(RunUntil([&] { return Get(kLocalX) != x0 || Get(kLocalZ) != z0; }, 30.0));
        const double x1 = Get(kLocalX), z1 = Get(kLocalZ);
        simhost::RunSeconds(seconds);
        return std::hypot(Get(kLocalX) - x1, Get(kLocalZ) - z1);
    }
};

TEST_P(PushSpeed, StraightDistance) {
    const Rate rate = GetParam();
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(Choose("Push straight back"));
    const double distance = DistanceIn(3.0);  // within the straight leg at 60 frames per second
    if (rate.perSecond) {
        // 1 unit per second at TRUCK_SPEED 10, whatever the frame rate, within a frame's step.
        EXPECT_NEAR(distance, 3.0, 1.0 / rate.fps + 1e-3);
    } else {
        // 0.1 unit per frame.
        EXPECT_NEAR(distance, 0.1 * 3.0 * rate.fps, 1e-3);
    }
}

TEST_P(PushSpeed, AutomatedTurnEndsOnItsTarget) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(PushToTheEnd("Automated tail left", 600.0));
    EXPECT_EQ(std::floor(Get(kPsi)), 5.0);
}

// The tug too: its approach and departure take the same simulated time at any frame rate,
// TRUCK_SPEED tenths of a unit per second (15 units to the gear; away from it, backing off by
// the arc's radius and 8 units, then an arc of 175 degrees at 4 degrees a unit); per frame they
// are over much sooner.
TEST_P(PushSpeed, TugApproachAndDeparture) {
    const Rate rate = GetParam();
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(Choose("Push straight back"));
    const double ordered = simhost::Now();
    const auto phase = [] { return Get("tarvosk/diagnostics/truck_phase"); };
    ASSERT_TRUE(RunUntil([&] { return phase() == 2.0; }, 60.0));
    const double approach = simhost::Now() - ordered;
    ASSERT_TRUE(RunUntil([&] { return phase() == 3.0; }, 60.0));
    const double departing = simhost::Now();
    ASSERT_TRUE(RunUntil([] { return Get(kPBstatus) == 0.0; }, 120.0));
    const double departure = simhost::Now() - departing;
    const double backOff = 180.0 / (4.0 * std::numbers::pi) + 8.0;
    if (rate.perSecond) {
        // 1 s to the loop's first call, 3 s of announcement, 15 s driving, 1.5 s hooking up.
        EXPECT_NEAR(approach, 20.5, 0.6);
        EXPECT_NEAR(departure, 1.5 + backOff + 175.0 / 4.0, 1.0);
    } else {
        EXPECT_LT(approach, 12.0);
        EXPECT_LT(departure, 1.5 + (backOff / 0.1 + 175.0 / 0.4) / rate.fps + 1.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, PushSpeed,
                         ::testing::Values(Rate{20, true}, Rate{30, true}, Rate{60, true},
                                           Rate{30, false}, Rate{60, false}),
                         [](const ::testing::TestParamInfo<Rate>& param) {
                             return std::to_string(static_cast<int>(param.param.fps)) +
                                    (param.param.perSecond ? "PerSecond" : "PerFrame");
                         });

// The turn's radius in per-second mode is the default per-frame push's: about 38.2 units.
class TurnRadius : public PushSpeed {};

TEST_P(TurnRadius, QuarterTurnArc) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    const double x0 = Get(kLocalX), z0 = Get(kLocalZ);
    ASSERT_TRUE(PushToTheEnd("Turn tail left", 600.0));
    // A quarter circle from the start: the chord is radius * sqrt(2).
    const double chord = std::hypot(Get(kLocalX) - x0, Get(kLocalZ) - z0);
    EXPECT_NEAR(chord / std::sqrt(2.0), 38.2, 0.6);
}

INSTANTIATE_TEST_SUITE_P(Frames, TurnRadius, ::testing::Values(Rate{20, true}, Rate{60, true}),
                         [](const ::testing::TestParamInfo<Rate>& param) {
                             return std::to_string(static_cast<int>(param.param.fps));
                         });

}  // namespace
}  // namespace tarvosk::testing
