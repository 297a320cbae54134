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
    SimulatorRoot = 2,         // three levels above the library (…/Resources/plugins/x.xpl)
    PrefsFolder = 3,           // the host's preferences folder
    EarthNavDataFolder = 4,    // root + "Resources/Earth nav data/"
    CustomSceneryFolder = 5,   // root + "Custom Scenery/"
    AircraftFolder = 6,        // the folder of the user's aircraft
    PluginDataFolder = 7,      // the library path without its extension, as a folder
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

// Whether `text` matches `pattern`: "*" any run (also empty), "?" one character, anything else
// itself, case-sensitive.
bool MatchWildcard(std::string_view text, std::string_view pattern);

// Appends to `names` the name (without ".obj") of every "*.obj" entry of `folder`, sub-folders
// included, sorted by name so every system lists them alike. False, with `names` unchanged,
// when the folder cannot be listed.
bool ScanObjectFolder(const std::string& folder, std::vector<std::string>& names);

}  // namespace tarvosk
