#include "pushback_host.h"

#include <filesystem>

#include "simhost/owned_folder.h"

namespace tarvosk::testing {

namespace fs = std::filesystem;

void PushbackHost::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    simhost::HostConfig config;
    config.sandbox = fs::path(TARVOSK_TEST_SANDBOXES) / name;
    std::string error;
    ASSERT_TRUE(simhost::EmptyOwnedFolder(config.sandbox, &error)) << error;
    config.framesPerSecond = 30.0;
    Configure(config);
    ASSERT_TRUE(simhost::Reset(config, &error)) << error;

    // The installed data folder beside the plug-in: the tug and the GPU cart.
    const fs::path content(TARVOSK_CONTENT_DIR);
    if (fs::exists(content)) {
        fs::create_directories(config.sandbox / "Resources/plugins");
        fs::copy(content, config.sandbox / "Resources/plugins/Tarvosk",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }

    BeforeLoad(config.sandbox);
    plugin_ = simhost::LoadPlugin(TARVOSK_XPL, &error);
    ASSERT_GT(plugin_, 0) << error;
    ASSERT_TRUE(simhost::StartPlugin(plugin_));
    ASSERT_TRUE(simhost::EnablePlugin(plugin_));
    simhost::RunFrames(1);
}

void PushbackHost::TearDown() {
    if (plugin_ > 0) {
        simhost::DisablePlugin(plugin_);
        simhost::StopPlugin(plugin_);
        simhost::UnloadPlugin(plugin_);
    }
    // Whatever a test did, no loop may have run twice and no handle may have missed.
    EXPECT_EQ(simhost::FlightLoopDoubleRegistrations(), 0);
    EXPECT_EQ(simhost::PluginFaults(), 0);
    EXPECT_EQ(simhost::BadHandleAccesses(), 0);
}

bool PushbackHost::RunUntil(const std::function<bool()>& done, double seconds) {
    const double end = simhost::Now() + seconds;
    while (!done()) {
        if (simhost::Now() >= end) return false;
        simhost::RunFrames(1);
    }
    return true;
}

std::vector<double> PushbackHost::SpeechTimes(const std::string& text) {
    std::vector<double> times;
    for (const auto& record : simhost::Speech()) {
        if (record.text == text) times.push_back(record.time);
    }
    return times;
}

std::vector<double> PushbackHost::BroadcastTimes(int message) {
    std::vector<double> times;
    for (const auto& record : simhost::SentMessages()) {
        if (record.message == message && record.to == XPLM_NO_PLUGIN_ID) {
            times.push_back(record.time);
        }
    }
    return times;
}

bool PushbackHost::WindowShows(const std::string& text) {
    for (const auto& window : simhost::Windows()) {
        for (const auto& line : window.textLastFrame) {
            if (line == text) return true;
        }
    }
    // The message box is a widget window.
    for (const auto& widget : simhost::Widgets()) {
        for (const auto& line : widget.textLastFrame) {
            if (line == text) return true;
        }
    }
    return false;
}

bool PushbackHost::PushToTheEnd(const std::string& item, double seconds) {
    if (!Choose(item)) return false;
    if (Get(kPBstatus) == 0.0) return false;
    return RunUntil([] { return Get(kPBstatus) == 0.0; }, seconds);
}

}  // namespace tarvosk::testing
