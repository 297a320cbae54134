// Killed while saving: the plug-in's two rewriting paths (the properties file at stop, an
// object rewritten in version 8) run in a child process that is killed with SIGKILL at
// random moments. The file on disk is always the whole old file or the whole new one. A write
// that fails half-way (file-size limit) or cannot start (no room for the temporary file)
// leaves the old file and says why.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "config/properties.h"
#include "kill_models.h"
#include "objformat/obj8_reader.h"
#include "objformat/obj8_writer.h"
#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKills = 200;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Replaces the file's content in one rename, as the parent's set-up between two kills.
void WriteWhole(const fs::path& file, const std::string& bytes) {
    const fs::path temporary = file.string() + ".setup";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    fs::rename(temporary, file);
}

struct KillTally {
    int old = 0, whole = 0;
};

// Runs `save` in a child and returns once the child signals that it is about to start;
// `started` is false when it never did. -1 when no child could be made.
pid_t StartChild(const std::function<void()>& save, bool& started) {
    started = false;
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        ::alarm(60);  // a child that hangs ends the test with a failure, not a stuck run
        const char go = 'g';
        if (::write(ready[1], &go, 1) != 1) ::_exit(2);
        save();
        ::_exit(0);
    }
    ::close(ready[1]);
    char go = 0;
    started = child > 0 && ::read(ready[0], &go, 1) == 1;
    ::close(ready[0]);
    return child;
}

