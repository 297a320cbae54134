// Every folder the plug-in uses, derived from where the host installed it, and the scan that
// lists the object files of a folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvosk {

enum PathKind {
    SystemFolder = 0,          // the host's system path, unchanged
    PluginFolder = 1,          // the folder holding the plug-in library
    SimulatorRoot = 2,         // three levels above the library (…/Resources/plugins/x.xpl),
                               // five when it lies in a platform folder
    PrefsFolder = 3,           // the host's preferences folder
    EarthNavDataFolder = 4,    // root + "Resources/Earth nav data/"
    CustomSceneryFolder = 5,   // root + "Custom Scenery/"
    AircraftFolder = 6,        // the folder of the user's aircraft
    PluginDataFolder = 7,      // the library path without its extension, as a folder; for a
                               // library in lin_x64/, win_x64/, mac_x64/ or 64/, the folder above
    FlightPlansFolder = 8,     // root + "QNFlight Plans/"
    FmsFlightPlansFolder = 9,  // root + "QN FMS Flight Plans/"
};

// The folder of `kind`, ending with the host's directory separator. Empty when the host's
// paths cannot give it (a plug-in path too long for the host's buffer, too few folders above
// the library for the simulator's root) and for unknown kinds.
std::string GetPath(PathKind kind);

// The host's directory separator ("/" when the host gives none).
std::string DirectorySeparator();

// `path` cut right after its `count`-th `separator` counted from the end; a path with fewer
// separators is returned whole.
std::string CutAfterSeparator(std::string_view path, char separator, int count = 1);

// Whether the library at `libraryPath` lies in a platform folder ("lin_x64", "win_x64",
// "mac_x64" or "64") that has a parent folder: the layout .../plugins/Tarvosk/lin_x64/Tarvosk.xpl.
bool LiesInPlatformFolder(std::string_view libraryPath, char separator);

// The plug-in data folder for a library at `libraryPath`: the platform folder's parent when
// the library lies in one, otherwise the library path without its extension, as a folder.
// Ends with `separator`; empty for a path too short to name a folder.
std::string DataFolderFor(std::string_view libraryPath, char separator);

// The simulator's root for a library installed under its Resources/plugins/ folder, in either
// layout; empty when the path has too few folders above the library.
std::string SimulatorRootFor(std::string_view libraryPath, char separator);

// Whether `text` matches `pattern`: "*" any run (also empty), "?" one character, anything else
// itself, case-sensitive.
bool MatchWildcard(std::string_view text, std::string_view pattern);

// Appends to `names` the name (without ".obj") of every "*.obj" entry of `folder`, sub-folders
// included, sorted by name so every system lists them alike. False, with `names` unchanged,
// when the folder cannot be listed.
bool ScanObjectFolder(const std::string& folder, std::vector<std::string>& names);

}  // namespace tarvosk
