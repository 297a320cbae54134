#include "soak.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace simhost::soak {

namespace {

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
    bool skipRateCheck_ = false;  // the plug-in was disabled: its next step spans that time
    long long frames_ = 0, restarts_ = 0, checks_ = 0, settingsChecks_ = 0;
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

WindowCensus TakeCensus() {
    WindowCensus c;
    c.all = Widgets();
    for (const WidgetInfo& w : c.all) {
        c.byId[w.id] = w;
        if (!w.isRoot || w.widgetClass != kMainWindowClass) continue;
        if (w.descriptor == kPreferencesTitle)
            c.preferences.push_back(w.id);
        else if (w.descriptor == kAboutTitle)
            c.about.push_back(w.id);
        else
            c.boxes.push_back(w.id);
    }
    return c;
}

// The widgets of one window in the order the host keeps them (the order they were made).
std::vector<WidgetInfo> WidgetsOf(const WindowCensus& c, std::uintptr_t root) {
    std::vector<WidgetInfo> out;
    for (const WidgetInfo& w : c.all)
        if (w.id != root && c.RootOf(w.id) == root) out.push_back(w);
    return out;
}

std::vector<Operation> Operations() {
    std::vector<Operation> ops;
    ops.push_back({"time", 30, [](Soak& s) {
                       const int frames = 1 + s.Below(s.Below(10) == 0 ? 600 : 40);
                       RunFrames(frames);
                       return "run " + std::to_string(frames) + " frames";
                   }});
    ops.push_back({"menu", 12, [](Soak& s) { return s.ChooseAnyMenuItem(); }});
    ops.push_back({"published", 10, [](Soak& s) {
                       const char* name = kPublished[s.Below(9)];
                       // Mostly the status codes, which start and stop things.
                       if (s.Below(2) == 0) name = s.Below(2) ? kPBstatus : kGPUstatus;
                       const double v = s.Below(2) ? s.Below(8) - 1 : s.AnyValue();
                       SetDataref(name, v);
                       char text[160];
                       std::snprintf(text, sizeof text, "write %s = %.17g", name, v);
                       return std::string(text);
                   }});
    ops.push_back({"host data", 10, [](Soak& s) {
                       char text[160];
                       switch (s.Below(8)) {
                           case 0: {
                               const double v = s.Below(3) ? s.Below(2) : s.Uniform(0, 1);
                               SetDataref("sim/flightmodel/controls/parkbrake", v);
                               std::snprintf(text, sizeof text, "parking brake %.17g", v);
                               break;
                           }
                           case 1: {
                               if (s.Below(2)) {
                                   ReleaseDataref("sim/flightmodel/position/groundspeed");
                                   return std::string("ground speed back to the model");
                               }
                               const double v = s.Uniform(0, 60);
                               SetDataref("sim/flightmodel/position/groundspeed", v);
                               std::snprintf(text, sizeof text, "ground speed %.17g", v);
                               break;
                           }
                           case 2: {
                               if (s.Below(2)) {
                                   ReleaseDataref("sim/flightmodel/position/y_agl");
                                   return std::string("height back to the model");
                               }
                               const double v = s.Uniform(0, 100);
                               SetDataref("sim/flightmodel/position/y_agl", v);
                               std::snprintf(text, sizeof text, "height above ground %.17g", v);
                               break;
                           }
                           case 3: {
                               const int engine = s.Below(2);
                               const double v = s.Below(2) ? 0.0 : s.Uniform(0, 100);
                               SetDatarefArray("sim/flightmodel/engine/ENGN_N1_",
                                               {static_cast<float>(v)}, engine);
                               std::snprintf(text, sizeof text, "engine %d N1 %.17g", engine, v);
                               break;
                           }
                           case 4: {
                               const int v = s.Below(4) == 0;
                               SetDataref("sim/time/paused", v);
                               std::snprintf(text, sizeof text, "paused %d", v);
                               break;
                           }
                           case 5: {
                               const double v = s.Uniform(0, 1);
                               SetDataref("sim/graphics/scenery/percent_lights_on", v);
                               std::snprintf(text, sizeof text, "light level %.17g", v);
                               break;
                           }
                           case 6: {
                               const int v = s.Below(2);
                               // Absent from version 12 on: the write is then refused.
                               SetDataref("sim/graphics/settings/transparent_panel", v);
                               std::snprintf(text, sizeof text, "transparent panel %d", v);
                               break;
                           }
                           default: {
                               const double v = s.Below(2) ? 1.0 : 0.0;
                               SetDataref("sim/cockpit/switches/gear_handle_status", v);
                               std::snprintf(text, sizeof text, "gear handle %.0f", v);
                               break;
                           }
                       }
                       return std::string(text);
                   }});
    ops.push_back({"host message", 3, [](Soak& s) {
                       const int code = 102 + s.Below(3);
                       SendMessageFromHost(-1, code, nullptr);
                       return "host message " + std::to_string(code);
                   }});
    ops.push_back(
        {"gpu message", 6, [](Soak& s) {
             int code = static_cast<int>(0x88888880u + static_cast<unsigned>(s.Below(13)));
             if (s.Below(5) == 0) code = static_cast<int>(s.Random()());
             SendMessageFromHost(-1, code, nullptr);
             char text[64];
             std::snprintf(text, sizeof text, "message 0x%08X", static_cast<unsigned>(code));
             return std::string(text);
         }});
    ops.push_back({"enable pair", 2, [](Soak& s) { return s.EnableDisable(); }});
    ops.push_back({"restart", 1, [](Soak& s) { return s.Restart(); }});
    ops.push_back({"hot key", 3, [](Soak& s) {
                       const int key = s.Below(3) ? 0x7B : s.Below(256);
                       const int flags = s.Below(3) ? 0 : s.Below(8);
                       PressKey(key, flags);
                       return "key " + std::to_string(key) + " flags " + std::to_string(flags);
                   }});
    ops.push_back({"view", 2, [](Soak&) {
                       ChangeView();
                       return std::string("view change");
                   }});
    ops.push_back({"widget", 10, [](Soak& s) { return s.UseAnyWidget(); }});
    ops.push_back({"command", 6, [](Soak& s) { return s.RunAnyCommand(); }});
    ops.push_back({"sniffed key", 2, [](Soak& s) { return s.KeyToSniffer(); }});
    ops.push_back({"manual kind", 3, [](Soak& s) {
                       const bool tow = s.Below(2) == 1;
                       RunCommand(
                           tow ? "quorren/tarvosk/manual_tow" : "quorren/tarvosk/manual_push", -1);
                       std::string what = tow ? "manual tow" : "manual push";
                       if (s.Below(2)) {
                           SetDataref(kParkBrake, 0.0);
                           what += ", brake released";
                       }
                       return what;
                   }});
    ops.push_back({"pilot yaw", 2, [](Soak& s) {
                       const double v = s.Below(4) == 0 ? 0.0 : s.Uniform(-1.5, 1.5);
                       SetDataref("simhost/pilot/yaw_axis", v);
                       char text[64];
                       std::snprintf(text, sizeof text, "pilot's yaw axis %.17g", v);
                       return std::string(text);
                   }});
    ops.push_back({"cockpit steer", 2, [](Soak& s) {
                       const double v = s.Below(2) ? s.Uniform(-2, 2) : s.AnyValue();
                       SetDataref(kManualSteer, v);
                       char text[96];
                       std::snprintf(text, sizeof text, "write %s = %.17g", kManualSteer, v);
                       return std::string(text);
                   }});
    ops.push_back({"frame rate", 2, [](Soak& s) {
                       static const double kRates[] = {7.5, 15, 20, 30, 45, 60, 120};
                       const double fps = kRates[s.Below(7)];
                       SetFramesPerSecond(fps);
                       return "frame rate " + std::to_string(fps);
                   }});
    return ops;
}

bool Soak::Load() {
    std::string why;
    plugin_ = LoadPlugin(options_.plugin, &why);
    if (plugin_ < 0) {
        std::fprintf(stderr, "soak: cannot load %s: %s\n", options_.plugin.string().c_str(),
                     why.c_str());
        return false;
    }
    return StartPlugin(plugin_) && EnablePlugin(plugin_);
}

// Quit and start the simulator again in the same sandbox. The file written at the stop must
// hold every setting in its own form, and a second stop right after reading it back must
// write the very same bytes: the settings parse back to what was in memory.
std::string Soak::Restart() {
    std::string first, second;
    if (!StopAndCheck(&first)) return "restart";
    // Half the restarts come back as another simulator: X-Plane 11 drawing with OpenGL, or
    // X-Plane 12 with the modern driver only.
    std::string what = "restart";
    if (Below(2)) {
        static const struct {
            int version;
            const char* driver;
        } kSimulators[] = {{11410, "opengl"}, {12000, "modern"}, {12100, "modern"}};
        const auto& sim = kSimulators[Below(3)];
        if (!ResetHost(sim.version, sim.driver)) return what;
        what += " as " + std::to_string(sim.version) + " " + sim.driver;
    }
    if (!Load()) {
        Fail("the plug-in did not start again");
        return what;
    }
    if (!StopAndCheck(&second)) return what;
    if (first != second)
        Fail("the properties file changed over a restart with no change:\n" + first + "---\n" +
             second);
    if (!Load()) Fail("the plug-in did not start again");
    lastX_ = GetDataref(kLocalX);
    lastZ_ = GetDataref(kLocalZ);
    heldStill_ = false;
    lastSpeed_ = NAN;
    SetAfterFrameHook([this] { CheckFrame(); });
    ++restarts_;
    return what;
}

std::string Soak::EnableDisable() {
    skipRateCheck_ = true;
    DisablePlugin(plugin_);
    if (Below(2)) RunFrames(1 + Below(30));  // a while disabled
    if (!EnablePlugin(plugin_)) Fail("XPluginEnable refused after a disable");
    return "disable, enable";
}

std::string Soak::ChooseAnyMenuItem() {
    std::vector<std::string> paths;
    for (const std::string& menu :
         {std::string("Plugins/Tarvosk"), std::string("Plugins/Tarvosk/Trucks")}) {
        for (const std::string& item : MenuItemNames(menu))
            if (item != "-" && item != "Trucks") paths.push_back(menu + "/" + item);
    }
    if (paths.empty()) return {};
    const std::string& path =
        paths[static_cast<std::size_t>(Below(static_cast<int>(paths.size())))];
    ChooseMenuItem(path);
    return "menu " + path;
}

void Soak::TidyWindows() {
    const WindowCensus c = TakeCensus();
    if (static_cast<int>(c.boxes.size()) >= kMaxMessageBoxes) {
        for (const WidgetInfo& w : WidgetsOf(c, c.boxes.front()))
            if (w.widgetClass == kButtonClass) ClickWidget(w.id);
    }
}

// Any visible button, check box or slider of any window, or a window's close box: what a
// user can reach with the mouse.
std::string Soak::UseAnyWidget() {
    const WindowCensus c = TakeCensus();
    std::vector<const WidgetInfo*> targets;
    for (const WidgetInfo& w : c.all) {
        if (!w.visible) continue;
        if (w.widgetClass == kButtonClass || w.widgetClass == kScrollBarClass ||
            (w.isRoot && w.widgetClass == kMainWindowClass))
            targets.push_back(&w);
    }
    if (targets.empty()) return {};
    const WidgetInfo& w =
        *targets[static_cast<std::size_t>(Below(static_cast<int>(targets.size())))];
    const std::string window = c.byId.at(c.RootOf(w.id)).descriptor;
    ++widgetActions_;
    if (w.widgetClass == kScrollBarClass) {
        const auto lo = WidgetProperty(w.id, kSliderMin), hi = WidgetProperty(w.id, kSliderMax);
        // A little past both ends too: the drag holds the thumb to the bar.
        const int value = static_cast<int>(lo) - 3 + Below(static_cast<int>(hi - lo) + 7);
        DragSlider(w.id, value);
        return "drag a slider of '" + window + "' to " + std::to_string(value);
    }
    if (w.widgetClass == kMainWindowClass) {
        CloseWidgetWindow(w.id);  // refused for a window without a close box
        return "close box of '" + window + "'";
    }
    const bool push = WidgetProperty(w.id, kButtonType) == kPushButton;
    ClickWidget(w.id);
    return std::string(push ? "click '" + w.descriptor + "'" : "click a check box") + " in '" +
           window + "'";
}

std::string Soak::RunAnyCommand() {
    std::vector<std::string> names;
    for (const CommandInfo& command : Commands())
        if (command.name.rfind("quorren/tarvosk/", 0) == 0) names.push_back(command.name);
    if (names.empty()) return {};
    const std::string& name =
        names[static_cast<std::size_t>(Below(static_cast<int>(names.size())))];
    static const int kPhases[] = {-1, -1, 0, 2};
    const int phase = kPhases[Below(4)];
    RunCommand(name, phase);
    ++commandsRun_;
    return "command " + name + (phase < 0 ? " once" : phase == 0 ? " begin" : " end");
}

// "Assign new" in an open Preferences window, then a key for its sniffer (or a key with no
// sniffer waiting when none is open).
std::string Soak::KeyToSniffer() {
    const WindowCensus c = TakeCensus();
    std::string what;
    if (!c.preferences.empty()) {
        const std::uintptr_t root =
            c.preferences[static_cast<std::size_t>(Below(static_cast<int>(c.preferences.size())))];
        for (const WidgetInfo& w : WidgetsOf(c, root)) {
            if (w.widgetClass == kButtonClass && w.visible &&
                (w.descriptor == "Assign new" || w.descriptor.rfind("Key is:", 0) == 0)) {
                ClickWidget(w.id);
                what = "click '" + w.descriptor + "', ";
                break;
            }
        }
    }
    const int key = Below(256);
    const int flags = Below(3) ? 0 : Below(8);
    PressKey(key, flags);
    ++sniffedKeys_;
    return what + "key " + std::to_string(key) + " flags " + std::to_string(flags);
}

bool Soak::CheckPropertiesFile(std::string* contents, std::map<std::string, std::string>* parsed) {
    const fs::path file = Sandbox() / "Output/preferences/Quorren.Tarvosk.prf";
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Fail("no properties file after a stop");
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    *contents = text.str();
    std::map<std::string, std::string> entries;
    std::istringstream lines(*contents);
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.rfind('=');
        if (eq == std::string::npos || eq == 0) {
            Fail("properties line without a key: '" + line + "'");
            return false;
        }
        entries[line.substr(0, eq)] = line.substr(eq + 1);
    }
    for (const char* key : kSwitches) {
        if (entries[key] != "0" && entries[key] != "1") {
            Fail(std::string("properties: ") + key + "='" + entries[key] + "'");
            return false;
        }
    }
    char* end = nullptr;
    const double speed = std::strtod(entries["TRUCK_SPEED"].c_str(), &end);
    if (entries["TRUCK_SPEED"].empty() || *end != '\0' || !std::isfinite(speed)) {
        Fail("properties: TRUCK_SPEED='" + entries["TRUCK_SPEED"] + "'");
        return false;
    }
    if (entries["TruckView_KF"] != "8" || entries["VERSION"].empty() ||
        entries["TruckView_KEY"].empty()) {
        Fail("properties: the key settings or the version are missing");
        return false;
    }
    for (const char* key : {"SPEED_PER_SECOND", "MANUAL_RUDDER"}) {
        if (entries[key] != "0" && entries[key] != "1") {
            Fail(std::string("properties: ") + key + "='" + entries[key] + "'");
            return false;
        }
    }
    if (parsed) *parsed = std::move(entries);
    return true;
}

