#include "dialogs_host.h"

#include <fstream>

#include "simhost/owned_folder.h"

namespace tarvosk::testing {

namespace fs = std::filesystem;

void DialogsHost::Launch(const std::string& prf, simhost::HostConfig config) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    sandbox_ = fs::path(TARVOSK_TEST_SANDBOXES) /
               (std::string(info->test_suite_name()) + "." + info->name());
    std::string error;
    ASSERT_TRUE(simhost::EmptyOwnedFolder(sandbox_, &error)) << error;
    config.sandbox = sandbox_;
    ASSERT_TRUE(simhost::Reset(config, &error)) << error;
    const fs::path content(TARVOSK_CONTENT_DIR);
    if (fs::exists(content)) {
        fs::create_directories(sandbox_ / "Resources/plugins");
        fs::copy(content, sandbox_ / "Resources/plugins/Tarvosk",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    if (!prf.empty()) {
        fs::create_directories(sandbox_ / "Output/preferences");
        std::ofstream(sandbox_ / "Output/preferences/Quorren.Tarvosk.prf") << prf;
    }
    plugin_ = simhost::LoadPlugin(TARVOSK_XPL, &error);
    ASSERT_GT(plugin_, 0) << error;
    ASSERT_TRUE(simhost::StartPlugin(plugin_));
    ASSERT_TRUE(simhost::EnablePlugin(plugin_));
    simhost::RunFrames(2);
}

void DialogsHost::TearDown() {
    if (plugin_ > 0) {
        simhost::DisablePlugin(plugin_);
        simhost::StopPlugin(plugin_);
        simhost::UnloadPlugin(plugin_);
    }
    EXPECT_EQ(simhost::PluginFaults(), 0);
    EXPECT_EQ(simhost::BadHandleAccesses(), 0);
}

std::vector<std::string> DialogsHost::StopAndReadProperties() {
    simhost::DisablePlugin(plugin_);
    simhost::StopPlugin(plugin_);
    simhost::UnloadPlugin(plugin_);
    plugin_ = -1;
    std::vector<std::string> lines;
    std::ifstream in(sandbox_ / "Output/preferences/Quorren.Tarvosk.prf");
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool DialogsHost::Choose(const std::string& item) {
    const bool ok = simhost::ChooseMenuItem("Plugins/Tarvosk/" + item);
    simhost::RunFrames(1);
    return ok;
}

std::uintptr_t DialogsHost::Find(const std::string& descriptor) {
    return simhost::FindWidgetToClick(descriptor);
}

bool DialogsHost::Click(const std::string& descriptor) {
    const std::uintptr_t id = Find(descriptor);
    const bool ok = id != 0 && simhost::ClickWidget(id);
    simhost::RunFrames(1);
    return ok;
}

std::vector<simhost::WidgetInfo> DialogsHost::MainWindows(const std::string& title) {
    std::vector<simhost::WidgetInfo> found;
    for (const simhost::WidgetInfo& w : simhost::Widgets()) {
        if (w.isRoot && w.widgetClass == xpWidgetClass_MainWindow && w.descriptor == title &&
            w.visible) {
            found.push_back(w);
        }
    }
    return found;
}

bool DialogsHost::Shows(const std::string& text) {
    for (const simhost::WidgetInfo& w : simhost::Widgets()) {
        for (const std::string& line : w.textLastFrame) {
            if (line == text) return true;
        }
    }
    return false;
}

void DialogsHost::Press(int virtualKey) {
    simhost::PressKey(virtualKey, xplm_DownFlag);
    simhost::PressKey(virtualKey, xplm_UpFlag);
    simhost::RunFrames(1);
}

int DialogsHost::HotKeyToggles() {
    int count = 0;
    for (const simhost::TimelineEvent& e : simhost::Timeline()) {
        if (e.text == "hot key: Toggle truckview") ++count;
    }
    return count;
}

}  // namespace tarvosk::testing
