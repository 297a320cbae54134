// Hostile files around the real plug-in: properties files of garbage, NUL bytes, CR-only line
// ends or megabytes; a log that cannot be written; thousands of trucks. Each run starts, does
// a pushback, stops, and leaves a properties file that reads back.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "config/version.h"
#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace {

namespace fs = std::filesystem;
using tarvosk::kTarvoskVersion;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteAll(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class HostileFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        simhost::HostConfig config;
        config.sandbox = fs::path(TARVOSK_TEST_SANDBOXES) /
                         (std::string(info->test_suite_name()) + "." + info->name());
        std::string error;
        ASSERT_TRUE(simhost::EmptyOwnedFolder(config.sandbox, &error)) << error;
        ASSERT_TRUE(simhost::Reset(config, &error)) << error;
        dataFolder_ = simhost::Sandbox() / "Resources/plugins/Tarvosk";
        fs::create_directories(dataFolder_);
        fs::copy(TARVOSK_CONTENT_DIR, dataFolder_,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        prefs_ = simhost::Sandbox() / "Output/preferences/Quorren.Tarvosk.prf";
    }
    void TearDown() override {
        if (plugin_ > 0) simhost::UnloadPlugin(plugin_);
        EXPECT_EQ(simhost::BadHandleAccesses(), 0);
        EXPECT_EQ(simhost::PluginFaults(), 0);
        EXPECT_EQ(simhost::FlightLoopDoubleRegistrations(), 0);
    }
    // Start, enable, one straight pushback to its end, stop. Returns the wall seconds of start.
    double RunOnce() {
        std::string error;
        plugin_ = simhost::LoadPlugin(TARVOSK_XPL, &error);
        EXPECT_GT(plugin_, 0) << error;
        const auto begin = std::chrono::steady_clock::now();
        EXPECT_TRUE(simhost::StartPlugin(plugin_));
        const double startSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        EXPECT_TRUE(simhost::EnablePlugin(plugin_));
        simhost::SetDataref("sim/flightmodel/controls/parkbrake", 0.0);
        EXPECT_TRUE(simhost::ChooseMenuItem("Plugins/Tarvosk/Push straight back"));
        EXPECT_NE(simhost::GetDataref("quorren/tarvosk/PBstatus"), 0.0);
        for (int k = 0; k < 600 && simhost::GetDataref("quorren/tarvosk/PBstatus") != 0.0; ++k)
            simhost::RunSeconds(1.0);
        EXPECT_EQ(simhost::GetDataref("quorren/tarvosk/PBstatus"), 0.0);
        simhost::StopPlugin(plugin_);
        return startSeconds;
    }
    std::string PluginLog() const { return ReadAll(dataFolder_ / "Tarvosk.log"); }

    fs::path dataFolder_, prefs_;
    int plugin_ = -1;
};

