#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>

#include "scenario/scenario.h"
#include "support.h"

namespace {

using simhost::scenario::ParseScript;
using simhost::scenario::Script;

std::string ParseError(const std::string& text) {
    Script s;
    std::string error;
    EXPECT_FALSE(ParseScript(text, "s.txt", &s, &error)) << text;
    return error;
}

TEST(ScenarioParser, BadLinesStopWithFileLineAndReason) {
    EXPECT_EQ(ParseError("wait 1s\nfly away\n"), "s.txt:2: unknown action 'fly'");
    EXPECT_EQ(ParseError("wait soon\n"), "s.txt:1: bad duration 'soon'");
    EXPECT_EQ(ParseError("wait -1s\n"), "s.txt:1: bad duration '-1s'");
    EXPECT_EQ(ParseError("# c\n\nassert x =< 3\n"),
              "s.txt:3: unknown comparison '=<' (use == != < <= > >=)");
    EXPECT_EQ(ParseError("assert x == three\n"), "s.txt:1: 'three' is not a number");
    EXPECT_EQ(ParseError("assert x[a] == 3\n"), "s.txt:1: bad index in 'x[a]'");
    EXPECT_EQ(ParseError("wait until x == 1\n"),
              "s.txt:1: 'wait until' needs '... within SECONDS' at the end");
    EXPECT_EQ(ParseError("menu \"Plugins/Tarvosk\n"), "s.txt:1: unterminated quoted text");
    EXPECT_EQ(ParseError("key F25\n"), "s.txt:1: unknown key 'F25'");
    EXPECT_EQ(ParseError("key F12 hyper\n"),
              "s.txt:1: unknown key modifier 'hyper' (shift, alt, ctrl)");
    EXPECT_EQ(ParseError("message 0x1FFFFFFFF\n"), "s.txt:1: '0x1FFFFFFFF' is not a message code");
    EXPECT_EQ(ParseError("wait 1s\nversion 729\n"),
              "s.txt:2: 'version' configures the host and must come before the first action");
    EXPECT_EQ(ParseError("expect speech hello\n"),
              "s.txt:1: 'expect speech' takes a quoted text or 'contains \"TEXT\"'");
    EXPECT_EQ(ParseError("expect file \"../x\" exists\n"),
              "s.txt:1: 'expect file' takes a path inside the sandbox");
    EXPECT_EQ(ParseError("set fps 0\n"),
              "s.txt:1: 'set fps' needs a frame rate above 0 and at most 10000");
    EXPECT_EQ(ParseError("assert x == \"a\" +- 1\n"), "s.txt:1: a tolerance needs a numeric value");
    EXPECT_EQ(ParseError("start now\n"), "s.txt:1: 'start' takes 0 arguments");
}

TEST(ScenarioParser, ConfigurationAndActionsAreRead) {
    Script s;
    std::string error;
    ASSERT_TRUE(
        ParseScript("set version 729\nfps 25\nomit sim/flightmodel/position/R a/b\n"
                    "set sim/x[2] 1 2.5\nset sim/tail \"A B\"\nmessage 0x88888889\n"
                    "wait until quorren/tarvosk/PBstatus == 0 +- 0.5 within 2min\n",
                    "s.txt", &s, &error))
        << error;
    EXPECT_EQ(s.xplaneVersion, 729);
    EXPECT_EQ(s.fps, 25.0);
    EXPECT_EQ(s.omit, (std::vector<std::string>{"sim/flightmodel/position/R", "a/b"}));
    ASSERT_EQ(s.steps.size(), 4u);
    EXPECT_EQ(s.steps[0].what, "array");
    EXPECT_EQ(s.steps[0].count, 2);
    EXPECT_EQ(s.steps[0].args, (std::vector<std::string>{"sim/x", "1", "2.5"}));
    EXPECT_EQ(s.steps[1].what, "text");
    EXPECT_EQ(s.steps[1].args[1], "A B");
    EXPECT_EQ(static_cast<int>(static_cast<long long>(s.steps[2].number)),
              static_cast<int>(0x88888889u));
    EXPECT_EQ(s.steps[3].cond.lhs, "quorren/tarvosk/PBstatus");
    EXPECT_EQ(s.steps[3].cond.tolerance, 0.5);
    EXPECT_EQ(s.steps[3].number, 120.0);
    EXPECT_EQ(s.steps[3].line, 7);
}

TEST(ScenarioParser, PluginLayout) {
    Script s;
    std::string error;
    ASSERT_TRUE(ParseScript("fps 30\n", "s.txt", &s, &error)) << error;
    EXPECT_FALSE(s.layout.has_value());  // the runner's default: flat
    ASSERT_TRUE(ParseScript("layout fat\nlaunch\n", "s.txt", &s, &error)) << error;
    EXPECT_EQ(s.layout, simhost::PluginLayout::Fat);
    ASSERT_TRUE(ParseScript("layout flat\n", "s.txt", &s, &error)) << error;
    EXPECT_EQ(s.layout, simhost::PluginLayout::Flat);
    EXPECT_EQ(ParseError("layout lin_x64\n"),
              "s.txt:1: 'layout' is 'flat' or 'fat', not 'lin_x64'");
    EXPECT_EQ(ParseError("launch\nlayout fat\n"),
              "s.txt:2: 'layout' configures the host and must come before the first action");
}

TEST(ScenarioParser, KeysAndDurations) {
    EXPECT_EQ(simhost::scenario::ParseKeyName("F12"), 123);
    EXPECT_EQ(simhost::scenario::ParseKeyName("f1"), 0x70);
    EXPECT_EQ(simhost::scenario::ParseKeyName("a"), 'A');
    EXPECT_EQ(simhost::scenario::ParseKeyName("0x7B"), 123);
    EXPECT_EQ(simhost::scenario::ParseKeyName("256"), -1);
    EXPECT_EQ(simhost::scenario::ParseKeyName("F0"), -1);
    double s = 0;
    EXPECT_TRUE(simhost::scenario::ParseDuration("250ms", &s));
    EXPECT_DOUBLE_EQ(s, 0.25);
    EXPECT_TRUE(simhost::scenario::ParseDuration("2min", &s));
    EXPECT_DOUBLE_EQ(s, 120);
    EXPECT_FALSE(simhost::scenario::ParseDuration("s", &s));
    EXPECT_FALSE(simhost::scenario::ParseDuration("1h", &s));
}

simhost::scenario::RunResult RunText(const std::string& text, const std::filesystem::path& out) {
    Script s;
    std::string error;
    EXPECT_TRUE(ParseScript(text, "run.txt", &s, &error)) << error;
    simhost::scenario::RunOptions o;
    o.out = out;
    return simhost::scenario::RunScript(s, o);
}

TEST(ScenarioRunner, AHostOnlyRunWritesItsOutputs) {
    std::filesystem::path out = simhost_test::SandboxFor();
    auto r = RunText(
        "fps 20\nwait 1s\nset sim/flightmodel/position/local_x 5\nframes 2\n"
        "assert sim/flightmodel/position/local_x == 5\nassert time == 1.1 +- 1e-9\n"
        "assert sim/aircraft/view/acf_tailnum == \"TVK320\"\nmark \"done\"\n",
        out);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.frames, 22);
    EXPECT_TRUE(std::filesystem::exists(out / "timeline.txt"));
    EXPECT_TRUE(std::filesystem::exists(out / "track.svg"));
    std::ifstream csv(out / "track.csv");
    std::string header;
    std::getline(csv, header);
    EXPECT_EQ(header, "time,aircraft_x,aircraft_z,aircraft_heading,tug_x,tug_z,tug_heading,phase");
    std::ifstream timeline(out / "timeline.txt");
    std::stringstream all;
    all << timeline.rdbuf();
    EXPECT_NE(all.str().find("1.100 mark: done\n"), std::string::npos) << all.str();
}

