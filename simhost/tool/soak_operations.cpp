// The soak's operations: what a user, the simulator and other plug-ins might do, drawn at
// random by weight.
#include "soak_run.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
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
    // The cockpit's GPU switch (12.1) and X-Plane's external power written by the aircraft or
    // another plug-in, behind the cart's back.
    ops.push_back({"gpu command", 3, [](Soak& s) {
                       static const char* const kNames[] = {"sim/electrical/GPU_on",
                                                            "sim/electrical/GPU_off",
                                                            "sim/electrical/GPU_toggle"};
                       const char* name = kNames[s.Below(3)];
                       if (!RunCommand(name, -1)) return std::string();
                       return "command " + std::string(name) + " once";
                   }});
    ops.push_back({"external power", 2, [](Soak& s) {
                       const char* const name = "sim/cockpit/electrical/gpu_on";
                       if (!DatarefExists(name)) return std::string();
                       const int v = s.Below(2);
                       SetDataref(name, v);
                       return "set " + std::string(name) + " " + std::to_string(v);
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
    // Plans written by a cockpit (any value, junk too), then now and then a planned push.
    ops.push_back({"plan", 3, [](Soak& s) {
                       static const char* const kValues[] = {"quorren/tarvosk/plan/straight",
                                                             "quorren/tarvosk/plan/turn",
                                                             "quorren/tarvosk/plan/after"};
                       const char* name = kValues[s.Below(3)];
                       const double v = s.Below(2) ? s.Uniform(-250, 250) : s.AnyValue();
                       SetDataref(name, v);
                       char text[128];
                       std::snprintf(text, sizeof text, "write %s = %.17g", name, v);
                       std::string what = text;
                       if (s.Below(3) == 0) {
                           RunCommand("quorren/tarvosk/planned_push", -1);
                           SetDataref(kParkBrake, 0.0);
                           what += ", planned push, brake released";
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
    ops.push_back({"traffic", 4, MoveOtherAircraft});
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

}  // namespace simhost::soak
