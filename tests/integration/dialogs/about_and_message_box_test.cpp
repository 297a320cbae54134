// The About window and the message box through the real plug-in.
#include <string>
#include <vector>

#include "config/version.h"
#include "dialogs_host.h"

namespace tarvosk::testing {
namespace {

class About : public DialogsHost {};
class MessageBox : public DialogsHost {};

std::string Dots(int count) {
    return std::string(static_cast<std::size_t>(count), '.');
}

TEST_F(About, ChosenTwiceOpensOneWindowAndAfterClosingANewOne) {
    Launch();
    const std::size_t before = simhost::TextureNumbersHandedOut().size();
    ASSERT_TRUE(Choose("About..."));
    ASSERT_TRUE(Choose("About..."));
    auto windows = MainWindows("About Tarvosk...");
    ASSERT_EQ(windows.size(), 1u);
    // One logo texture for the one window.
    const std::vector<int> first = simhost::TextureNumbersHandedOut();
    ASSERT_EQ(first.size(), before + 1);
    const int logo = first.back();
    const bool gl = simhost::GraphicsAvailable();
    if (gl) {
        EXPECT_TRUE(simhost::TextureStillExists(logo));
    }
    EXPECT_EQ(windows[0].right - windows[0].left, 376);
    EXPECT_NEAR((windows[0].left + windows[0].right) / 2.0, 960, 1);
    ASSERT_TRUE(simhost::CloseWidgetWindow(windows[0].id));
    simhost::RunFrames(1);
    EXPECT_TRUE(MainWindows("About Tarvosk...").empty());
    if (gl) {
        EXPECT_FALSE(simhost::TextureStillExists(logo));  // deleted with the window
    }
    ASSERT_TRUE(Choose("About..."));
    EXPECT_EQ(MainWindows("About Tarvosk...").size(), 1u);
    // The logo is loaded again for the new window.
    EXPECT_EQ(simhost::TextureNumbersHandedOut().size(), before + 2);
    EXPECT_TRUE(Shows(std::string("(c) Quorren - Tarvosk version ") + kTarvoskVersion));
}

TEST_F(About, NewerSimulatorsGetTheLongDotRuns) {
    simhost::HostConfig config;
    config.xplaneVersion = 11410;
    Launch("", config);
    ASSERT_TRUE(Choose("About..."));
    EXPECT_TRUE(Shows("Author " + Dots(80) + " K. Tarvo"));
    EXPECT_TRUE(Shows("Original idea " + Dots(62) + " L. Marsk"));
    EXPECT_TRUE(Shows("3D models " + Dots(44) + " P. Ondel"));
}

TEST_F(About, OldSimulatorsGetTheShortDotRuns) {
    simhost::HostConfig config;
    config.xplaneVersion = 739;
    Launch("", config);
    ASSERT_TRUE(Choose("About..."));
    EXPECT_TRUE(Shows("Author " + Dots(57) + " K. Tarvo"));
    EXPECT_TRUE(Shows("3D models " + Dots(18) + " P. Ondel"));
}

TEST_F(About, AMissingLogoStillOpensTheWindow) {
    Launch();
    std::filesystem::remove(sandbox_ / "Resources/plugins/Tarvosk/Bitmaps/TVKlogo.png");
    ASSERT_TRUE(Choose("About..."));
    EXPECT_EQ(MainWindows("About Tarvosk...").size(), 1u);
    EXPECT_TRUE(Shows("Special thanks to:"));
}

TEST_F(MessageBox, TheStartUpMessageShowsTwoLinesSixPixelsPerCharacterWide) {
    simhost::HostConfig config;
    config.omitDatarefs = {"sim/flightmodel/position/R"};
    Launch("", config);
    const auto boxes = MainWindows("Tarvosk");
    ASSERT_EQ(boxes.size(), 1u);
    const std::string first = "This version of Tarvosk is not compatible ";
    const std::string second = " with this version of X-Plane.";
    EXPECT_TRUE(Shows(first));
    EXPECT_TRUE(Shows(second));
    EXPECT_EQ(boxes[0].right - boxes[0].left, 6 * static_cast<int>(first.size()) + 30);
    // Centred across the screen, its top 200 pixels below the screen's top.
    EXPECT_EQ(boxes[0].top, 1080 - 200);
    EXPECT_NEAR((boxes[0].left + boxes[0].right) / 2.0, 960, 1);
    // No close box: only OK closes it.
    EXPECT_FALSE(simhost::CloseWidgetWindow(boxes[0].id));
    ASSERT_TRUE(Click("OK"));
    EXPECT_TRUE(MainWindows("Tarvosk").empty());
}

TEST_F(MessageBox, APlacementThatFollowsTheScreen) {
    simhost::HostConfig config;
    config.screenWidth = 1024;
    config.screenHeight = 768;
    Launch("", config);
    ASSERT_TRUE(Choose("GPU"));
    ASSERT_TRUE(Choose("Push straight back"));
    const auto boxes = MainWindows("Warning...");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].top, 568);
    EXPECT_NEAR((boxes[0].left + boxes[0].right) / 2.0, 512, 1);
}

