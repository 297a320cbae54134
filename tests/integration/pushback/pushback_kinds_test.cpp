// Each kind of pushback, ordered from the menu with the brake already released, ends where it
// should: the floor of the heading on its target, the straight push just past its leg.
#include <cmath>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

struct Kind {
    const char* item;
    const char* word;  // in the announcement
    int target;        // from the stand heading 275.4
    bool straightLeg;  // pushes straight back before turning
};

class PushbackKinds : public PushbackHost, public ::testing::WithParamInterface<Kind> {};

TEST_P(PushbackKinds, EndsOnItsTarget) {
    const Kind kind = GetParam();
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    const double x0 = Get(kLocalX), z0 = Get(kLocalZ);
    ASSERT_TRUE(Choose(kind.item));
    EXPECT_EQ(SpeechTimes(std::string("Ok, TVK320 we are ready to push back ") + kind.word +
                          ". Please remove breaks.")
                  .size(),
              1u);

    // 150 pushed frames (15 units) in: still straight on a leg, a quarter turned otherwise.
    ASSERT_TRUE(RunUntil([&] { return Get(kLocalX) != x0 || Get(kLocalZ) != z0; }, 30.0));
    simhost::RunFrames(150);
    if (kind.straightLeg) {
        EXPECT_NEAR(Get(kPsi), 275.4, 0.01);
    } else {
        EXPECT_GT(std::fabs(Get(kPsi) - 275.4), 20.0);
    }

    ASSERT_TRUE(RunUntil([] { return Get(kPBstatus) == 0.0; }, 400.0));
    EXPECT_EQ(std::floor(Get(kPsi)), kind.target);
    EXPECT_EQ(SpeechTimes("TVK320 starting push back").size(), 1u);
    EXPECT_TRUE(SpeechTimes("TVK320 do you confirm brake is released?").empty());
    EXPECT_EQ(SpeechTimes("TVK320 push back terminated, cleared to taxi. Good flight !").size(),
              1u);
    EXPECT_EQ(Get(kParkBrake), 0.0);  // released for taxi
}

INSTANTIATE_TEST_SUITE_P(FromTheStand, PushbackKinds,
                         ::testing::Values(Kind{"Push straight back", "straight", 275, true},
                                           Kind{"Turn tail right", "tail right", 185, false},
                                           Kind{"Turn tail left", "tail left", 5, false},
                                           Kind{"Automated tail right", "tail right", 185, true},
                                           Kind{"Automated tail left", "tail left", 5, true}),
                         [](const ::testing::TestParamInfo<Kind>& param) {
                             std::string name = param.param.item;
                             std::erase(name, ' ');
                             return name;
                         });

TEST_F(PushbackHost, StraightPushEndsJustPastItsLeg) {
    // Leg: 0.75 of the whole aircraft length 37 -> 27 units straight behind.
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    const double x0 = Get(kLocalX), z0 = Get(kLocalZ);
    const double endX = x0 - 27.0 * std::sin(275.4 * M_PI / 180.0);
    ASSERT_TRUE(PushToTheEnd("Push straight back"));
    const double x = Get(kLocalX);
    EXPECT_GT(x, endX);
    EXPECT_LT(x, endX + 0.2);  // the frame after the leg does not move
    // Straight back along the axis: the heading points at the start.
    const double back = std::atan2(x - x0, -(Get(kLocalZ) - z0)) * 180.0 / M_PI;
    EXPECT_NEAR(std::fmod(back + 360.0, 360.0), 95.4, 0.05);
    EXPECT_EQ(std::floor(Get(kPsi)), 275);
}

TEST_F(PushbackHost, TugStartsAboutFourSecondsAfterTheOrder) {
    const double t0 = simhost::Now();
    ASSERT_TRUE(Choose("Push straight back"));
    const double startX = Get(kTruckX), startZ = Get(kTruckZ);
    ASSERT_TRUE(RunUntil([&] { return Get(kTruckX) != startX || Get(kTruckZ) != startZ; }, 10.0));
    EXPECT_NEAR(simhost::Now() - t0, 4.0, 0.1);
}

TEST_F(PushbackHost, BrakeDuringThePushPausesItAndReleaseResumes) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    const double x0 = Get(kLocalX);
    ASSERT_TRUE(Choose("Automated tail left"));
    ASSERT_TRUE(RunUntil([&] { return Get(kLocalX) != x0; }, 30.0));
    simhost::RunFrames(30);

    ASSERT_TRUE(Set(kParkBrake, 1.0));
    simhost::RunFrames(1);
    const double x1 = Get(kLocalX), z1 = Get(kLocalZ), h1 = Get(kPsi);
    simhost::RunFrames(90);
    EXPECT_EQ(Get(kLocalX), x1);
    EXPECT_EQ(Get(kLocalZ), z1);
    EXPECT_EQ(Get(kPBstatus), 3.0);  // the sequence goes on waiting

    ASSERT_TRUE(Set(kParkBrake, 0.0));
    simhost::RunFrames(30);
    EXPECT_GT(std::hypot(Get(kLocalX) - x1, Get(kLocalZ) - z1), 2.5);
    ASSERT_TRUE(RunUntil([] { return Get(kPBstatus) == 0.0; }, 400.0));
    EXPECT_EQ(std::floor(Get(kPsi)), 5);
    EXPECT_NE(h1, Get(kPsi));
}

}  // namespace
}  // namespace tarvosk::testing
