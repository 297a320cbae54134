#include "config/log.h"

#include <gtest/gtest.h>

#include "test_folder.h"

namespace tarvosk {
namespace {

using testing::FreshFolder;
using testing::ReadFile;

TEST(Log, EachMessageIsInTheFileAtOnce) {
    const auto path = FreshFolder() / "Tarvosk.log";
    ASSERT_TRUE(OpenLog(path.string()));
    Log("--- Starting Tarvosk ---\n");
    EXPECT_EQ(ReadFile(path), "--- Starting Tarvosk ---\n");  // flushed, not closed
    LogStream() << "Properties: " << 42;
    FlushLog();
    EXPECT_EQ(ReadFile(path), "--- Starting Tarvosk ---\nProperties: 42");
}

TEST(Log, ASecondRunKeepsOnlyItsOwnMessages) {
    const auto path = FreshFolder() / "Tarvosk.log";
    ASSERT_TRUE(OpenLog(path.string()));
    Log("first run\n");
    ASSERT_TRUE(OpenLog(path.string()));
    Log("second run\n");
    EXPECT_EQ(ReadFile(path), "second run\n");
}

TEST(Log, AFileThatCannotBeCreatedSwallowsEveryWrite) {
    const auto folder = FreshFolder();
    EXPECT_FALSE(OpenLog((folder / "missing" / "Tarvosk.log").string()));
    Log("lost\n");
    LogStream() << "lost too" << 1;
    FlushLog();
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
    // A later open works again.
    ASSERT_TRUE(OpenLog((folder / "Tarvosk.log").string()));
    Log("kept\n");
    EXPECT_EQ(ReadFile(folder / "Tarvosk.log"), "kept\n");
}

}  // namespace
}  // namespace tarvosk
