// The real Tarvosk.xpl drawing the tug into the simulated host's scene (X-Plane 11: the 3-D
// phases are called): where the published position says, with the lit texture only above
// 0.62 of the scenery lights, and not at all with DRAW_TRUCK off.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kTruckX = "quorren/tarvosk/truck/position_ogl_x";
constexpr const char* kTruckZ = "quorren/tarvosk/truck/position_ogl_z";
constexpr const char* kTruckHeading = "quorren/tarvosk/truck/position_hdg";
constexpr const char* kPhase = "tarvosk/diagnostics/truck_phase";
constexpr const char* kLights = "sim/graphics/scenery/percent_lights_on";

class TugDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        sandbox_ = fs::path(TARVOSK_TEST_SANDBOXES) / info->name();
        ASSERT_TRUE(simhost::EmptyOwnedFolder(sandbox_, &why)) << why;
        // Skips belong here: from Launch they would only leave Launch, and the test would go on.
        if (!simhost::GraphicsAvailable(&why)) GTEST_SKIP() << "no OpenGL context: " << why;
        if (!fs::exists(fs::path(TARVOSK_CONTENT_DIR) / "TVKdefault.obj"))
            GTEST_SKIP() << "no generated content in " << TARVOSK_CONTENT_DIR;
    }

    // Loads the plug-in into X-Plane 11, the content beside it; `drawTruck` sets DRAW_TRUCK.
    void Launch(bool drawTruck) {
        simhost::HostConfig config;
        config.sandbox = sandbox_;
        config.xplaneVersion = 11410;
        std::string error;
        ASSERT_TRUE(simhost::Reset(config, &error)) << error;
        fs::copy(TARVOSK_CONTENT_DIR, sandbox_ / "Resources/plugins/Tarvosk",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        std::ofstream(sandbox_ / "Output/preferences/Quorren.Tarvosk.prf")
            << "DRAW_TRUCK=" << (drawTruck ? 1 : 0) << "\n";
        plugin_ = simhost::LoadPlugin(TARVOSK_XPL, &error);
        ASSERT_GT(plugin_, 0) << error;
        ASSERT_TRUE(simhost::StartPlugin(plugin_));
        ASSERT_TRUE(simhost::EnablePlugin(plugin_));
        simhost::RunFrames(1);
    }

    void TearDown() override {
        if (plugin_ > 0) simhost::UnloadPlugin(plugin_);
        EXPECT_EQ(simhost::PluginFaults(), 0);
    }

    // Orders a straight pushback and runs until the tug stands at the nose gear.
    void HookUp() {
        ASSERT_TRUE(simhost::ChooseMenuItem("Plugins/Tarvosk/Push straight back"));
        for (int k = 0; k < 30 * 60 && simhost::GetDataref(kPhase) != 1; ++k) simhost::RunFrames(1);
        // Phase 1 is the approach and the brake dialogue; the tug is at the gear once the crew
        // asks about the brake.
        for (int k = 0; k < 30 * 60; ++k) {
            bool asked = false;
            for (const auto& s : simhost::Speech())
                asked = asked || s.text.find("do you confirm brake") != std::string::npos;
            if (asked) break;
            simhost::RunFrames(1);
        }
    }

    simhost::Picture Take(const std::string& view = "top") {
        simhost::PictureRequest r;
        r.view = view;
        r.width = 480;
        r.height = 480;
        simhost::Picture p;
        std::string error;
        EXPECT_TRUE(simhost::TakePicture(r, &p, &error)) << error;
        return p;
    }

    // The middle of the tug's body: its origin is the tow bar's head at the gear, and the body
    // stands 3.6 to 9.2 m ahead of it along the tug's heading.
    void TugBody(double* x, double* z) const {
        const double h = simhost::GetDataref(kTruckHeading) * M_PI / 180;
        *x = simhost::GetDataref(kTruckX) + 6.4 * std::sin(h);
        *z = simhost::GetDataref(kTruckZ) - 6.4 * std::cos(h);
    }

    struct Patch {
        int changed = 0;             // pixels that differ from the other picture by more than 60
        double r = 0, g = 0, b = 0;  // mean colour
    };

    // A square of pixels around the projection of a ground-level point.
    static Patch Around(const simhost::Picture& p, const simhost::Picture& other, double x,
                        double z, int half) {
        double px = 0, py = 0;
        EXPECT_TRUE(simhost::ProjectToPicture(p, x, 1.0, z, &px, &py));
        Patch out;
        int n = 0;
        for (int y = static_cast<int>(py) - half; y <= static_cast<int>(py) + half; ++y)
            for (int xx = static_cast<int>(px) - half; xx <= static_cast<int>(px) + half; ++xx) {
                if (xx < 0 || y < 0 || xx >= p.width || y >= p.height) continue;
                const std::size_t at = (static_cast<std::size_t>(y) * p.width + xx) * 4;
                int diff = 0;
                for (int c = 0; c < 3; ++c) diff += std::abs(p.rgba[at + c] - other.rgba[at + c]);
                out.changed += diff > 60 ? 1 : 0;
                out.r += p.rgba[at], out.g += p.rgba[at + 1], out.b += p.rgba[at + 2];
                ++n;
            }
        if (n) out.r /= n, out.g /= n, out.b /= n;
        return out;
    }

    fs::path sandbox_;
    int plugin_ = -1;
};