TEST(ScenarioRunner, FailuresNameTheLine) {
    std::filesystem::path out = simhost_test::SandboxFor();
    auto r = RunText("wait 1s\nassert time > 5\n", out);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "run.txt:2: assert failed: time > 5 (is 1)");
    r = RunText("wait until sim/no/such > 1 within 0.5s\n", out);
    EXPECT_EQ(r.error,
              "run.txt:1: condition sim/no/such > 1 not met within 0.5 s (unknown dataref)");
    r = RunText("menu Plugins/Nothing\n", out);
    EXPECT_EQ(r.error, "run.txt:1: no enabled menu item \"Plugins/Nothing\"");
    r = RunText("load\n", out);
    EXPECT_EQ(r.error,
              "run.txt:1: no plug-in to load: give --plugin, a 'plugin' line or 'load PATH'");
    r = RunText("start\n", out);
    EXPECT_EQ(r.error, "run.txt:1: no plug-in loaded");
    r = RunText("expect speech \"hi\"\n", out);
    EXPECT_EQ(r.error, "run.txt:1: expected speech \"hi\", not found");
    r = RunText("set sim/flightmodel/position/q[4] 1\n", out);
    EXPECT_NE(r.error.find("run.txt:1: cannot write sim/flightmodel/position/q"),
              std::string::npos);
}

