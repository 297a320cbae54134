// The crew's brake dialogue, the written messages and the host's text output.
#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

constexpr const char* kQuestion = "TVK320 do you confirm brake is released?";
constexpr const char* kThanks = "TVK320 thanks you, we are starting pushback";
constexpr const char* kDone = "TVK320 push back terminated, cleared to taxi. Good flight !";

TEST_F(PushbackHost, CrewAsksEverySixSecondsUntilTheBrakeIsReleased) {
    ASSERT_EQ(Get(kParkBrake), 1.0);
    ASSERT_TRUE(Choose("Push straight back"));
    ASSERT_TRUE(RunUntil([] { return !SpeechTimes(kQuestion).empty(); }, 30.0));
    EXPECT_TRUE(WindowShows(kQuestion));
    simhost::RunSeconds(13.0);
    const std::vector<double> asked = SpeechTimes(kQuestion);
    ASSERT_EQ(asked.size(), 3u);
    for (size_t i = 1; i < asked.size(); ++i) {
        EXPECT_GE(asked[i] - asked[i - 1], 6.0);
        EXPECT_LE(asked[i] - asked[i - 1], 6.0 + 2.0 / 30.0);
    }
    const double x0 = Get(kLocalX);

    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(RunUntil([] { return !SpeechTimes(kThanks).empty(); }, 1.0));
    EXPECT_TRUE(SpeechTimes("TVK320 starting push back").empty());
    simhost::RunFrames(10);
    EXPECT_NE(Get(kLocalX), x0);
    EXPECT_EQ(SpeechTimes(kQuestion).size(), 3u);
}

TEST_F(PushbackHost, NextPushbackStartsWithoutAQuestionWhenTheBrakeIsOff) {
    ASSERT_TRUE(Choose("Push straight back"));
    ASSERT_TRUE(RunUntil([] { return !SpeechTimes(kQuestion).empty(); }, 30.0));
    ASSERT_TRUE(Choose("Stop PushBack!"));
    EXPECT_EQ(Get(kPBstatus), 0.0);
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(Choose("Push straight back"));
    ASSERT_TRUE(RunUntil([] { return !SpeechTimes("TVK320 starting push back").empty(); }, 30.0));
    EXPECT_EQ(SpeechTimes(kQuestion).size(), 1u);
    EXPECT_TRUE(SpeechTimes(kThanks).empty());
}

TEST_F(PushbackHost, AnnouncementIsWrittenForSixSeconds) {
    const std::string text = "Ok, TVK320 we are ready to push back straight. Please remove breaks.";
    ASSERT_TRUE(Choose("Push straight back"));
    simhost::RunFrames(1);
    EXPECT_TRUE(WindowShows(text));
    // Near the top left, 6 pixels per character plus 30 once drawn.
    int shown = 0;
    for (const auto& window : simhost::Windows()) {
        if (window.textLastFrame.empty() || window.textLastFrame.front() != text) continue;
        ++shown;
        EXPECT_EQ(window.left, 10);
        // The box holds its text: the top lies above the bottom, 32 pixels below the top of
        // the host's 1080-pixel screen.
        EXPECT_EQ(window.top, 1080 - 32);
        EXPECT_EQ(window.bottom, 1080 - 62);
        EXPECT_EQ(window.right - window.left, 6 * static_cast<int>(text.size()) + 30);
    }
    EXPECT_EQ(shown, 1);
    simhost::RunSeconds(5.0);
    EXPECT_TRUE(WindowShows(text));
    simhost::RunSeconds(2.0);
    EXPECT_FALSE(WindowShows(text));
}

TEST_F(PushbackHost, TextOutputComesBackFifteenSecondsAfterTheEnd) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(PushToTheEnd("Push straight back"));
    const std::vector<double> done = SpeechTimes(kDone);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(Get(kTextOut), 0.0);  // muted while the crew speaks
    ASSERT_TRUE(RunUntil([] { return Get(kTextOut) == 1.0; }, 20.0));
    EXPECT_GE(simhost::Now() - done[0], 15.0);
    EXPECT_LE(simhost::Now() - done[0], 15.0 + 2.0 / 30.0);
}

TEST_F(PushbackHost, TugStaysWhereItsDepartureEnded) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(PushToTheEnd("Turn tail left"));
    const double x = Get(kTruckX), z = Get(kTruckZ);
    simhost::RunSeconds(5.0);
    EXPECT_EQ(Get(kTruckX), x);
    EXPECT_EQ(Get(kTruckZ), z);
    // It turned away to within 5 degrees of the reverse of the aircraft's heading.
    const double reverse = std::fmod(Get(kPsi) + 180.0, 360.0);
    const double off = std::fmod(Get(kTruckHeading) - reverse + 720.0, 360.0);
    EXPECT_LE(off, 5.0);
}

}  // namespace
}  // namespace tarvosk::testing
