// Runs a parsed scenario against the simulated host and writes its outputs.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>

#include "checks.h"
#include "lines.h"
#include "outputs.h"
#include "picture_steps.h"
#include "scenario.h"
#include "simhost/files.h"
#include "simhost/owned_folder.h"
#include "simhost/simhost.h"
#include "traffic_lines.h"

namespace simhost::scenario {

namespace {

namespace fs = std::filesystem;

class Runner {
  public:
    Runner(const Script& script, const RunOptions& options) : script_(script), options_(options) {}
    RunResult Run();

  private:
    bool Step(const simhost::scenario::Step& s);
    bool Fail(const simhost::scenario::Step& s, const std::string& why) {
        return FailAt(s.line, why);
    }
    bool FailAt(int line, const std::string& why) {
        error_ = script_.file + ":" + std::to_string(line) + ": " + Printable(why);
        return false;
    }
    bool EnsureHost(const simhost::scenario::Step& s);
    bool Load(const simhost::scenario::Step& s, const fs::path& plugin);
    bool Lifecycle(const simhost::scenario::Step& s);
    bool LoadOthers(const simhost::scenario::Step& s);
    void ResolveTrack();
    void AfterFrame();
    void WriteOutputs(RunResult* result);

    const Script& script_;
    RunOptions options_;
    std::string error_;
    bool hostUp_ = false;
    fs::path out_, sandbox_, plugin_, content_;
    int pluginId_ = -1;
    std::vector<int> otherIds_;  // the plug-ins of 'also-load' lines, loaded once
    bool track_ = true;
    std::vector<TrackRow> rows_;
    DatarefHandle ax_ = nullptr, az_ = nullptr, ah_ = nullptr, tx_ = nullptr, tz_ = nullptr,
                  th_ = nullptr, phase_ = nullptr;
    double lastPhase_ = NAN;
    std::unique_ptr<PictureSteps> pictures_;
};

bool Runner::EnsureHost(const simhost::scenario::Step& s) {
    if (hostUp_) return true;
    HostConfig config;
    config.sandbox = sandbox_;
    if (script_.xplaneVersion) config.xplaneVersion = *script_.xplaneVersion;
    if (script_.xplmVersion) config.xplmVersion = *script_.xplmVersion;
    config.framesPerSecond = options_.fps > 0 ? options_.fps : script_.fps.value_or(30.0);
    config.omitDatarefs = script_.omit;
    if (script_.driver) config.driver = *script_.driver;
    if (script_.screenWidth) config.screenWidth = *script_.screenWidth;
    if (script_.screenHeight) config.screenHeight = *script_.screenHeight;
    if (script_.aircraft) config.aircraftFile = *script_.aircraft;
    if (!options_.aircraft.empty()) config.aircraftFile = options_.aircraft;
    config.layout = options_.layout.value_or(script_.layout.value_or(PluginLayout::Flat));
    if (script_.origin) {
        config.originLatitude = (*script_.origin)[0];
        config.originLongitude = (*script_.origin)[1];
        config.originElevation = (*script_.origin)[2];
    }
    config.airports = script_.airports;
    config.defaultAirport = !script_.noDefaultAirport;
    std::string why;
    Shutdown();  // a host of an earlier run keeps files open in the sandbox
    if (script_.freshSandbox && !options_.keepSandbox && !EmptyOwnedFolder(sandbox_, &why))
        return FailAt(script_.freshSandboxLine, "fresh-sandbox: " + why);
    if (!Reset(config, &why)) return Fail(s, "cannot set up the host: " + why);
    SetAfterFrameHook([this] { AfterFrame(); });
    hostUp_ = true;
    return true;
}

bool Runner::Load(const simhost::scenario::Step& s, const fs::path& plugin) {
    if (plugin.empty())
        return Fail(s, "no plug-in to load: give --plugin, a 'plugin' line or 'load PATH'");
    std::error_code ec;
    std::string why;
    const fs::path dataFolder = Sandbox() / "Resources" / "plugins" / plugin.stem();
    if (!MakeFolders(dataFolder, &why)) return Fail(s, why);
    if (!content_.empty()) {
        if (!fs::is_directory(content_, ec)) return Fail(s, "no content folder " + Utf8(content_));
        // File by file: in GCC 12's library on Windows, fs::copy's recursive copy and
        // copy_file's overwrite fail with "File exists" for a folder or file that is already
        // there.
        for (auto it = fs::recursive_directory_iterator(content_, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const fs::path to = dataFolder / fs::relative(it->path(), content_, ec);
            if (ec) break;
            if (it->is_directory(ec)) {
                if (!MakeFolders(to, &why)) return Fail(s, why);
            } else {
                fs::remove(to, ec);  // overwrite_existing fails the same way there
                fs::copy_file(it->path(), to, ec);
            }
            if (ec) break;
        }
        if (ec) return Fail(s, "cannot copy the content into the sandbox: " + ec.message());
    }
    pluginId_ = LoadPlugin(plugin, &why);
    if (pluginId_ < 0) return Fail(s, "cannot load the plug-in: " + why);
    plugin_ = plugin;
    return true;
}

// The other plug-ins live beside the main one from its first load to the end of the run,
// through its restarts, as other add-ons do in the simulator.
bool Runner::LoadOthers(const simhost::scenario::Step& s) {
    if (!otherIds_.empty() || script_.alsoLoad.empty()) return true;
    for (const fs::path& other : script_.alsoLoad) {
        std::string why;
        const int id = LoadPlugin(other, &why);
        if (id < 0) return Fail(s, "cannot load " + Utf8(other) + ": " + why);
        otherIds_.push_back(id);
        if (!StartPlugin(id) || !EnablePlugin(id))
            return Fail(s, Utf8(other) + " did not start and enable");
    }
    return true;
}

bool Runner::Lifecycle(const simhost::scenario::Step& s) {
    const std::string& v = s.verb;
    if (v == "load")
        return Load(s, s.args.empty() ? plugin_ : PathFromUtf8(s.args[0])) && LoadOthers(s);
    if (v == "launch") {
        if (!Load(s, plugin_) || !LoadOthers(s)) return false;
        if (!StartPlugin(pluginId_)) return Fail(s, "XPluginStart failed");
        return EnablePlugin(pluginId_) || Fail(s, "XPluginEnable failed");
    }
    if (pluginId_ < 0) return Fail(s, "no plug-in loaded");
    if (v == "start")
        return StartPlugin(pluginId_) ||
               Fail(s, "XPluginStart failed or the plug-in is not freshly loaded");
    if (v == "enable")
        return EnablePlugin(pluginId_) ||
               Fail(s, "XPluginEnable failed or the plug-in is not started");
    if (v == "disable") {
        DisablePlugin(pluginId_);
        return true;
    }
    if (v == "stop") {
        StopPlugin(pluginId_);
        return true;
    }
    if (v == "unload") {
        UnloadPlugin(pluginId_);
        pluginId_ = -1;
        return true;
    }
    // restart: what the user does by quitting and starting the simulator again.
    UnloadPlugin(pluginId_);
    pluginId_ = -1;
    if (!Load(s, plugin_)) return false;
    if (!StartPlugin(pluginId_) || !EnablePlugin(pluginId_))
        return Fail(s, "the plug-in did not start again");
    return true;
}

bool Runner::Step(const simhost::scenario::Step& s) {
    const std::string& v = s.verb;
    if (v == "print") {
        std::string line;
        for (std::size_t k = 0; k < s.args.size(); ++k) {
            const std::string& a = s.args[k];
            if (!line.empty()) line += ' ';
            double value = NAN;
            if (k < s.quoted.size() && s.quoted[k]) {
                line += a;
            } else if (hostUp_ && HostValue(a, pluginId_, &value)) {
                line += a + " = " + Num(value);  // what a condition on it would compare
            } else if (hostUp_ && DatarefExists(a)) {
                line += a + " = " + Num(GetDataref(a));
            } else {
                return Fail(s, "print: no dataref " + a +
                                   (hostUp_ ? "" : " before the first action starts the host") +
                                   " (quote plain text)");
            }
        }
        std::cout << (hostUp_ ? Fixed(Now()) + " " : "") << line << std::endl;
        if (hostUp_) AddTimelineEvent("print: " + line);
        return true;
    }
    if (!EnsureHost(s)) return false;
    if (s.what == "window") {
        std::string why;
        return RunWindowLine(s, &why) || Fail(s, why);
    }
    if (v == "load" || v == "start" || v == "enable" || v == "disable" || v == "stop" ||
        v == "unload" || v == "restart" || v == "launch") {
        bool ok = Lifecycle(s);
        ResolveTrack();
        return ok;
    }
    if (v == "set") {
        if (s.what == "fps") return SetFramesPerSecond(s.number) || Fail(s, "bad frame rate");
        const std::string& name = s.args[0];
        if (!DatarefExists(name)) return Fail(s, "unknown dataref " + name);
        bool ok;
        if (s.what == "text") {
            ok = SetDatarefBytes(name, s.args[1], static_cast<int>(s.count));
        } else if (s.what == "array") {
            std::vector<float> values;
            for (std::size_t k = 1; k < s.args.size(); ++k)
                values.push_back(std::strtof(s.args[k].c_str(), nullptr));
            ok = SetDatarefArray(name, values, static_cast<int>(s.count));
        } else {
            ok = SetDataref(name, std::strtod(s.args[1].c_str(), nullptr));
        }
        if (!ok) {
            const std::string refusal = DatarefWriteRefusal(name);
            return Fail(s, "cannot write " + name + " (" +
                               (refusal.empty() ? "wrong type or index out of range" : refusal) +
                               ")");
        }
        AddTimelineEvent("set " + name +
                         (s.what == "array" || s.count ? "[" + std::to_string(s.count) + "]" : "") +
                         " " + s.args[1]);
        return true;
    }
    if (v == "command") {
        const int phase = s.what == "begin" ? xplm_CommandBegin
                          : s.what == "end" ? xplm_CommandEnd
                                            : -1;
        return RunCommand(s.args[0], phase) || Fail(s, "no command " + s.args[0]);
    }
    if (v == "release") return ReleaseDataref(s.args[0]) || Fail(s, "unknown dataref " + s.args[0]);
    if (v == "menu")
        return ChooseMenuItem(s.args[0]) || Fail(s, "no enabled menu item \"" + s.args[0] + "\"");
    if (v == "message") {
        int code = static_cast<int>(static_cast<long long>(s.number) & 0xFFFFFFFFLL);
        SendMessageFromHost(-1, code, reinterpret_cast<void*>(static_cast<std::intptr_t>(s.count)));
        return true;
    }
    if (v == "key") {
        AddTimelineEvent("key " + s.args[0]);
        bool consumed = PressKey(s.key, s.keyFlags | xplm_DownFlag);
        PressKey(s.key, s.keyFlags | xplm_UpFlag);
        (void)consumed;
        return true;
    }
    if (v == "view") {
        if (s.what == "change") {
            ChangeView();
        } else {
            SetDataref("sim/graphics/view/view_is_external", s.what == "outside" ? 1 : 0);
            ChangeView();
        }
        return true;
    }
    if (v == "click" || v == "close") {
        const std::uintptr_t id = v == "click" ? FindWidgetToClick(s.args[0]) : 0;
        if (id) {
            AddTimelineEvent("click " + s.args[0]);
            return ClickWidget(id) ||
                   Fail(s, "the widget \"" + s.args[0] + "\" did not take the click");
        }
        for (const WidgetInfo& w : Widgets())
            if (w.descriptor == s.args[0] && w.visible && v == "close") {
                AddTimelineEvent("close " + s.args[0]);
                return CloseWidgetWindow(w.id) ||
                       Fail(s, "the window \"" + s.args[0] + "\" has no close box to press");
            }
        return Fail(s, "no visible widget \"" + s.args[0] + "\"");
    }
    if (v == "drag") {
        const std::uintptr_t id = FindSlider(s.args[0]);
        if (!id)
            return Fail(s,
                        "no visible slider" +
                            (s.args[0].empty() ? std::string() : " beside \"" + s.args[0] + "\""));
        AddTimelineEvent("drag slider to " + Num(s.number));
        return DragSlider(id, static_cast<int>(s.number)) || Fail(s, "the slider did not move");
    }
    if (v == "wait" && s.what == "until") {
        const double deadline = Now() + s.number;
        bool known = false;
        std::string actual;
        while (!Evaluate(s.cond, pluginId_, &known, &actual)) {
            if (Now() >= deadline - 1e-9)
                return Fail(s, "condition " + Describe(s.cond) + " not met within " +
                                   Num(s.number) + " s (" + (known ? "is " : "") + actual + ")");
            RunFrames(1);
        }
        return true;
    }
    if (v == "wait") {
        RunSeconds(s.number);
        return true;
    }
    if (v == "frames") {
        RunFrames(static_cast<int>(s.count));
        return true;
    }
    if (v == "assert") {
        bool known = false;
        std::string actual;
        if (Evaluate(s.cond, pluginId_, &known, &actual)) return true;
        if (!known) return Fail(s, "assert on " + s.cond.lhs + ": no such dataref");
        return Fail(s, "assert failed: " + Describe(s.cond) + " (is " + actual + ")");
    }
    if (v == "expect") {
        std::string why;
        return Expect(s, &why) || Fail(s, why);
    }
    if (v == "mark") {
        std::string line;
        for (const std::string& a : s.args) line += (line.empty() ? "" : " ") + a;
        AddTimelineEvent("mark: " + line);
        return true;
    }
    if (v == "track") {
        track_ = s.args[0] == "on";
        return true;
    }
    if (v == "trail") {
        ShowTrail(s.args[0] == "on");
        return true;
    }
    if (v == "traffic") {
        std::string why;
        return RunTrafficStep(s, &why) || Fail(s, why);
    }
    if (v == "picture" || v == "animation") {
        std::string why;
        return pictures_->Run(s, &why) || Fail(s, why);
    }
    return Fail(s, "unknown action '" + v + "'");
}

void Runner::ResolveTrack() {
    ax_ = LookupDataref("sim/flightmodel/position/local_x");
    az_ = LookupDataref("sim/flightmodel/position/local_z");
    ah_ = LookupDataref("sim/flightmodel/position/psi");
    tx_ = LookupDataref("quorren/tarvosk/truck/position_ogl_x");
    tz_ = LookupDataref("quorren/tarvosk/truck/position_ogl_z");
    th_ = LookupDataref("quorren/tarvosk/truck/position_hdg");
    phase_ = LookupDataref("tarvosk/diagnostics/truck_phase");
}

void Runner::AfterFrame() {
    auto read = [](DatarefHandle h) { return h ? ReadDataref(h) : NAN; };
    double phase = read(phase_);
    if (std::isfinite(phase) && !(phase == lastPhase_)) {
        AddTimelineEvent("phase: " + Fixed(phase, 0));
        lastPhase_ = phase;
    }
    if (!track_ || !PluginEnabled(pluginId_)) return;
    double tx = read(tx_), tz = read(tz_), th = read(th_);
    // Under a modern driver the tug the user sees is the plug-in's instance: record that one
    // (the cart's object lives in GroundServices/).
    for (const InstanceInfo& i : Instances()) {
        if (!i.positioned || i.objectPath.parent_path().filename() == "GroundServices") continue;
        tx = i.x;
        tz = i.z;
        th = i.heading;
        break;
    }
    rows_.push_back({Now(), read(ax_), read(az_), read(ah_), tx, tz, th, phase});
}

void Runner::WriteOutputs(RunResult* result) {
    std::error_code ec;
    std::string why;
    if (!MakeFolders(out_, &why)) std::fprintf(stderr, "tarvosk-sim: %s\n", why.c_str());
    auto add = [&](const fs::path& p, bool ok) {
        if (ok) result->outputs.push_back(p);
    };
    add(out_ / "timeline.txt", WriteTimeline(out_ / "timeline.txt", Timeline()));
    add(out_ / "track.csv", WriteTrackCsv(out_ / "track.csv", rows_));
    add(out_ / "track.svg",
        WriteTrackSvg(out_ / "track.svg", rows_, Utf8(PathFromUtf8(script_.file).filename())));
    fs::path sandbox = Sandbox();
    auto copy = [&](const fs::path& from, const fs::path& to) {
        if (!fs::is_regular_file(from, ec)) return;
        fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
        add(to, !ec);
    };
    copy(sandbox / "Log.txt", out_ / "host.log");
    if (!plugin_.empty()) {
        const fs::path stem = plugin_.stem();
        fs::path log = stem;
        log += ".log";
        copy(sandbox / "Resources" / "plugins" / stem / log, out_ / log);
    }
    for (const auto& entry : fs::directory_iterator(sandbox / "Output" / "preferences", ec))
        if (entry.path().extension() == ".prf" && entry.path().filename() != "X-Plane.prf")
            copy(entry.path(), out_ / entry.path().filename());
}

RunResult Runner::Run() {
    RunResult result;
    const auto wallStart = std::chrono::steady_clock::now();
    out_ = options_.out.empty() ? fs::path("out") : options_.out;
    sandbox_ = !options_.sandbox.empty() ? options_.sandbox
               : script_.sandbox         ? *script_.sandbox
                                         : out_ / "sandbox";
    plugin_ = !options_.plugin.empty() ? options_.plugin : script_.plugin.value_or(fs::path());
    content_ = !options_.content.empty() ? options_.content : script_.content.value_or(fs::path());
    pictures_ = std::make_unique<PictureSteps>(
        out_, options_.pictures,
        "Tarvosk in the simulated host: " + Utf8(PathFromUtf8(script_.file).filename()));
    bool ok = true;
    for (const simhost::scenario::Step& s : script_.steps) {
        if (!Step(s)) {
            ok = false;
            break;
        }
    }
    if (ok && !hostUp_) {
        simhost::scenario::Step none;
        ok = EnsureHost(none);
    }
    if (hostUp_) {
        result.simulatedSeconds = Now();
        result.frames = FrameCount();
        result.speechCount = Speech().size();
        result.track = SummarizeTrack(rows_);
        pictures_->Close();
        SetAfterFrameHook(nullptr);
        if (pluginId_ > 0) {
            // Quit as the simulator does: the plug-in is disabled and stopped, so the files it
            // writes on stopping are there to copy.
            UnloadPlugin(pluginId_);
            pluginId_ = -1;
        }
        for (int id : otherIds_) UnloadPlugin(id);
        otherIds_.clear();
        WriteOutputs(&result);
        for (const fs::path& p : pictures_->Written()) result.outputs.push_back(p);
    }
    result.ok = ok;
    result.error = error_;
    result.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    return result;
}

}  // namespace

RunResult RunScript(const Script& script, const RunOptions& options) {
    Runner runner(script, options);
    return runner.Run();
}

}  // namespace simhost::scenario
