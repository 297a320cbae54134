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
#include "simhost/files.h"
#include "soak.h"

namespace {

const char* const kUsage =
    "usage: tarvosk-sim [--plugin PATH/Tarvosk.xpl] [--content DIR] [--sandbox DIR] "
    "[--out DIR] [--fps N] [--layout flat|fat] [--aircraft FILE] [--keep-sandbox] [--quiet] "
    "[--no-pictures] "
    "SCENARIO.txt\n"
    "       tarvosk-sim --soak N [--seed S] --plugin PATH/Tarvosk.xpl [--content DIR] "
    "[--sandbox DIR] [--aircraft FILE] [--quiet]\n"
    "       tarvosk-sim --contact-sheet OUT.png [--title TEXT] [--columns N] "
    "[--section HEADING] PICTURE.png|PICTURES_DIR [--label TEXT] ...\n"
    "       tarvosk-sim --shrink IN.png OUT.png WIDTH\n";

// Every option and script line in a word or two; simhost/SCENARIOS.md has the whole story.
const char* const kHelp =
    "\n"
    "Runs a scenario script against the simulated X-Plane with a real plug-in binary.\n"
    "\n"
    "options:\n"
    "  --plugin PATH      the plug-in (.xpl) to load; wins over the script's 'plugin' line\n"
    "  --content DIR      copied into the plug-in's data folder before each load\n"
    "  --sandbox DIR      the run folder, laid out like X-Plane (default OUT/sandbox)\n"
    "  --out DIR          outputs: timeline, track, pictures, logs (default out/)\n"
    "  --fps N            frames per second (default 30)\n"
    "  --layout flat|fat  where the plug-in is installed in the sandbox\n"
    "  --aircraft FILE    the aircraft (key = value or a real .acf); wins over the script's\n"
    "  --keep-sandbox     ignore 'fresh-sandbox' (run in an installation made beforehand)\n"
    "  --quiet            no summary unless the run fails\n"
    "  --no-pictures      pass 'picture' and 'animation' lines over\n"
    "  --soak N           N random operations on the plug-in instead of a script\n"
    "  --seed S           the soak's seed\n"
    "  --contact-sheet    put pictures already taken on one sheet (--title, --columns,\n"
    "                     --section, --label)\n"
    "  --shrink           a smaller copy of a picture, WIDTH pixels wide\n"
    "  -h, --help         this text\n"
    "\n"
    "configuration lines (before the first action):\n"
    "  sandbox DIR, fresh-sandbox (empties only a sandbox tarvosk-sim made), layout flat|fat,\n"
    "  plugin PATH, content DIR, aircraft FILE, version N, xplm-version N, fps N,\n"
    "  driver modern|opengl, screen WxH, also-load PATH, omit NAME...\n"
    "\n"
    "actions:\n"
    "  load [PATH], start, enable, disable, stop, unload, launch, restart   the plug-in's life\n"
    "  set NAME VALUE | NAME[I] V1 V2... | NAME \"text\" | NAME[I] \"text\", set fps N,\n"
    "         release NAME\n"
    "  traffic place SLOT TYPE at X Z|offset RIGHT AFT heading H, traffic stop|remove SLOT,\n"
    "         traffic move SLOT speed S [heading H] | to X Z|to offset RIGHT AFT speed S\n"
    "  command NAME [once|begin|end], menu PATH, message CODE [param N]\n"
    "  key NAME [shift] [alt] [ctrl], view outside|inside|change\n"
    "  click widget \"DESCRIPTOR\", close widget \"TITLE\", drag slider [\"LABEL\"] VALUE\n"
    "  wait DURATION, frames N, wait until COND within DURATION, assert COND\n"
    "  expect [no] speech|timeline|window-text|widget-text [contains] \"TEXT\",\n"
    "         expect speech count N, expect [no] message CODE, expect menu \"PATH\" STATE,\n"
    "         expect camera controlled|free, expect file \"PATH\" exists|absent|line|contains\n"
    "  print WORDS (quoted text, or dataref names printed with their values), mark WORDS\n"
    "  track on|off, picture NAME [view outside|top|tug|screen] [size WxH] [label \"TEXT\"]\n"
    "  animation start NAME [view V] [size WxH] [every DURATION], animation stop\n"
    "\n"
    "The script language and the outputs: simhost/SCENARIOS.md.\n";

int Usage(const char* why) {
    if (why) std::cerr << "tarvosk-sim: " << why << "\n";
    std::cerr << kUsage;
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
    if (argc > 1 && std::strcmp(argv[1], "--shrink") == 0)
        return simhost::tool::RunShrink(argc, argv, 2);
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
            a == "--fps" || a == "--layout" || a == "--aircraft") {
            const char* v = value(a.c_str());
            if (!v) return Usage((a + " needs a value").c_str());
            if (a == "--plugin")
                options.plugin = simhost::tool::PathArgument(v);
            else if (a == "--content")
                options.content = simhost::tool::PathArgument(v);
            else if (a == "--aircraft")
                options.aircraft = simhost::tool::PathArgument(v);
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
            std::cout << kUsage << kHelp;
            return 0;
        } else if (!a.empty() && a[0] == '-') {
            return Usage(("unknown option " + a).c_str());
        } else if (scenarioFile.empty()) {
            scenarioFile = a;
        } else {
            return Usage("only one scenario file");
        }
    }
    // A wrong --plugin is said at once, not as a failed 'load' line after the set-up.
    std::string why;
    if (!options.plugin.empty() && !simhost::CheckPluginFile(options.plugin, &why))
        return Usage(("--plugin: " + why).c_str());
    if (soakOperations >= 0) {
        if (options.plugin.empty()) return Usage("--soak needs --plugin");
        simhost::soak::SoakOptions soak;
        soak.operations = soakOperations;
        soak.seed = soakSeed;
        soak.plugin = options.plugin;
        soak.content = options.content;
        soak.aircraft = options.aircraft;
        soak.sandbox =
            options.sandbox.empty() ? std::filesystem::path("out/soak-sandbox") : options.sandbox;
        soak.quiet = options.quiet;
        return simhost::soak::RunSoak(soak);
    }
    if (scenarioFile.empty()) return Usage("no scenario file");

    simhost::scenario::Script script;
    std::string error;
    if (!simhost::scenario::ParseScriptFile(simhost::tool::PathArgument(scenarioFile), &script,
                                            &error)) {
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
        if (r.track.valid && r.track.pathLength > 0) {
            // Pushed is tail first, towed nose first; a run may hold both.
            char moved[96];
            if (r.track.forwards > 0 && r.track.backwards > 0)
                std::snprintf(moved, sizeof moved, "pushed %.1f m and towed %.1f m",
                              r.track.backwards, r.track.forwards);
            else
                std::snprintf(moved, sizeof moved, "%s %.1f m",
                              r.track.forwards > 0 ? "towed" : "pushed", r.track.pathLength);
            std::printf(
                "  aircraft: %s along its path (%.1f m from where it stood), heading "
                "%.1f -> %.1f; %zu crew messages spoken\n",
                moved, r.track.displacement, r.track.startHeading, r.track.endHeading,
                r.speechCount);
        }
        for (const auto& p : r.outputs) std::printf("  wrote %s\n", simhost::Utf8(p).c_str());
    }
    return r.ok ? 0 : 1;
}
