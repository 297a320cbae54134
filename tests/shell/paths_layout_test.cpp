#include <gtest/gtest.h>

#include <string>

#include "shell/paths.h"

namespace tarvosk {
namespace {

TEST(PathLayout, FlatLibraryNamesItsDataFolder) {
    const std::string xpl = "/xp/Resources/plugins/Tarvosk.xpl";
    EXPECT_FALSE(LiesInPlatformFolder(xpl, '/'));
    EXPECT_EQ(DataFolderFor(xpl, '/'), "/xp/Resources/plugins/Tarvosk/");
    EXPECT_EQ(SimulatorRootFor(xpl, '/'), "/xp/");
}

TEST(PathLayout, EveryPlatformFolderUsesItsParent) {
    for (const char* platform : {"lin_x64", "win_x64", "mac_x64", "64"}) {
        const std::string xpl =
            std::string("/xp/Resources/plugins/Tarvosk/") + platform + "/Tarvosk.xpl";
        EXPECT_TRUE(LiesInPlatformFolder(xpl, '/')) << platform;
        EXPECT_EQ(DataFolderFor(xpl, '/'), "/xp/Resources/plugins/Tarvosk/") << platform;
        EXPECT_EQ(SimulatorRootFor(xpl, '/'), "/xp/") << platform;
    }
}

TEST(PathLayout, DataFolderIsNamedByTheFolderNotTheLibrary) {
    // A renamed plug-in folder keeps its data beside the platform folders.
    EXPECT_EQ(DataFolderFor("/xp/Resources/plugins/Pushback/lin_x64/Tarvosk.xpl", '/'),
              "/xp/Resources/plugins/Pushback/");
}

TEST(PathLayout, OtherFolderNamesKeepTheFlatRule) {
    // Near misses of the platform names are ordinary folders: case, suffixes, 32-bit names.
    for (const char* folder : {"LIN_X64", "lin_x64_old", "lin", "32", "x64", "664", "64bit"}) {
        const std::string xpl = std::string("/xp/Resources/plugins/") + folder + "/Tarvosk.xpl";
        EXPECT_FALSE(LiesInPlatformFolder(xpl, '/')) << folder;
        EXPECT_EQ(DataFolderFor(xpl, '/'),
                  std::string("/xp/Resources/plugins/") + folder + "/Tarvosk/")
            << folder;
    }
}

TEST(PathLayout, PlatformFolderWithoutParentKeepsTheFlatRule) {
    EXPECT_FALSE(LiesInPlatformFolder("lin_x64/Tarvosk.xpl", '/'));
    EXPECT_EQ(DataFolderFor("lin_x64/Tarvosk.xpl", '/'), "lin_x64/Tarvosk/");
    // The root folder itself is a parent.
    EXPECT_TRUE(LiesInPlatformFolder("/64/Tarvosk.xpl", '/'));
    EXPECT_EQ(DataFolderFor("/64/Tarvosk.xpl", '/'), "/");
}

TEST(PathLayout, WindowsSeparator) {
    const std::string xpl = "C:\\X-Plane 12\\Resources\\plugins\\Tarvosk\\win_x64\\Tarvosk.xpl";
    EXPECT_EQ(DataFolderFor(xpl, '\\'), "C:\\X-Plane 12\\Resources\\plugins\\Tarvosk\\");
    EXPECT_EQ(SimulatorRootFor(xpl, '\\'), "C:\\X-Plane 12\\");
    // With the other separator the folder names are not seen at all.
    EXPECT_FALSE(LiesInPlatformFolder(xpl, '/'));
}

TEST(PathLayout, TooShortPathsGiveNoFolder) {
    EXPECT_EQ(DataFolderFor("", '/'), "");
    EXPECT_EQ(DataFolderFor(".xpl", '/'), "");
    EXPECT_EQ(SimulatorRootFor("", '/'), "");
    EXPECT_EQ(SimulatorRootFor("plugins/Tarvosk.xpl", '/'), "");
    EXPECT_EQ(SimulatorRootFor("plugins/Tarvosk/lin_x64/Tarvosk.xpl", '/'), "");
}

}  // namespace
}  // namespace tarvosk
