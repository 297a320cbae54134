// The host empties only folders it made itself (or empty ones): a sandbox pointed at the
// working folder, or at a folder of the user's, must survive `fresh-sandbox` and the soak.
#include <cstdio>
#include <fstream>

#include "scenario/scenario.h"
#include "simhost/owned_folder.h"
#include "support.h"

namespace {

namespace fs = std::filesystem;

// A folder as a user has it: made without the host, holding a file of theirs.
fs::path UsersFolder(const fs::path& where) {
    fs::create_directories(where / "notes");
    std::ofstream(where / "notes" / "keep.txt") << "mine\n";
    return where / "notes" / "keep.txt";
}

std::string RunSimIn(const fs::path& folder, const std::string& args, int* status) {
    const std::string cmd = simhost_test::SimProgram() + " " + args + " 2>&1";
    simhost_test::ScopedWorkingFolder in(folder);
    return simhost_test::RunShell(cmd, status);
}

TEST(OwnedFolder, AFolderMadeHereIsMarkedAndEmptiedButKeepsItsMark) {
    const fs::path base = simhost_test::SandboxFor();
    const fs::path made = base / "a" / "b";
    std::string why;
    ASSERT_TRUE(simhost::MakeOwnedFolder(made, &why)) << why;
    EXPECT_TRUE(fs::is_regular_file(made / simhost::kOwnedFolderMarker));
    EXPECT_FALSE(fs::exists(base / "a" / simhost::kOwnedFolderMarker));  // only the one made
    fs::create_directories(made / "x" / "y");
    std::ofstream(made / "x" / "y" / "f") << "1";
    ASSERT_TRUE(simhost::EmptyOwnedFolder(made, &why)) << why;
    EXPECT_FALSE(fs::exists(made / "x"));
    EXPECT_TRUE(fs::is_regular_file(made / simhost::kOwnedFolderMarker));
    ASSERT_TRUE(simhost::RemoveOwnedFolder(made, &why)) << why;
    EXPECT_FALSE(fs::exists(made));
}

TEST(OwnedFolder, AFolderOfTheUsersIsNeverTouched) {
    const fs::path base = simhost_test::SandboxFor();
    const fs::path keep = UsersFolder(base / "users");
    std::string why;
    // Made elsewhere: MakeOwnedFolder does not adopt it.
    EXPECT_TRUE(simhost::MakeOwnedFolder(base / "users", &why)) << why;
    EXPECT_FALSE(fs::exists(base / "users" / simhost::kOwnedFolderMarker));
    EXPECT_FALSE(simhost::EmptyOwnedFolder(base / "users", &why));
    EXPECT_NE(why.find((base / "users").string()), std::string::npos) << why;
    EXPECT_NE(why.find("not made by tarvosk-sim"), std::string::npos) << why;
    EXPECT_FALSE(simhost::RemoveOwnedFolder(base / "users", &why));
    EXPECT_TRUE(fs::exists(keep));
    // A file is no folder to empty.
    EXPECT_FALSE(simhost::EmptyOwnedFolder(keep, &why));
    EXPECT_NE(why.find("not a folder"), std::string::npos) << why;
    EXPECT_TRUE(fs::exists(keep));
    // Empty and absent folders hold nothing to lose.
    fs::create_directories(base / "empty");
    EXPECT_TRUE(simhost::EmptyOwnedFolder(base / "empty", &why)) << why;
    EXPECT_TRUE(simhost::EmptyOwnedFolder(base / "absent", &why)) << why;
}

TEST(OwnedFolder, ALinkInAMarkedFolderGoesButNotWhatItPointsTo) {
    const fs::path base = simhost_test::SandboxFor();
    const fs::path keep = UsersFolder(base / "users");
    std::string why;
    ASSERT_TRUE(simhost::MakeOwnedFolder(base / "made", &why)) << why;
    std::error_code linked;
    fs::create_directory_symlink(base / "users", base / "made" / "link", linked);
    // Windows makes symbolic links only with a privilege or in developer mode, Wine not at all.
    if (linked) GTEST_SKIP() << "no symbolic link to a folder here: " << linked.message();
    ASSERT_TRUE(simhost::EmptyOwnedFolder(base / "made", &why)) << why;
    EXPECT_FALSE(fs::exists(fs::symlink_status(base / "made" / "link")));
    EXPECT_TRUE(fs::exists(keep));
}

TEST(OwnedFolder, TheHostMarksTheSandboxItMakesButNotOneThatExists) {
    const fs::path base = simhost_test::SandboxFor();
    simhost::HostConfig config;
    config.sandbox = base / "made";
    std::string why;
    ASSERT_TRUE(simhost::Reset(config, &why)) << why;
    EXPECT_TRUE(fs::is_regular_file(base / "made" / simhost::kOwnedFolderMarker));
    UsersFolder(base / "installed");
    config.sandbox = base / "installed";
    ASSERT_TRUE(simhost::Reset(config, &why)) << why;
    EXPECT_FALSE(fs::exists(base / "installed" / simhost::kOwnedFolderMarker));
}

TEST(OwnedFolder, FreshSandboxRefusesAFolderItDidNotMake) {
    const fs::path base = simhost_test::SandboxFor();
    const fs::path keep = UsersFolder(base / "users");
    simhost::scenario::Script script;
    std::string error;
    ASSERT_TRUE(simhost::scenario::ParseScript(
        "sandbox " + (base / "users").string() + "\nfresh-sandbox\nwait 1s\n", "run.txt", &script,
        &error))
        << error;
    simhost::scenario::RunOptions options;
    options.out = base / "out";
    options.quiet = true;
    auto r = simhost::scenario::RunScript(script, options);
    EXPECT_FALSE(r.ok);
    // At the line that asks for it, not at the first action.
    EXPECT_NE(r.error.find("run.txt:2: fresh-sandbox: will not empty " + (base / "users").string()),
              std::string::npos)
        << r.error;
    EXPECT_TRUE(fs::exists(keep));
    // A sandbox the host made is emptied: what the last run left is gone.
    ASSERT_TRUE(simhost::scenario::ParseScript(
        "sandbox " + (base / "made").string() + "\nfresh-sandbox\nwait 1s\n", "run.txt", &script,
        &error))
        << error;
    r = simhost::scenario::RunScript(script, options);
    ASSERT_TRUE(r.ok) << r.error;
    std::ofstream(base / "made" / "left-over.txt") << "x";
    r = simhost::scenario::RunScript(script, options);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(fs::exists(base / "made" / "left-over.txt"));
}

TEST(OwnedFolder, TheProgramNeverWipesTheFolderItRunsIn) {
    const fs::path base = simhost_test::SandboxFor();
    const fs::path keep = UsersFolder(base / "work");
    std::ofstream(base / "work" / "s.txt") << "sandbox .\nfresh-sandbox\nwait 1s\n";
    int status = -1;
    std::string text = RunSimIn(base / "work", "--quiet --out out s.txt", &status);
    EXPECT_EQ(status, 1) << text;
    EXPECT_NE(text.find("will not empty " + (base / "work").string() + ":"), std::string::npos)
        << text;
    EXPECT_TRUE(fs::exists(keep));
    EXPECT_TRUE(fs::exists(base / "work" / "s.txt"));
    // The soak's sandbox too.
    text = RunSimIn(
        base / "work",
        "--soak 1 --quiet --plugin " + std::string(SIMHOST_TEST_PLUGIN) + " --sandbox notes",
        &status);
    EXPECT_NE(status, 0) << text;
    EXPECT_NE(text.find("will not empty " + (base / "work" / "notes").string() + ":"),
              std::string::npos)
        << text;
    EXPECT_TRUE(fs::exists(keep));
}

}  // namespace