TEST_F(HostileFiles, PropertiesOfBinaryGarbage) {
    std::mt19937 random(99);
    std::string garbage(65536, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    WriteAll(prefs_, garbage);
    RunOnce();
    // Whatever lines the garbage held, the settings are written back in their own form.
    const std::string saved = ReadAll(prefs_);
    EXPECT_NE(saved.find(std::string("\nVERSION=") + kTarvoskVersion + "\n"), std::string::npos);
    EXPECT_NE(saved.find("\nTruckView_KF=8\n"), std::string::npos);
    EXPECT_NE(PluginLog().find("--- Stopping Tarvosk plugin ---"), std::string::npos);
}

TEST_F(HostileFiles, PropertiesWithNulBytesAndCarriageReturnsOnly) {
    WriteAll(prefs_, std::string("SWITCH_VIEW=0\0trailing junk\rDRAW_TRUCK=0\r", 41) +
                         "TRUCK_SPEED=20.000000\rHANDLE_GPU=0");
    RunOnce();
    const std::string saved = ReadAll(prefs_);
    EXPECT_NE(saved.find("\nSWITCH_VIEW=0\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("DRAW_TRUCK=0\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nTRUCK_SPEED=20.000000\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nHANDLE_GPU=0\n"), std::string::npos) << saved;
}

TEST_F(HostileFiles, PropertiesOfSeveralMegabytes) {
    std::string big;
    for (int k = 0; k < 200000; ++k) big += "JUNK_" + std::to_string(k) + "=some value here\n";
    big += "TRUCK_SPEED=30.000000\n";
    ASSERT_GT(big.size(), 4u << 20);
    WriteAll(prefs_, big);
    EXPECT_LT(RunOnce(), 20.0);
    const std::string saved = ReadAll(prefs_);
    EXPECT_NE(saved.find("\nTRUCK_SPEED=30.000000\n"), std::string::npos);
    EXPECT_NE(saved.find("\nJUNK_199999=some value here\n"), std::string::npos);  // not lost
}

TEST_F(HostileFiles, LogThatCannotBeWrittenIsReportedInTheSimulatorsLog) {
    fs::create_directory(dataFolder_ / "Tarvosk.log");  // not writable, even for root
    RunOnce();
    const std::string hostLog = ReadAll(simhost::Sandbox() / "Log.txt");
    EXPECT_NE(
        hostLog.find("Tarvosk: cannot write its log " + (dataFolder_ / "Tarvosk.log").string() +
                     " (Is a directory); carrying on without it"),
        std::string::npos)
        << hostLog;
    EXPECT_NE(ReadAll(prefs_).find(std::string("\nVERSION=") + kTarvoskVersion + "\n"),
              std::string::npos);
}

TEST_F(HostileFiles, ThousandsOfTrucksKeepTheMenuBounded) {
    for (int k = 0; k < 3000; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "Truck%04d.obj", k);
        WriteAll(dataFolder_ / name, "");
    }
    const double startSeconds = RunOnce();
    EXPECT_LT(startSeconds, 20.0);
    const auto items = simhost::MenuItemNames("Plugins/Tarvosk/Trucks");
    EXPECT_EQ(items.size(), 100u);
    EXPECT_EQ(items.front(), "TVKdefault");  // upper case sorts first
    EXPECT_NE(PluginLog().find("[WRNG] 3001 trucks found; the Trucks menu shows the first 100\n"),
              std::string::npos);
}

// A small picture in the two other formats the loaders take: 4 x 4, uncompressed.
std::string Tga4x4() {
    std::string bytes(18, '\0');
    bytes[2] = 2;  // true colour, uncompressed
    bytes[12] = 4;
    bytes[14] = 4;
    bytes[16] = 32;
    bytes[17] = 8;  // eight alpha bits
    for (int k = 0; k < 16; ++k) bytes += std::string{'\x20', '\x80', '\x40', '\xFF'};
    return bytes;
}

std::string Bmp4x4() {
    auto le = [](std::string& out, std::uint32_t v, int n) {
        for (int k = 0; k < n; ++k) out += static_cast<char>((v >> (8 * k)) & 0xFF);
    };
    const std::uint32_t pixels = 4 * 4 * 3;
    std::string bytes = "BM";
    le(bytes, 54 + pixels, 4);
    le(bytes, 0, 4);
    le(bytes, 54, 4);
    le(bytes, 40, 4);
    le(bytes, 4, 4);
    le(bytes, 4, 4);
    le(bytes, 1, 2);
    le(bytes, 24, 2);
    for (int k = 0; k < 6; ++k) le(bytes, 0, 4);
    for (std::uint32_t k = 0; k < pixels; ++k) bytes += static_cast<char>(0x30 + k % 64);
    return bytes;
}

// A texture cut short, as a copy interrupted half-way leaves it. The plug-in starts, says in
// its log which file it could not read, pushes back without a tug to draw, and touches no
// bad handle (TearDown); with another format beside it, the tug loads from that one.
class TruncatedTexture : public HostileFiles {
  protected:
    std::string TugLoaded() const {
        return "Meshes and textures for object " + (dataFolder_ / "TVKdefault").string() +
               " succesfuly loaded\n";
    }
    std::string TugFailed() const {
        return "[WRNG] no texture could be read for " + (dataFolder_ / "TVKdefault").string() +
               " (.png, .tga or .bmp); not a readable image: ";
    }
    void Cut(const fs::path& file, std::size_t length) {
        const std::string whole = ReadAll(file);
        ASSERT_LT(length, whole.size());
        WriteAll(file, whole.substr(0, length));
    }
    void RunAndStop() {
        RunOnce();
        simhost::UnloadPlugin(plugin_);
        plugin_ = -1;
    }
};

TEST_F(TruncatedTexture, DefaultPngCutAtSeveralLengthsFailsCleanly) {
    const fs::path png = dataFolder_ / "TVKdefault.png";
    const std::string whole = ReadAll(png);
    ASSERT_GT(whole.size(), 200u);
    const std::size_t endMarker = whole.size() - 12;  // the empty IEND chunk closes the file
    ASSERT_EQ(whole.substr(endMarker + 4, 4), "IEND");
    for (std::size_t length :
         {std::size_t{0}, std::size_t{7}, std::size_t{8}, std::size_t{33}, std::size_t{60},
          whole.size() / 2, endMarker - 5, endMarker - 1, endMarker, whole.size() - 1}) {
        SCOPED_TRACE("cut at " + std::to_string(length) + " of " + std::to_string(whole.size()));
        WriteAll(png, whole.substr(0, length));
        fs::remove(dataFolder_ / "Tarvosk.log");
        const auto begin = std::chrono::steady_clock::now();
        RunAndStop();
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count(),
                  60.0);
        const std::string log = PluginLog();
        if (length >= endMarker) {
            // Every pixel is there, only the end marker is cut: the picture is whole.
            EXPECT_NE(log.find(TugLoaded()), std::string::npos) << log;
        } else {
            EXPECT_NE(log.find(TugFailed() + png.string() + "\n"), std::string::npos) << log;
            EXPECT_EQ(log.find(TugLoaded()), std::string::npos) << log;
        }
        EXPECT_NE(log.find("--- Stopping Tarvosk plugin ---"), std::string::npos) << log;
        EXPECT_EQ(ReadAll(png), whole.substr(0, length)) << "the texture is only read";
    }
}

TEST_F(TruncatedTexture, CutPngGivesWayToTheNextCandidate) {
    Cut(dataFolder_ / "TVKdefault.png", 100);
    WriteAll(dataFolder_ / "TVKdefault.tga", Tga4x4());
    RunAndStop();
    EXPECT_NE(PluginLog().find(TugLoaded()), std::string::npos) << PluginLog();

    WriteAll(dataFolder_ / "TVKdefault.tga", Tga4x4().substr(0, 40));
    WriteAll(dataFolder_ / "TVKdefault.bmp", Bmp4x4());
    fs::remove(dataFolder_ / "Tarvosk.log");
    RunAndStop();
    EXPECT_NE(PluginLog().find(TugLoaded()), std::string::npos) << PluginLog();
}

TEST_F(TruncatedTexture, CutTgaAndBmpFailCleanly) {
    fs::remove(dataFolder_ / "TVKdefault.png");
    const std::string tga = Tga4x4(), bmp = Bmp4x4();
    for (std::size_t length : {std::size_t{3}, std::size_t{18}, tga.size() - 1}) {
        SCOPED_TRACE("TGA cut at " + std::to_string(length));
        WriteAll(dataFolder_ / "TVKdefault.tga", tga.substr(0, length));
        fs::remove(dataFolder_ / "Tarvosk.log");
        RunAndStop();
        EXPECT_NE(PluginLog().find(TugFailed() + (dataFolder_ / "TVKdefault.tga").string()),
                  std::string::npos)
            << PluginLog();
    }
    fs::remove(dataFolder_ / "TVKdefault.tga");
    for (std::size_t length : {std::size_t{2}, std::size_t{54}, bmp.size() - 1}) {
        SCOPED_TRACE("BMP cut at " + std::to_string(length));
        WriteAll(dataFolder_ / "TVKdefault.bmp", bmp.substr(0, length));
        fs::remove(dataFolder_ / "Tarvosk.log");
        RunAndStop();
        EXPECT_NE(PluginLog().find(TugFailed() + (dataFolder_ / "TVKdefault.bmp").string()),
                  std::string::npos)
            << PluginLog();
    }
}

// X-Plane 12 has no transparent-panel setting. The plug-in's start-up gate does not ask for it,
// so Tarvosk starts, orders pushbacks and touches no missing dataref at every version.
TEST(SimulatorVersions, StartsWithOrWithoutTheTransparentPanelSetting) {
    for (int version : {11550, 12000, 12100}) {
        simhost::HostConfig config;
        config.sandbox =
            fs::path(TARVOSK_TEST_SANDBOXES) / ("SimulatorVersions." + std::to_string(version));
        config.xplaneVersion = version;
        std::string error;
        ASSERT_TRUE(simhost::EmptyOwnedFolder(config.sandbox, &error)) << error;
        ASSERT_TRUE(simhost::Reset(config, &error)) << error;
        EXPECT_EQ(simhost::DatarefExists("sim/graphics/settings/transparent_panel"),
                  version < 12000);
        const int plugin = simhost::LoadPlugin(TARVOSK_XPL, &error);
        ASSERT_GT(plugin, 0) << error;
        ASSERT_TRUE(simhost::StartPlugin(plugin));
        ASSERT_TRUE(simhost::EnablePlugin(plugin));
        simhost::RunFrames(30);
        int visible = 0;
        for (const auto& window : simhost::Windows()) {
            visible += window.visible;
            for (const std::string& line : window.textLastFrame)
                EXPECT_EQ(line.find("not compatible"), std::string::npos) << version;
        }
        EXPECT_EQ(visible, 0) << "a window opened at version " << version;
        EXPECT_TRUE(simhost::ChooseMenuItem("Plugins/Tarvosk/Push straight back"));
        EXPECT_EQ(simhost::GetDataref("quorren/tarvosk/PBstatus"), 1.0) << version;
        simhost::RunSeconds(10);
        simhost::UnloadPlugin(plugin);
        const std::string log =
            ReadAll(simhost::Sandbox() / "Resources/plugins/Tarvosk/Tarvosk.log");
        EXPECT_EQ(log.find("Data refs initialisation problems"), std::string::npos) << version;
        EXPECT_EQ(simhost::BadHandleAccesses(), 0) << version;
        EXPECT_EQ(simhost::PluginFaults(), 0) << version;
    }
}

}  // namespace