TEST(ScenarioRunner, PrintOfANameThatIsNoDatarefStopsAtItsLine) {
    std::filesystem::path out = simhost_test::SandboxFor();
    auto r = RunText("wait 1s\nprint \"heading\" sim/flightmodel/position/psi\nprint sim/no/such\n",
                     out);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "run.txt:3: print: no dataref sim/no/such (quote plain text)");
    // Before the first action there is no host and so no dataref.
    r = RunText("print sim/flightmodel/position/psi\nwait 1s\n", out);
    EXPECT_EQ(r.error,
              "run.txt:1: print: no dataref sim/flightmodel/position/psi before the first action "
              "starts the host (quote plain text)");
    r = RunText("print \"plain words\"\nwait 1s\nprint \"x\" sim/flightmodel/position/psi\n", out);
    EXPECT_TRUE(r.ok) << r.error;
}

TEST(ScenarioFiles, AFolderAnEmptyFileOrNoActionIsNoScenario) {
    namespace fs = std::filesystem;
    const fs::path dir = simhost_test::SandboxFor();
    Script s;
    std::string error;
    EXPECT_FALSE(simhost::scenario::ParseScriptFile(dir, &s, &error));
    EXPECT_EQ(error, dir.string() + ": is a folder, not a scenario (give the script's file)");
    std::ofstream(dir / "empty.txt").flush();
    EXPECT_FALSE(simhost::scenario::ParseScriptFile(dir / "empty.txt", &s, &error));
    EXPECT_EQ(error, (dir / "empty.txt").string() + ": the scenario is empty");
    std::ofstream(dir / "config.txt") << "# only set-up\nfps 25\nscreen 1280x720\n\n";
    EXPECT_FALSE(simhost::scenario::ParseScriptFile(dir / "config.txt", &s, &error));
    EXPECT_EQ(error, (dir / "config.txt").string() + ": the scenario has no action");
    std::ofstream(dir / "one.txt") << "fps 25\nwait 1s\n";
    ASSERT_TRUE(simhost::scenario::ParseScriptFile(dir / "one.txt", &s, &error)) << error;
    EXPECT_EQ(s.steps.size(), 1u);
    EXPECT_EQ(s.fps, 25.0);
}

TEST(ScenarioFiles, AByteOrderMarkIsNoPartOfTheFirstLine) {
    Script s;
    std::string error;
    ASSERT_TRUE(
        ParseScript("\xEF\xBB\xBF"
                    "fps 25\r\nwait 1s\n",
                    "bom.txt", &s, &error))
        << error;
    EXPECT_EQ(s.fps, 25.0);
    ASSERT_EQ(s.steps.size(), 1u);
    // Only at the very start: elsewhere it is a stray word as before.
    EXPECT_FALSE(ParseScript("wait 1s\n\xEF\xBB\xBFwait 1s\n", "bom.txt", &s, &error));
    EXPECT_EQ(error.rfind("bom.txt:2: unknown action", 0), 0u) << error;
}

