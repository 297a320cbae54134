#include <gtest/gtest.h>

#include <string>

#include "host_fixture.h"
#include "shell/paths.h"

namespace tarvosk {
namespace {

class Paths : public testing::InProcessHost {};

TEST_F(Paths, EveryKindEndsInTheSeparator) {
    Boot();
    const std::string root = Folder(sandbox);
    EXPECT_EQ(GetPath(SystemFolder), root);
    EXPECT_EQ(GetPath(PluginFolder), Native(root + "Resources/plugins/"));
    EXPECT_EQ(GetPath(SimulatorRoot), root);
    EXPECT_EQ(GetPath(PrefsFolder), Native(root + "Output/preferences/"));
    EXPECT_EQ(GetPath(EarthNavDataFolder), Native(root + "Resources/Earth nav data/"));
    EXPECT_EQ(GetPath(CustomSceneryFolder), Native(root + "Custom Scenery/"));
    EXPECT_EQ(GetPath(PluginDataFolder), Native(root + "Resources/plugins/Tarvosk/"));
    EXPECT_EQ(GetPath(FlightPlansFolder), Native(root + "QNFlight Plans/"));
    EXPECT_EQ(GetPath(FmsFlightPlansFolder), Native(root + "QN FMS Flight Plans/"));
    // The user's aircraft folder: the aircraft file's folder, inside the sandbox's Aircraft.
    char file[4096] = {}, path[4096] = {};
    XPLMGetNthAircraftModel(0, file, path);
    const std::string aircraft = GetPath(AircraftFolder);
    EXPECT_EQ(aircraft + file, path);
    EXPECT_EQ(aircraft.rfind(Native(root + "Aircraft/"), 0), 0u);
}

TEST_F(Paths, LongInstallationPathWorksOrGivesNoPath) {
    Boot();
    // Fits the host's 256-byte plug-in path: every character survives.
    const auto deep = sandbox / std::string(100, 'd');
    simhost::AttachInProcessPlugin("Tarvosk", deep / "Resources" / "plugins" / "Tarvosk.xpl");
    EXPECT_EQ(GetPath(PluginDataFolder), Native(Folder(deep) + "Resources/plugins/Tarvosk/"));
    EXPECT_EQ(GetPath(SimulatorRoot), Folder(deep));
    // Too long for it: the host cuts the path, so no folder is derived from it.
    const auto deeper = sandbox / std::string(200, 'd') / std::string(200, 'e');
    simhost::AttachInProcessPlugin("Tarvosk", deeper / "Resources" / "plugins" / "Tarvosk.xpl");
    EXPECT_EQ(GetPath(PluginDataFolder), "");
    EXPECT_EQ(GetPath(SimulatorRoot), "");
    EXPECT_EQ(GetPath(CustomSceneryFolder), "");
    EXPECT_EQ(GetPath(PrefsFolder), Native(Folder(sandbox) + "Output/preferences/"));
}

TEST_F(Paths, PlatformFolderLayout) {
    Boot();
    const std::string root = Folder(sandbox);
    simhost::AttachInProcessPlugin(
        "Tarvosk", sandbox / "Resources" / "plugins" / "Tarvosk" / "lin_x64" / "Tarvosk.xpl");
    EXPECT_EQ(GetPath(PluginDataFolder), Native(root + "Resources/plugins/Tarvosk/"));
    EXPECT_EQ(GetPath(PluginFolder), Native(root + "Resources/plugins/Tarvosk/lin_x64/"));
    EXPECT_EQ(GetPath(SimulatorRoot), root);
    EXPECT_EQ(GetPath(CustomSceneryFolder), Native(root + "Custom Scenery/"));
    EXPECT_EQ(GetPath(EarthNavDataFolder), Native(root + "Resources/Earth nav data/"));
    EXPECT_EQ(GetPath(PrefsFolder), Native(root + "Output/preferences/"));
}

TEST_F(Paths, CutAfterSeparator) {
    EXPECT_EQ(CutAfterSeparator("/x/Resources/plugins/T.xpl", '/'), "/x/Resources/plugins/");
    EXPECT_EQ(CutAfterSeparator("/x/Resources/plugins/T.xpl", '/', 3), "/x/");
    EXPECT_EQ(CutAfterSeparator("/x/", '/'), "/x/");
    EXPECT_EQ(CutAfterSeparator("no separator", '/'), "no separator");
    EXPECT_EQ(CutAfterSeparator("a/b", '/', 2), "a/b");  // too few: left whole
    EXPECT_EQ(CutAfterSeparator("", '/'), "");
}

}  // namespace
}  // namespace tarvosk
