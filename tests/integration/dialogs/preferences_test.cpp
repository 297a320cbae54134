// The Preferences window through the real plug-in: what OK, Cancel, Defaults, the slider, the
// gear boxes and the key assignment leave in the settings and the hot key.
#include <algorithm>

#include "config/version.h"
#include "dialogs_host.h"

namespace tarvosk::testing {
namespace {

// Every setting away from its default, and the truck-view key on "A".
const std::string kChanged =
    "ALLOW_ENGN_ON=1\nANSWER_XP_PUSHBACK=0\nAURAL_CREW_MESSAGE=0\nDRAW_TRUCK=0\nFRONT_WHEEL=0\n"
    "HANDLE_GPU=0\nMANUAL_RUDDER=0\nSPEED_PER_SECOND=1\nSWITCH_VIEW=0\nTRAFFIC_CLEARANCE=7.000000\n"
    "TRUCK_SPEED=33.000000\n"
    "Truck=TVKdefault\nTruckView_KEY=65\nTruckView_KF=8\nVERSION=" +
    std::string(kTarvoskVersion) + "\nWRITTEN_CREW_MESSAGE=0\n";

const std::vector<std::string> kChangedLines = {"ALLOW_ENGN_ON=1",
                                                "ANSWER_XP_PUSHBACK=0",
                                                "AURAL_CREW_MESSAGE=0",
                                                "DRAW_TRUCK=0",
                                                "FRONT_WHEEL=0",
                                                "HANDLE_GPU=0",
                                                "MANUAL_RUDDER=0",
                                                "SPEED_PER_SECOND=1",
                                                "SWITCH_VIEW=0",
                                                "TRAFFIC_CLEARANCE=7.000000",
                                                "TRUCK_SPEED=33.000000",
                                                "Truck=TVKdefault",
                                                "TruckView_KEY=65",
                                                "TruckView_KF=8",
                                                std::string("VERSION=") + kTarvoskVersion,
                                                "WRITTEN_CREW_MESSAGE=0"};

const std::vector<std::string> kDefaultLines = {"ALLOW_ENGN_ON=0",
                                                "ANSWER_XP_PUSHBACK=1",
                                                "AURAL_CREW_MESSAGE=1",
                                                "DRAW_TRUCK=1",
                                                "FRONT_WHEEL=1",
                                                "HANDLE_GPU=1",
                                                "MANUAL_RUDDER=1",
                                                "SPEED_PER_SECOND=0",
                                                "SWITCH_VIEW=1",
                                                "TRAFFIC_CLEARANCE=3.000000",
                                                "TRUCK_SPEED=10.000000",
                                                "Truck=TVKdefault",
                                                "TruckView_KEY=123",
                                                "TruckView_KF=8",
                                                std::string("VERSION=") + kTarvoskVersion,
                                                "WRITTEN_CREW_MESSAGE=1"};

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

intptr_t BoxState(const char* label) {
    return simhost::WidgetProperty(simhost::FindWidgetToClick(label), xpProperty_ButtonState);
}

class Preferences : public DialogsHost {};

TEST_F(Preferences, OkWithoutAChangeLeavesEverySettingAndTheHotKey) {
    Launch(kChanged);
    ASSERT_TRUE(Choose("Preferences..."));
    ASSERT_EQ(MainWindows("Tarvosk Preferences").size(), 1u);
    EXPECT_TRUE(Shows("Truck view (current: A)"));
    EXPECT_TRUE(Shows("33"));
    ASSERT_TRUE(Click(kOk));
    EXPECT_TRUE(MainWindows("Tarvosk Preferences").empty());
    Press('A');
    EXPECT_EQ(HotKeyToggles(), 1);
    Press(XPLM_VK_F12);
    EXPECT_EQ(HotKeyToggles(), 1);
    EXPECT_EQ(StopAndReadProperties(), kChangedLines);
}

TEST_F(Preferences, TheFrameRateBoxSitsUnderTheSliderAndTakesEffectOnOk) {
    Launch();
    ASSERT_TRUE(Choose("Preferences..."));
    const auto box = simhost::FindWidgetToClick("Speed independent of frame rate");
    const auto slider = simhost::FindSlider("Truck speed");
    int boxTop = 0, sliderTop = 0;
    for (const auto& w : simhost::Widgets()) {
        if (w.id == box) boxTop = w.top;
        if (w.id == slider) sliderTop = w.top;
    }
    EXPECT_LT(boxTop, sliderTop);  // below it on the screen
    EXPECT_EQ(BoxState("Speed independent of frame rate"), 0);
    ASSERT_TRUE(Click("Speed independent of frame rate"));
    EXPECT_EQ(BoxState("Speed independent of frame rate"), 1);
    ASSERT_TRUE(Click(kOk));
    EXPECT_TRUE(Has(StopAndReadProperties(), "SPEED_PER_SECOND=1"));
}

TEST_F(Preferences, TheFrameRateBoxIsLeftAloneByCancel) {
    Launch();
    ASSERT_TRUE(Choose("Preferences..."));
    ASSERT_TRUE(Click("Speed independent of frame rate"));
    ASSERT_TRUE(Click("Cancel"));
    EXPECT_TRUE(Has(StopAndReadProperties(), "SPEED_PER_SECOND=0"));
}

TEST_F(Preferences, TheRudderBoxSitsUnderTheFrameRateBoxAndTakesEffectOnOk) {
    Launch();
    ASSERT_TRUE(Choose("Preferences..."));
    const auto perSecond = simhost::FindWidgetToClick("Speed independent of frame rate");
    const auto rudder = simhost::FindWidgetToClick("Steer with the rudder pedals");
    int perSecondTop = 0, rudderTop = 0;
    for (const auto& w : simhost::Widgets()) {
        if (w.id == perSecond) perSecondTop = w.top;
        if (w.id == rudder) rudderTop = w.top;
    }
    EXPECT_LT(rudderTop, perSecondTop);
    EXPECT_EQ(BoxState("Steer with the rudder pedals"), 1);
    ASSERT_TRUE(Click("Steer with the rudder pedals"));
    ASSERT_TRUE(Click(kOk));
    EXPECT_TRUE(Has(StopAndReadProperties(), "MANUAL_RUDDER=0"));
}

// The speed applies while the slider moves; closing without OK gives back the opening speed,
// and everything Defaults had applied too.
TEST_F(Preferences, CancelAndTheCloseBoxGiveBackTheSettingsTheWindowOpenedWith) {
    Launch(kChanged);
    const auto closeBox = [] {
        const auto windows = MainWindows("Tarvosk Preferences");
        return windows.size() == 1 && simhost::CloseWidgetWindow(windows[0].id);
    };
    for (bool cancel : {true, false}) {
        for (bool defaults : {false, true}) {
            ASSERT_TRUE(Choose("Preferences..."));
            if (defaults) {
                ASSERT_TRUE(Click("Defaults"));
            }
            ASSERT_TRUE(simhost::DragSlider(simhost::FindSlider("Truck speed"), 25));
            simhost::RunFrames(1);
            EXPECT_TRUE(Shows("25"));
            ASSERT_TRUE(cancel ? Click("Cancel") : closeBox());
            simhost::RunFrames(1);
            EXPECT_TRUE(MainWindows("Tarvosk Preferences").empty());
            // A window opened now shows what the settings hold.
            ASSERT_TRUE(Choose("Preferences..."));
            EXPECT_TRUE(Shows("33")) << cancel << defaults;
            EXPECT_TRUE(Shows("Truck view (current: A)")) << cancel << defaults;
            EXPECT_EQ(BoxState("Draw truck"), 0) << cancel << defaults;
            ASSERT_TRUE(Click("Cancel"));
        }
    }
    EXPECT_EQ(StopAndReadProperties(), kChangedLines);
}

TEST_F(Preferences, SlowSpeedsShowTwoDigits) {
    Launch();
    ASSERT_TRUE(Choose("Preferences..."));
    ASSERT_TRUE(simhost::DragSlider(simhost::FindSlider("Truck speed"), 5));
    simhost::RunFrames(1);
    EXPECT_TRUE(Shows("05"));
    // The bar stops at its ends.
    ASSERT_TRUE(simhost::DragSlider(simhost::FindSlider("Truck speed"), 80));
    simhost::RunFrames(1);
    EXPECT_TRUE(Shows("50"));
}

TEST_F(Preferences, DefaultsShowsTheDefaultsAndKeepsTheWindowOpen) {
    Launch(kChanged);
    ASSERT_TRUE(Choose("Preferences..."));
    ASSERT_TRUE(Click("Defaults"));
    EXPECT_EQ(MainWindows("Tarvosk Preferences").size(), 1u);
    EXPECT_TRUE(Shows("Truck view key (current: F12)"));
    EXPECT_TRUE(Shows("10"));
    EXPECT_EQ(BoxState("Draw truck"), 1);
    EXPECT_EQ(BoxState(kFrontGear), 1);
    EXPECT_EQ(BoxState(kRearGear), 0);
}

TEST_F(Preferences, DefaultsThenOkGivesTheDefaultKey) {
    Launch(kChanged);
    ASSERT_TRUE(Choose("Preferences..."));
    ASSERT_TRUE(Click("Defaults"));
    ASSERT_TRUE(Click(kOk));
    Press('A');
    EXPECT_EQ(HotKeyToggles(), 0);
    Press(XPLM_VK_F12);
    EXPECT_EQ(HotKeyToggles(), 1);
    EXPECT_EQ(StopAndReadProperties(), kDefaultLines);
}

TEST_F(Preferences, AKeyOfOneHundredTwentyEightOrMoreIsStoredNegative) {
    Launch();
    ASSERT_TRUE(Choose("Preferences..."));
    ASSERT_TRUE(Click("Assign new"));
    Press(0xBB);  // the host's ENTER key, which arrives as a negative char
    EXPECT_TRUE(Shows("Key is: ENTER"));
    ASSERT_TRUE(Click(kOk));
    // The hot key is on the key's low 8 bits and described so.
    Press(XPLM_VK_F12);
    EXPECT_EQ(HotKeyToggles(), 0);
    Press(0xBB);
    EXPECT_EQ(HotKeyToggles(), 1);
    ASSERT_TRUE(Choose("Preferences..."));
    EXPECT_TRUE(Shows("Truck view (current: ENTER)"));
    ASSERT_TRUE(Click("Cancel"));
    EXPECT_TRUE(Has(StopAndReadProperties(), "TruckView_KEY=-69"));
}

TEST_F(Preferences, TheAssignButtonBlinksUntilAKeyComes) {
    Launch();
    ASSERT_TRUE(Choose("Preferences..."));
    const std::uintptr_t assign = Find("Assign new");
    ASSERT_TRUE(Click("Assign new"));
    std::vector<intptr_t> enabled;
    for (int i = 0; i < 60; ++i) {  // two seconds of frames
        simhost::RunFrames(1);
        enabled.push_back(simhost::WidgetProperty(assign, xpProperty_Enabled));
    }
    EXPECT_NE(std::count(enabled.begin(), enabled.end(), 0), 0);
    EXPECT_NE(std::count(enabled.begin(), enabled.end(), 1), 0);
    // While waiting, keys go to the window, not to the hot key.
    Press(XPLM_VK_F12);
    EXPECT_EQ(HotKeyToggles(), 0);
    EXPECT_TRUE(Shows("Key is: F12"));
    for (int i = 0; i < 30; ++i) simhost::RunFrames(1);
    EXPECT_EQ(simhost::WidgetProperty(assign, xpProperty_Enabled), 1);
    // Closing removes the sniffer: keys reach the hot key again.
    ASSERT_TRUE(Click("Cancel"));
    Press(XPLM_VK_F12);
    EXPECT_EQ(HotKeyToggles(), 1);
}

TEST_F(Preferences, TheGearBoxesAlwaysShowOppositeStates) {
    Launch();
    ASSERT_TRUE(Choose("Preferences..."));
    EXPECT_EQ(BoxState(kFrontGear), 1);
    EXPECT_EQ(BoxState(kRearGear), 0);
    for (const char* box : {kFrontGear, kFrontGear, kRearGear, kRearGear, kRearGear}) {
        ASSERT_TRUE(Click(box));
        EXPECT_NE(BoxState(kFrontGear), BoxState(kRearGear)) << box;
    }
    // Three clicks on the rear box from "front": rear is ticked now.
    EXPECT_EQ(BoxState(kRearGear), 1);
    ASSERT_TRUE(Click(kOk));
    EXPECT_TRUE(Has(StopAndReadProperties(), "FRONT_WHEEL=0"));
}

TEST_F(Preferences, ChoosingItAgainBringsTheOpenWindowToTheFront) {
    Launch();
    ASSERT_TRUE(Choose("Preferences..."));
    const auto first = MainWindows("Tarvosk Preferences");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].right - first[0].left, 320);
    EXPECT_NEAR((first[0].left + first[0].right) / 2.0, 960, 1);
    EXPECT_NEAR((first[0].top + first[0].bottom) / 2.0, 540, 1);
    // Another window over it, then Preferences again: the same window, now in front.
    ASSERT_TRUE(Choose("About..."));
    ASSERT_TRUE(Choose("Preferences..."));
    const auto again = MainWindows("Tarvosk Preferences");
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].id, first[0].id);
    std::uintptr_t front = 0;
    for (const simhost::WidgetInfo& w : simhost::Widgets()) {
        if (w.isRoot && w.parent == 0 && w.visible) front = w.id;
    }
    EXPECT_EQ(front, first[0].id);
    EXPECT_FALSE(Shows("The Preferences window will be available in a later version."));
    // Closed, it opens anew.
    ASSERT_TRUE(Click("Cancel"));
    ASSERT_TRUE(Choose("Preferences..."));
    EXPECT_EQ(MainWindows("Tarvosk Preferences").size(), 1u);
}

}  // namespace
}  // namespace tarvosk::testing