// Runs `save` in a child, waits `delay` after it starts and kills it. Returns how long the
// child took when `delay` is negative (runs to the end).
double RunChild(const std::function<void()>& save, std::chrono::nanoseconds delay) {
    bool started = false;
    const pid_t child = StartChild(save, started);
    if (child < 0) return -1;
    const auto start = Clock::now();
    if (started && delay.count() >= 0) {
        while (Clock::now() - start < delay) {
        }
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Kills `kKills` children at random moments over one and a half times the time a save takes
// (the first at once, the last well after).
// `window` (seconds, when positive) replaces the measured save time: the moment the new file
// is in place when the save is only a part of what the child does.
KillTally KillRepeatedly(const fs::path& file, const std::string& oldBytes,
                         const std::string& newBytes, const std::function<void()>& save,
                         unsigned seed, int kills = kKills, double window = 0) {
    KillTally tally;
    WriteWhole(file, oldBytes);
    double full = 0;
    for (int k = 0; k < 3; ++k) {
        full = std::max(full, RunChild(save, std::chrono::nanoseconds(-1)));
        EXPECT_EQ(ReadAll(file), newBytes) << "a save that is not killed writes the new file";
        WriteWhole(file, oldBytes);
    }
    if (window > 0) full = window;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> moment(0.0, 1.5 * full);
    for (int k = 0; k < kills; ++k) {
        // The first kill comes at once and the last long after a save ends, so both outcomes
        // occur however busy the machine makes the moments in between.
        const double at = k == 0 ? 0.0 : k == kills - 1 ? 10.0 * full : moment(random);
        RunChild(save, std::chrono::nanoseconds(static_cast<long long>(at * 1e9)));
        const std::string now = ReadAll(file);
        if (now == oldBytes) {
            ++tally.old;
        } else if (now == newBytes) {
            ++tally.whole;
        } else {
            ADD_FAILURE() << "kill " << k << " left " << now.size() << " bytes, neither file";
            break;
        }
        WriteWhole(file, oldBytes);
    }
    std::printf("%d kills over %.2f ms saves: %d left the old file, %d the new one\n", kills,
                full * 1e3, tally.old, tally.whole);
    return tally;
}

// Kill loops run in memory when the system has a memory file system: a flush to disk there
// costs nothing, so two hundred saves take a second, and renames are just as atomic.
fs::path SandboxFor(const std::string& name, bool inMemory = false) {
    const fs::path base =
        inMemory && fs::is_directory("/dev/shm")
            ? fs::path("/dev/shm") / ("tarvosk-owned-" + std::to_string(::getuid()))
            : fs::path(TARVOSK_TEST_SANDBOXES);
    const fs::path folder = base / name;
    std::string why;
    EXPECT_TRUE(simhost::EmptyOwnedFolder(folder, &why) && simhost::MakeOwnedFolder(folder, &why))
        << why;
    return folder;
}

// A fresh host in the sandbox `name` with `bytes` in its preferences file `file`, and the real
// plug-in started and enabled in it; 0 (a failure recorded) when any of that went wrong.
int LaunchWith(const char* name, const char* file, const std::string& bytes) {
    simhost::HostConfig config;
    config.sandbox = SandboxFor(name, true);
    std::string error;
    if (!simhost::Reset(config, &error)) {
        ADD_FAILURE() << error;
        return 0;
    }
    WriteWhole(simhost::Sandbox() / "Output/preferences" / file, bytes);
    const int plugin = simhost::LoadPlugin(TARVOSK_XPL, &error);
    if (plugin <= 0 || !simhost::StartPlugin(plugin) || !simhost::EnablePlugin(plugin)) {
        ADD_FAILURE() << "the plug-in did not start: " << error;
        return 0;
    }
    return plugin;
}

const char* const kOldProperties =
    "ALLOW_ENGN_ON=1\r\nDRAW_TRUCK=0\r\nTRUCK_SPEED=25.000000\r\nTruck=Nowhere\r\n"
    "UNKNOWN_KEY=kept as it is\r\nVERSION=0.9\r\n";

// The real plug-in, started and enabled in the simulated host; each child stops it.
TEST(KillDuringSave, PropertiesFileAtStopIsOldOrNewNeverAMix) {
    const int plugin = LaunchWith("kill_properties", "Quorren.Tarvosk.prf", kOldProperties);
    ASSERT_GT(plugin, 0);
    const fs::path prefs = simhost::Sandbox() / "Output/preferences/Quorren.Tarvosk.prf";
    simhost::RunFrames(3);

    auto stop = [plugin] { simhost::StopPlugin(plugin); };
    RunChild(stop, std::chrono::nanoseconds(-1));
    const std::string newBytes = ReadAll(prefs);
    ASSERT_NE(newBytes, kOldProperties);
    EXPECT_NE(newBytes.find("UNKNOWN_KEY=kept as it is\n"), std::string::npos) << newBytes;
    EXPECT_NE(newBytes.find("TRUCK_SPEED=25.000000\n"), std::string::npos) << newBytes;

    const KillTally tally = KillRepeatedly(prefs, kOldProperties, newBytes, stop, 1234);
    EXPECT_EQ(tally.old + tally.whole, kKills);
    EXPECT_GT(tally.old, 0);
    EXPECT_GT(tally.whole, 0);
    simhost::UnloadPlugin(plugin);
}

// A planned push stores the plan for its stand; each child orders one. The other stands in the
// file survive every kill.
TEST(KillDuringSave, StandsFileIsOldOrNewNeverAMix) {
    const std::string oldBytes =
        "# latitude longitude heading airport straight turn after\n"
        "47.4551425 8.5465041 275.4 XSIM 20.0 -60.0 10.0\n"
        "-33.9 151.2 90.0 YSSY 5.0 0.0 0.0\n";
    const int plugin = LaunchWith("kill_stands", "Quorren.Tarvosk.stands", oldBytes);
    ASSERT_GT(plugin, 0);
    const fs::path stands = simhost::Sandbox() / "Output/preferences/Quorren.Tarvosk.stands";
    ASSERT_TRUE(simhost::SetDataref("quorren/tarvosk/plan/straight", 33.0));
    simhost::RunFrames(3);

    auto order = [] { simhost::RunCommand("quorren/tarvosk/planned_push", -1); };
    RunChild(order, std::chrono::nanoseconds(-1));
    const std::string newBytes = ReadAll(stands);
    EXPECT_NE(newBytes.find(" XSIM 33.0 0.0 0.0\n"), std::string::npos) << newBytes;
    EXPECT_NE(newBytes.find("-33.9 151.2 90.0 YSSY 5.0 0.0 0.0\n"), std::string::npos) << newBytes;

    const KillTally tally = KillRepeatedly(stands, oldBytes, newBytes, order, 4321);
    EXPECT_EQ(tally.old + tally.whole, kKills);
    EXPECT_GT(tally.old, 0);
    EXPECT_GT(tally.whole, 0);
    simhost::UnloadPlugin(plugin);
}

using tarvosk::killtest::Box;

// The rewriting of an old object as version 8 ends in writeObj8; each child writes it.
TEST(KillDuringSave, RewrittenObjectIsOldOrNewNeverAMix) {
    const fs::path folder = SandboxFor("kill_object", true);
    const fs::path file = folder / "truck.obj";
    const tarvosk::ObjectModel oldModel = Box(30, "old.png");
    const tarvosk::ObjectModel newModel = Box(1500, "new.png");  // long enough to be cut
    const std::string oldBytes = tarvosk::writeObj8ToString(oldModel);
    const std::string newBytes = tarvosk::writeObj8ToString(newModel);
    auto write = [&] { tarvosk::writeObj8(file.string(), newModel); };
    const KillTally tally = KillRepeatedly(file, oldBytes, newBytes, write, 4321);
    EXPECT_EQ(tally.old + tally.whole, kKills);
    EXPECT_GT(tally.old, 0);
    EXPECT_GT(tally.whole, 0);
    tarvosk::ObjectModel back;
    ASSERT_TRUE(tarvosk::readObj8(file.string(), back));
    EXPECT_EQ(back.textureName, "old.png");
}

// Seconds from the child's start until `file` is another file (the rename that ends a save),
// the longest of three runs; the child then runs to its end.
double TimeUntilReplaced(const fs::path& file, const std::string& oldBytes,
                         const std::function<void()>& save) {
    double longest = 0;
    for (int k = 0; k < 3; ++k) {
        WriteWhole(file, oldBytes);
        struct stat before {};
        ::stat(file.c_str(), &before);
        bool started = false;
        const pid_t child = StartChild(save, started);
        if (child < 0) return -1;
        const auto start = Clock::now();
        double took = -1;
        while (started && took < 0 &&
               std::chrono::duration<double>(Clock::now() - start).count() < 30) {
            struct stat now {};
            if (::stat(file.c_str(), &now) == 0 && now.st_ino != before.st_ino)
                took = std::chrono::duration<double>(Clock::now() - start).count();
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        longest = std::max(longest, took);
    }
    WriteWhole(file, oldBytes);
    return longest;
}

// The same rewrite as the real plug-in does it: a version-7 truck, selected in the settings,
// is converted and written back as version 8 when the plug-in is enabled. Each child enables.
TEST(KillDuringSave, Version7TruckRewrittenAtEnableIsOldOrNewNeverAMix) {
    simhost::HostConfig config;
    config.sandbox = SandboxFor("kill_truck", true);
    std::string error;
    ASSERT_TRUE(simhost::Reset(config, &error)) << error;
    const fs::path data = simhost::Sandbox() / "Resources/plugins/Tarvosk";
    fs::create_directories(data);
    fs::copy(TARVOSK_CONTENT_DIR, data,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::copy_file(data / "TVKdefault.png", data / "OldTug.png");
    // Long enough that the rewrite takes a while to cut: a thousand quads.
    std::string oldBytes = "I\n700\nOBJ\n\nOldTug\nATTR_LOD 0 1000\n";
    for (int k = 0; k < 1000; ++k) {
        const double x = k * 0.001;
        char quad[200];
        std::snprintf(quad, sizeof quad,
                      "quad\n%.3f 0 0 0 0 %.3f 0 1 0 1 %.3f 1 1 1 1 %.3f 1 0 1 0\n", x, x, x, x);
        oldBytes += quad;
    }
    oldBytes += "end\n";
    const fs::path truck = data / "OldTug.obj";
    WriteWhole(truck, oldBytes);
    WriteWhole(simhost::Sandbox() / "Output/preferences/Quorren.Tarvosk.prf", "Truck=OldTug\n");

    const int plugin = simhost::LoadPlugin(TARVOSK_XPL, &error);
    ASSERT_GT(plugin, 0) << error;
    ASSERT_TRUE(simhost::StartPlugin(plugin));
    ASSERT_EQ(simhost::MenuItemNames("Plugins/Tarvosk/Trucks"),
              (std::vector<std::string>{"OldTug", "TVKdefault"}));

    auto enable = [plugin] { simhost::EnablePlugin(plugin); };
    RunChild(enable, std::chrono::nanoseconds(-1));
    const std::string newBytes = ReadAll(truck);
    ASSERT_EQ(newBytes.rfind("I\n800\n", 0), 0u) << newBytes.substr(0, 200);
    tarvosk::ObjectModel rewritten;
    ASSERT_TRUE(tarvosk::readObj8(truck.string(), rewritten));
    EXPECT_EQ(rewritten.indices.size(), 1000u * 6u);

    // The rewrite comes early in the enable: the kills aim at it, not at the texture loading
    // that follows. Half the path's kills happen here, the direct writer's test has the rest.
    const double untilRenamed = TimeUntilReplaced(truck, oldBytes, enable);
    ASSERT_GT(untilRenamed, 0) << "the child never replaced the truck";
    const KillTally tally =
        KillRepeatedly(truck, oldBytes, newBytes, enable, 5678, kKills / 2, untilRenamed);
    EXPECT_EQ(tally.old + tally.whole, kKills / 2);
    EXPECT_GT(tally.old, 0);
    EXPECT_GT(tally.whole, 0);
    // A killed writer leaves its temporary file (nothing runs after SIGKILL); it is never
    // taken for a truck.
    simhost::UnloadPlugin(plugin);
    const int again = simhost::LoadPlugin(TARVOSK_XPL, &error);
    ASSERT_GT(again, 0) << error;
    ASSERT_TRUE(simhost::StartPlugin(again));
    EXPECT_EQ(simhost::MenuItemNames("Plugins/Tarvosk/Trucks"),
              (std::vector<std::string>{"OldTug", "TVKdefault"}));
    simhost::UnloadPlugin(again);
}

// A child with a file-size limit below the new file's size: the write fails half-way.
// Returns the child's report: its result, then what it logged.
std::string WithFileSizeLimit(rlim_t limit, const std::function<std::string()> body) {
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        ::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG instead of killing
        rlimit cap{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &cap) != 0) ::_exit(3);
        const std::string report = body();
        if (::write(out[1], report.data(), report.size()) < 0) ::_exit(2);
        ::_exit(0);
    }
    ::close(out[1]);
    std::string report;
    char chunk[512];
    for (ssize_t got; (got = ::read(out[0], chunk, sizeof chunk)) > 0;) report.append(chunk, got);
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return report;
}

TEST(FailedSave, FileSizeLimitLeavesTheOldPropertiesAndSaysWhy) {
    const fs::path folder = SandboxFor("fsize_properties");
    const fs::path file = folder / "Quorren.Tarvosk.prf";
    WriteWhole(file, kOldProperties);
    const std::string report = WithFileSizeLimit(40, [&] {
        std::ostringstream log;
        tarvosk::QN_Properties properties(file.string(), &log);
        properties["TRUCK_SPEED"] = "12.000000";
        const bool saved = properties.Save();
        return std::string(saved ? "saved\n" : "refused\n") + log.str();
        return std::string(properties.Save() ? "saved\n" : "refused\n") + log.str();
    });
    EXPECT_EQ(report.rfind("refused\n", 0), 0u) << report;
    EXPECT_NE(report.find("[WRNG] Settings not saved, the old file is kept"), std::string::npos)
        << report;
    EXPECT_NE(report.find("File too large"), std::string::npos) << report;
    EXPECT_EQ(ReadAll(file), kOldProperties);
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
}

TEST(FailedSave, FileSizeLimitLeavesTheOldObjectAndSaysWhy) {
    const fs::path folder = SandboxFor("fsize_object");
    const fs::path file = folder / "truck.obj";
    const std::string oldBytes = tarvosk::writeObj8ToString(Box(30, "old.png"));
    WriteWhole(file, oldBytes);
    const tarvosk::ObjectModel newModel = Box(2000, "new.png");
    const std::string report = WithFileSizeLimit(4096, [&] {
        std::string error;
        const bool written = tarvosk::writeObj8(file.string(), newModel, &error);
        return std::string(written ? "written\n" : "refused\n") + error;
        return std::string(tarvosk::writeObj8(file.string(), newModel, &error) ? "written\n"
                                                                               : "refused\n") +
               error;
    });
    EXPECT_EQ(report.rfind("refused\n", 0), 0u) << report;
    EXPECT_NE(report.find("File too large"), std::string::npos) << report;
    EXPECT_EQ(ReadAll(file), oldBytes);
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename() == simhost::kOwnedFolderMarker) continue;
        EXPECT_EQ(entry.path().filename(), "truck.obj") << "left behind: " << entry.path();
    }
}

// No temporary file can be made beside the old one. Without root a read-only folder does it;
// root writes anyway, so there the temporary's name is taken by a folder.
TEST(FailedSave, NoRoomForTheTemporaryFileLeavesTheOldPropertiesAndSaysWhy) {
    const fs::path folder = SandboxFor("readonly_properties");
    const fs::path file = folder / "Quorren.Tarvosk.prf";
    WriteWhole(file, kOldProperties);
    const bool root = ::geteuid() == 0;
    if (root) {
        std::printf(
            "running as root, which writes into read-only folders: the temporary "
            "file's name is taken by a folder instead\n");
        fs::create_directory(file.string() + ".tmp");
    } else {
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    }
    std::ostringstream log;
    tarvosk::QN_Properties properties(file.string(), &log);
    properties["TRUCK_SPEED"] = "12.000000";
    EXPECT_FALSE(properties.Save());
    if (!root) fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(ReadAll(file), kOldProperties);
    EXPECT_NE(log.str().find("[WRNG] Settings not saved, the old file is kept (cannot create the "
                             "temporary file: "),
              std::string::npos)
        << log.str();
    EXPECT_NE(log.str().find(root ? "Is a directory" : "Permission denied"), std::string::npos)
        << log.str();
}

}  // namespace
