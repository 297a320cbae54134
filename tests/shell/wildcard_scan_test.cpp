#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "shell/paths.h"
#include "test_folder.h"

namespace tarvosk {
namespace {

// Removes a folder tree through the platform's listing: under mingw std::filesystem lists
// nothing beyond MAX_PATH, so remove_all would leave a deep tree for the next run to trip on.
void RemoveTree(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    if (platform::ListFolder(platform::Utf8(folder), &names))
        for (const std::string& name : names) RemoveTree(folder / platform::FsPath(name));
    std::error_code ignored;
    std::filesystem::remove(folder, ignored);
}

TEST(MatchWildcard, ObjectPattern) {
    EXPECT_TRUE(MatchWildcard("Tug.obj", "*.obj"));
    EXPECT_TRUE(MatchWildcard(".obj", "*.obj"));
    EXPECT_TRUE(MatchWildcard("a.obj.obj", "*.obj"));
    EXPECT_FALSE(MatchWildcard("Tug.OBJ", "*.obj"));
    EXPECT_FALSE(MatchWildcard("Tug.obj.bak", "*.obj"));
    EXPECT_FALSE(MatchWildcard("obj", "*.obj"));
}

TEST(MatchWildcard, StarsAndQuestionMarks) {
    EXPECT_TRUE(MatchWildcard("", ""));
    EXPECT_TRUE(MatchWildcard("", "***"));
    EXPECT_FALSE(MatchWildcard("", "?"));
    EXPECT_FALSE(MatchWildcard("a", ""));
    EXPECT_TRUE(MatchWildcard("abc", "a?c"));
    EXPECT_FALSE(MatchWildcard("ac", "a?c"));
    EXPECT_TRUE(MatchWildcard("abcbcd", "a*bcd"));  // needs a second try after the first "bc"
    EXPECT_TRUE(MatchWildcard("xaybzc", "*a*b*c"));
    EXPECT_FALSE(MatchWildcard("xaybz", "*a*b*c"));
    EXPECT_TRUE(MatchWildcard("anything", "*"));
    EXPECT_TRUE(MatchWildcard("a*b", "a*b"));
}

TEST(MatchWildcard, ManyStarsOnALongTextStayCheap) {
    const std::string text(5000, 'a');
    EXPECT_FALSE(MatchWildcard(text, "*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(ScanObjectFolder, ListsObjectFilesAndFoldersSortedByName) {
    const auto folder = testing::FreshFolder();
    for (const char* name : {"Tug.obj", "A.OBJ", "x.obj.bak", "readme.txt", ".obj", "Ab.obj"}) {
        testing::WriteFile(folder / name, "");
    }
    std::filesystem::create_directory(folder / "sub.obj");  // folders are not told apart
    std::filesystem::create_directory(folder / "GroundServices");
    std::vector<std::string> names = {"kept"};
    ASSERT_TRUE(ScanObjectFolder(folder.string() + "/", names));
    const std::vector<std::string> expected = {"kept", "Ab", "Tug", "sub"};
    EXPECT_EQ(names, expected);
}

TEST(ScanObjectFolder, EmptyOrMissingFolder) {
    const auto folder = testing::FreshFolder();
    std::vector<std::string> names;
    EXPECT_TRUE(ScanObjectFolder(folder.string() + "/", names));
    EXPECT_TRUE(names.empty());
    names = {"kept"};
    EXPECT_FALSE(ScanObjectFolder((folder / "missing").string() + "/", names));
    EXPECT_EQ(names, std::vector<std::string>{"kept"});
}

TEST(ScanObjectFolder, LongFolderPath) {
    auto folder = testing::FreshFolder();
    struct Cleanup {
        std::filesystem::path top;
        ~Cleanup() { RemoveTree(top); }
    } cleanup{folder / std::string(60, 'a')};
    for (int i = 0; i < 12; ++i) folder /= std::string(60, static_cast<char>('a' + i));
    std::filesystem::create_directories(folder);
    testing::WriteFile(folder / "Tug.obj", "");
    std::vector<std::string> names;
    ASSERT_TRUE(ScanObjectFolder(folder.string() + "/", names));
    EXPECT_EQ(names, std::vector<std::string>{"Tug"});
}

}  // namespace
}  // namespace tarvosk
