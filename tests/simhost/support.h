// Shared set-up for the simulated host's tests: a fresh host in its own sandbox, and an
// in-process plug-in identity that owns the callbacks a test registers.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
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

// Runs a shell command; its standard output (and whatever it sends there) and exit status.
inline std::string RunShell(const std::string& cmd, int* status) {
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[512];
    while (p && fgets(buf, sizeof buf, p)) out += buf;
    const int rc = p ? pclose(p) : -1;
    *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

inline bool TimelineHas(const std::string& prefix) {
    for (const auto& e : simhost::Timeline())
        if (e.text.rfind(prefix, 0) == 0) return true;
    return false;
}

}  // namespace simhost_test
