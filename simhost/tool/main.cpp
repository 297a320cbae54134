// tarvosk-sim: runs a scenario script against the simulated host with a real plug-in binary.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "arguments.h"
#include "contact_sheet.h"
#include "scenario/scenario.h"
#include "soak.h"

namespace {

int Usage(const char* why) {
    if (why) std::cerr << "tarvosk-sim: " << why << "\n";
    std::cerr
        << "usage: tarvosk-sim [--plugin PATH/Tarvosk.xpl] [--content DIR] [--sandbox DIR] "
           "[--out DIR] [--fps N] [--layout flat|fat] [--keep-sandbox] [--quiet] [--no-pictures] "
           "SCENARIO.txt\n"
           "       tarvosk-sim --soak N [--seed S] --plugin PATH/Tarvosk.xpl [--content DIR] "
           "[--sandbox DIR] [--quiet]\n"
           "       tarvosk-sim --contact-sheet OUT.png [--title TEXT] [--columns N] "
           "[--section HEADING] PICTURE.png|PICTURES_DIR [--label TEXT] ...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // UTF-8 on every platform; argv points into `arguments` from here on.
    std::vector<std::string> arguments = simhost::tool::Utf8Arguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& a : arguments) utf8Argv.push_back(a.data());
    utf8Argv.push_back(nullptr);
    argc = static_cast<int>(arguments.size());
    argv = utf8Argv.data();
    if (argc > 1 && std::strcmp(argv[1], "--contact-sheet") == 0)
        return simhost::tool::RunContactSheet(argc, argv, 2);
    simhost::scenario::RunOptions options;
    std::string scenarioFile;
    long long soakOperations = -1;
    unsigned long long soakSeed = 1;
    for (int k = 1; k < argc; ++k) {
        std::string a = argv[k];
        auto value = [&](const char* name) -> const char* {
            if (k + 1 >= argc) return nullptr;
            (void)name;
            return argv[++k];
        };
        if (a == "--plugin" || a == "--content" || a == "--sandbox" || a == "--out" ||
            a == "--fps" || a == "--layout") {
            const char* v = value(a.c_str());
            if (!v) return Usage((a + " needs a value").c_str());
            if (a == "--plugin")
                options.plugin = simhost::tool::PathArgument(v);
            else if (a == "--content")
                options.content = simhost::tool::PathArgument(v);
            else if (a == "--sandbox")
                options.sandbox = simhost::tool::PathArgument(v);
            else if (a == "--out")
                options.out = simhost::tool::PathArgument(v);
            else if (a == "--layout") {
                simhost::PluginLayout layout;
                if (!simhost::scenario::ParseLayout(v, &layout))
                    return Usage("--layout is flat or fat");
                options.layout = layout;
            } else {
                char* end = nullptr;
                options.fps = std::strtod(v, &end);
                if (*end || !(options.fps > 0 && options.fps <= 10000))
                    return Usage("--fps needs a frame rate");
            }
        } else if (a == "--soak" || a == "--seed") {
            const char* v = value(a.c_str());
            char* end = nullptr;
            const unsigned long long n = v ? std::strtoull(v, &end, 0) : 0;
            if (!v || *end) return Usage((a + " needs a whole number").c_str());
            if (a == "--soak")
                soakOperations = static_cast<long long>(n);
            else
                soakSeed = n;
        } else if (a == "--keep-sandbox") {
            options.keepSandbox = true;
        } else if (a == "--quiet") {
            options.quiet = true;
        } else if (a == "--no-pictures") {
            options.pictures = false;
        } else if (a == "-h" || a == "--help") {
            Usage(nullptr);
            return 0;
        } else if (!a.empty() && a[0] == '-') {
            return Usage(("unknown option " + a).c_str());
        } else if (scenarioFile.empty()) {
            scenarioFile = a;
        } else {
            return Usage("only one scenario file");
        }
    }
    if (soakOperations >= 0) {
        if (options.plugin.empty()) return Usage("--soak needs --plugin");
        simhost::soak::SoakOptions soak;
        soak.operations = soakOperations;
        soak.seed = soakSeed;
        soak.plugin = options.plugin;
        soak.content = options.content;
        soak.sandbox =
            options.sandbox.empty() ? std::filesystem::path("out/soak-sandbox") : options.sandbox;
        soak.quiet = options.quiet;
        return simhost::soak::RunSoak(soak);
    }
    if (scenarioFile.empty()) return Usage("no scenario file");

    simhost::scenario::Script script;
    std::string error;
    if (!simhost::scenario::ParseScriptFile(scenarioFile, &script, &error)) {
        std::cerr << error << "\n";
        return 1;
    }
    simhost::scenario::RunResult r = simhost::scenario::RunScript(script, options);
    if (!r.ok) std::cerr << r.error << "\n";
    if (!options.quiet || !r.ok) {
        double rate = r.wallSeconds > 0 ? r.simulatedSeconds / r.wallSeconds : 0;
        std::printf(
            "%s: %s, %.3f simulated seconds in %lld frames, %.3f s wall time (%.0f simulated s per "
            "wall s)\n",
            scenarioFile.c_str(), r.ok ? "passed" : "FAILED", r.simulatedSeconds, r.frames,
            r.wallSeconds, rate);
        if (r.track.valid && r.track.pathLength > 0)
            std::printf(
                "  aircraft: pushed %.1f m along its path (%.1f m from where it stood), heading "
                "%.1f -> %.1f; %zu crew messages spoken\n",
                r.track.pathLength, r.track.displacement, r.track.startHeading, r.track.endHeading,
                r.speechCount);
        for (const auto& p : r.outputs) std::printf("  wrote %s\n", p.string().c_str());
    }
    return r.ok ? 0 : 1;
}
