#include <cmath>
#include <fstream>
#include <numbers>

#include "support.h"

// The model's internals are tested through its own header.
#include "world/aircraft.h"

namespace {

using simhost::detail::Aircraft;
using simhost::detail::AnglesToQuaternion;
using simhost::detail::ParseAircraft;
using simhost::detail::QuaternionToAngles;
using simhost_test::HostTest;

TEST(Quaternion, AnglesSurviveTheRoundTrip) {
    const double cases[][3] = {{0, 0, 0},     {275.4, 0, 0}, {45, 3, -2},     {359.9, -10, 20},
                               {180, 0.5, 0}, {90, 45, 30},  {12.3, -80, 170}};
    for (const auto& c : cases) {
        float q[4];
        AnglesToQuaternion(c[0], c[1], c[2], q);
        double psi, theta, phi;
        QuaternionToAngles(q, &psi, &theta, &phi);
        SCOPED_TRACE(c[0]);
        EXPECT_NEAR(std::fmod(psi - c[0] + 540.0, 360.0) - 180.0, 0, 1e-3);
        EXPECT_NEAR(theta, c[1], 1e-3);
        EXPECT_NEAR(phi, c[2], 1e-3);
    }
}

TEST(Quaternion, HeadingOnlyMatchesTheHalfAngleForm) {
    float q[4];
    AnglesToQuaternion(90, 0, 0, q);
    EXPECT_NEAR(q[0], std::cos(std::numbers::pi / 4), 1e-6);
    EXPECT_NEAR(q[3], std::sin(std::numbers::pi / 4), 1e-6);
    EXPECT_NEAR(q[1], 0, 1e-7);
    EXPECT_NEAR(q[2], 0, 1e-7);
}

TEST(AircraftFile, TheShippedAirlinerParses) {
    Aircraft a;
    std::string error;
    ASSERT_TRUE(
        simhost::detail::LoadAircraftFile(simhost::detail::DefaultAircraftFile(), &a, &error))
        << error;
    EXPECT_EQ(a.tailNumber, "TVK320");
    EXPECT_EQ(a.engines, 2);
    EXPECT_FLOAT_EQ(a.batteryVolts, 22.5f);
    EXPECT_FLOAT_EQ(a.heading, 275.4f);
    EXPECT_FLOAT_EQ(a.nose.z, -12.5f);
    Aircraft builtIn;
    ASSERT_TRUE(ParseAircraft(simhost::detail::DefaultAircraftText(), "built-in", &builtIn, &error))
        << error;
    EXPECT_EQ(builtIn.tailNumber, a.tailNumber);
}

TEST(AircraftFile, ErrorsNameTheFileAndLine) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"tail_number = X\nwingspan = 3\n", "a.acf:2: unknown key 'wingspan'"},
        {"tail_number = X\n\n# c\nengines = two\n",
         "a.acf:4: 'engines' needs one number, got 'two'"},
        {"tail_number = X\nengines = 9\n", "a.acf:2: 'engines' = 9 is out of range"},
        {"tail_number = X\nposition = 1 2\n", "a.acf:2: 'position' needs three numbers: x y z"},
        {"tail_number = X\ngear_nose = 1 2 3 4 5 6\n",
         "a.acf:2: 'gear_nose' needs five numbers: x y z leg_length tyre_radius"},
        {"tail_number = X\njust words\n", "a.acf:2: expected 'key = value', got 'just words'"},
        {"engines = 2\n", "a.acf:2: no 'tail_number' given"},
        {"tail_number = X\nname = ../evil\n", "a.acf:2: 'name' must be a plain file name"},
        {"tail_number = X\nheading = nan\n", "a.acf:2: 'heading' needs one number, got 'nan'"},
    };
    for (const Case& c : cases) {
        Aircraft a;
        std::string error;
        EXPECT_FALSE(ParseAircraft(c.text, "a.acf", &a, &error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
}

TEST(AircraftFile, AMissingFileIsAClearError) {
    Aircraft a;
    std::string error;
    EXPECT_FALSE(simhost::detail::LoadAircraftFile("/nonexistent/x.acf.txt", &a, &error));
    EXPECT_EQ(error, "/nonexistent/x.acf.txt: cannot open the aircraft file");
}

class Model : public HostTest {};

TEST_F(Model, HeadingFollowsTheQuaternionThePluginWrites) {
    XPLMDataRef q = XPLMFindDataRef("sim/flightmodel/position/q");
    XPLMDataRef psi = XPLMFindDataRef("sim/flightmodel/position/psi");
    float v[4];
    AnglesToQuaternion(100.15, 0, 0, v);
    XPLMSetDatavf(q, v, 0, 4);
    EXPECT_NEAR(XPLMGetDataf(psi), 275.4f, 1e-4);  // derived by the next frame's model update
    simhost::RunFrames(1);
    EXPECT_NEAR(XPLMGetDataf(psi), 100.15f, 1e-3);
}

TEST_F(Model, GroundSpeedFollowsMotionAndHeightFollowsLocalY) {
    XPLMDataRef x = XPLMFindDataRef("sim/flightmodel/position/local_x");
    XPLMDataRef gs = XPLMFindDataRef("sim/flightmodel/position/groundspeed");
    simhost::RunFrames(1);
    EXPECT_EQ(XPLMGetDataf(gs), 0.0f);
    XPLMSetDatad(x, XPLMGetDatad(x) + 0.1);
    simhost::RunFrames(1);
    EXPECT_NEAR(XPLMGetDataf(gs), 3.0f, 1e-3);  // 0.1 m in 1/30 s
    simhost::RunFrames(1);
    EXPECT_EQ(XPLMGetDataf(gs), 0.0f);
    EXPECT_NEAR(simhost::GetDataref("sim/flightmodel/position/y_agl"), 3.2, 1e-5);
    simhost::SetDataref("sim/flightmodel/position/local_y", 30.0);
    simhost::RunFrames(1);
    EXPECT_NEAR(simhost::GetDataref("sim/flightmodel/position/y_agl"), 30.0, 1e-5);
}

TEST_F(Model, ScenarioValuesHoldUntilReleased) {
    ASSERT_TRUE(simhost::SetDataref("sim/flightmodel/position/groundspeed", 3));
    simhost::RunFrames(2);
    EXPECT_DOUBLE_EQ(simhost::GetDataref("sim/flightmodel/position/groundspeed"), 3.0);
    ASSERT_TRUE(simhost::ReleaseDataref("sim/flightmodel/position/groundspeed"));
    simhost::RunFrames(1);
    EXPECT_DOUBLE_EQ(simhost::GetDataref("sim/flightmodel/position/groundspeed"), 0.0);
    // Moving the aircraft from the host is a teleport, not motion.
    simhost::SetDataref("sim/flightmodel/position/local_x", 500);
    simhost::RunFrames(1);
    EXPECT_DOUBLE_EQ(simhost::GetDataref("sim/flightmodel/position/groundspeed"), 0.0);
}

TEST_F(Model, SettingHeadingFromTheHostRebuildsTheQuaternion) {
    simhost::SetDataref("sim/flightmodel/position/psi", 45);
    simhost::RunFrames(1);
    EXPECT_NEAR(simhost::GetDataref("sim/flightmodel/position/psi"), 45, 1e-4);
    float q[4];
    AnglesToQuaternion(45, 0, 0, q);
    EXPECT_NEAR(simhost::GetDataref("sim/flightmodel/position/q", 3), q[3], 1e-6);
}

TEST_F(Model, ABadAircraftFileFailsTheReset) {
    std::filesystem::create_directories(config_.sandbox);
    std::filesystem::path file = config_.sandbox / "bad.acf.txt";
    std::ofstream(file) << "tail_number = X\nengines = -1\n";
    config_.aircraftFile = file;
    std::string error;
    EXPECT_FALSE(simhost::Reset(config_, &error));
    EXPECT_EQ(error, file.string() + ":2: 'engines' = -1 is out of range");
}

TEST_F(Model, TheSandboxIsLaidOutLikeAnInstallation) {
    std::filesystem::path root = simhost::Sandbox();
    EXPECT_TRUE(std::filesystem::is_directory(root / "Resources/plugins"));
    EXPECT_TRUE(std::filesystem::is_directory(root / "Output/preferences"));
    char path[512], file[256];
    // The platform's own separator throughout, as the simulator hands out paths.
    const auto native = [](std::filesystem::path p) { return p.make_preferred().string(); };
    const std::string separator(1, static_cast<char>(std::filesystem::path::preferred_separator));
    XPLMGetSystemPath(path);
    EXPECT_EQ(std::string(path), root.string() + separator);
    XPLMGetPrefsPath(path);
    EXPECT_EQ(std::string(path), native(root / "Output/preferences/X-Plane.prf"));
    EXPECT_EQ(XPLMGetDirectorySeparator(), separator);
    XPLMGetNthAircraftModel(0, file, path);
    EXPECT_STREQ(file, "TarvoskAirliner.acf");
    EXPECT_EQ(std::string(path), native(root / "Aircraft/TarvoskAirliner/TarvoskAirliner.acf"));
    EXPECT_TRUE(std::filesystem::exists(path));
    char name[256];
    XPLMGetPluginInfo(XPLMGetMyID(), name, path, nullptr, nullptr);
    EXPECT_STREQ(name, "Tester");
    EXPECT_EQ(std::string(path), native(config_.sandbox / "Resources/plugins/Tester.xpl"));
}

}  // namespace
