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

// The per-platform folders of the layout X-Plane 11 and 12 document for plug-ins
// (plugins/Tarvosk/lin_x64/Tarvosk.xpl); a library in one of them shares the folder above.
bool IsPlatformFolderName(std::string_view name) {
    return name == "lin_x64" || name == "win_x64" || name == "mac_x64" || name == "64";
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

bool LiesInPlatformFolder(std::string_view libraryPath, char separator) {
    const std::size_t last = libraryPath.rfind(separator);
    if (last == std::string_view::npos || last == 0) return false;
    const std::size_t before = libraryPath.rfind(separator, last - 1);
    // The platform folder needs a parent to be the data folder.
    if (before == std::string_view::npos) return false;
    return IsPlatformFolderName(libraryPath.substr(before + 1, last - before - 1));
}

std::string DataFolderFor(std::string_view libraryPath, char separator) {
    if (LiesInPlatformFolder(libraryPath, separator))
        return CutAfterSeparator(libraryPath, separator, 2);
    // The library's name without its extension (".xpl") names the data folder.
    if (libraryPath.size() <= 4) return std::string();
    return std::string(libraryPath.substr(0, libraryPath.size() - 4)) + separator;
}

std::string SimulatorRootFor(std::string_view libraryPath, char separator) {
    // .../Resources/plugins/x.xpl, or one folder deeper in a platform folder.
    const int levels = LiesInPlatformFolder(libraryPath, separator) ? 5 : 3;
    const std::string root = CutAfterSeparator(libraryPath, separator, levels);
    return !root.empty() && root.back() == separator && root.size() < libraryPath.size()
               ? root
               : std::string();
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
        case SimulatorRoot:
            return SimulatorRootFor(PluginFilePath(), sep[0]);
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
        case PluginDataFolder:
            return DataFolderFor(PluginFilePath(), sep[0]);
        case FlightPlansFolder:
            return UnderRoot(GetPath(SimulatorRoot), "QNFlight Plans" + sep);
        case FmsFlightPlansFolder:
            return UnderRoot(GetPath(SimulatorRoot), "QN FMS Flight Plans" + sep);
    }
    return std::string();
}

}  // namespace tarvosk
