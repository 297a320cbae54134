// What a scenario checks: conditions on datarefs and host quantities (assert, wait until) and
// the expectations of `expect` lines, on the host's records, menus, the camera and files.
#include "checks.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "simhost/files.h"

namespace simhost::scenario {

namespace fs = std::filesystem;

namespace {

std::string Hex(int code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(code));
    return buf;
}

// The host's own quantities a condition or a print line may name beside datarefs.
struct HostQuantity {
    const char* name;
    double (*value)(int pluginId);
};

double VisibleWindows(int) {
    double n = 0;
    for (const WindowInfo& w : Windows()) n += w.visible ? 1 : 0;
    return n;
}

const HostQuantity kHostQuantities[] = {
    {"time", [](int) { return Now(); }},
    {"frames", [](int) { return static_cast<double>(FrameCount()); }},
    {"bad_handles", [](int) { return static_cast<double>(BadHandleAccesses()); }},
    {"read_only_writes", [](int) { return static_cast<double>(ReadOnlyWrites()); }},
    {"double_registrations",
     [](int) { return static_cast<double>(FlightLoopDoubleRegistrations()); }},
    {"faults", [](int) { return static_cast<double>(PluginFaults()); }},
    {"speech_count", [](int) { return static_cast<double>(Speech().size()); }},
    {"messages_sent", [](int) { return static_cast<double>(SentMessages().size()); }},
    {"plugin_enabled", [](int id) { return PluginEnabled(id) ? 1.0 : 0.0; }},
    {"camera.controlled", [](int) { return CameraControlled() ? 1.0 : 0.0; }},
    {"camera.x", [](int) { return static_cast<double>(CameraPose().x); }},
    {"camera.y", [](int) { return static_cast<double>(CameraPose().y); }},
    {"camera.z", [](int) { return static_cast<double>(CameraPose().z); }},
    {"camera.pitch", [](int) { return static_cast<double>(CameraPose().pitch); }},
    {"camera.heading", [](int) { return static_cast<double>(CameraPose().heading); }},
    {"camera.roll", [](int) { return static_cast<double>(CameraPose().roll); }},
    {"camera.zoom", [](int) { return static_cast<double>(CameraPose().zoom); }},
    {"instances", [](int) { return static_cast<double>(Instances().size()); }},
    {"objects_loaded", [](int) { return static_cast<double>(ObjectsLoadedNow()); }},
    {"scene_draw_calls", [](int) { return static_cast<double>(SceneDrawCalls()); }},
    {"modern_driver", [](int) { return ModernDriver() ? 1.0 : 0.0; }},
    {"windows_visible", VisibleWindows},
};

}  // namespace

bool HostValue(const std::string& name, int pluginId, double* value) {
    // How often a plug-in looked a dataref up: "lookups:sim/cockpit/electrical/gpu_on".
    if (name.starts_with("lookups:")) {
        *value = static_cast<double>(DatarefLookups(name.substr(8)));
        return true;
    }
    for (const HostQuantity& q : kHostQuantities)
        if (name == q.name) {
            *value = q.value(pluginId);
            return true;
        }
    return false;
}

