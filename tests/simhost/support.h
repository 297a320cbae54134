// Shared set-up for the simulated host's tests: a fresh host in its own sandbox, and an
// in-process plug-in identity that owns the callbacks a test registers.
#pragma once

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace simhost_test {

// An empty folder of the test's own (made and marked here, emptied on the next run).
inline std::filesystem::path SandboxFor(const std::string& suffix = "") {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path p = std::filesystem::path(testing::TempDir()) / "tarvosk-simhost" /
                              (std::string(info->test_suite_name()) + "." + info->name() + suffix);
    std::string why;
    EXPECT_TRUE(simhost::EmptyOwnedFolder(p, &why) && simhost::MakeOwnedFolder(p, &why)) << why;
    return p;
}

class HostTest : public testing::Test {
  protected:
    void SetUp() override { ResetHost(); }

    void ResetHost(int version = 12100) {
        simhost::Shutdown();  // the last host's files are closed before its folder is emptied
        config_.sandbox = SandboxFor();
        config_.xplaneVersion = version;
        std::string error;
        ASSERT_TRUE(simhost::Reset(config_, &error)) << error;
        plugin_ = simhost::AttachInProcessPlugin("Tester",
                                                 config_.sandbox / "Resources/plugins/Tester.xpl");
    }

    simhost::HostConfig config_;
    int plugin_ = -1;
};

// The tests that run tarvosk-sim as a program do it through the system's command interpreter:
// sh, or cmd.exe on Windows. This block holds all the tests know of their platform.
#ifdef _WIN32
inline constexpr const char* kPlatformFolder = "win_x64";
inline constexpr const char* kLibraryLoadFailure = "LoadLibrary failed";
// A host function as a plug-in binds to it: the program's own &XPLMFoo is its import thunk.
inline void* HostFunction(const char* name, void*) {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"XPLM_64.dll"), name));
}
inline constexpr const char* kNullDevice = "NUL";
// One word of a command line, quoted (no path or word of these tests holds a double quote).
inline std::string Quote(const std::string& word) {
    return "\"" + word + "\"";
}
// cmd.exe /c drops the first and the last quote of a line that begins with one.
inline FILE* OpenCommand(const std::string& cmd) {
    return popen(("\"" + cmd + "\"").c_str(), "r");
}
inline int ExitStatus(int closed) {
    return closed;  // the interpreter's exit code: the last command's
}
inline void SetEnvironment(const char* name, const char* value) {
    _putenv_s(name, value);
}
inline void UnsetEnvironment(const char* name) {
    _putenv_s(name, "");
}
#else
inline constexpr const char* kPlatformFolder = "lin_x64";
inline constexpr const char* kLibraryLoadFailure = "dlopen failed";
inline void* HostFunction(const char*, void* address) {
    return address;
}
inline constexpr const char* kNullDevice = "/dev/null";
inline std::string Quote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
inline FILE* OpenCommand(const std::string& cmd) {
    return popen(cmd.c_str(), "r");
}
inline int ExitStatus(int closed) {
    return WIFEXITED(closed) ? WEXITSTATUS(closed) : -1;
}
inline void SetEnvironment(const char* name, const char* value) {
    setenv(name, value, 1);
}
inline void UnsetEnvironment(const char* name) {
    unsetenv(name);
}
#endif

inline std::string Quote(const std::filesystem::path& word) {
    return Quote(word.string());
}

// The program, quoted, by an absolute path that holds in any working folder (on Windows the
// build's paths have no drive letter; the one of the folder the test starts in is theirs).
inline std::string SimProgram() {
    return Quote(std::filesystem::absolute(SIMHOST_SIM_PROGRAM).make_preferred());
}

// Runs a command line; its standard output (and whatever it sends there) and exit status.
inline std::string RunShell(const std::string& cmd, int* status) {
    FILE* p = OpenCommand(cmd);
    std::string out;
    char buf[512];
    while (p && fgets(buf, sizeof buf, p)) out += buf;
    *status = p ? ExitStatus(pclose(p)) : -1;
    return out;
}

// An environment variable the programs a test runs see, for as long as this lives.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        SetEnvironment(name, value);
    }
    ~ScopedEnvironment() { UnsetEnvironment(name_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name_;
};

// The working folder of the test and the programs it runs, for as long as this lives.
class ScopedWorkingFolder {
  public:
    explicit ScopedWorkingFolder(const std::filesystem::path& folder)
        : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~ScopedWorkingFolder() {
        std::error_code ignored;
        std::filesystem::current_path(before_, ignored);
    }
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

  private:
    std::filesystem::path before_;
};

inline bool TimelineHas(const std::string& prefix) {
    for (const auto& e : simhost::Timeline())
        if (e.text.rfind(prefix, 0) == 0) return true;
    return false;
}

}  // namespace simhost_test
