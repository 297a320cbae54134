// Every command does what its menu item does: the same pushback, GPU state, window or view.
#include <cmath>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

constexpr const char* kN1 = "sim/flightmodel/engine/ENGN_N1_";

struct Pair {
    const char* command;  // under quorren/tarvosk/
    const char* item;     // under Plugins/Tarvosk/
    int status;           // PBstatus right after the order: the direction
};

// What a user sees right after an order.
struct Outcome {
    double pbStatus, gpuStatus;
    std::size_t speech;
    std::string lastSpeech;
    bool windowOpen;
    bool operator==(const Outcome&) const = default;
};

class Commands : public PushbackHost, public ::testing::WithParamInterface<Pair> {
  protected:
    Outcome Observe() {
        simhost::RunFrames(1);
        const auto& speech = simhost::Speech();
        return {Get(kPBstatus), Get(kGPUstatus), speech.size(),
                speech.empty() ? std::string() : speech.back().text,
                !simhost::Windows().empty() || !simhost::Widgets().empty()};
    }
    static bool Command(const std::string& name) {
        return simhost::RunCommand("quorren/tarvosk/" + name, -1);
    }
};

TEST_P(Commands, DoesWhatItsMenuItemDoes) {
    const Pair pair = GetParam();
    ASSERT_TRUE(Command(pair.command));
    const Outcome byCommand = Observe();
    EXPECT_EQ(byCommand.pbStatus, pair.status);

    // Back to where the command found things, then the menu item.
    TearDown();
    SetUp();
    ASSERT_TRUE(Choose(pair.item));
    const Outcome byMenu = Observe();
    EXPECT_EQ(byCommand, byMenu);
}

INSTANTIATE_TEST_SUITE_P(
    EveryAction, Commands,
    ::testing::Values(Pair{"push_straight", "Push straight back", 1},
                      Pair{"turn_tail_right", "Turn tail right", 2},
                      Pair{"turn_tail_left", "Turn tail left", 3},
                      Pair{"auto_tail_right", "Automated tail right", 2},
                      Pair{"auto_tail_left", "Automated tail left", 3},
                      Pair{"stop", "Stop PushBack!", 0}, Pair{"gpu_toggle", "GPU", 0},
                      Pair{"preferences", "Preferences...", 0}, Pair{"about", "About...", 0}),
    [](const ::testing::TestParamInfo<Pair>& param) { return std::string(param.param.command); });

TEST_F(PushbackHost, EveryCommandIsThereWithADescription) {
    const char* names[] = {"push_straight",   "turn_tail_left", "turn_tail_right", "auto_tail_left",
                           "auto_tail_right", "stop",           "gpu_toggle",      "truck_view",
                           "preferences",     "about"};
    const auto commands = simhost::Commands();
    for (const char* name : names) {
        bool found = false;
        for (const auto& c : commands) {
            if (c.name != std::string("quorren/tarvosk/") + name) continue;
            found = true;
            EXPECT_FALSE(c.description.empty()) << name;
            EXPECT_EQ(c.handlers, 1) << name;
        }
        EXPECT_TRUE(found) << name;
    }
}

TEST_F(PushbackHost, ARefusedCommandOpensTheWarningBox) {
    ASSERT_TRUE(simhost::SetDatarefArray(kN1, {20.0f, 20.0f}));
    ASSERT_TRUE(simhost::RunCommand("quorren/tarvosk/auto_tail_left", -1));
    simhost::RunFrames(1);
    EXPECT_EQ(Get(kPBstatus), 0.0);
    EXPECT_TRUE(WindowShows("Warning..."));
    EXPECT_TRUE(WindowShows("You can't Pushback a plane while the engines are"));
}

TEST_F(PushbackHost, CommandsActOnTheBeginPhaseOnly) {
    ASSERT_TRUE(simhost::RunCommand("quorren/tarvosk/gpu_toggle", xplm_CommandBegin));
    EXPECT_EQ(Get(kGPUstatus), 1.0);
    simhost::RunFrames(30);  // held: the continue phase does nothing more
    ASSERT_TRUE(simhost::RunCommand("quorren/tarvosk/gpu_toggle", xplm_CommandEnd));
    EXPECT_EQ(Get(kGPUstatus), 1.0);
    EXPECT_EQ(simhost::MenuItemCheck("Plugins/Tarvosk/GPU"), 2);  // the menu follows
}

TEST_F(PushbackHost, TheTruckViewCommandTakesTheCamera) {
    ASSERT_TRUE(simhost::RunCommand("quorren/tarvosk/truck_view", -1));
    simhost::RunFrames(1);
    EXPECT_TRUE(simhost::CameraControlled());
}

TEST_F(PushbackHost, HandlersGoAtStopWhileTheHotKeyStays) {
    EXPECT_TRUE(simhost::PressKey(123, xplm_DownFlag));  // F12, beside the command
    simhost::DisablePlugin(plugin_);
    simhost::StopPlugin(plugin_);
    for (const auto& c : simhost::Commands()) EXPECT_EQ(c.handlers, 0) << c.name;
    EXPECT_TRUE(simhost::RunCommand("quorren/tarvosk/push_straight", -1));  // nobody answers
    simhost::UnloadPlugin(plugin_);
    plugin_ = -1;
}

}  // namespace
}  // namespace tarvosk::testing
