// A simulated host with the plug-in attached in-process, in a fresh sandbox per test, so the
// shell's own functions can be called and its state inspected directly.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/settings.h"
#include "simhost/simhost.h"
#include "test_folder.h"
#include "xplm/host.h"

namespace tarvosk::testing {

class InProcessHost : public ::testing::Test {
  protected:
    // Resets the host on a fresh sandbox and attaches the plug-in as ".../plugins/Tarvosk.xpl",
    // with an existing (empty) data folder and the settings as a fresh library load has them.
    void Boot(simhost::HostConfig config = {}) {
        simhost::Shutdown();  // the last host's files are closed before its folder is emptied
        sandbox = FreshFolder() / "X-Plane";
        config.sandbox = sandbox;
        std::string error;
        ASSERT_TRUE(simhost::Reset(config, &error)) << error;
        sandbox = std::filesystem::weakly_canonical(sandbox);
        dataFolder = sandbox / "Resources" / "plugins" / "Tarvosk";
        std::filesystem::create_directories(dataFolder / "GroundServices");
        pluginId = simhost::AttachInProcessPlugin(
            "Tarvosk", sandbox / "Resources" / "plugins" / "Tarvosk.xpl");
        ASSERT_GT(pluginId, 0);
        gSettings = Settings{};
    }

    // A folder as the host hands it to the plug-in: the host's separators, one at the end.
    static std::string Folder(const std::filesystem::path& path) {
        return Native(path.string() + "/");
    }
    // `text` with each "/" the host's separator ("\\" on Windows).
    static std::string Native(std::string text) {
        for (char& c : text)
            if (c == '/') c = XPLMGetDirectorySeparator()[0];
        return text;
    }

    std::filesystem::path sandbox;
    std::filesystem::path dataFolder;
    int pluginId = -1;
};

}  // namespace tarvosk::testing
