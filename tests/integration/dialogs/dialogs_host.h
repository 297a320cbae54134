// The real Tarvosk.xpl in the simulated host, for its dialogs: the menu opens them, the user
// clicks, drags and types through the host's widgets, and the settings show in the properties
// file the plug-in writes when it stops.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "simhost/simhost.h"

namespace tarvosk::testing {

class DialogsHost : public ::testing::Test {
  protected:
    void TearDown() override;

    // Host and plug-in up to enabled; `prf` (if not empty) is the properties file found there.
    void Launch(const std::string& prf = "", simhost::HostConfig config = {});
    // Stops the plug-in (it writes the properties file) and returns the file's lines.
    std::vector<std::string> StopAndReadProperties();

    bool Choose(const std::string& item);
    // The visible widget showing `descriptor` (0 when none) and clicks on it as a user would.
    static std::uintptr_t Find(const std::string& descriptor);
    static bool Click(const std::string& descriptor);
    // Visible main windows titled `title`.
    static std::vector<simhost::WidgetInfo> MainWindows(const std::string& title);
    static bool Shows(const std::string& text);  // drawn in some window in the last frame
    // A key pressed and released (sniffers first, then the hot keys).
    static void Press(int virtualKey);
    static int HotKeyToggles();  // truck-view hot key presses the host delivered so far

    std::filesystem::path sandbox_;
    int plugin_ = -1;
};

inline constexpr const char* kOk = "  OK  ";
inline constexpr const char* kFrontGear = "PushBack on front gear";
inline constexpr const char* kRearGear = "PushBack on rear gear";

}  // namespace tarvosk::testing
