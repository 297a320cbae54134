// The start, enable, disable and stop sequences, run in-process against the simulated host.
#include <gtest/gtest.h>

#include <string>

#include "config/version.h"
#include "host_fixture.h"
#include "pushback/pushback.h"
#include "shell/lifecycle.h"

namespace tarvosk {
namespace {

using testing::ReadFile;
using testing::WriteFile;

const std::string kDefaultFile =
    "ALLOW_ENGN_ON=0\nANSWER_XP_PUSHBACK=1\nAURAL_CREW_MESSAGE=1\nDRAW_TRUCK=1\nFRONT_WHEEL="
    "1\nHANDLE_GPU=1\n"
    "MANUAL_RUDDER=1\n"
    "SPEED_PER_SECOND=0\n"
    "SWITCH_VIEW=1\nTRAFFIC_CLEARANCE=3.000000\nTRUCK_SPEED=10.000000\nTruck=TVKdefault\nTruckView_"
    "KEY=123\n"
    "TruckView_KF=8\nVERSION=" +
    std::string(kTarvoskVersion) + "\nWRITTEN_CREW_MESSAGE=1\n";

class Lifecycle : public testing::InProcessHost {
  protected:
    void TearDown() override {
        if (enabled) DisablePlugin();
        if (started) StopPlugin();
    }
    void Start() {
        char name[256], signature[256], description[256];
        ASSERT_EQ(StartPlugin(name, signature, description), 1);
        EXPECT_STREQ(name, "Tarvosk");
        EXPECT_STREQ(signature, "Quorren.Tarvosk");
        EXPECT_EQ(std::string(description).rfind("A plugIn enabling airplane push back.", 0), 0u);
        started = true;
    }
    void Enable() {
        ASSERT_EQ(EnablePlugin(), 1);
        enabled = true;
    }
    void Disable() {
        DisablePlugin();
        enabled = false;
    }
    void Stop() {
        StopPlugin();
        started = false;
    }
    std::filesystem::path PrefsFile() {
        return sandbox / "Output" / "preferences" / "Quorren.Tarvosk.prf";
    }
    std::string LogText() { return ReadFile(dataFolder / "Tarvosk.log"); }

