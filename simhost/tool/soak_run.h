// The soak's state and model, shared by its files: the random operations
// (soak_operations.cpp), the invariants checked after each one and every frame
// (soak_checks.cpp), and the run (soak.cpp).
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "simhost/files.h"
#include "simhost/simhost.h"
#include "soak.h"

namespace simhost::soak {

namespace fs = std::filesystem;

const char* const kPBstatus = "quorren/tarvosk/PBstatus";
const char* const kGPUstatus = "quorren/tarvosk/GPUstatus";
const char* const kPublished[] = {kPBstatus,
                                  kGPUstatus,
                                  "quorren/tarvosk/truck/position_ogl_x",
                                  "quorren/tarvosk/truck/position_ogl_y",
                                  "quorren/tarvosk/truck/position_ogl_z",
                                  "quorren/tarvosk/truck/position_hdg",
                                  "quorren/tarvosk/GPU/position_ogl_x",
                                  "quorren/tarvosk/GPU/position_ogl_y",
                                  "quorren/tarvosk/GPU/position_ogl_z"};
const char* const kManualMode = "quorren/tarvosk/manual/mode";
const char* const kManualSteer = "quorren/tarvosk/manual/steer";
const char* const kSpeed = "quorren/tarvosk/speed";
const char* const kHalting = "tarvosk/diagnostics/halting";
const char* const kTrafficHold = "quorren/tarvosk/traffic_hold";
// Metres our footprint may overlap another's before the soak calls it a collision.
constexpr double kFootprintTolerance = 1.5;
const char* const kParkBrake = "sim/flightmodel/controls/parkbrake";
const char* const kLocalX = "sim/flightmodel/position/local_x";
const char* const kLocalZ = "sim/flightmodel/position/local_z";

// The settings keys the plug-in writes at every stop, and the shape of their values.
const char* const kSwitches[] = {"SWITCH_VIEW",  "AURAL_CREW_MESSAGE", "WRITTEN_CREW_MESSAGE",
                                 "DRAW_TRUCK",   "FRONT_WHEEL",        "HANDLE_GPU",
                                 "ALLOW_ENGN_ON"};

class Soak;

// One kind of operation: a weight for the draw and what it does. `run` returns a description
// good enough to repeat it by hand; an empty description means "skipped".
struct Operation {
    const char* name;
    int weight;
    std::function<std::string(Soak&)> run;
};

class Soak {
  public:
    explicit Soak(const SoakOptions& options) : options_(options), random_(options.seed) {}
    int Run();

    // ---- helpers for the operations --------------------------------------------------------
    std::mt19937_64& Random() { return random_; }
    int Below(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }
    double Uniform(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random_);
    }
    // Any value another plug-in might write: small codes, extremes, NaN and infinities.
    double AnyValue() {
        switch (Below(10)) {
            case 0:
                return Below(7) - 1;
            case 1:
                return std::nan("");
            case 2:
                return Below(2) ? INFINITY : -INFINITY;
            case 3:
                return Below(2) ? 2147483647.0 : -2147483648.0;
            case 4:
                return Below(2) ? 1e30 : -1e30;
            case 5:
                return static_cast<double>(static_cast<std::int32_t>(random_()));
            default:
                return Uniform(-1000, 1000);
        }
    }
    bool Loaded() const { return plugin_ > 0; }
    bool Load();
    std::string Restart();
    std::string EnableDisable();
    std::string ChooseAnyMenuItem();
    std::string RunAnyCommand();
    std::string UseAnyWidget();
    std::string KeyToSniffer();
    // Closes windows a user would have closed before opening more, so the bounds below mean
    // something: the plug-in itself opens a new message box per request (Preferences comes to
    // the front instead, so there is never more than one).
    void TidyWindows();
    void Fail(const std::string& why) {
        if (broken_.empty()) broken_ = why;
    }

  private:
    void Check(const std::string& operation);
    bool SettingsFromNewPreferencesWindow(std::map<std::string, std::string>* settings);
    bool StopAndCheck(std::string* contents);
    bool ResetHost(int version, const std::string& driver);
    void CheckFrame();
    void CheckGpuViews();
    void CheckTrafficClear(double x, double z);
    bool CheckPropertiesFile(std::string* contents,
                             std::map<std::string, std::string>* parsed = nullptr);

    SoakOptions options_;
    std::mt19937_64 random_;
    int plugin_ = -1;
    std::string broken_;
    std::set<std::string> crewTexts_;
    std::size_t speechSeen_ = 0;
    double lastX_ = 0, lastZ_ = 0;
    // The frame before: was a pause or "stop here" holding the aircraft at a halt, and what
    // a manual kind's speed was (NaN when none ran or the frame does not count).
    bool heldStill_ = false;
    double lastSpeed_ = NAN;
    bool skipRateCheck_ = false;
    double gpuDisagreeSince_ = NAN;  // when the GPU's views last started to disagree
    std::string gpuDisagreement_;
    std::size_t messagesSeen_ = 0;
    int lastGpuBroadcast_ = 0;  // the plug-in was disabled: its next step spans that time
    long long frames_ = 0, restarts_ = 0, checks_ = 0, settingsChecks_ = 0;
    long long trafficChecks_ = 0;                  // other aircraft checked against a moved push
    long long manualFrames_ = 0, heldFrames_ = 0;  // frames the two new frame checks applied to
    long long widgetActions_ = 0, commandsRun_ = 0, sniffedKeys_ = 0;
    int maxInstances_ = 0, maxObjects_ = 0, maxPreferences_ = 0, maxBoxes_ = 0;
    std::map<std::string, long long> versionsRun_;
};

// Widget classes, types and properties as the host's widget library numbers them.
constexpr int kMainWindowClass = 1, kButtonClass = 3, kScrollBarClass = 5;
constexpr int kButtonType = 1300, kButtonState = 1302, kSliderPosition = 1500;
constexpr int kSliderMin = 1501, kSliderMax = 1502;
constexpr int kPushButton = 0;
const char* const kPreferencesTitle = "Tarvosk Preferences";
const char* const kAboutTitle = "About Tarvosk...";
// Bounds the plug-in keeps, with the soak closing windows as a user would (TidyWindows):
// one About window and one Preferences window; message boxes one more than the soak lets pile up.
constexpr int kMaxPreferences = 1, kMaxMessageBoxes = 6;
constexpr std::size_t kMaxWidgetsPerWindow = 64;
// The tug and the GPU cart: two objects, each shown as at most one instance.
constexpr int kMaxInstances = 2, kMaxObjectsLoaded = 2;

struct WindowCensus {
    std::vector<std::uintptr_t> preferences, about, boxes;
    std::vector<WidgetInfo> all;  // as Widgets() gives them
    std::map<std::uintptr_t, WidgetInfo> byId;
    std::uintptr_t RootOf(std::uintptr_t id) const {
        for (int depth = 0; depth < 64; ++depth) {
            const auto it = byId.find(id);
            if (it == byId.end() || it->second.isRoot || it->second.parent == 0) return id;
            id = it->second.parent;
        }
        return 0;
    }
};

WindowCensus TakeCensus();
// The widgets of one window in the order the host keeps them (the order they were made).
std::vector<WidgetInfo> WidgetsOf(const WindowCensus& c, std::uintptr_t root);

// The table of operations the soak draws from, with their weights.
std::vector<Operation> Operations();
// Other aircraft placed, moved and removed at random (soak_traffic.cpp).
std::string MoveOtherAircraft(Soak& s);

}  // namespace simhost::soak
