// The soak's invariants: after every operation, every frame, and at every stop the settings
// file read back to the settings in memory.
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
#include "simhost/traffic.h"

namespace simhost::soak {

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

std::vector<WidgetInfo> WidgetsOf(const WindowCensus& c, std::uintptr_t root) {
    std::vector<WidgetInfo> out;
    for (const WidgetInfo& w : c.all)
        if (w.id != root && c.RootOf(w.id) == root) out.push_back(w);
    return out;
}

bool Soak::CheckPropertiesFile(std::string* contents, std::map<std::string, std::string>* parsed) {
    const fs::path file = Sandbox() / "Output/preferences/Quorren.Tarvosk.prf";
    if (!ReadWholeFile(file, contents, nullptr)) {
        Fail("no properties file after a stop");
        return false;
    }
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
    for (const char* key : {"SPEED_PER_SECOND", "MANUAL_RUDDER", "ANSWER_XP_PUSHBACK"}) {
        if (entries[key] != "0" && entries[key] != "1") {
            Fail(std::string("properties: ") + key + "='" + entries[key] + "'");
            return false;
        }
    }
    if (parsed) *parsed = std::move(entries);
    return true;
}

// The settings in memory as a newly opened Preferences window shows them: its eight gear and
// switch boxes, the speed slider, the per-second, rudder and X-Plane pushback boxes, in the
// file's own form.
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
    std::vector<std::intptr_t> sliders;  // the truck speed, then the traffic clearance
    for (const WidgetInfo& w : WidgetsOf(after, root)) {
        if (w.widgetClass == kButtonClass && WidgetProperty(w.id, kButtonType) != kPushButton)
            boxes.push_back(WidgetProperty(w.id, kButtonState) != 0);
        else if (w.widgetClass == kScrollBarClass)
            sliders.push_back(WidgetProperty(w.id, kSliderPosition));
    }
    if (boxes.size() != 11 || sliders.size() != 2) {
        Fail("a Preferences window with " + std::to_string(boxes.size()) + " check boxes and " +
             std::to_string(sliders.size()) + " sliders");
        return false;
    }
    const std::intptr_t speed = sliders[0];
    if (boxes[4] == boxes[5]) Fail("the front and rear gear boxes agree");
    static const int kBoxOfSwitch[] = {0, 1, 2, 3, 4, 6, 7};
    for (int k = 0; k < 7; ++k) (*settings)[kSwitches[k]] = boxes[kBoxOfSwitch[k]] ? "1" : "0";
    (*settings)["SPEED_PER_SECOND"] = boxes[8] ? "1" : "0";
    (*settings)["MANUAL_RUDDER"] = boxes[9] ? "1" : "0";
    (*settings)["ANSWER_XP_PUSHBACK"] = boxes[10] ? "1" : "0";
    (*settings)["TRUCK_SPEED"] = std::to_string(speed);
    (*settings)["TRAFFIC_CLEARANCE"] = std::to_string(sliders[1]);
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
        if (key == "TRUCK_SPEED" || key == "TRAFFIC_CLEARANCE")  // sliders show the whole part
            stored = std::to_string(static_cast<long long>(std::strtod(stored.c_str(), nullptr)));
        if (stored != value) {
            Fail("properties: " + key + "='" + file[key] + "' but the settings in memory hold " +
                 value);
            return false;
        }
    }
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
    // A hold for traffic may stop the tug dead when an aircraft appears right behind it.
    const bool trafficHold = GetDataref(kTrafficHold) == 1.0;
    const bool rateCounts = manual && std::isfinite(lastSpeed_) && !skipRateCheck_ && !trafficHold;
    if (rateCounts) ++manualFrames_;
    // Faster and slower keep the comfort limit; a pause or "stop here" brakes as the tug does,
    // to rest within 1.5 s from the top tow speed.
    const double rate = halting && speed < lastSpeed_ ? 4.0 / 1.5 : 0.25;
    if (rateCounts && std::fabs(speed - lastSpeed_) > rate / fps + 1e-5) {
        std::snprintf(text, sizeof text,
                      "the speed changed from %.6f to %.6f m/s in one frame at %.1f frames per "
                      "second",
                      lastSpeed_, speed, fps);
        Fail(text);
    }
    lastSpeed_ = manual ? speed : NAN;
    skipRateCheck_ = false;
    heldStill_ = halting && speed == 0.0;
    if (moved && GetDataref(kPBstatus) != 0.0) CheckTrafficClear(x, z);
    lastX_ = x;
    lastZ_ = z;
    CheckGpuViews();
}

