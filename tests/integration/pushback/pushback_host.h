// A simulated host with the real Tarvosk.xpl loaded, started and enabled, the default
// airliner at its stand (heading 275.4, parking brake set), at 30 frames per second.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>

#include "simhost/simhost.h"

namespace tarvosk::testing {

inline constexpr const char* kPBstatus = "quorren/tarvosk/PBstatus";
inline constexpr const char* kGPUstatus = "quorren/tarvosk/GPUstatus";
inline constexpr const char* kTruckX = "quorren/tarvosk/truck/position_ogl_x";
inline constexpr const char* kTruckY = "quorren/tarvosk/truck/position_ogl_y";
inline constexpr const char* kTruckZ = "quorren/tarvosk/truck/position_ogl_z";
inline constexpr const char* kTruckHeading = "quorren/tarvosk/truck/position_hdg";
inline constexpr const char* kParkBrake = "sim/flightmodel/controls/parkbrake";
inline constexpr const char* kPsi = "sim/flightmodel/position/psi";
inline constexpr const char* kLocalX = "sim/flightmodel/position/local_x";
inline constexpr const char* kLocalY = "sim/flightmodel/position/local_y";
inline constexpr const char* kLocalZ = "sim/flightmodel/position/local_z";
inline constexpr const char* kTextOut = "sim/operation/prefs/text_out";
inline constexpr const char* kMenu = "Plugins/Tarvosk/";

class PushbackHost : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // For variants: the host's configuration, and the sandbox before the plug-in loads.
    virtual void Configure(simhost::HostConfig&) {}
    virtual void BeforeLoad(const std::filesystem::path& /*sandbox*/) {}

    // Runs frame by frame until `done` holds; false when `seconds` pass first.
    bool RunUntil(const std::function<bool()>& done, double seconds);

    bool Choose(const std::string& item) { return simhost::ChooseMenuItem(kMenu + item); }
    static double Get(const char* name, int index = 0) { return simhost::GetDataref(name, index); }
    static bool Set(const char* name, double value) { return simhost::SetDataref(name, value); }

    // Times at which the host was asked to speak `text` (exactly).
    static std::vector<double> SpeechTimes(const std::string& text);
    static int SpeechCount() { return static_cast<int>(simhost::Speech().size()); }
    // Times at which the plug-in sent `message` to every plug-in.
    static std::vector<double> BroadcastTimes(int message);
    // True when some window (legacy or widget) showed a line equal to `text` in the last frame.
    static bool WindowShows(const std::string& text);

    // Orders a pushback from the menu and runs until the crew has finished (PBstatus 0).
    bool PushToTheEnd(const std::string& item, double seconds = 400.0);

    int plugin_ = -1;
};

}  // namespace tarvosk::testing
