// The shipped plug-in binary through its whole life in the simulated host: the exact log, the
// properties file, persistence between runs and the start-up gate.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/version.h"
#include "simhost/simhost.h"
#include "test_folder.h"
#include "xplm/host.h"

namespace {

namespace fs = std::filesystem;
using tarvosk::kTarvoskVersion;
using tarvosk::testing::ReadFile;
using tarvosk::testing::WriteFile;

const std::string kDefaultFile =
    "ALLOW_ENGN_ON=0\nANSWER_XP_PUSHBACK=1\nAURAL_CREW_MESSAGE=1\nDRAW_TRUCK=1\nFRONT_WHEEL="
    "1\nHANDLE_GPU=1\n"
    "MANUAL_RUDDER=1\n"
    "SPEED_PER_SECOND=0\n"
    "SWITCH_VIEW=1\nTRAFFIC_CLEARANCE=3.000000\nTRUCK_SPEED=10.000000\nTruck=TVKdefault\nTruckView_"
    "KEY=123\n"
    "TruckView_KF=8\nVERSION=" +
    std::string(kTarvoskVersion) + "\nWRITTEN_CREW_MESSAGE=1\n";

class Foundation : public ::testing::Test {
  protected:
    void SetUp() override { sandbox = tarvosk::testing::FreshFolder() / "X-Plane"; }

    // Resets the host on the (kept) sandbox and loads and starts the plug-in.
    void Load(simhost::HostConfig config = {}) {
        config.sandbox = sandbox;
        std::string error;
        ASSERT_TRUE(simhost::Reset(config, &error)) << error;
        sandbox = fs::weakly_canonical(sandbox);
        data = sandbox / "Resources" / "plugins" / "Tarvosk";
        prefs = sandbox / "Output" / "preferences" / "Quorren.Tarvosk.prf";
        fs::create_directories(data / "GroundServices");
        id = simhost::LoadPlugin(TARVOSK_XPL, &error);
        ASSERT_GT(id, 0) << error;
        ASSERT_TRUE(simhost::StartPlugin(id));
        ASSERT_TRUE(simhost::EnablePlugin(id));
    }

    // After a failed start-up gate, reads through the missing handles are expected (and
    // harmless); otherwise there must be none.
    void RunToTheEnd(bool allHandlesFound = true) {
        simhost::RunFrames(30);
        simhost::DisablePlugin(id);
        simhost::StopPlugin(id);
        simhost::UnloadPlugin(id);
        EXPECT_EQ(simhost::PluginFaults(), 0);
        if (allHandlesFound) {
            EXPECT_EQ(simhost::BadHandleAccesses(), 0);
        }
    }

    std::string Log() { return ReadFile(data / "Tarvosk.log"); }

