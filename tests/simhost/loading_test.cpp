// The dlopen path with the tiny test plug-in: symbol binding, identity, restart, unloading,
// and the tarvosk-sim program end to end.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "control/host_platform.h"
#include "support.h"

namespace {

using simhost_test::HostTest;
using simhost_test::TimelineHas;

class Loading : public HostTest {
  protected:
    int Launch() {
        std::string error;
        int id = simhost::LoadPlugin(SIMHOST_TEST_PLUGIN, &error);
        EXPECT_GT(id, 0) << error;
        EXPECT_TRUE(simhost::StartPlugin(id));
        EXPECT_TRUE(simhost::EnablePlugin(id));
        return id;
    }
};

TEST_F(Loading, APluginBindsToTheHostAndRunsItsCallbacks) {
    int id = Launch();
    EXPECT_NE(id, plugin_);
    EXPECT_EQ(simhost::PluginName(id), "SimTest");
    EXPECT_TRUE(std::filesystem::exists(simhost::Sandbox() / "Resources/plugins/SimTest.xpl"));
    char name[256], path[256], sig[256];
    XPLMGetPluginInfo(id, name, path, sig, nullptr);
    EXPECT_STREQ(sig, "tarvosk.simtest");
    simhost::RunSeconds(3);
    EXPECT_EQ(simhost::GetDataref("simtest/counter"), 3);
    EXPECT_NEAR(simhost::GetDataref("simtest/since_last_call"), 1.0, 1e-6);
    EXPECT_TRUE(simhost::ChooseMenuItem("Plugins/SimTest/Ping"));
    ASSERT_EQ(simhost::SentMessages().size(), 1u);
    EXPECT_EQ(simhost::SentMessages()[0].from, id);
    EXPECT_EQ(simhost::SentMessages()[0].to, XPLM_NO_PLUGIN_ID);
    EXPECT_EQ(simhost::SentMessages()[0].message, 0x12345678);
    EXPECT_TRUE(TimelineHas("message 0x12345678 from SimTest to all"));
    EXPECT_EQ(simhost::GetDataref("simtest/last_message"),
              0x12345678);  // broadcasts reach the sender too
    simhost::SendMessageFromHost(-1, XPLM_MSG_PLANE_LOADED, nullptr);
    EXPECT_EQ(simhost::GetDataref("simtest/last_message"), XPLM_MSG_PLANE_LOADED);
    EXPECT_EQ(simhost::BadHandleAccesses(), 0);
}

TEST_F(Loading, AHostCallWhileTheLibraryLoadsIsAFault) {
    Launch();
    EXPECT_EQ(simhost::PluginFaults(), 0);  // SimTest waits for XPluginStart
    std::string error;
    const int id = simhost::LoadPlugin(SIMHOST_EAGER_PLUGIN, &error);
    ASSERT_GT(id, 0) << error;
    EXPECT_EQ(simhost::PluginFaults(), 1);
    EXPECT_TRUE(
        TimelineHas("plug-in fault: EagerTest.xpl called the host while its library was "
                    "loading, before XPluginStart"));
    EXPECT_TRUE(simhost::StartPlugin(id));  // the calls after that are fine
    EXPECT_EQ(simhost::PluginFaults(), 1);
}

#if defined(__x86_64__)
// Plug-ins run with the x87 precision of the simulator's process: 53 bits on 64-bit Windows
// (whatever this test program's start-up code chose), 64 on Linux.
TEST_F(Loading, PluginsRunWithTheSimulatorsX87Precision) {
    unsigned short control = 0;
    const unsigned short everything = 0x37F;
    __asm__ __volatile__("fldcw %0" : : "m"(everything) : "memory");  // as mingw starts
    ResetHost();
    Launch();
    simhost::RunSeconds(1);
    __asm__ __volatile__("fnstcw %0" : "=m"(control) : : "memory");
#ifdef _WIN32
    EXPECT_EQ(control & 0x300, 0x200) << std::hex << control;
#else
    EXPECT_EQ(control & 0x300, 0x300) << std::hex << control;
#endif
}
#endif

TEST_F(Loading, UnloadingReallyUnmapsThePlugin) {
    int id = Launch();
    simhost::UnloadPlugin(id);
    EXPECT_TRUE(TimelineHas("plug-in unloaded: SimTest"));
    EXPECT_FALSE(TimelineHas("warning: plug-in stayed loaded"));
    EXPECT_FALSE(simhost::PluginEnabled(id));
    EXPECT_TRUE(simhost::MenuItemNames("Plugins/SimTest").empty());
    simhost::RunFrames(5);  // no callback of the unmapped code may run
}

TEST_F(Loading, ARestartStartsAfreshAndKeepsTheSandbox) {
    std::filesystem::create_directories(simhost::Sandbox() /
                                        "Resources/plugins/SimTest");  // installed data folder
    int id = Launch();
    EXPECT_EQ(simhost::GetDataref("simtest/runs"), 1);
    simhost::UnloadPlugin(id);
    int again = Launch();
    EXPECT_NE(again, id);
    EXPECT_EQ(simhost::GetDataref("simtest/runs"), 2);     // read back from the file it wrote
    EXPECT_EQ(simhost::GetDataref("simtest/counter"), 0);  // statics start again
}

TEST_F(Loading, ALoadAfterAnUnloadWhileTheLibraryIsStillMappedLoadsAgain) {
    int id = Launch();
    const std::filesystem::path installed = simhost::Sandbox() / "Resources/plugins/SimTest.xpl";
    // Something else in the process holds the library, so the unload leaves it mapped.
    std::string why;
    void* held = simhost::detail::OpenPluginLibrary(installed, &why);
    ASSERT_NE(held, nullptr) << why;
    simhost::UnloadPlugin(id);
    std::string error;
    int again = simhost::LoadPlugin(SIMHOST_TEST_PLUGIN, &error);
    EXPECT_GT(again, 0) << error;
    EXPECT_TRUE(simhost::StartPlugin(again));
    EXPECT_EQ(simhost::PluginName(again), "SimTest");
    simhost::UnloadPlugin(again);
    simhost::detail::ClosePluginLibrary(held);
}

TEST_F(Loading, BadFilesAreRefused) {
    std::string error;
    EXPECT_EQ(simhost::LoadPlugin("/nonexistent/Nothing.xpl", &error), -1);
    EXPECT_EQ(error, "no plug-in file /nonexistent/Nothing.xpl");
    std::filesystem::path junk = config_.sandbox / "Junk.xpl";
    std::ofstream(junk) << "not a library";
    EXPECT_EQ(simhost::LoadPlugin(junk, &error), -1);
    EXPECT_NE(error.find(junk.string() + " is not a plug-in: not a shared library"),
              std::string::npos)
        << error;
    std::filesystem::path broken = config_.sandbox / "Broken.xpl";  // a library's header alone
    std::ofstream(broken) << "\x7F"
                             "ELF and nothing after";
    EXPECT_EQ(simhost::LoadPlugin(broken, &error), -1);
    EXPECT_NE(error.find(simhost_test::kLibraryLoadFailure), std::string::npos) << error;
    int id = simhost::LoadPlugin(SIMHOST_TEST_PLUGIN, &error);
    ASSERT_GT(id, 0);
    EXPECT_EQ(simhost::LoadPlugin(SIMHOST_TEST_PLUGIN, &error), -1);  // already loaded
    EXPECT_FALSE(simhost::EnablePlugin(id));                          // not started
}

TEST_F(Loading, FatLayoutInstallsThePluginInAPlatformFolder) {
    config_.layout = simhost::PluginLayout::Fat;
    ResetHost();
    const std::filesystem::path plugins = config_.sandbox / "Resources/plugins";
    EXPECT_EQ(simhost::PluginInstallPath(SIMHOST_TEST_PLUGIN),
              std::filesystem::absolute(plugins).lexically_normal() / "SimTest" /
                  simhost_test::kPlatformFolder / "SimTest.xpl");
    int id = Launch();
    EXPECT_TRUE(std::filesystem::is_regular_file(plugins / "SimTest" /
                                                 simhost_test::kPlatformFolder / "SimTest.xpl"));
    EXPECT_FALSE(std::filesystem::exists(plugins / "SimTest.xpl"));
    char name[256], path[256], sig[256];
    XPLMGetPluginInfo(id, name, path, sig, nullptr);
    EXPECT_EQ(std::filesystem::path(path).parent_path().filename(), simhost_test::kPlatformFolder);
    simhost::RunSeconds(2);
    EXPECT_EQ(simhost::GetDataref("simtest/counter"), 2);
}

TEST_F(Loading, APluginAlreadyInPlaceIsLoadedWhereItLies) {
    // An unzipped package: the library is already in the sandbox, so it is not copied.
    config_.layout = simhost::PluginLayout::Fat;
    ResetHost();
    const std::filesystem::path installed = config_.sandbox / "Resources/plugins/SimTest" /
                                            simhost_test::kPlatformFolder / "SimTest.xpl";
    std::filesystem::create_directories(installed.parent_path());
    std::filesystem::copy_file(SIMHOST_TEST_PLUGIN, installed);
    const auto written = std::filesystem::last_write_time(installed);
    std::string error;
    int id = simhost::LoadPlugin(installed, &error);
    ASSERT_GT(id, 0) << error;
    EXPECT_EQ(std::filesystem::last_write_time(installed), written);
    EXPECT_TRUE(simhost::StartPlugin(id));
    EXPECT_EQ(simhost::PluginName(id), "SimTest");
}

std::string RunSim(const std::string& args, int* status) {
    return simhost_test::RunShell(simhost_test::SimProgram() + " " + args + " 2>&1", status);
}

TEST(Program, RunsTheSelfTestScenarioWithTheTestPlugin) {
    std::filesystem::path out = simhost_test::SandboxFor();
    int status = -1;
    std::string text = RunSim(std::string("--quiet --plugin ") + SIMHOST_TEST_PLUGIN + " --out " +
                                  out.string() + " " + SIMHOST_SCENARIOS + "/simhost-selftest.txt",
                              &status);
    EXPECT_EQ(status, 0) << text;
    EXPECT_TRUE(std::filesystem::exists(out / "timeline.txt"));
    EXPECT_TRUE(std::filesystem::exists(out / "host.log"));
    EXPECT_TRUE(std::filesystem::exists(out / "sandbox/Resources/plugins/SimTest/runs.txt"));
}

TEST(Program, ABadScenarioExitsNonZeroNamingTheLine) {
    std::filesystem::path dir = simhost_test::SandboxFor();
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "bad.txt") << "wait 1s\nassert time == 2\n";
    int status = -1;
    std::string text =
        RunSim("--out " + (dir / "out").string() + " " + (dir / "bad.txt").string(), &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(text.find((dir / "bad.txt").string() + ":2: assert failed: time == 2 (is 1)"),
              std::string::npos)
        << text;
    text = RunSim("--bogus x", &status);
    EXPECT_EQ(status, 2);
}

TEST(Program, APluginThatIsNoPluginIsSaidAtOnce) {
    std::filesystem::path dir = simhost_test::SandboxFor();
    std::ofstream(dir / "s.txt") << "launch\n";
    std::ofstream(dir / "notes.xpl") << "not a library\n";
    int status = -1;
    std::string text = RunSim("--plugin " + (dir / "notes.xpl").string() + " --out " +
                                  (dir / "out").string() + " " + (dir / "s.txt").string(),
                              &status);
    EXPECT_EQ(status, 2) << text;
    EXPECT_NE(text.find("--plugin: " + (dir / "notes.xpl").string() +
                        " is not a plug-in: not a shared library"),
              std::string::npos)
        << text;
    text = RunSim("--plugin " + dir.string() + " " + (dir / "s.txt").string(), &status);
    EXPECT_EQ(status, 2) << text;
    EXPECT_NE(text.find(dir.string() + " is a folder, not a plug-in"), std::string::npos) << text;
    // The same check for a 'plugin' line, at its load.
    std::ofstream(dir / "line.txt") << "plugin notes.xpl\nlaunch\n";
    text = RunSim("--out " + (dir / "out").string() + " " + (dir / "line.txt").string(), &status);
    EXPECT_EQ(status, 1) << text;
    EXPECT_NE(text.find("line.txt:2: cannot load the plug-in: " + (dir / "notes.xpl").string() +
                        " is not a plug-in"),
              std::string::npos)
        << text;
}

TEST(Program, HelpListsEveryOptionAndAction) {
    int status = -1;
    const std::string text = RunSim("--help", &status);
    EXPECT_EQ(status, 0);
    for (
        const char* word :
        {"--plugin",       "--content", "--sandbox",     "--out",   "--fps",      "--layout",
         "--keep-sandbox", "--quiet",   "--no-pictures", "--soak",  "--seed",     "--contact-sheet",
         "--help",         "sandbox",   "fresh-sandbox", "layout",  "plugin",     "content",
         "aircraft",       "version",   "xplm-version",  "fps",     "driver",     "screen",
         "also-load",      "omit",      "load",          "start",   "enable",     "disable",
         "stop",           "unload",    "launch",        "restart", "set",        "release",
         "command",        "menu",      "message",       "key",     "view",       "click",
         "close",          "drag",      "wait",          "frames",  "wait until", "assert",
         "expect",         "print",     "mark",          "track",   "picture",    "animation",
         "traffic"}) {
        // As a word: not inside another one.
        bool found = false;
        for (std::size_t at = text.find(word); at != std::string::npos && !found;
             at = text.find(word, at + 1)) {
            const std::size_t after = at + std::strlen(word);
            const auto isWord = [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
            };
            found = (at == 0 || !isWord(text[at - 1])) &&
                    (after >= text.size() || !isWord(text[after]));
        }
        EXPECT_TRUE(found) << "--help does not name " << word << "\n" << text;
    }
}

}  // namespace
