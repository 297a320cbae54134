// X-Plane's text output is the pilot's setting: the crew switches it off while it speaks and
// gives the pilot's own value back 15 seconds after the last spoken message, whatever ended the
// story, or at once when the plug-in is disabled; with nothing spoken it is never touched.
#include <fstream>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

constexpr double kFrame = 1.0 / 30.0;

double LastSpeechTime() {
    return simhost::Speech().empty() ? -1.0 : simhost::Speech().back().time;
}

class TextOutput : public PushbackHost {
  protected:
    // Runs until text output reads `value` and says how long after the last spoken message
    // that was (negative when it did not come within `seconds`).
    double WaitForTextOutput(double value, double seconds) {
        if (!RunUntil([value] { return Get(kTextOut) == value; }, seconds)) return -1.0;
        return simhost::Now() - LastSpeechTime();
    }
};

TEST_F(TextOutput, PilotWhoHadItOffKeepsItOffAfterACompletedPushback) {
    ASSERT_TRUE(Set(kTextOut, 0.0));
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(PushToTheEnd("Push straight back"));
    simhost::RunSeconds(20.0);
    EXPECT_EQ(Get(kTextOut), 0.0);
}

TEST_F(TextOutput, StoppedPushbackGivesItBackFifteenSecondsAfterTheLastMessage) {
    ASSERT_EQ(Get(kTextOut), 1.0);
    ASSERT_TRUE(Choose("Push straight back"));
    EXPECT_EQ(Get(kTextOut), 0.0);
    simhost::RunSeconds(1.0);
    ASSERT_TRUE(Choose("Stop PushBack!"));
    EXPECT_EQ(Get(kTextOut), 0.0);
    const double after = WaitForTextOutput(1.0, 30.0);
    EXPECT_GE(after, 15.0);
    EXPECT_LE(after, 15.0 + 2 * kFrame);
}

TEST_F(TextOutput, GpuAloneGivesItBackFifteenSecondsAfterItsLastMessage) {
    ASSERT_TRUE(Choose("GPU"));
    EXPECT_EQ(Get(kTextOut), 0.0);
    // "GPU is running" comes after the 15-second warm-up; the value comes back 15 s after that.
    const double after = WaitForTextOutput(1.0, 40.0);
    EXPECT_EQ(SpeechTimes("TVK320 GPU is running").size(), 1u);
    EXPECT_GE(after, 15.0);
    EXPECT_LE(after, 15.0 + 2 * kFrame);
}

TEST_F(TextOutput, DisableGivesItBackAtOnce) {
    ASSERT_TRUE(Choose("GPU"));
    ASSERT_EQ(Get(kTextOut), 0.0);
    simhost::DisablePlugin(plugin_);
    EXPECT_EQ(Get(kTextOut), 1.0);
    ASSERT_TRUE(simhost::EnablePlugin(plugin_));
    // Nothing owed any more: the loop leaves the pilot's value alone.
    ASSERT_TRUE(Set(kTextOut, 0.0));
    simhost::RunSeconds(20.0);
    EXPECT_EQ(Get(kTextOut), 0.0);
}

TEST_F(TextOutput, PilotsValueIsTheOneBeforeTheFirstMessage) {
    // Two stories in a row: the second finds the pilot's value, not the crew's 0, to give back.
    ASSERT_TRUE(Choose("GPU"));
    ASSERT_GT(WaitForTextOutput(1.0, 40.0), 0.0);
    ASSERT_TRUE(Choose("GPU"));  // disconnects: spoken again
    EXPECT_EQ(Get(kTextOut), 0.0);
    ASSERT_GT(WaitForTextOutput(1.0, 20.0), 0.0);
}

// The pilot's latest own choice wins: a value the pilot sets while the crew has it switched
// off is left alone at the restore, and is the one a later message gives back.
TEST_F(TextOutput, PilotsChoiceWhileTheCrewTalksWins) {
    for (const bool anotherMessage : {false, true}) {
        if (anotherMessage) {
            TearDown();
            SetUp();
        }
        ASSERT_TRUE(Set(kTextOut, 0.0));  // the pilot had it off
        ASSERT_TRUE(Choose("GPU"));       // "hooked up": the crew borrows it
        simhost::RunSeconds(2.0);
        ASSERT_TRUE(Set(kTextOut, 1.0));  // the pilot switches it on meanwhile
        if (anotherMessage) {
            ASSERT_TRUE(Choose("GPU"));  // "disconnected": borrowed again
            EXPECT_EQ(Get(kTextOut), 0.0);
        }
        simhost::RunSeconds(40.0);  // past every restore
        EXPECT_EQ(Get(kTextOut), 1.0) << (anotherMessage ? "after another message" : "");
    }
}

// With spoken messages off nothing is borrowed, so nothing is given back either.
class SilentCrew : public TextOutput {
  protected:
    void BeforeLoad(const std::filesystem::path& sandbox) override {
        std::ofstream(sandbox / "Output/preferences/Quorren.Tarvosk.prf")
            << "AURAL_CREW_MESSAGE=0\n";
    }
};

TEST_F(SilentCrew, NeverWritesTextOutput) {
    // Any value the pilot set stays exactly as it is.
    ASSERT_TRUE(Set(kTextOut, 0.0));
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(PushToTheEnd("Push straight back"));
    ASSERT_TRUE(Choose("GPU"));
    simhost::RunSeconds(40.0);
    EXPECT_EQ(SpeechCount(), 0);
    EXPECT_EQ(Get(kTextOut), 0.0);
}

}  // namespace
}  // namespace tarvosk::testing