    bool started = false, enabled = false;
};

TEST_F(Lifecycle, FirstRunUsesDefaultsAndStopWritesTheThirteenKeys) {
    Boot();
    Start();
    EXPECT_EQ(gSettings.Truck, "");
    Enable();
    EXPECT_EQ(gSettings.Truck, "TVKdefault");
    EXPECT_TRUE(gSettings.SWITCH_VIEW);
    EXPECT_EQ(gSettings.TruckView_KEY, 123);
    EXPECT_DOUBLE_EQ(gSettings.truckSpeedFactor, 0.1);
    EXPECT_FALSE(std::filesystem::exists(PrefsFile()));  // written by the stop only
    Disable();
    Stop();
    EXPECT_EQ(ReadFile(PrefsFile()), kDefaultFile);
    EXPECT_EQ(simhost::BadHandleAccesses(), 0);
}

TEST_F(Lifecycle, DisableEnableBeforeTheFirstStopBringsBackTheDefaults) {
    Boot();
    Start();
    Enable();
    gSettings.SWITCH_VIEW = false;
    gSettings.TRUCK_SPEED = 25.0f;
    Disable();
    Enable();  // the file still does not exist
    EXPECT_TRUE(gSettings.SWITCH_VIEW);
    EXPECT_EQ(gSettings.TRUCK_SPEED, 10.0f);
}

TEST_F(Lifecycle, ExistingFileIsReadAtEnableAndKeepsUnknownKeys) {
    Boot();
    testing::WriteFile(dataFolder / "Tug.obj", "");
    WriteFile(PrefsFile(),
              "TRUCK_SPEED=25.000000\nSWITCH_VIEW=0\nTruckView_KEY=113\nTruckView_KF=0\n"
              "Truck=Tug\nSomeoneElse=keep me\n");
    Start();
    Enable();
    EXPECT_EQ(gSettings.TRUCK_SPEED, 25.0f);
    EXPECT_DOUBLE_EQ(gSettings.truckSpeedFactor, 0.25);
    EXPECT_FALSE(gSettings.SWITCH_VIEW);
    EXPECT_EQ(gSettings.TruckView_KEY, 123);  // TruckView_KF=0 resets it
    EXPECT_EQ(gSettings.Truck, "Tug");
    EXPECT_EQ(simhost::MenuItemCheck("Plugins/Tarvosk/Trucks/Tug"), 2);
    // Settings changed while enabled survive a disable/enable once the file exists.
    gSettings.DRAW_TRUCK = false;
    Disable();
    Enable();
    EXPECT_FALSE(gSettings.DRAW_TRUCK);
    Disable();
    Stop();
    const std::string saved = ReadFile(PrefsFile());
    EXPECT_NE(saved.find("SomeoneElse=keep me\n"), std::string::npos);
    EXPECT_NE(saved.find("TruckView_KEY=123\nTruckView_KF=8\n"), std::string::npos);
    EXPECT_NE(saved.find("DRAW_TRUCK=0\n"), std::string::npos);
}

TEST_F(Lifecycle, HotKeyLivesFromEnableToDisable) {
    Boot();
    WriteFile(PrefsFile(), "TruckView_KEY=112\nTruckView_KF=8\n");
    Start();
    Enable();
    EXPECT_TRUE(simhost::PressKey(112, xplm_DownFlag));
    EXPECT_FALSE(simhost::PressKey(123, xplm_DownFlag));
    Disable();
    EXPECT_FALSE(simhost::PressKey(112, xplm_DownFlag));
}

TEST_F(Lifecycle, OldSimulatorsKeepThePropertiesInTheDataFolder) {
    simhost::HostConfig config;
    config.xplaneVersion = 699;
    Boot(config);
    Start();
    Enable();
    Disable();
    Stop();
    EXPECT_EQ(ReadFile(dataFolder / "Quorren.Tarvosk.prf"), kDefaultFile);
    EXPECT_FALSE(std::filesystem::exists(PrefsFile()));
}

TEST_F(Lifecycle, MissingRequiredDatarefShowsWhyAndTheMenuStays) {
    simhost::HostConfig config;
    config.omitDatarefs = {"sim/flightmodel/position/R"};
    Boot(config);
    Start();
    EXPECT_NE(LogText().find("\nData refs initialisation problems\n"), std::string::npos);
    EXPECT_FALSE(simhost::MenuItemNames("Plugins/Tarvosk").empty());
    simhost::RunFrames(1);
    // The message box: a widget window titled "Tarvosk" with the two lines and an OK button.
    std::vector<simhost::WidgetInfo> boxes;
    for (const auto& w : simhost::Widgets()) {
        if (w.isRoot && w.visible) boxes.push_back(w);
    }
    ASSERT_EQ(boxes.size(), 1u);
    const auto& text = boxes[0].textLastFrame;
    ASSERT_EQ(text.size(), 4u);
    EXPECT_EQ(text[0], "Tarvosk");
    EXPECT_EQ(text[1], "This version of Tarvosk is not compatible ");
    EXPECT_EQ(text[2], " with this version of X-Plane.");
    EXPECT_EQ(text[3], "OK");
    // Its OK closes it.
    ASSERT_TRUE(simhost::ClickWidget(simhost::FindWidgetToClick("OK")));
    simhost::RunFrames(1);
    for (const auto& w : simhost::Widgets()) EXPECT_FALSE(w.isRoot && w.visible);
    Enable();  // the plug-in carries on
}

TEST_F(Lifecycle, OptionalDatarefMissingPassesTheGate) {
    simhost::HostConfig config;
    config.omitDatarefs = {"sim/aircraft/view/acf_size_z"};
    Boot(config);
    Start();
    EXPECT_EQ(LogText().find("Data refs initialisation problems"), std::string::npos);
    EXPECT_TRUE(simhost::Windows().empty());
    EXPECT_TRUE(simhost::Widgets().empty());
}

TEST_F(Lifecycle, MessagesReachTheGpuAndStopEverything) {
    Boot();
    Start();
    Enable();
    ReceiveMessage(0, kGpuQuery, nullptr);
    const auto& sent = simhost::SentMessages();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().to, XPLM_NO_PLUGIN_ID);
    EXPECT_EQ(sent.back().message, kGpuWarmingUp);

    ReceiveMessage(0, kGpuConnect, nullptr);
    EXPECT_TRUE(gGpu.gpuConnected);
    ReceiveMessage(0, kGpuConnect, nullptr);  // connects again, whatever the state
    EXPECT_TRUE(gGpu.gpuConnected);
    ReceiveMessage(0, kGpuNoBatteryFeed, nullptr);
    EXPECT_FALSE(gGpu.batteryFeedEnabled);
    ReceiveMessage(0, XPLM_MSG_AIRPORT_LOADED, nullptr);
    EXPECT_FALSE(gGpu.gpuConnected);
    EXPECT_FALSE(gGpu.gpuVisible);
    ReceiveMessage(0, kGpuConnect, nullptr);
    ReceiveMessage(0, kGpuDisconnect, nullptr);
    EXPECT_FALSE(gGpu.gpuConnected);
}

}  // namespace
}  // namespace tarvosk