// What tarvosk-sim says about a script names the real cause, and shows the script's bytes so
// that they cannot upset the terminal (the line of a refused fresh-sandbox: owned_folder_test).
TEST(ScenarioMessages, NameTheCauseAtItsLine) {
    namespace fs = std::filesystem;
    using namespace std::string_literals;
    const fs::path dir = simhost_test::SandboxFor();
    struct Case {
        const char* name;
        std::optional<std::string> text;  // none: no such file
        std::string error;                // after the file's name; empty: the run passes
    };
    const Case cases[] = {
        {"fps", "fps 0\nwait 1s\n", ":1: 'fps' needs a frame rate above 0 and at most 10000"},
        {"set-fps", "set fps 10001\n",
         ":1: 'set fps' needs a frame rate above 0 and at most 10000"},
        {"read-only", "launch\nset simtest/runs 5\n", ":2: cannot write simtest/runs (read only)"},
        {"binary", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, ":1: unknown action '\\x89PNG'"},
        {"escape", "\x1b[2Jwait 1s\n", ":1: unknown action '\\x1B[2Jwait'"},
        {"letters", "Jürgen 1s\n", ":1: unknown action 'Jürgen'"},
        {"absent", std::nullopt, ": cannot open the scenario: No such file or directory"},
        {"print", "wait 1s\nprint camera.controlled time\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir / (std::string(c.name) + ".txt");
        if (c.text) std::ofstream(file, std::ios::binary) << *c.text;
        Script script;
        std::string error;
        if (simhost::scenario::ParseScriptFile(file, &script, &error)) {
            simhost::scenario::RunOptions options;
            options.out = dir / c.name;
            options.plugin = SIMHOST_TEST_PLUGIN;
            error = simhost::scenario::RunScript(script, options).error;
        }
        EXPECT_EQ(error, c.error.empty() ? "" : file.string() + c.error);
    }
    // Every name a condition takes can be printed.
    bool printed = false;
    for (const simhost::TimelineEvent& e : simhost::Timeline())
        printed = printed || e.text == "print: camera.controlled = 0 time = 1";
    EXPECT_TRUE(printed);
}

}  // namespace

TEST(ScenarioOutputs, TrackSummaryMeasuresThePathAndSkipsMissingPositions) {
    using simhost::scenario::TrackRow;
    const double nan = std::nan("");
    std::vector<TrackRow> rows = {
        {0.0, nan, nan, nan, nan, nan, nan, nan},  // before the aircraft was read
        {0.1, 0.0, 0.0, 90.0, nan, nan, nan, -2},
        {0.2, 3.0, 0.0, 90.0, nan, nan, nan, 2},
        {0.3, 3.0, 4.0, 95.0, nan, nan, nan, 2},
    };
    simhost::scenario::TrackSummary s = simhost::scenario::SummarizeTrack(rows);
    ASSERT_TRUE(s.valid);
    EXPECT_DOUBLE_EQ(s.pathLength, 7.0);
    EXPECT_DOUBLE_EQ(s.displacement, 5.0);
    EXPECT_DOUBLE_EQ(s.startHeading, 90.0);
    EXPECT_DOUBLE_EQ(s.endHeading, 95.0);
    EXPECT_FALSE(simhost::scenario::SummarizeTrack({}).valid);
}

// Tail first is pushed, nose first towed, by the heading the aircraft had at each step.
TEST(ScenarioOutputs, TrackSummarySplitsPushedFromTowed) {
    using simhost::scenario::TrackRow;
    const double nan = std::nan("");
    const std::vector<TrackRow> rows = {
        {0.0, 0.0, 0.0, 0.0, nan, nan, nan, 2},     // facing north (-z)
        {0.1, 0.0, 2.0, 0.0, nan, nan, nan, 2},     // 2 m south: tail first
        {0.2, 0.0, -1.0, 0.0, nan, nan, nan, 2},    // 3 m north: nose first
        {0.3, 1.0, -1.0, 270.0, nan, nan, nan, 2},  // 1 m east, square to north: not nose first
        {0.4, 0.0, -1.0, 270.0, nan, nan, nan, 2},  // 1 m west facing west: nose first
    };
    const simhost::scenario::TrackSummary s = simhost::scenario::SummarizeTrack(rows);
    EXPECT_DOUBLE_EQ(s.pathLength, 7.0);
    EXPECT_DOUBLE_EQ(s.forwards, 4.0);
    EXPECT_DOUBLE_EQ(s.backwards, 3.0);
}
