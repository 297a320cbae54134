#include "shell/paths.h"

#include <cstring>

#include "xplm/host.h"

namespace tarvosk {

namespace {

// The host's buffers are at least 512 bytes (256 for names); ours are generous and always
// terminated, so a longer path than the host promises cannot run past them.
constexpr std::size_t kHostPathBuffer = 4096;

std::string HostText(char (&buffer)[kHostPathBuffer]) {
    buffer[kHostPathBuffer - 1] = '\0';
    return std::string(buffer, strnlen(buffer, kHostPathBuffer));
}

// The host fills at most 256 bytes of the plug-in's file path. A path that fills them is cut
// short: folders derived from it would point somewhere else (up to the file system's root),
// so it yields no path at all and the plug-in runs without its data folder.
constexpr std::size_t kPluginInfoBuffer = 256;

std::string PluginFilePath() {
    char name[kHostPathBuffer] = {}, file[kHostPathBuffer] = {};
    char signature[kHostPathBuffer] = {}, description[kHostPathBuffer] = {};
    XPLMGetPluginInfo(XPLMGetMyID(), name, file, signature, description);
    std::string path = HostText(file);
    if (path.size() >= kPluginInfoBuffer - 1) path.clear();
    return path;
}

// A folder below the simulator's root, or nothing when the root is unknown.
std::string UnderRoot(const std::string& root, const std::string& rest) {
    return root.empty() ? std::string() : root + rest;
}

}  // namespace

std::string DirectorySeparator() {
    const char* separator = XPLMGetDirectorySeparator();
    if (separator == nullptr || separator[0] == '\0') return "/";
    return std::string(1, separator[0]);
}

std::string CutAfterSeparator(std::string_view path, char separator, int count) {
    std::size_t end = path.size();
    for (int found = 0; found < count; ++found) {
        if (end == 0) return std::string(path);
        const std::size_t at = path.rfind(separator, end - 1);
        if (at == std::string_view::npos) return std::string(path);
        end = at;
    }
    return std::string(path.substr(0, end + 1));
}

std::string GetPath(PathKind kind) {
    const std::string sep = DirectorySeparator();
    switch (kind) {
        case SystemFolder: {
            char buffer[kHostPathBuffer] = {};
            XPLMGetSystemPath(buffer);
            return HostText(buffer);
        }
        case PluginFolder:
            return CutAfterSeparator(PluginFilePath(), sep[0]);
        case SimulatorRoot: {
            const std::string root = CutAfterSeparator(PluginFilePath(), sep[0], 3);
            return !root.empty() && root.back() == sep[0] ? root : std::string();
        }
        case PrefsFolder: {
            char buffer[kHostPathBuffer] = {};
            XPLMGetPrefsPath(buffer);
            return CutAfterSeparator(HostText(buffer), sep[0]);
        }
        case EarthNavDataFolder:
            return UnderRoot(GetPath(SimulatorRoot), "Resources" + sep + "Earth nav data" + sep);
        case CustomSceneryFolder:
            return UnderRoot(GetPath(SimulatorRoot), "Custom Scenery" + sep);
        case AircraftFolder: {
            char file[kHostPathBuffer] = {}, path[kHostPathBuffer] = {};
            XPLMGetNthAircraftModel(0, file, path);
            return CutAfterSeparator(HostText(path), sep[0]);
        }
        case PluginDataFolder: {
            // The library's name without its extension (".xpl") names the data folder.
            std::string path = PluginFilePath();
            if (path.size() <= 4) return std::string();
            path.resize(path.size() - 4);
            return path + sep;
        }
        case FlightPlansFolder:
            return UnderRoot(GetPath(SimulatorRoot), "QNFlight Plans" + sep);
        case FmsFlightPlansFolder:
            return UnderRoot(GetPath(SimulatorRoot), "QN FMS Flight Plans" + sep);
    }
    return std::string();
}

}  // namespace tarvosk