std::string Num(double v) {
    if (std::isnan(v)) return "unknown";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

std::string Describe(const Condition& c) {
    std::string lhs = c.lhs + (c.index ? "[" + std::to_string(c.index) + "]" : "");
    std::string rhs = c.isText ? "\"" + c.text + "\"" : Num(c.value);
    if (c.tolerance > 0) rhs += " +- " + Num(c.tolerance);
    return lhs + " " + c.op + " " + rhs;
}

bool Evaluate(const Condition& c, int pluginId, bool* known, std::string* actual) {
    *known = true;
    if (c.isText) {
        if (!DatarefExists(c.lhs)) {
            *known = false;
            return false;
        }
        std::string text = GetDatarefBytes(c.lhs);
        *actual = "\"" + text + "\"";
        return (text == c.text) == (c.op == "==");
    }
    double v = NAN;
    const std::string& n = c.lhs;
    if (!HostValue(n, pluginId, &v)) {
        if (!DatarefExists(n)) {
            *known = false;
            *actual = "unknown dataref";
            return false;
        }
        v = GetDataref(n, c.index);
        if (std::isnan(v)) {
            *actual = "no element " + std::to_string(c.index);
            return false;
        }
    }
    *actual = Num(v);
    const double tol = c.tolerance;
    if (c.op == "==") return std::fabs(v - c.value) <= tol;
    if (c.op == "!=") return std::fabs(v - c.value) > tol;
    if (c.op == "<") return v < c.value + tol;
    if (c.op == "<=") return v <= c.value + tol;
    if (c.op == ">") return v > c.value - tol;
    return v >= c.value - tol;
}

bool Expect(const Step& s, std::string* why) {
    auto fail = [why](const std::string& reason) {
        *why = reason;
        return false;
    };
    const std::string& w = s.what;
    const bool no = s.negate;
    auto text = [&](const std::string& candidate) {
        return s.count == 1 ? candidate.find(s.args[0]) != std::string::npos
                            : candidate == s.args[0];
    };
    auto verdict = [&](bool found, const std::string& what) {
        if (found == !no) return true;
        return fail(no ? "unexpected " + what : "expected " + what + ", not found");
    };
    if (w == "speech") {
        if (s.count == 2) {
            double n = static_cast<double>(Speech().size());
            if ((n == s.number) != no) return true;
            return fail("expected " + std::string(no ? "not " : "") + Num(s.number) +
                        " speech records, got " + Num(n));
        }
        bool found = false;
        for (const SpeechRecord& r : Speech()) found = found || text(r.text);
        return verdict(found, "speech \"" + s.args[0] + "\"");
    }
    if (w == "timeline") {
        bool found = false;
        for (const TimelineEvent& e : Timeline()) found = found || text(e.text);
        return verdict(found, "timeline event \"" + s.args[0] + "\"");
    }
    if (w == "window-text") {
        bool found = false;
        for (const WindowInfo& win : Windows())
            for (const std::string& t : win.textLastFrame) found = found || text(t);
        return verdict(found, "window text \"" + s.args[0] + "\" in the last frame");
    }
    if (w == "widget-text") {
        bool found = false;
        for (const WidgetInfo& wi : Widgets())
            for (const std::string& t : wi.textLastFrame) found = found || text(t);
        return verdict(found, "widget text \"" + s.args[0] + "\" in the last frame");
    }
    if (w == "message") {
        int code = static_cast<int>(static_cast<long long>(s.number) & 0xFFFFFFFFLL);
        bool found = false;
        for (const MessageRecord& m : SentMessages()) found = found || m.message == code;
        return verdict(found, "message " + Hex(code) + " sent by a plug-in");
    }
    if (w == "menu") {
        const std::string& path = s.args[0];
        const std::string& state = s.args[1];
        int check = MenuItemCheck(path);
        if (state == "present") return verdict(check >= 0, "menu item \"" + path + "\"");
        if (check < 0) return fail("no menu item \"" + path + "\"");
        int enabled = MenuItemEnabled(path);
        bool ok = state == "checked"     ? check == xplm_Menu_Checked
                  : state == "unchecked" ? check == xplm_Menu_Unchecked
                  : state == "unmarked"  ? check == xplm_Menu_NoCheck
                  : state == "enabled"   ? enabled == 1
                                         : enabled == 0;
        static const char* checks[] = {"unmarked", "unchecked", "checked"};
        return ok || fail("menu item \"" + path + "\" is " + checks[check] +
                          (enabled ? ", enabled" : ", disabled") + ", expected " + state);
    }
    if (w == "camera") {
        bool controlled = CameraControlled();
        bool want = s.args[0] == "controlled";
        return controlled == want ||
               fail(std::string("the camera is ") + (controlled ? "controlled" : "free"));
    }
    // file; "<platform>" in its path is the host's platform folder (lin_x64, win_x64)
    std::string relative = s.args[0];
    for (auto at = relative.find("<platform>"); at != std::string::npos;
         at = relative.find("<platform>", at))
        relative.replace(at, 10, PlatformFolder());
    const fs::path file = Sandbox() / PathFromUtf8(relative);
    std::error_code ec;
    bool exists = fs::is_regular_file(file, ec);
    if (s.args[1] == "exists") return verdict(exists, "file " + s.args[0]);
    if (s.args[1] == "absent") return verdict(!exists, "absence of file " + s.args[0]);
    if (!exists) return fail("no file " + s.args[0] + " in the sandbox");
    std::string all, reason;
    if (!ReadWholeFile(file, &all, &reason))
        return fail("cannot read " + s.args[0] + " in the sandbox: " + reason);
    std::istringstream in(all);
    std::string line;
    bool found = false;
    if (s.args[1] == "line") {
        while (!found && std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            found = line == s.args[2];
        }
        return verdict(found, "line \"" + s.args[2] + "\" in " + s.args[0]);
    }
    return verdict(all.find(s.args[2]) != std::string::npos,
                   "\"" + s.args[2] + "\" in " + s.args[0]);
}

}  // namespace simhost::scenario
