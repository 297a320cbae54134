#include "config/properties.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "test_folder.h"

namespace tarvosk {
namespace {

using testing::FreshFolder;
using testing::ReadFile;
using testing::WriteFile;
using Map = std::map<std::string, std::string>;

Map LoadBytes(const std::string& bytes, std::string* log = nullptr) {
    const auto path = FreshFolder() / "Quorren.Tarvosk.prf";
    WriteFile(path, bytes);
    std::ostringstream out;
    QN_Properties properties(path.string(), &out);
    if (log != nullptr) *log = out.str();
    return properties.Entries();
}

class LineEnds : public ::testing::TestWithParam<const char*> {};

TEST_P(LineEnds, LoadTheSameEntries) {
    const std::string end = GetParam();
    const Map expected = {{"DRAW_TRUCK", "1"}, {"Truck", "Tug"}, {"TRUCK_SPEED", "10.000000"}};
    // The last line has no line end: it counts all the same.
    EXPECT_EQ(LoadBytes("DRAW_TRUCK=1" + end + "Truck=Tug" + end + "TRUCK_SPEED=10.000000"),
              expected);
}

INSTANTIATE_TEST_SUITE_P(Properties, LineEnds, ::testing::Values("\n", "\r", "\r\n"));

TEST(Properties, SplitsAtTheLastEqualsSignAndTrimsNothing) {
    const Map entries = LoadBytes(
        "a=b=c\n"           // the first "=" stays in the key
        "=ignored\n"        // the only "=" is the first character
        "no equals sign\n"  // no "=" at all
        "empty=\n"          // an empty value
        " spaced = out \n"  // blanks belong to key and value
        "truck=lower\nTruck=Upper\n"
        "dup=1\ndup=2\n");  // a later line replaces an earlier one
    const Map expected = {{"a=b", "c"},       {"empty", ""},      {" spaced ", " out "},
                          {"truck", "lower"}, {"Truck", "Upper"}, {"dup", "2"}};
    EXPECT_EQ(entries, expected);
}

TEST(Properties, EmptyFileGivesEmptyMapAndNoMessage) {
    std::string log;
    EXPECT_TRUE(LoadBytes("", &log).empty());
    EXPECT_TRUE(LoadBytes("\n\r\n no sign\n", &log).empty());
    EXPECT_EQ(log, "");
}

TEST(Properties, LineLongerThan255CharactersIsSkippedWhole) {
    const std::string longest(255 - 2, 'v');  // "k=" + 253 characters: exactly 255
    const std::string tooLong(256 - 2, 'w');
    const Map entries = LoadBytes("k=" + longest + "\nx=" + tooLong + "\nafter=1\n");
    const Map expected = {{"k", longest}, {"after", "1"}};
    EXPECT_EQ(entries, expected);
}

TEST(Properties, MissingFileIsLoggedAndLeavesTheMapEmpty) {
    const std::string path = (FreshFolder() / "absent.prf").string();
    std::ostringstream log;
    QN_Properties properties(path, &log);
    EXPECT_TRUE(properties.Entries().empty());
    EXPECT_EQ(log.str(), "Error: can't open QN_Properties file '" + path +
                             "'\nWill create a new one from defaults'\n");
}

TEST(Properties, EmptyPathLoadsNothing) {
    QN_Properties properties("", nullptr);
    EXPECT_TRUE(properties.Entries().empty());
}

TEST(Properties, SaveWritesEveryEntryInUnsignedByteOrder) {
    const auto path = FreshFolder() / "p.prf";
    WriteFile(path, "zz=1\nUNKNOWN_KEY=kept as it was\n\xC3\xA9t\xC3\xA9=2\n");
    QN_Properties properties(path.string(), nullptr);
    properties["TRUCK_SPEED"] = "10.000000";
    properties["TruckView_KEY"] = "123";
    properties["Truck"] = "Tug";
    properties["READ_ONLY"];  // a key only read is saved empty
    ASSERT_TRUE(properties.Save());
    EXPECT_EQ(ReadFile(path),
              "READ_ONLY=\n"
              "TRUCK_SPEED=10.000000\n"
              "Truck=Tug\n"
              "TruckView_KEY=123\n"
              "UNKNOWN_KEY=kept as it was\n"
              "zz=1\n"
              "\xC3\xA9t\xC3\xA9=2\n");
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));
}

TEST(Properties, SaveToAMissingFolderFailsAndLogs) {
    const std::string path = (FreshFolder() / "no such folder" / "p.prf").string();
    std::ostringstream log;
    QN_Properties logged(path, &log);
    log.str("");
    logged["A"] = "1";
    EXPECT_FALSE(logged.Save());
    EXPECT_EQ(log.str(), "Error: can't open QN_Properties file for writing'" + path +
                             "'\n[WRNG] Settings not saved, the old file is kept (cannot create "
                             "the temporary file: No such file or directory)\n");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(Properties, FailedSaveLeavesTheOldFileAsItWas) {
    const auto folder = FreshFolder();
    const auto path = folder / "p.prf";
    WriteFile(path, "A=old\n");
    QN_Properties properties(path.string(), nullptr);
    properties["A"] = "new";
    // The temporary file cannot be created where a folder of its name stands (even for root).
    std::filesystem::create_directory(path.string() + ".tmp");
    EXPECT_FALSE(properties.Save());
    EXPECT_EQ(ReadFile(path), "A=old\n");
}

TEST(Properties, SaveIntoAReadOnlyFolderLeavesTheOldFile) {
    const auto folder = FreshFolder();
    const auto path = folder / "p.prf";
    WriteFile(path, "A=old\n");
    QN_Properties properties(path.string(), nullptr);
    properties["A"] = "new";
    namespace fs = std::filesystem;
    fs::permissions(folder,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    WriteFile(folder / "probe", "x");
    const bool writable = fs::exists(folder / "probe");
    const bool saved = properties.Save();
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    if (writable) GTEST_SKIP() << "running with rights that ignore folder permissions (root)";
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(path), "A=old\n");
}

TEST(Properties, DumpListsEveryEntryWithoutAFinalLineEnd) {
    const auto path = FreshFolder() / "p.prf";
    WriteFile(path, "B=2\nA=1\n");
    QN_Properties properties(path.string(), nullptr);
    std::ostringstream out;
    properties.Dump(out);
    EXPECT_EQ(out.str(), "Properties: " + path.string() + "\n\tA=1\n\tB=2");
}

}  // namespace
}  // namespace tarvosk
