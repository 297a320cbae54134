// The soak's run: a fresh host and plug-in, then operations drawn by weight with the
// invariants checked after each, and the figures of what was exercised.
#include "soak.h"

#include <cinttypes>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "simhost/owned_folder.h"
#include "simhost/simhost.h"
#include "soak_run.h"

namespace simhost::soak {

// A fresh host at `version` with `driver`, in the same sandbox (the files stay).
bool Soak::ResetHost(int version, const std::string& driver) {
    HostConfig config;
    config.sandbox = options_.sandbox;
    config.xplaneVersion = version;
    config.driver = driver;
    config.aircraftFile = options_.aircraft;
    std::string why;
    if (!Reset(config, &why)) {
        Fail("the host refused version " + std::to_string(version) + " driver " + driver + ": " +
             why);
        return false;
    }
    ++versionsRun_[std::to_string(version) + " " + driver];
    speechSeen_ = 0;
    // A new simulator: no message sent yet, no GPU views to compare with the old one's.
    messagesSeen_ = 0;
    lastGpuBroadcast_ = 0;
    gpuDisagreeSince_ = NAN;
    SetAfterFrameHook(nullptr);
    return true;
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
        if (!MakeFolders(data, &why)) {
            std::fprintf(stderr, "soak: %s\n", why.c_str());
            return 2;
        }
        fs::copy(options_.content, data,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing, ignored);
    }
    const std::string tail = GetDatarefBytes("sim/aircraft/view/acf_tailnum").substr(0, 6);
    const std::string t = std::string(tail.c_str());
    for (const char* move : {"push back straight", "push back tail left", "push back tail right",
                             "tow forward", "push back as planned"})
        crewTexts_.insert("Ok, " + t + " we are ready to " + move + ". Please remove breaks.");
    for (const char* rest :
         {" thanks you, we are starting pushback", " starting push back",
          " thanks you, we are starting tow", " starting tow", " do you confirm brake is released?",
          " push back terminated, cleared to taxi. Good flight !",
          " tow terminated, cleared to taxi. Good flight !", " GPU is OFF and disconnected",
          " GPU is running", " negative, we can't hook up the GPU while you are airborne"})
        crewTexts_.insert(t + rest);
    // An aircraft without a wheel for the tug has the push refused with a word from the crew.
    for (const char* rest : {" we cannot push you, there is no nose wheel for our tug",
                             " we cannot push you, there is no wheel behind for our tug"})
        crewTexts_.insert(t + rest);
    crewTexts_.insert("Roger " + t + " GPU is hooked up and warming up");
    // The traffic watch names the side and the move.
    for (const char* side : {"behind the tail", "ahead of the nose", "at the left wing tip",
                             "at the right wing tip"}) {
        for (const std::string move : {"push", "tow"}) {
            const std::string s = side;
            crewTexts_.insert("Stop, stop! Traffic " + s + ", we hold the " + move + " here.");
            crewTexts_.insert("Still holding, traffic " + s + ". We will not " + move + " on.");
            crewTexts_.insert("Traffic " + s + " is clear now, we continue the " + move + ".");
        }
    }

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
        "frames held at a halt by a pause or a stop; %lld other aircraft checked clear of a "
        "moving push\n",
        manualFrames_, heldFrames_, trafficChecks_);
    std::printf("soak: simulators run:");
    for (const auto& [sim, runs] : versionsRun_) std::printf(" %s x%lld;", sim.c_str(), runs);
    std::printf("\n");
    return 0;
}

int RunSoak(const SoakOptions& options) {
    Soak soak(options);
    return soak.Run();
}

}  // namespace simhost::soak
