// The real plug-in in an OpenGL simulator (X-Plane 11): the default tug and the GPU cart are
// loaded at enable, drawn where the pushback puts them, lit at night, and switching trucks
// gives every texture back.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cmath>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kMenu = "Plugins/Tarvosk/";
constexpr const char* kLights = "sim/graphics/scenery/percent_lights_on";

class RenderHost : public ::testing::Test {
  protected:
    int plugin = -1;
    fs::path data;

    void SetUp() override {
        if (!fs::exists(TARVOSK_CONTENT_DIR)) GTEST_SKIP() << "generated content not built";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        simhost::HostConfig config;
        config.sandbox = fs::path(TARVOSK_TEST_SANDBOXES) / info->name();
        config.xplaneVersion = 11410;
        std::string error;
        ASSERT_TRUE(simhost::EmptyOwnedFolder(config.sandbox, &error)) << error;
        ASSERT_TRUE(simhost::Reset(config, &error)) << error;
        data = config.sandbox / "Resources/plugins/Tarvosk";
        fs::create_directories(data.parent_path());
        fs::copy(TARVOSK_CONTENT_DIR, data, fs::copy_options::recursive);
        plugin = simhost::LoadPlugin(TARVOSK_XPL, &error);
        ASSERT_GT(plugin, 0) << error;
        ASSERT_TRUE(simhost::StartPlugin(plugin));
        ASSERT_TRUE(simhost::EnablePlugin(plugin));
        simhost::RunFrames(1);
    }

    void TearDown() override {
        if (plugin > 0) {
            simhost::DisablePlugin(plugin);
            simhost::StopPlugin(plugin);
            simhost::UnloadPlugin(plugin);
        }
        EXPECT_EQ(simhost::PluginFaults(), 0);
    }