// The settings in memory as a newly opened Preferences window shows them: its eight gear and
// switch boxes, the speed slider, the per-second and the rudder boxes, in the file's own form.
bool Soak::SettingsFromNewPreferencesWindow(std::map<std::string, std::string>* settings) {
    // An open window would only come to the front: close it (applying nothing) first.
    for (std::uintptr_t id : TakeCensus().preferences) CloseWidgetWindow(id);
    RunFrames(1);
    const WindowCensus before = TakeCensus();
    RunCommand("quorren/tarvosk/preferences", 2);  // a soak's "begin" may still hold it
    RunCommand("quorren/tarvosk/preferences", -1);
    const WindowCensus after = TakeCensus();
    std::uintptr_t root = 0;
    for (std::uintptr_t id : after.preferences)
        if (std::find(before.preferences.begin(), before.preferences.end(), id) ==
            before.preferences.end())
            root = id;
    if (root == 0) {
        Fail("the preferences command opened no Preferences window");
        return false;
    }
    std::vector<bool> boxes;
    std::intptr_t speed = -1;
    for (const WidgetInfo& w : WidgetsOf(after, root)) {
        if (w.widgetClass == kButtonClass && WidgetProperty(w.id, kButtonType) != kPushButton)
            boxes.push_back(WidgetProperty(w.id, kButtonState) != 0);
        else if (w.widgetClass == kScrollBarClass)
            speed = WidgetProperty(w.id, kSliderPosition);
    }
    if (boxes.size() != 10 || speed < 0) {
        Fail("a Preferences window with " + std::to_string(boxes.size()) +
             " check boxes and no speed slider");
        return false;
    }
    if (boxes[4] == boxes[5]) Fail("the front and rear gear boxes agree");
    static const int kBoxOfSwitch[] = {0, 1, 2, 3, 4, 6, 7};
    for (int k = 0; k < 7; ++k) (*settings)[kSwitches[k]] = boxes[kBoxOfSwitch[k]] ? "1" : "0";
    (*settings)["SPEED_PER_SECOND"] = boxes[8] ? "1" : "0";
    (*settings)["MANUAL_RUDDER"] = boxes[9] ? "1" : "0";
    (*settings)["TRUCK_SPEED"] = std::to_string(speed);
    return true;
}

