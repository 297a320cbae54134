#include "soak.h"

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
    void Fail(const std::string& why) {
        if (broken_.empty()) broken_ = why;
    }

  private:
    void Check(const std::string& operation);
    void CheckFrame();
    bool CheckPropertiesFile(std::string* contents);

    SoakOptions options_;
    std::mt19937_64 random_;
    int plugin_ = -1;
    std::string broken_;
    std::set<std::string> crewTexts_;
    std::size_t speechSeen_ = 0;
    double lastX_ = 0, lastZ_ = 0;
    long long frames_ = 0, restarts_ = 0, checks_ = 0;
};

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
        std::fprintf(stderr, "soak: cannot load %s: %s\n", options_.plugin.c_str(), why.c_str());
        return false;
    }
    return StartPlugin(plugin_) && EnablePlugin(plugin_);
}

// Quit and start the simulator again in the same sandbox. The file written at the stop must
// hold every setting in its own form, and a second stop right after reading it back must
// write the very same bytes: the settings parse back to what was in memory.
std::string Soak::Restart() {
    UnloadPlugin(plugin_);
    std::string first, second;
    if (!CheckPropertiesFile(&first)) return "restart";
    if (!Load()) {
        Fail("the plug-in did not start again");
        return "restart";
    }
    UnloadPlugin(plugin_);
    if (!CheckPropertiesFile(&second)) return "restart";
    if (first != second)
        Fail("the properties file changed over a restart with no change:\n" + first + "---\n" +
             second);
    if (!Load()) Fail("the plug-in did not start again");
    ++restarts_;
    return "restart";
}

std::string Soak::EnableDisable() {
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

bool Soak::CheckPropertiesFile(std::string* contents) {
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
    return true;
}

// Every frame: the aircraft moves only while a pushback is ordered.
void Soak::CheckFrame() {
    ++frames_;
    const double x = GetDataref(kLocalX), z = GetDataref(kLocalZ);
    if ((x != lastX_ || z != lastZ_) && GetDataref(kPBstatus) == 0.0) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "the aircraft moved from (%.6f, %.6f) to (%.6f, %.6f) with no pushback",
                      lastX_, lastZ_, x, z);
        Fail(text);
    }
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
    (void)operation;
}

int Soak::Run() {
    HostConfig config;
    config.sandbox = options_.sandbox;
    std::error_code ignored;
    fs::remove_all(config.sandbox, ignored);
    std::string why;
    if (!Reset(config, &why)) {
        std::fprintf(stderr, "soak: %s\n", why.c_str());
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
            UnloadPlugin(plugin_);
            return 1;
        }
        if (!options_.quiet && n % 100000 == 0) {
            std::printf("soak: %lld operations, %lld frames, %.0f simulated seconds\n", n, frames_,
                        Now());
            std::fflush(stdout);  // progress shows while a long run goes on, also through a pipe
        }
    }
    SetAfterFrameHook(nullptr);
    UnloadPlugin(plugin_);
    std::string last;
    if (!CheckPropertiesFile(&last) || !broken_.empty()) {
        std::printf("soak: seed %" PRIu64 ", the final stop broke an invariant: %s\n",
                    options_.seed, broken_.c_str());
        return 1;
    }
    std::printf("soak: seed %" PRIu64
                ": %lld operations, %lld invariant checks and %lld frame checks held; %lld "
                "restarts, %.0f simulated seconds, %zu crew messages\n",
                options_.seed, options_.operations, checks_, frames_, restarts_, Now(),
                Speech().size());
    return 0;
}

}  // namespace

int RunSoak(const SoakOptions& options) {
    Soak soak(options);
    return soak.Run();
}

}  // namespace simhost::soak
