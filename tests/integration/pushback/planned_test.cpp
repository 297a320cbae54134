// The planned pushback: the aircraft stops where plan/end_x, end_z and end_heading said before
// the start, whatever the frame rate and the speed mode, for every shape of plan; the status
// reads the turn's side. X-Plane 12's own pushback commands bring Tarvosk's tug instead of the
// simulator's.
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

constexpr const char* kPhase = "tarvosk/diagnostics/truck_phase";

struct Plan {
    const char* name;
    double straight, turn, after;
    double status;  // what PBstatus reads while it runs
};

constexpr Plan kPlans[] = {
    {"Straight", 35.0, 0.0, 0.0, 1.0},    {"TailLeft", 20.0, 60.0, 10.0, 3.0},
    {"TailRight", 5.0, -90.0, 15.0, 2.0}, {"TurnAround", 0.0, 180.0, 0.0, 3.0},
    {"TurnOnly", 0.0, -45.0, 0.0, 2.0},
};

struct Case {
    double fps;
    bool perSecond;
    Plan plan;
};

double HeadingGap(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

class Planned : public PushbackHost, public ::testing::WithParamInterface<Case> {
  protected:
    void Configure(simhost::HostConfig& config) override {
        config.framesPerSecond = GetParam().fps;
    }
    void BeforeLoad(const std::filesystem::path& sandbox) override {
        std::ofstream(sandbox / "Output/preferences/Quorren.Tarvosk.prf")
            << "SPEED_PER_SECOND=" << (GetParam().perSecond ? 1 : 0) << "\nTRUCK_SPEED=20.000000\n";
    }
};

TEST_P(Planned, EndsWhereThePlanSaid) {
    const Plan& plan = GetParam().plan;
    ASSERT_TRUE(Set("quorren/tarvosk/plan/straight", plan.straight));
    ASSERT_TRUE(Set("quorren/tarvosk/plan/turn", plan.turn));
    ASSERT_TRUE(Set("quorren/tarvosk/plan/after", plan.after));
    const double endX = Get("quorren/tarvosk/plan/end_x");
    const double endZ = Get("quorren/tarvosk/plan/end_z");
    const double endHeading = Get("quorren/tarvosk/plan/end_heading");

    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(Choose("Planned pushback"));
    ASSERT_TRUE(RunUntil([] { return Get("quorren/tarvosk/speed") > 0.0; }, 60.0));
    EXPECT_EQ(Get(kPBstatus), plan.status);
    ASSERT_TRUE(RunUntil([] { return Get(kPhase) == 3.0; }, 600.0));
    EXPECT_NEAR(Get(kLocalX), endX, 0.5);
    EXPECT_NEAR(Get(kLocalZ), endZ, 0.5);
    EXPECT_LT(HeadingGap(Get(kPsi), endHeading), 0.5);
    EXPECT_EQ(Get(kParkBrake), 1.0);
}

INSTANTIATE_TEST_SUITE_P(RatesAndPlans, Planned, ::testing::ValuesIn([] {
                             std::vector<Case> cases;
                             for (const double fps : {20.0, 30.0, 60.0}) {
                                 for (const bool perSecond : {false, true}) {
                                     for (const Plan& plan : kPlans)
                                         cases.push_back({fps, perSecond, plan});
                                 }
                             }
                             return cases;
                         }()),
                         [](const ::testing::TestParamInfo<Case>& param) {
                             return std::string(param.param.plan.name) + "At" +
                                    std::to_string(static_cast<int>(param.param.fps)) + "fps" +
                                    (param.param.perSecond ? "PerSecond" : "PerFrame");
                         });

// X-Plane 12: "Nose 90 left" brings Tarvosk's tug, never the simulator's, and the aircraft
// ends a quarter turn to the left; with the setting off the command is X-Plane's again.
class GroundOps : public PushbackHost {
  protected:
    void Configure(simhost::HostConfig& config) override { config.xplaneVersion = 12000; }
};

TEST_F(GroundOps, NoseLeftIsTarvosksTugAndTheSettingGivesItBack) {
    const double start = Get(kPsi);
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(simhost::RunCommand("sim/ground_ops/pushback_left", -1));
    EXPECT_EQ(Get(kPBstatus), 2.0);
    EXPECT_EQ(Get("sim/aircraft/overflow/pushback_attached"), 0.0);
    ASSERT_TRUE(RunUntil([] { return Get(kPBstatus) == 0.0; }, 400.0));
    EXPECT_EQ(Get("sim/aircraft/overflow/pushback_attached"), 0.0);
    EXPECT_LT(HeadingGap(Get(kPsi), start - 90.0), 1.0);

    ASSERT_TRUE(Choose("Preferences..."));
    for (const char* widget : {"Answer X-Plane's pushback commands", "  OK  "}) {
        ASSERT_TRUE(simhost::ClickWidget(simhost::FindWidgetToClick(widget))) << widget;
    }
    ASSERT_TRUE(simhost::RunCommand("sim/ground_ops/pushback_straight", -1));
    EXPECT_EQ(Get(kPBstatus), 0.0);
    EXPECT_EQ(Get("sim/aircraft/overflow/pushback_attached"), 1.0);
}

}  // namespace
}  // namespace tarvosk::testing
