// The ground power unit: warm-up, broadcasts and replies, battery feed, disconnection.
#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

constexpr int kWarmingUp = static_cast<int>(0x88888881u);
constexpr int kRunning = static_cast<int>(0x88888882u);
constexpr int kOff = static_cast<int>(0x88888883u);
constexpr int kStatusQuery = static_cast<int>(0x8888888Bu);
constexpr const char* kBattery = "sim/flightmodel/engine/ENGN_bat_volt";

TEST_F(PushbackHost, GpuWarmsUpForFifteenSecondsThenRuns) {
    const double t0 = simhost::Now();
    ASSERT_TRUE(Choose("GPU"));
    EXPECT_EQ(simhost::MenuItemCheck("Plugins/Tarvosk/GPU"), 2);
    EXPECT_EQ(SpeechTimes("Roger TVK320 GPU is hooked up and warming up").size(), 1u);
    EXPECT_EQ(Get(kGPUstatus), 1.0);

    simhost::RunSeconds(14.8);
    EXPECT_EQ(Get(kGPUstatus), 1.0);
    EXPECT_TRUE(BroadcastTimes(kRunning).empty());
    simhost::SendMessageFromHost(plugin_, kStatusQuery, nullptr);
    EXPECT_EQ(BroadcastTimes(kWarmingUp).size(), 1u);

    ASSERT_TRUE(RunUntil([] { return Get(kGPUstatus) == 2.0; }, 1.0));
    EXPECT_NEAR(simhost::Now() - t0, 15.0, 2.0 / 30.0);
    EXPECT_EQ(BroadcastTimes(kRunning).size(), 1u);
    EXPECT_EQ(SpeechTimes("TVK320 GPU is running").size(), 1u);

    ASSERT_TRUE(Choose("GPU"));
    EXPECT_EQ(simhost::MenuItemCheck("Plugins/Tarvosk/GPU"), 1);
    EXPECT_EQ(SpeechTimes("TVK320 GPU is OFF and disconnected").size(), 1u);
    EXPECT_EQ(BroadcastTimes(kOff).size(), 1u);
    EXPECT_EQ(Get(kGPUstatus), 0.0);
}

TEST_F(PushbackHost, DisconnectDuringWarmUpCancelsIt) {
    ASSERT_TRUE(Choose("GPU"));
    simhost::RunSeconds(10.0);
    ASSERT_TRUE(Choose("GPU"));
    EXPECT_EQ(BroadcastTimes(kOff).size(), 1u);
    simhost::RunSeconds(20.0);
    EXPECT_TRUE(BroadcastTimes(kRunning).empty());
    EXPECT_TRUE(SpeechTimes("TVK320 GPU is running").empty());
    EXPECT_EQ(Get(kGPUstatus), 0.0);
}

// X-Plane 9.40: no external-power switch, so the running GPU feeds the batteries itself.
class NoExternalPowerHost : public PushbackHost {
  protected:
    void Configure(simhost::HostConfig& config) override { config.xplaneVersion = 940; }
};

TEST_F(NoExternalPowerHost, BatteryFeedStopsAtTwentyFourVolts) {
    ASSERT_TRUE(simhost::SetDatarefArray(kBattery, {23.9f, 23.9f}));
    ASSERT_TRUE(Choose("GPU"));
    ASSERT_TRUE(RunUntil([] { return Get(kGPUstatus) == 2.0; }, 16.0));
    // The feed grows with its own age: 0.1 V takes about 15.5 s at 30 frames per second.
    simhost::RunSeconds(10.0);
    EXPECT_GT(Get(kBattery, 0), 23.9);
    EXPECT_LT(Get(kBattery, 0), 24.0);
    simhost::RunSeconds(20.0);
    EXPECT_EQ(Get(kBattery, 0), 24.0);
    EXPECT_EQ(Get(kBattery, 1), 24.0);
    simhost::RunSeconds(20.0);
    EXPECT_EQ(Get(kBattery, 0), 24.0);
}

TEST_F(NoExternalPowerHost, NoBatteryFeedMessageLeavesTheBatteriesAlone) {
    simhost::SendMessageFromHost(plugin_, static_cast<int>(0x8888888Cu), nullptr);
    ASSERT_TRUE(Choose("GPU"));
    const double volts = Get(kBattery, 0);
    ASSERT_TRUE(RunUntil([] { return Get(kGPUstatus) == 2.0; }, 16.0));
    simhost::RunSeconds(30.0);
    EXPECT_EQ(Get(kBattery, 0), volts);
}

TEST_F(PushbackHost, ConnectMessagesAndRepeatedConnectsNeverRunTwoLoops) {
    simhost::SendMessageFromHost(plugin_, static_cast<int>(0x88888889u), nullptr);
    EXPECT_EQ(Get(kGPUstatus), 1.0);
    ASSERT_TRUE(RunUntil([] { return Get(kGPUstatus) == 2.0; }, 16.0));
    simhost::RunSeconds(2.0);
    // Connecting again warms up anew, with the feed still registered.
    ASSERT_TRUE(Set(kGPUstatus, 1.0));
    EXPECT_EQ(Get(kGPUstatus), 1.0);
    ASSERT_TRUE(RunUntil([] { return Get(kGPUstatus) == 2.0; }, 16.0));
    EXPECT_EQ(BroadcastTimes(kRunning).size(), 2u);
    simhost::SendMessageFromHost(plugin_, static_cast<int>(0x8888888Au), nullptr);
    EXPECT_EQ(Get(kGPUstatus), 0.0);
    ASSERT_TRUE(Set(kGPUstatus, 1.0));
    ASSERT_TRUE(RunUntil([] { return Get(kGPUstatus) == 2.0; }, 16.0));
    EXPECT_EQ(BroadcastTimes(kRunning).size(), 3u);
    EXPECT_EQ(simhost::FlightLoopDoubleRegistrations(), 0);
}

TEST_F(PushbackHost, PresenceQueryIsAnsweredWhateverTheState) {
    simhost::SendMessageFromHost(plugin_, static_cast<int>(0x88888880u), nullptr);
    EXPECT_EQ(BroadcastTimes(kWarmingUp).size(), 1u);
    simhost::SendMessageFromHost(plugin_, kStatusQuery, nullptr);
    EXPECT_EQ(BroadcastTimes(kOff).size(), 1u);
}

}  // namespace
}  // namespace tarvosk::testing
