// Hostile files around the real plug-in: properties files of garbage, NUL bytes, CR-only line
// ends or megabytes; a log that cannot be written; thousands of trucks. Each run starts, does
// a pushback, stops, and leaves a properties file that reads back.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "simhost/simhost.h"

namespace {

namespace fs = std::filesystem;

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
        std::error_code ignored;
        fs::remove_all(config.sandbox, ignored);
        std::string error;
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
    EXPECT_NE(saved.find("\nVERSION=1.2.2b2\n"), std::string::npos);
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
    EXPECT_NE(ReadAll(prefs_).find("\nVERSION=1.2.2b2\n"), std::string::npos);
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

// X-Plane 12 has no transparent-panel setting. The plug-in's start-up gate does not ask for it,
// so Tarvosk starts, orders pushbacks and touches no missing dataref at every version.
TEST(SimulatorVersions, StartsWithOrWithoutTheTransparentPanelSetting) {
    for (int version : {11550, 12000, 12100}) {
        simhost::HostConfig config;
        config.sandbox =
            fs::path(TARVOSK_TEST_SANDBOXES) / ("SimulatorVersions." + std::to_string(version));
        config.xplaneVersion = version;
        std::error_code ignored;
        fs::remove_all(config.sandbox, ignored);
        std::string error;
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