    std::string Log() const {
        std::ifstream in(data / "Tarvosk.log");
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    bool RunUntil(const std::function<bool()>& done, double seconds) {
        const double end = simhost::Now() + seconds;
        while (!done()) {
            if (simhost::Now() >= end) return false;
            simhost::RunFrames(1);
        }
        return true;
    }

    static bool NeedGraphics() {
        std::string why;
        if (simhost::GraphicsAvailable(&why)) return true;
        return false;
    }

    static simhost::Picture Take() {
        simhost::Picture picture;
        std::string error;
        EXPECT_TRUE(simhost::TakePicture({}, &picture, &error)) << error;
        return picture;
    }

    // Mean brightness and the number of pixels differing from `other` in a box around (px, py).
    struct BoxStats {
        double brightness = 0;
        int differing = 0;
    };
    static BoxStats Box(const simhost::Picture& p, const simhost::Picture& other, double px,
                        double py, int half) {
        BoxStats stats;
        int n = 0;
        for (int y = static_cast<int>(py) - half; y <= static_cast<int>(py) + half; ++y) {
            for (int x = static_cast<int>(px) - half; x <= static_cast<int>(px) + half; ++x) {
                if (x < 0 || y < 0 || x >= p.width || y >= p.height) continue;
                const size_t at = (static_cast<size_t>(y) * p.width + x) * 4;
                stats.brightness += (p.rgba[at] + p.rgba[at + 1] + p.rgba[at + 2]) / 3.0;
                int d = 0;
                for (int c = 0; c < 3; ++c)
                    d = std::max(d, std::abs(p.rgba[at + c] - other.rgba[at + c]));
                stats.differing += d > 24;
                ++n;
            }
        }
        if (n > 0) stats.brightness /= n;
        return stats;
    }

    // GL textures alive in the host's context.
    static int LiveTextures() {
        int live = 0;
        for (GLuint name = 1; name < 4096; ++name) live += glIsTexture(name) == GL_TRUE;
        return live;
    }
};

TEST_F(RenderHost, EnableLoadsTheDefaultTugAndTheGpuCart) {
    const std::string log = Log();
    EXPECT_NE(log.find("Meshes and textures for object " + (data / "TVKdefault").string() +
                       " succesfuly loaded\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Meshes and textures for GPU succesfuly loaded\n"), std::string::npos)
        << log;
}

TEST_F(RenderHost, TheTugIsDrawnAtItsPlaceAndLitAtNight) {
    if (!NeedGraphics()) GTEST_SKIP() << "no OpenGL context in this environment";
    const simhost::Picture before = Take();  // no pushback ordered yet: no tug

    ASSERT_TRUE(simhost::ChooseMenuItem(std::string(kMenu) + "Push straight back"));
    ASSERT_TRUE(RunUntil([] { return simhost::Speech().size() >= 2; }, 30.0));
    const simhost::Picture day = Take();
    double px = 0;
    double py = 0;
    // The tug's origin is the head of its tow bar; its body stands 3.6 to 9.2 m ahead of it.
    const double heading =
        simhost::GetDataref("quorren/tarvosk/truck/position_hdg") * 3.14159265358979 / 180;
    ASSERT_TRUE(simhost::ProjectToPicture(
        day, simhost::GetDataref("quorren/tarvosk/truck/position_ogl_x") + 6.4 * std::sin(heading),
        simhost::GetDataref("quorren/tarvosk/truck/position_ogl_y") + 0.5,
        simhost::GetDataref("quorren/tarvosk/truck/position_ogl_z") - 6.4 * std::cos(heading), &px,
        &py));
    const BoxStats tug = Box(day, before, px, py, 10);
    EXPECT_GT(tug.differing, 200) << "at " << px << "," << py;
    // Far from the tug (the top-right sky; the crew's window is at the top left) nothing
    // changed.
    EXPECT_EQ(Box(day, before, day.width - 20, 20, 10).differing, 0);

    // Just below the threshold the day texture is drawn under the host's dim light; above it
    // the lit texture shows unlit: the default tug's is black but for its lamps, so its body
    // turns from dim yellow to black although the light changed by a hundredth.
    ASSERT_TRUE(simhost::SetDataref(kLights, 0.62));
    const simhost::Picture dusk = Take();
    ASSERT_TRUE(simhost::SetDataref(kLights, 0.63));
    const simhost::Picture night = Take();
    const BoxStats lit = Box(night, dusk, px, py, 10);
    EXPECT_GT(lit.differing, 50);
    EXPECT_LT(lit.brightness, Box(dusk, night, px, py, 10).brightness / 2);
}

TEST_F(RenderHost, SwitchingTrucksAHundredTimesGivesEveryTextureBack) {
    if (!NeedGraphics()) GTEST_SKIP() << "no OpenGL context in this environment";
    // A second truck beside the default one: the same files under another name.
    for (const char* ext : {".obj", ".png", "LIT.png"}) {
        fs::copy_file(data / (std::string("TVKdefault") + ext), data / (std::string("Van") + ext));
    }
    // The truck list is scanned at start: start again so that the menu shows both.
    simhost::DisablePlugin(plugin);
    simhost::StopPlugin(plugin);
    simhost::UnloadPlugin(plugin);
    std::string error;
    plugin = simhost::LoadPlugin(TARVOSK_XPL, &error);
    ASSERT_GT(plugin, 0) << error;
    ASSERT_TRUE(simhost::StartPlugin(plugin));
    ASSERT_TRUE(simhost::EnablePlugin(plugin));
    simhost::RunFrames(1);
    const int loaded = LiveTextures();
    ASSERT_GE(loaded, 4);  // day and lit tug, day and lit GPU cart

    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(simhost::ChooseMenuItem(std::string(kMenu) + "Trucks/" +
                                            (i % 2 ? "TVKdefault" : "Van")));
    }
    simhost::RunFrames(1);
    EXPECT_EQ(LiveTextures(), loaded);
    EXPECT_NE(Log().find("Meshes and textures for object " + (data / "Van").string()),
              std::string::npos);

    simhost::DisablePlugin(plugin);
    simhost::StopPlugin(plugin);
    EXPECT_EQ(LiveTextures(), loaded - 4);  // stop gives the tug's and the cart's back
    simhost::UnloadPlugin(plugin);
    plugin = -1;
}

}  // namespace