namespace {

struct Box {
    double x, z, heading, halfSpan, halfLength;
};

// Depth of the overlap of two rectangles on the ground (separating axes); 0 when apart.
double Overlap(const Box& a, const Box& b) {
    constexpr double kRad = 3.14159265358979323846 / 180.0;
    double depth = 1e300;
    for (const Box* axisBox : {&a, &b}) {
        const double h = axisBox->heading * kRad;
        const double axes[2][2] = {{std::sin(h), -std::cos(h)}, {std::cos(h), std::sin(h)}};
        for (const auto& axis : axes) {
            auto reach = [&](const Box& r) {
                const double g = r.heading * kRad;
                const double f = std::fabs(std::sin(g) * axis[0] - std::cos(g) * axis[1]);
                const double s = std::fabs(std::cos(g) * axis[0] + std::sin(g) * axis[1]);
                return f * r.halfLength + s * r.halfSpan;
            };
            const double apart = std::fabs((a.x - b.x) * axis[0] + (a.z - b.z) * axis[1]);
            depth = std::min(depth, reach(a) + reach(b) - apart);
            if (depth <= 0.0) return 0.0;
        }
    }
    return depth;
}

}  // namespace

// No push moves our footprint (the aircraft's size, centred on its reference point) into
// another aircraft's. Traffic that drives or is placed into a standing aircraft is not the
// push's doing, and nor is less than the metre the plug-in's own estimate of where the
// footprint lies along the body may differ from this one.
void Soak::CheckTrafficClear(double x, double z) {
    // The pilot may switch the watch off (a clearance of 0): then nothing is watched.
    if (!(GetDataref("tarvosk/diagnostics/traffic_clearance") > 0.0)) return;
    const double span = GetDataref("sim/aircraft/view/acf_size_x");
    const double length = GetDataref("sim/aircraft/view/acf_size_z");
    if (!(span > 0.0) || !(length > 0.0)) return;
    const double heading = GetDataref("sim/flightmodel/position/psi");
    const Box now{x, z, heading, span / 2, length / 2};
    const Box before{lastX_, lastZ_, heading, span / 2, length / 2};
    for (const TrafficInfo& other : TrafficNow()) {
        if (other.scriptWritten) continue;
        ++trafficChecks_;
        const Box box{other.x, other.z, other.heading, other.span / 2, other.length / 2};
        const double depth = Overlap(now, box);
        if (depth > kFootprintTolerance && depth > Overlap(before, box) + 1e-9) {
            char text[200];
            std::snprintf(text, sizeof text,
                          "the push moved the aircraft %.3f m into slot %d's %s at (%.3f, %.3f)",
                          depth, other.slot, other.icao.c_str(), other.x, other.z);
            Fail(text);
        }
    }
}

// The GPU's views never disagree for longer than a second: the published status, the last
// state the plug-in broadcast (the presence reply 0x88888881 says nothing of the state) and
// X-Plane's external power, which a running cart keeps on.
void Soak::CheckGpuViews() {
    const auto& sent = SentMessages();
    for (; messagesSeen_ < sent.size(); ++messagesSeen_) {
        const auto code = static_cast<unsigned>(sent[messagesSeen_].message);
        if (sent[messagesSeen_].from > 0 && (code == 0x88888882u || code == 0x88888883u))
            lastGpuBroadcast_ = static_cast<int>(code);
    }
    const double status = GetDataref(kGPUstatus);
    std::string why;
    if (std::isfinite(status)) {
        const double power = DatarefExists("sim/cockpit/electrical/gpu_on")
                                 ? GetDataref("sim/cockpit/electrical/gpu_on")
                                 : NAN;
        if (status == 2.0 && power == 0.0) why = "GPUstatus 2 with external power off";
        if (status == 2.0 && lastGpuBroadcast_ == static_cast<int>(0x88888883u))
            why = "GPUstatus 2 after a 0x88888883 broadcast";
        if (status == 0.0 && lastGpuBroadcast_ == static_cast<int>(0x88888882u))
            why = "GPUstatus 0 after a 0x88888882 broadcast";
    }
    if (why.empty()) {
        gpuDisagreeSince_ = NAN;
        return;
    }
    if (!std::isfinite(gpuDisagreeSince_) || why != gpuDisagreement_) {
        gpuDisagreeSince_ = Now();
        gpuDisagreement_ = why;
    }
    if (Now() - gpuDisagreeSince_ > 1.0) Fail(why + " for more than a second");
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

}  // namespace simhost::soak