TEST_F(TugDrawing, TheTugStandsInTheSceneWhereItsPublishedPositionSays) {
    Launch(true);
    simhost::Picture empty = Take();
    HookUp();
    ASSERT_EQ(simhost::GetDataref(kPhase), 1);
    simhost::Picture withTug = Take();
    double x, z;
    TugBody(&x, &z);
    const Patch tug = Around(withTug, empty, x, z, 6);
    EXPECT_GT(tug.changed, 100) << "the tug's body is drawn around its published position";
    EXPECT_GT(tug.r, tug.b + 60) << "in its yellow day texture";
    // The same distance on the other side of the gear (under the aircraft) is as before.
    const double h = simhost::GetDataref(kTruckHeading) * M_PI / 180;
    const double awayX = simhost::GetDataref(kTruckX) + 25 * std::cos(h);
    const double awayZ = simhost::GetDataref(kTruckZ) + 25 * std::sin(h);
    EXPECT_EQ(Around(withTug, empty, awayX, awayZ, 6).changed, 0);
}

TEST_F(TugDrawing, TheLitTextureIsUsedAboveTheThresholdOnly) {
    Launch(true);
    HookUp();
    double x, z;
    TugBody(&x, &z);
    ASSERT_TRUE(simhost::SetDataref(kLights, 0.62));
    simhost::Picture atThreshold = Take();
    ASSERT_TRUE(simhost::SetDataref(kLights, 0.63));
    simhost::Picture above = Take();
    const Patch day = Around(atThreshold, above, x, z, 4);
    const Patch lit = Around(above, atThreshold, x, z, 4);
    // At 0.62 the day texture, lit by the dimmed scene, is still plainly yellow; above it
    // the lit texture is black but for the lamps.
    EXPECT_GT(day.r, day.b + 40);
    EXPECT_LT(lit.r + lit.g + lit.b, 40);
    EXPECT_GT(lit.changed, 50);
}

TEST_F(TugDrawing, WithDrawTruckOffNothingIsDrawnButThePushbackRuns) {
    Launch(false);
    simhost::Picture empty = Take();
    HookUp();
    ASSERT_EQ(simhost::GetDataref(kPhase), 1);
    simhost::Picture after = Take();
    double x, z;
    TugBody(&x, &z);
    EXPECT_EQ(Around(after, empty, x, z, 12).changed, 0);
}

}  // namespace
