// How long the plug-in's enable takes in the simulated host with its real OpenGL context:
// reading the tug and the GPU cart, decoding their textures and uploading them. The plug-in
// is loaded and started once; then it is disabled and enabled again, each enable timed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace fs = std::filesystem;

int main() {
    const fs::path sandbox = fs::temp_directory_path() / "tarvosk-bench-enable-load";
    std::string error;
    if (!simhost::EmptyOwnedFolder(sandbox, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    simhost::HostConfig config;
    config.sandbox = sandbox;
    config.xplaneVersion = 11410;
    if (!simhost::Reset(config, &error)) {
        std::fprintf(stderr, "host: %s\n", error.c_str());
        return 1;
    }
    if (!simhost::GraphicsAvailable(&error)) {
        std::printf("enable-load: skipped, no OpenGL context (%s)\n", error.c_str());
        return 0;
    }
    if (!fs::exists(fs::path(TARVOSK_CONTENT_DIR) / "TVKdefault.obj")) {
        std::fprintf(stderr, "no generated content in %s\n", TARVOSK_CONTENT_DIR);
        return 1;
    }
    fs::copy(TARVOSK_CONTENT_DIR, sandbox / "Resources/plugins/Tarvosk",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const int id = simhost::LoadPlugin(TARVOSK_XPL, &error);
    if (id < 0 || !simhost::StartPlugin(id)) {
        std::fprintf(stderr, "cannot load and start the plug-in: %s\n", error.c_str());
        return 1;
    }
    constexpr int kRuns = 25;
    std::vector<double> ms;
    for (int k = 0; k < kRuns; ++k) {
        const auto start = std::chrono::steady_clock::now();
        const bool ok = simhost::EnablePlugin(id);
        const auto end = std::chrono::steady_clock::now();
        if (!ok) {
            std::fprintf(stderr, "XPluginEnable failed\n");
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        simhost::RunFrames(1);  // one drawn frame: the objects are in use
        simhost::DisablePlugin(id);
    }
    simhost::UnloadPlugin(id);
    // The plug-in's log says whether the tug and the cart were loaded.
    std::ifstream log(sandbox / "Resources/plugins/Tarvosk/Tarvosk.log");
    std::stringstream text;
    text << log.rdbuf();
    if (text.str().find("[WRNG]") != std::string::npos)
        std::printf("warning: the plug-in logged a warning while loading; see %s\n",
                    (sandbox / "Resources/plugins/Tarvosk/Tarvosk.log").c_str());
    std::sort(ms.begin(), ms.end());
    std::printf("enable: %d runs, best %.2f ms, median %.2f ms, worst %.2f ms\n", kRuns, ms.front(),
                ms[ms.size() / 2], ms.back());
    std::printf("enable-load: %.1f ms (goal 20)\n", ms[ms.size() / 2]);
    return 0;
}
