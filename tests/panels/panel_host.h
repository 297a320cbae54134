// The toolkit against the simulated host, in-process: a fresh host per test with a plug-in
// identity that owns the windows a test builds.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "panels/QN_Panel.h"
#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace tarvosk::testing {

class PanelHost : public ::testing::Test {
  protected:
    void SetUp() override { Boot(); }
    void TearDown() override {
        for (PanelWindow* w : OpenPanelWindows()) DestroyPanelWindow(w);
    }

    void Boot(int screenWidth = 1920, int screenHeight = 1080) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        simhost::HostConfig config;
        config.sandbox = std::filesystem::temp_directory_path() / "tarvosk-panel-tests" /
                         (std::string(info->test_suite_name()) + "." + info->name());
        std::string why;
        simhost::Shutdown();  // the last host's files are closed before its folder is emptied
        ASSERT_TRUE(simhost::EmptyOwnedFolder(config.sandbox, &why)) << why;
        config.screenWidth = screenWidth;
        config.screenHeight = screenHeight;
        std::string error;
        ASSERT_TRUE(simhost::Reset(config, &error)) << error;
        plugin = simhost::AttachInProcessPlugin(
            "Tarvosk", config.sandbox / "Resources" / "plugins" / "Tarvosk.xpl");
        ASSERT_GT(plugin, 0);
    }

    struct Rect {
        int left, top, right, bottom;
    };
    static Rect Geometry(XPWidgetID widget) {
        Rect r{};
        XPGetWidgetGeometry(widget, &r.left, &r.top, &r.right, &r.bottom);
        return r;
    }

    int plugin = -1;
};

}  // namespace tarvosk::testing
