// Scenario scripts for the simulated host: parsing, running, and the outputs of a run.
// The language is described in simhost/SCENARIOS.md.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "outputs.h"
#include "simhost/simhost.h"

namespace simhost::scenario {

// `lhs op value [+- tolerance]`; the value is a number or, for byte datarefs, a quoted text.
struct Condition {
    std::string lhs;  // dataref name or a host quantity (time, bad_handles, camera.x, ...)
    int index = 0;    // element of an array or byte dataref: name[3]
    std::string op;   // == != < <= > >=
    double value = 0;
    double tolerance = 0;
    bool isText = false;
    std::string text;
};

struct Step {
    int line = 0;
    std::string verb;               // first word, e.g. "wait", "expect"
    std::string what;               // sub-kind: "until", "speech", "menu", ...
    std::vector<std::string> args;  // remaining words, quotes removed
    std::vector<bool> quoted;       // print: which words were quoted text (the rest are names)
    Condition cond;
    double number = 0;  // seconds, frames, a dataref value, a message code ...
    long long count = 0;
    bool negate = false;  // "expect no ..."
    int key = 0, keyFlags = 0;
    // picture and animation: view, size and (animation) seconds between frames
    std::string view = "outside";
    int width = 0, height = 0;
    bool sizeGiven = false;  // "size WxH" on a picture line
    double interval = 0.5;
};

struct Script {
    std::string file;              // for error messages
    std::filesystem::path folder;  // relative paths in the script start here
    // Configuration lines (before the first action).
    std::optional<std::filesystem::path> sandbox, plugin, content, aircraft;
    std::optional<int> xplaneVersion, xplmVersion;
    std::optional<double> fps;
    std::optional<std::string> driver;  // "modern" or "opengl"
    int driverLine = 0;
    std::optional<int> screenWidth, screenHeight;
    std::vector<std::string> omit;
    std::vector<std::filesystem::path> alsoLoad;  // more plug-ins, beside the main one
    bool freshSandbox = false;
    int freshSandboxLine = 0;
    std::optional<PluginLayout> layout;  // "layout flat" or "layout fat"
    // The earth: where local (0, 0, 0) lies (latitude, longitude, elevation) and the airports.
    std::optional<std::array<double, 3>> origin;
    std::vector<AirportInfo> airports;
    bool noDefaultAirport = false;
    std::vector<Step> steps;
};

// Text from a script as a message shows it: control characters and bytes that are not UTF-8
// (a binary file given as a scenario) as \xNN, so they never reach the terminal raw.
std::string Printable(const std::string& text);

// Fails with "file:line: reason".
bool ParseScript(const std::string& text, const std::string& fileName, Script* out,
                 std::string* error);
bool ParseScriptFile(const std::filesystem::path& file, Script* out, std::string* error);

// The words of a `picture` or `animation` line (the verb first) into `s`; false with *why.
bool ParsePictureLine(const std::vector<std::string>& words, Step* s, std::string* why);

// Parses "F12", "A", "7", "ESC", "0x7B" or "123" into a virtual key code; -1 if unknown.
int ParseKeyName(const std::string& name);
// Parses "5", "5s", "250ms", "2min" into seconds; false on anything else or a negative value.
bool ParseDuration(const std::string& text, double* seconds);

struct RunOptions {
    std::filesystem::path plugin, content, sandbox, out;  // empty: from the script or defaults
    std::filesystem::path aircraft;                       // empty: the script's, or the default
    double fps = 0;                                       // 0: the script's, else 30
    bool quiet = false;
    bool pictures = true;  // false: picture and animation lines are passed over (timing runs)
    std::optional<PluginLayout> layout;  // overrides the script's; default flat
    bool keepSandbox = false;  // ignore "fresh-sandbox": run in an installation made beforehand
};

// "flat" or "fat"; false for anything else.
bool ParseLayout(const std::string& word, PluginLayout* layout);

struct RunResult {
    bool ok = false;
    std::string error;  // "file:line: reason" when !ok
    double simulatedSeconds = 0;
    long long frames = 0;
    double wallSeconds = 0;
    std::size_t speechCount = 0;  // crew messages spoken (XPLMSpeakString calls)
    TrackSummary track;           // the aircraft's track while it was recorded
    std::vector<std::filesystem::path> outputs;
};

RunResult RunScript(const Script& script, const RunOptions& options);

}  // namespace simhost::scenario
