// Killed while saving, on Windows: a child process saves the settings file or rewrites an
// object over and over, alternating between two versions, and is terminated with
// TerminateProcess at random moments. The file on disk is always one version, whole: the
// temporary file replaces the old one in one step (MoveFileExW), never by rewriting it.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "kill_models.h"
#include "platform/files.h"
#include "simhost/owned_folder.h"

namespace {

namespace fs = std::filesystem;
constexpr int kKills = 30;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path FreshFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() /
                            ("tarvosk-kill-" + std::to_string(GetCurrentProcessId())) / name;
    std::string why;
    if (!simhost::EmptyOwnedFolder(folder, &why) || !simhost::MakeOwnedFolder(folder, &why))
        ADD_FAILURE() << why;
    return folder;
}

struct Tally {
    int versions[2] = {0, 0};
};

// Starts the child on `file`, waits for its first save, lets it run a random few milliseconds
// and terminates it; then the file must be one of `expected`, whole.
void KillOnce(const std::string& mode, const fs::path& file, const std::string (&expected)[2],
              std::mt19937& random, Tally& tally) {
    wchar_t child[MAX_PATH];
    ASSERT_GT(
        GetFullPathNameW(fs::path(TARVOSK_KILL_CHILD).wstring().c_str(), MAX_PATH, child, nullptr),
        0u);
    std::wstring command = L"\"" + std::wstring(child) + L"\" " +
                           std::wstring(mode.begin(), mode.end()) + L" \"" + file.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << "error " << GetLastError();
    fs::path ready = file;
    ready += ".ready";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool started = false;
    while (!(started = fs::exists(ready)) && std::chrono::steady_clock::now() < deadline) {
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code) && code != STILL_ACTIVE) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (started) {
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    }
    TerminateProcess(process.hProcess, 9);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_TRUE(started) << "the child never saved " << file;
    std::error_code ignored;
    fs::remove(ready, ignored);

    const std::string now = ReadAll(file);
    if (now == expected[0]) {
        ++tally.versions[0];
    } else if (now == expected[1]) {
        ++tally.versions[1];
    } else {
        FAIL() << file << " is neither version whole after a kill (" << now.size() << " bytes)";
    }
}

TEST(KillDuringSaveWindows, SettingsAreOneVersionWholeAfterEveryKill) {
    const fs::path folder = FreshFolder("settings");
    std::string expected[2];
    for (int version = 0; version < 2; ++version) {
        const fs::path sample = folder / ("sample" + std::to_string(version) + ".prf");
        tarvosk::QN_Properties properties(tarvosk::platform::Utf8(sample), nullptr);
        tarvosk::killtest::FillProperties(properties, version);
        ASSERT_TRUE(properties.Save());
        expected[version] = ReadAll(sample);
    }
    std::mt19937 random(20261210);
    Tally tally;
    for (int kill = 0; kill < kKills && !HasFatalFailure(); ++kill) {
        KillOnce("properties", folder / "Quorren.Tarvosk.prf", expected, random, tally);
    }
    RecordProperty("first", tally.versions[0]);
    RecordProperty("second", tally.versions[1]);
    EXPECT_EQ(tally.versions[0] + tally.versions[1], kKills);
}

TEST(KillDuringSaveWindows, RewrittenObjectIsOneVersionWholeAfterEveryKill) {
    const fs::path folder = FreshFolder("object");
    const std::string expected[2] = {
        tarvosk::writeObj8ToString(tarvosk::killtest::ObjectVersion(0)),
        tarvosk::writeObj8ToString(tarvosk::killtest::ObjectVersion(1))};
    std::mt19937 random(20261211);
    Tally tally;
    for (int kill = 0; kill < kKills && !HasFatalFailure(); ++kill) {
        KillOnce("object", folder / "truck.obj", expected, random, tally);
    }
    EXPECT_EQ(tally.versions[0] + tally.versions[1], kKills);
}

}  // namespace