// Stops the plug-in and checks that the file it wrote parses back to the settings it had.
bool Soak::StopAndCheck(std::string* contents) {
    std::map<std::string, std::string> memory, file;
    const bool shown = SettingsFromNewPreferencesWindow(&memory);
    UnloadPlugin(plugin_);
    plugin_ = -1;
    if (!CheckPropertiesFile(contents, &file) || !shown) return false;
    ++settingsChecks_;
    for (const auto& [key, value] : memory) {
        std::string stored = file[key];
        if (key == "TRUCK_SPEED")  // the slider shows the whole part
            stored = std::to_string(static_cast<long long>(std::strtod(stored.c_str(), nullptr)));
        if (stored != value) {
            Fail("properties: " + key + "='" + file[key] + "' but the settings in memory hold " +
                 value);
            return false;
        }
    }
    return true;
}

// A fresh host at `version` with `driver`, in the same sandbox (the files stay).
bool Soak::ResetHost(int version, const std::string& driver) {
    HostConfig config;
    config.sandbox = options_.sandbox;
    config.xplaneVersion = version;
    config.driver = driver;
    std::string why;
    if (!Reset(config, &why)) {
        Fail("the host refused version " + std::to_string(version) + " driver " + driver + ": " +
             why);
        return false;
    }
    ++versionsRun_[std::to_string(version) + " " + driver];
    speechSeen_ = 0;
    SetAfterFrameHook(nullptr);
    return true;
}