TEST_F(MessageBox, TwoRefusalsLeaveTwoBoxesEachClosedByItsOwnOk) {
    Launch();
    ASSERT_TRUE(Choose("GPU"));
    ASSERT_TRUE(Choose("Push straight back"));
    ASSERT_TRUE(Choose("Turn tail left"));
    const std::string refusal = "You can't start a PushBack with the GPU running!";
    auto boxes = MainWindows("Warning...");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(Shows(refusal));
    EXPECT_EQ(boxes[0].right - boxes[0].left, 6 * static_cast<int>(refusal.size()) + 30);
    // Each box's OK is its own: pressing the second one's leaves the first.
    std::vector<std::uintptr_t> oks;
    for (const simhost::WidgetInfo& w : simhost::Widgets()) {
        if (w.descriptor == "OK" && w.widgetClass == xpWidgetClass_Button) oks.push_back(w.id);
    }
    ASSERT_EQ(oks.size(), 2u);
    ASSERT_TRUE(simhost::ClickWidget(oks[1]));
    simhost::RunFrames(1);
    boxes = MainWindows("Warning...");
    ASSERT_EQ(boxes.size(), 1u);
    ASSERT_TRUE(simhost::ClickWidget(oks[0]));
    simhost::RunFrames(1);
    EXPECT_TRUE(MainWindows("Warning...").empty());
}

TEST_F(MessageBox, ABoxKeepsItsTextWhenTheSharedBufferIsRewritten) {
    Launch();
    ASSERT_TRUE(Choose("GPU"));
    ASSERT_TRUE(Choose("Push straight back"));
    // The crew's refusal text of a second command replaces the shared buffer.
    ASSERT_TRUE(Choose("GPU"));
    simhost::SetDatarefArray("sim/flightmodel/engine/ENGN_N1_", {60.0f, 60.0f});
    ASSERT_TRUE(Choose("Push straight back"));
    EXPECT_TRUE(Shows("You can't start a PushBack with the GPU running!"));
    EXPECT_EQ(MainWindows("Warning...").size(), 2u);
}

TEST_F(MessageBox, StoppingThePluginTakesItsWindowsAway) {
    Launch();
    ASSERT_TRUE(Choose("Preferences..."));
    ASSERT_TRUE(Choose("About..."));
    ASSERT_TRUE(Choose("GPU"));
    ASSERT_TRUE(Choose("Push straight back"));
    StopAndReadProperties();
    for (const simhost::WidgetInfo& w : simhost::Widgets()) {
        EXPECT_FALSE(w.isRoot && w.widgetClass == xpWidgetClass_MainWindow) << w.descriptor;
    }
}

}  // namespace
}  // namespace tarvosk::testing

namespace tarvosk::testing {
namespace {

class AboutLogo : public DialogsHost {
  protected:
    // The About window drawn on the screen at `version`, with the transparent-panel setting
    // set to `transparent` where the simulator has it.
    std::vector<std::uint8_t> Drawn(int version, int transparent) {
        simhost::HostConfig config;
        config.xplaneVersion = version;
        Launch("", config);
        if (simhost::DatarefExists("sim/graphics/settings/transparent_panel"))
            simhost::SetDataref("sim/graphics/settings/transparent_panel", transparent);
        EXPECT_TRUE(Choose("About..."));
        simhost::PictureRequest request;
        request.view = "screen";
        simhost::Picture picture;
        std::string error;
        EXPECT_TRUE(simhost::TakePicture(request, &picture, &error)) << error;
        EXPECT_EQ(simhost::BadHandleAccesses(), 0) << "version " << version;
        return picture.rgba;
    }
};

// X-Plane 12 has no transparent-panel setting: the logo is drawn opaque, as X-Plane 11 draws
// it with the setting off, and nothing reads through the missing handle.
TEST_F(AboutLogo, DrawnOpaqueWhereTheTransparentPanelSettingIsMissing) {
    if (!simhost::GraphicsAvailable()) GTEST_SKIP() << "no OpenGL here: no pictures";
    const auto eleven = Drawn(11410, 0);
    const auto elevenTransparent = Drawn(11410, 1);
    const auto twelve = Drawn(12100, 1);
    ASSERT_FALSE(eleven.empty());
    EXPECT_NE(eleven, elevenTransparent) << "the setting changes the logo at 11.41";
    EXPECT_EQ(eleven, twelve) << "12.1 draws the logo as 11.41 with the setting off";
}

}  // namespace
}  // namespace tarvosk::testing
