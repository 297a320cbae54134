// Files named by UTF-8 paths with letters beyond ASCII, the atomic replacement, and the
// positional reader: the same tests run on Linux and, cross-built, on Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "simhost/owned_folder.h"

namespace tarvosk::platform {
namespace {

// A fresh folder whose own name has German, Cyrillic and CJK letters.
class Files : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // A marked folder of this test's own, and inside it the folder the test lists.
        owned_ = Utf8(std::filesystem::temp_directory_path()) + "/tarvosk-platform-" +
                 std::to_string(ProcessId()) + "-" + info->name();
        folder_ = owned_ + "/J\xC3\xBCrgen-\xD0\x9F\xD1\x80\xD0\xB8-\xE6\x97\xA5\xE6\x9C\xAC";
        std::string why;
        ASSERT_TRUE(simhost::EmptyOwnedFolder(FsPath(owned_), &why)) << why;
        ASSERT_TRUE(simhost::MakeOwnedFolder(FsPath(owned_), &why)) << why;
        ASSERT_TRUE(std::filesystem::create_directory(FsPath(folder_)));
    }
    void TearDown() override { simhost::RemoveOwnedFolder(FsPath(owned_), nullptr); }
    std::string In(const std::string& name) const { return folder_ + "/" + name; }

    static bool Write(const std::string& path, const std::string& text) {
        std::FILE* file = OpenFile(path, "wb");
        if (file == nullptr) return false;
        const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        return std::fclose(file) == 0 && ok;
    }
    static std::string Read(const std::string& path) {
        std::FILE* file = OpenFile(path, "rb");
        if (file == nullptr) return "<missing>";
        std::string text;
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text.push_back(char(c));
        std::fclose(file);
        return text;
    }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(FsPath(folder_))) {
            names.push_back(Utf8(entry.path().filename()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string owned_, folder_;
};

TEST_F(Files, NonAsciiNamesAreWrittenReadAndListedAsTheirUtf8Bytes) {
    const std::string name =
        "Stra\xC3\x9F"
        "e-\xD0\xB4\xD0\xB0-\xE6\xBC\xA2.obj";
    ASSERT_TRUE(Write(In(name), "OBJ8\n"));
    EXPECT_EQ(Read(In(name)), "OBJ8\n");
    EXPECT_EQ(Listing(), std::vector<std::string>{name});
    EXPECT_TRUE(std::filesystem::is_regular_file(FsPath(In(name))));
    EXPECT_EQ(OpenFile(In("absent.txt"), "rb"), nullptr);
}

TEST_F(Files, AReplacementLandsOverAnExistingFileEveryTime) {
    const std::string target = In("Quorren.Tarvosk.prf");
    ASSERT_TRUE(Write(target, "first"));
    for (const std::string text : {"second", "third"}) {
        ASSERT_TRUE(Write(In("next.tmp"), text));
        std::string error;
        ASSERT_TRUE(AtomicReplace(In("next.tmp"), target, &error)) << error;
        EXPECT_EQ(Read(target), text);
    }
    EXPECT_EQ(Listing(), std::vector<std::string>{"Quorren.Tarvosk.prf"});
}

TEST_F(Files, AFailedReplacementSaysWhyAndKeepsTheTarget) {
    ASSERT_TRUE(Write(In("keep.txt"), "kept"));
    std::string error;
    EXPECT_FALSE(AtomicReplace(In("no-such.tmp"), In("keep.txt"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Read(In("keep.txt")), "kept");
}

TEST_F(Files, ANewFileIsNeverOneThatExistsAndKeepsItsBytesAsTheyAre) {
    std::FILE* file = CreateNewFile(In("new.obj"));
    ASSERT_NE(file, nullptr);
    const std::string text = "A\nB\r\nC\n";
    ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file), text.size());
    EXPECT_TRUE(SyncFile(file));
    ASSERT_EQ(std::fclose(file), 0);
    EXPECT_EQ(Read(In("new.obj")), text);  // no line ends added on any platform

    errno = 0;
    EXPECT_EQ(CreateNewFile(In("new.obj")), nullptr);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_TRUE(RemoveFile(In("new.obj")));
    EXPECT_FALSE(RemoveFile(In("new.obj")));
}

TEST_F(Files, TheReaderReadsAnyRangeAndSaysWhenTheFileEndsFirst) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text.push_back(char('a' + i % 26));
    ASSERT_TRUE(Write(In("big.bin"), text));
    ReadOnlyFile file;
    std::string error;
    ASSERT_TRUE(file.Open(In("big.bin"), &error)) << error;
    ASSERT_EQ(file.Size(), text.size());
    std::string into(text.size(), '\0');
    EXPECT_EQ(file.ReadRange(into.data(), 50000, text.size()), 0);
    EXPECT_EQ(file.ReadRange(into.data(), 0, 50000), 0);
    EXPECT_EQ(into, text);
    std::string longer(text.size() + 10, '\0');
    EXPECT_EQ(file.ReadRange(longer.data(), 0, longer.size()), ReadOnlyFile::kShortRead);
}

TEST_F(Files, TheReaderRefusesWhatIsNotARegularFile) {
    ReadOnlyFile missing;
    std::string error;
    EXPECT_FALSE(missing.Open(In("absent.obj"), &error));
    EXPECT_EQ(error.rfind("cannot open " + In("absent.obj") + ": ", 0), 0u) << error;
    ASSERT_TRUE(std::filesystem::create_directory(FsPath(In("folder.obj"))));
    ReadOnlyFile folder;
    error.clear();
    EXPECT_FALSE(folder.Open(In("folder.obj"), &error));
    EXPECT_FALSE(error.empty());
}

// An X-Plane folder deep enough that its files' paths pass MAX_PATH: Windows without its
// long-path setting reaches them only in the long-path form.
TEST_F(Files, FilesBeyondMaxPathAreWrittenReplacedReadAndRemoved) {
    std::string deep = folder_;
    std::vector<std::string> levels;
    for (int i = 0; i < 5; ++i) {
        deep += "/" + std::string(60, static_cast<char>('a' + i));
        levels.push_back(deep);
        ASSERT_TRUE(std::filesystem::create_directory(FsPath(deep)));
    }
    const std::string target = deep + "/Quorren.Tarvosk.prf", next = deep + "/next.tmp";
    ASSERT_GT(target.size(), 300u);
    ASSERT_TRUE(Write(target, "first"));
    ASSERT_TRUE(Write(next, "second"));
    std::string error;
    ASSERT_TRUE(AtomicReplace(next, target, &error)) << error;
    {
        ReadOnlyFile file;  // closed before the removal: Windows keeps an open file's folder
        ASSERT_TRUE(file.Open(target, &error)) << error;
        EXPECT_EQ(file.Size(), 6u);
    }
    EXPECT_EQ(Read(target), "second");
    std::vector<std::string> names;
    EXPECT_TRUE(ListFolder(deep, &names));
    EXPECT_EQ(names, std::vector<std::string>{"Quorren.Tarvosk.prf"});
    EXPECT_TRUE(RemoveFile(target));
    EXPECT_EQ(OpenFile(target, "rb"), nullptr);
    // Level by level: the folder's own clean-up may not reach this deep on Windows.
    for (auto level = levels.rbegin(); level != levels.rend(); ++level)
        EXPECT_TRUE(std::filesystem::remove(FsPath(*level))) << *level;
}

}  // namespace
}  // namespace tarvosk::platform