// Every frame: the aircraft moves only while a pushback is ordered and not held at a halt by
// a pause or "stop here"; a manual kind's speed changes by at most 0.25 m/s per second.
void Soak::CheckFrame() {
    ++frames_;
    const double x = GetDataref(kLocalX), z = GetDataref(kLocalZ);
    const bool moved = x != lastX_ || z != lastZ_;
    const bool halting = GetDataref(kHalting) == 1.0;
    const double speed = GetDataref(kSpeed);
    char text[200];
    if (moved && GetDataref(kPBstatus) == 0.0) {
        std::snprintf(text, sizeof text,
                      "the aircraft moved from (%.6f, %.6f) to (%.6f, %.6f) with no pushback",
                      lastX_, lastZ_, x, z);
        Fail(text);
    }
    if (heldStill_ && halting) ++heldFrames_;
    if (moved && heldStill_ && halting) {
        std::snprintf(text, sizeof text,
                      "the aircraft moved from (%.6f, %.6f) to (%.6f, %.6f) while held at a halt",
                      lastX_, lastZ_, x, z);
        Fail(text);
    }
    // The brake stops the aircraft at once, and a pushback that ends or starts again starts
    // from rest (its tug still on the way): neither counts. Nor does the first step after the
    // plug-in was disabled.
    const double phase = GetDataref("tarvosk/diagnostics/truck_phase");
    const bool manual = GetDataref(kManualMode) != 0.0 && GetDataref(kParkBrake) == 0.0 &&
                        (phase == 2.0 || phase == 3.0);
    const double fps = FramesPerSecond();
    const bool rateCounts = manual && std::isfinite(lastSpeed_) && !skipRateCheck_;
    if (rateCounts) ++manualFrames_;
    if (rateCounts && std::fabs(speed - lastSpeed_) > 0.25 / fps + 1e-5) {
        std::snprintf(text, sizeof text,
                      "the speed changed from %.6f to %.6f m/s in one frame at %.1f frames per "
                      "second",
                      lastSpeed_, speed, fps);
        Fail(text);
    }
    lastSpeed_ = manual ? speed : NAN;
    skipRateCheck_ = false;
    heldStill_ = halting && speed == 0.0;
    lastX_ = x;
    lastZ_ = z;
}

