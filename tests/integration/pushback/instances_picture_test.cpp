// Pictures under both drivers: the tug and the cart stand at the same places whether the
// plug-in draws them in the aircraft phase (OpenGL) or the host draws its instances (Vulkan).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace {

namespace fs = std::filesystem;

struct Run {
    const char* name;
    int version;
    bool drawTruck;
};

// The same moment of the same scenario: GPU connected, tug hooked up at the nose gear.
bool PictureOf(const Run& run, simhost::Picture* picture, std::string* why) {
    simhost::HostConfig config;
    config.sandbox = fs::path(TARVOSK_TEST_SANDBOXES) / (std::string("pictures-") + run.name);
    if (!simhost::EmptyOwnedFolder(config.sandbox, why)) return false;
    config.xplaneVersion = run.version;
    if (!simhost::Reset(config, why)) return false;
    if (!simhost::GraphicsAvailable(why)) return false;
    fs::copy(TARVOSK_CONTENT_DIR, config.sandbox / "Resources/plugins/Tarvosk",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    std::ofstream(config.sandbox / "Output/preferences/Quorren.Tarvosk.prf")
        << "DRAW_TRUCK=" << (run.drawTruck ? 1 : 0) << "\n";
    const int plugin = simhost::LoadPlugin(TARVOSK_XPL, why);
    if (plugin < 0 || !simhost::StartPlugin(plugin) || !simhost::EnablePlugin(plugin)) return false;
    simhost::ChooseMenuItem("Plugins/Tarvosk/GPU");
    simhost::ChooseMenuItem("Plugins/Tarvosk/GPU");  // off again, the cart stays placed
    simhost::ChooseMenuItem("Plugins/Tarvosk/Push straight back");
    simhost::RunSeconds(20.0);
    simhost::PictureRequest request;
    request.view = "top";
    request.width = 480;
    request.height = 480;
    const bool ok = simhost::TakePicture(request, picture, why);
    simhost::WritePng(config.sandbox / "picture.png", *picture, nullptr);
    simhost::UnloadPlugin(plugin);
    return ok && simhost::PluginFaults() == 0;
}

// Pixels that differ clearly in some channel.
int Differing(const simhost::Picture& a, const simhost::Picture& b) {
    int n = 0;
    for (std::size_t k = 0; k + 3 < a.rgba.size() && k + 3 < b.rgba.size(); k += 4) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(a.rgba[k + c] - b.rgba[k + c]) > 48) {
                ++n;
                break;
            }
        }
    }
    return n;
}

TEST(DriverPictures, TheTugAndTheCartStandAtTheSamePlacesUnderBothDrivers) {
    if (!fs::exists(fs::path(TARVOSK_CONTENT_DIR) / "TVKdefault.obj"))
        GTEST_SKIP() << "no generated content in " << TARVOSK_CONTENT_DIR;
    simhost::Picture modern, opengl, noTug;
    std::string why;
    if (!PictureOf({"modern", 12100, true}, &modern, &why)) {
        if (!simhost::GraphicsAvailable()) GTEST_SKIP() << "no OpenGL context: " << why;
        FAIL() << why;
    }
    ASSERT_TRUE(PictureOf({"opengl", 11410, true}, &opengl, &why)) << why;
    ASSERT_TRUE(PictureOf({"no-tug", 12100, false}, &noTug, &why)) << why;
    const int tugPixels = Differing(modern, noTug);
    EXPECT_GT(tugPixels, 500) << "tug pixels";  // the tug is there, large enough to compare
    RecordProperty("tug_pixels", tugPixels);
    RecordProperty("pixels_differing_between_drivers", Differing(modern, opengl));
    // The same objects at the same places; only shading may differ a little.
    EXPECT_LT(Differing(modern, opengl), tugPixels / 10)
        << "pictures in " << TARVOSK_TEST_SANDBOXES << "/pictures-*";
}

}  // namespace