    fs::path sandbox, data, prefs;
    int id = -1;
};

TEST_F(Foundation, FatLayoutKeepsTheDataFolderAboveThePlatformFolder) {
    // Tarvosk/lin_x64/Tarvosk.xpl: the data, the log and the trucks are in Tarvosk/.
    fs::create_directories(sandbox / "Resources/plugins/Tarvosk");
    WriteFile(sandbox / "Resources/plugins/Tarvosk/Tug.obj", "");
    simhost::HostConfig config;
    config.layout = simhost::PluginLayout::Fat;
    Load(config);
    EXPECT_TRUE(fs::is_regular_file(data / "lin_x64" / "Tarvosk.xpl"));
    EXPECT_TRUE(simhost::MenuItemCheck("Plugins/Tarvosk/Trucks/Tug") >= 0);
    RunToTheEnd();
    const std::string log = Log();
    EXPECT_EQ(log.rfind("--- Starting Tarvosk ---\n", 0), 0u) << log;
    EXPECT_NE(log.find("\nTug.obj\n"), std::string::npos) << log;
    EXPECT_NE(log.find("--- Stopping Tarvosk plugin ---"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(data / "lin_x64" / "Tarvosk"));
    EXPECT_TRUE(fs::is_regular_file(prefs));
}

TEST_F(Foundation, DescriptionCarriesTheProjectVersion) {
    // One version everywhere: the one CMake's project declares (the package is named with it).
    Load();
    char description[256] = {};
    XPLMGetPluginInfo(id, nullptr, nullptr, nullptr, description);
    EXPECT_NE(std::string(description).find(std::string("Tarvosk ") + kTarvoskVersion + ","),
              std::string::npos)
        << description;
    RunToTheEnd();
}

TEST_F(Foundation, FirstRunLogsEveryStepAndWritesTheDefaults) {
    const fs::path dataFolder = sandbox / "Resources/plugins/Tarvosk";
    fs::create_directories(dataFolder / "GroundServices");
    WriteFile(dataFolder / "Tug.obj", "");
    WriteFile(dataFolder / "GroundServices" / "GPU.obj", "");
    Load();
    EXPECT_EQ(simhost::PluginName(id), "Tarvosk");
    RunToTheEnd();

    const std::string d = data.string() + "/";
    EXPECT_EQ(Log(),
              "--- Starting Tarvosk ---\n"
              "-Running on XPlane v12100\n"
              "Error: can't open QN_Properties file '" +
                  prefs.string() +
                  "'\n"
                  "Will create a new one from defaults'\n"
                  "-Plugin configuration:\n"
                  "Properties: " +
                  prefs.string() +
                  "\n"
                  "-Available trucks:\n"
                  "Tug.obj\n"
                  "-Available Ground services:\n"
                  "GPU.obj\n"
                  "-Drawing the truck and the GPU as instances (modern driver)\n"
                  "--- Enabling Tarvosk plugin ---\n"
                  "[WRNG] Failed to load object " +
                  d + "TVKdefault (path: " + d +
                  ")\n"
                  "[WRNG] cannot open " +
                  d +
                  "TVKdefault.obj: No such file or directory\n"
                  "[WRNG] Failed to load GPU object or textures " +
                  d +
                  "GroundServices/GPU\n"
                  "[WRNG] " +
                  d +
                  "GroundServices/GPU.obj: not a version-8 object (version line reads 0) (as "
                  "version 7: " +
                  d +
                  "GroundServices/GPU.obj: not a version-7 or version-2 object (version line "
                  "reads 0))\n"
                  "--- Disabling Tarvosk plugin ---\n"
                  "--- Stopping Tarvosk plugin ---\n");
    EXPECT_EQ(ReadFile(prefs), kDefaultFile);
}

TEST_F(Foundation, SecondRunInTheSameSandboxKeepsChangedSettings) {
    Load();
    RunToTheEnd();
    ASSERT_EQ(ReadFile(prefs), kDefaultFile);
    std::string edited = kDefaultFile;
    edited.replace(edited.find("DRAW_TRUCK=1"), 12, "DRAW_TRUCK=0");
    edited.replace(edited.find("TRUCK_SPEED=10"), 14, "TRUCK_SPEED=25");
    WriteFile(prefs, edited + "Another=plug-in's key\n");

    Load();
    const std::string log = Log();
    EXPECT_EQ(log.find("Error: can't open"), std::string::npos);
    EXPECT_EQ(log.rfind("--- Starting Tarvosk ---\n", 0), 0u);  // a new log per run
    EXPECT_NE(log.find("\n\tAURAL_CREW_MESSAGE=1\n\tAnother=plug-in's key\n\tDRAW_TRUCK=0\n"),
              std::string::npos);
    RunToTheEnd();
    const std::string saved = ReadFile(prefs);
    EXPECT_NE(saved.find("DRAW_TRUCK=0\n"), std::string::npos);
    EXPECT_NE(saved.find("TRUCK_SPEED=25.000000\n"), std::string::npos);
    EXPECT_EQ(saved.rfind(
                  "ALLOW_ENGN_ON=0\nANSWER_XP_PUSHBACK=1\nAURAL_CREW_MESSAGE=1\nAnother=plug-in's "
                  "key\nDRAW_TRUCK=0\n",
                  0),
              0u);
}

TEST_F(Foundation, TruckChosenFromTheMenuIsKeptForTheNextRun) {
    Load();
    RunToTheEnd();
    WriteFile(data / "Tug.obj", "");
    Load();
    ASSERT_TRUE(simhost::ChooseMenuItem("Plugins/Tarvosk/Trucks/Tug"));
    EXPECT_EQ(simhost::MenuItemCheck("Plugins/Tarvosk/Trucks/Tug"), 2);
    RunToTheEnd();
    EXPECT_NE(ReadFile(prefs).find("\nTruck=Tug\n"), std::string::npos);
}

TEST_F(Foundation, MissingRequiredDatarefLeavesThePluginLoadedAndUsable) {
    simhost::HostConfig config;
    config.omitDatarefs = {"sim/flightmodel/position/psi"};
    Load(config);
    EXPECT_TRUE(simhost::PluginEnabled(id));
    EXPECT_NE(Log().find("\nData refs initialisation problems\n"), std::string::npos);
    EXPECT_FALSE(simhost::MenuItemNames("Plugins/Tarvosk").empty());
    int boxes = 0;  // the message box, a widget window
    for (const auto& w : simhost::Widgets()) boxes += w.isRoot && w.visible ? 1 : 0;
    EXPECT_EQ(boxes, 1);
    RunToTheEnd(false);
    EXPECT_EQ(ReadFile(prefs), kDefaultFile);
}

TEST_F(Foundation, MissingDataFolderLeavesNoLogButTheRunGoesOn) {
    simhost::HostConfig config;
    config.sandbox = sandbox;
    std::string error;
    ASSERT_TRUE(simhost::Reset(config, &error)) << error;
    const fs::path plugins = fs::weakly_canonical(sandbox) / "Resources/plugins";
    int plugin = simhost::LoadPlugin(TARVOSK_XPL, &error);
    ASSERT_GT(plugin, 0) << error;
    ASSERT_TRUE(simhost::RemoveOwnedFolder(plugins / "Tarvosk", &error)) << error;
    ASSERT_TRUE(simhost::StartPlugin(plugin));
    ASSERT_TRUE(simhost::EnablePlugin(plugin));
    simhost::DisablePlugin(plugin);
    simhost::StopPlugin(plugin);
    simhost::UnloadPlugin(plugin);
    EXPECT_FALSE(fs::exists(plugins / "Tarvosk" / "Tarvosk.log"));
    EXPECT_TRUE(
        fs::exists(fs::weakly_canonical(sandbox) / "Output/preferences/Quorren.Tarvosk.prf"));
}

}  // namespace