void Soak::Check(const std::string& operation) {
    ++checks_;
    if (BadHandleAccesses() != 0) Fail("a read or write through a bad handle");
    if (FlightLoopDoubleRegistrations() != 0) Fail("a flight loop registered twice");
    if (PluginFaults() != 0) Fail("a plug-in fault (see the host's log)");
    const double pb = GetDataref(kPBstatus), gpu = GetDataref(kGPUstatus);
    if (!(pb == 0 || pb == 1 || pb == 2 || pb == 3)) Fail("PBstatus " + std::to_string(pb));
    if (!(gpu == 0 || gpu == 1 || gpu == 2)) Fail("GPUstatus " + std::to_string(gpu));
    for (int k = 2; k < 9; ++k) {
        const double v = GetDataref(kPublished[k]);
        if (!std::isfinite(v)) Fail(std::string(kPublished[k]) + " is not finite");
    }
    const double mode = GetDataref(kManualMode), steer = GetDataref(kManualSteer);
    const double speed = GetDataref(kSpeed);
    if (!(mode == 0 || mode == 1 || mode == 2)) Fail("manual mode " + std::to_string(mode));
    if (mode != 0 && pb == 0) Fail("a manual mode with no pushback ordered");
    if (!(steer >= -1.0 && steer <= 1.0)) Fail("manual steering " + std::to_string(steer));
    if (!(speed >= 0.0)) Fail("speed " + std::to_string(speed));
    if ((mode == 1 && speed > 2.0) || (mode == 2 && speed > 4.0))
        Fail("speed " + std::to_string(speed) + " m/s in manual mode " + std::to_string(mode));
    const auto& speech = Speech();
    for (; speechSeen_ < speech.size(); ++speechSeen_) {
        if (!crewTexts_.count(speech[speechSeen_].text))
            Fail("a crew text the system does not have: '" + speech[speechSeen_].text + "'");
    }
    const auto windows = Windows();
    int visible = 0;
    for (const auto& w : windows) {
        if (!w.visible) continue;
        ++visible;
        // Bounded, not oriented: the crew window is given with its top below its bottom.
        const bool bounded = std::abs(w.left) <= 8192 && std::abs(w.right) <= 8192 &&
                             std::abs(w.top) <= 8192 && std::abs(w.bottom) <= 8192 &&
                             std::abs(w.right - w.left) <= 4096 &&
                             std::abs(w.top - w.bottom) <= 4096;
        if (!bounded)
            Fail("a window out of bounds: left " + std::to_string(w.left) + " top " +
                 std::to_string(w.top) + " right " + std::to_string(w.right) + " bottom " +
                 std::to_string(w.bottom));
    }
    if (visible > 4) Fail(std::to_string(visible) + " windows open at once");

    const WindowCensus c = TakeCensus();
    const int prefs = static_cast<int>(c.preferences.size());
    const int boxes = static_cast<int>(c.boxes.size());
    maxPreferences_ = std::max(maxPreferences_, prefs);
    maxBoxes_ = std::max(maxBoxes_, boxes);
    if (c.about.size() > 1) Fail(std::to_string(c.about.size()) + " About windows open");
    if (prefs > kMaxPreferences) Fail(std::to_string(prefs) + " Preferences windows open");
    if (boxes > kMaxMessageBoxes) Fail(std::to_string(boxes) + " message boxes open");
    const std::size_t roots = c.preferences.size() + c.about.size() + c.boxes.size();
    if (c.all.size() > kMaxWidgetsPerWindow * roots)
        Fail(std::to_string(c.all.size()) + " widgets left for " + std::to_string(roots) +
             " windows");
    for (const WidgetInfo& w : c.all) {
        if (w.isRoot && !w.visible) Fail("a hidden window '" + w.descriptor + "' left behind");
        if (!w.visible) continue;
        if (std::abs(w.left) > 8192 || std::abs(w.right) > 8192 || std::abs(w.top) > 8192 ||
            std::abs(w.bottom) > 8192 || w.right < w.left || w.top < w.bottom)
            Fail("a widget out of bounds in '" + c.byId.at(c.RootOf(w.id)).descriptor + "'");
    }

    const int instances = static_cast<int>(Instances().size());
    const int objects = ObjectsLoadedNow();
    maxInstances_ = std::max(maxInstances_, instances);
    maxObjects_ = std::max(maxObjects_, objects);
    if (instances > kMaxInstances) Fail(std::to_string(instances) + " instances at once");
    if (objects > kMaxObjectsLoaded) Fail(std::to_string(objects) + " objects loaded at once");
    (void)operation;
}

int Soak::Run() {
    std::error_code ignored;
    std::string why;
    if (!EmptyOwnedFolder(options_.sandbox, &why)) {
        std::fprintf(stderr, "soak: %s\n", why.c_str());
        return 2;
    }
    // The seed picks the first simulator; restarts may pick another.
    const bool eleven = Below(3) == 0;
    if (!ResetHost(eleven ? 11410 : 12100, eleven ? "opengl" : "modern")) {
        std::fprintf(stderr, "soak: %s\n", broken_.c_str());
        return 2;
    }
    if (!options_.content.empty()) {
        const fs::path data = Sandbox() / "Resources/plugins" / options_.plugin.stem();
        fs::create_directories(data, ignored);
        fs::copy(options_.content, data,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing, ignored);
    }
    const std::string tail = GetDatarefBytes("sim/aircraft/view/acf_tailnum").substr(0, 6);
    const std::string t = std::string(tail.c_str());
    for (const char* word : {"straight", "tail left", "tail right"})
        crewTexts_.insert("Ok, " + t + " we are ready to push back " + word +
                          ". Please remove breaks.");
    for (const char* rest : {" thanks you, we are starting pushback", " starting push back",
                             " do you confirm brake is released?",
                             " push back terminated, cleared to taxi. Good flight !",
                             " GPU is OFF and disconnected", " GPU is running"})
        crewTexts_.insert(t + rest);
    crewTexts_.insert("Roger " + t + " GPU is hooked up and warming up");

    if (!Load()) return 2;
    lastX_ = GetDataref(kLocalX);
    lastZ_ = GetDataref(kLocalZ);
    SetAfterFrameHook([this] { CheckFrame(); });

    const std::vector<Operation> ops = Operations();
    int total = 0;
    for (const Operation& op : ops) total += op.weight;
    std::deque<std::string> recent;
    for (long long n = 1; n <= options_.operations; ++n) {
        TidyWindows();
        int pick = Below(total);
        const Operation* op = &ops[0];
        for (const Operation& candidate : ops) {
            if (pick < candidate.weight) {
                op = &candidate;
                break;
            }
            pick -= candidate.weight;
        }
        const std::string what = op->run(*this);
        recent.push_back(std::to_string(n) + ": " + what);
        if (recent.size() > 12) recent.pop_front();
        Check(what);
        if (!broken_.empty()) {
            SetAfterFrameHook(nullptr);
            std::printf("soak: seed %" PRIu64 ", operation %lld (%s) broke an invariant: %s\n",
                        options_.seed, n, what.c_str(), broken_.c_str());
            std::printf("soak: the operations before it:\n");
            for (const std::string& line : recent) std::printf("  %s\n", line.c_str());
            std::printf("soak: repeat with --soak %lld --seed %" PRIu64 "\n", n, options_.seed);
            if (Loaded()) UnloadPlugin(plugin_);
            return 1;
        }
        if (!options_.quiet && n % 100000 == 0) {
            std::printf("soak: %lld operations, %lld frames, %.0f simulated seconds\n", n, frames_,
                        Now());
            std::fflush(stdout);  // progress shows while a long run goes on, also through a pipe
        }
    }
    SetAfterFrameHook(nullptr);
    std::string last;
    if (!StopAndCheck(&last) || !broken_.empty()) {
        std::printf("soak: seed %" PRIu64 ", the final stop broke an invariant: %s\n",
                    options_.seed, broken_.c_str());
        return 1;
    }
    std::printf("soak: seed %" PRIu64
                ": %lld operations, %lld invariant checks and %lld frame checks held; %lld "
                "restarts, %.0f simulated seconds, %zu crew messages\n",
                options_.seed, options_.operations, checks_, frames_, restarts_, Now(),
                Speech().size());
    std::printf(
        "soak: %lld widget actions, %lld commands, %lld keys to the key sniffer; "
        "%lld stops with the file read back to the settings in memory; at most %d "
        "Preferences windows, %d message boxes, %d instances, %d objects loaded\n",
        widgetActions_, commandsRun_, sniffedKeys_, settingsChecks_, maxPreferences_, maxBoxes_,
        maxInstances_, maxObjects_);
    std::printf(
        "soak: %lld frames of a manual kind moving with its speed's rate checked, %lld "
        "frames held at a halt by a pause or a stop\n",
        manualFrames_, heldFrames_);
    std::printf("soak: simulators run:");
    for (const auto& [sim, runs] : versionsRun_) std::printf(" %s x%lld;", sim.c_str(), runs);
    std::printf("\n");
    return 0;
}

}  // namespace

int RunSoak(const SoakOptions& options) {
    Soak soak(options);
    return soak.Run();
}

}  // namespace simhost::soak
