#include <cmath>
#include <numbers>

#include "support.h"

namespace {

using simhost_test::HostTest;

class Datarefs : public HostTest {};

TEST_F(Datarefs, SimulatorDatarefsAreTypedAndWrongTypesAreCountedNotHonoured) {
    XPLMDataRef x = XPLMFindDataRef("sim/flightmodel/position/local_x");
    ASSERT_NE(x, nullptr);
    EXPECT_DOUBLE_EQ(XPLMGetDatad(x), -120.0);
    EXPECT_EQ(simhost::BadHandleAccesses(), 0);
    EXPECT_EQ(XPLMGetDataf(x), 0.0f);  // local_x is a double
    EXPECT_EQ(XPLMGetDatai(x), 0);
    EXPECT_EQ(simhost::BadHandleAccesses(), 2);
    XPLMSetDataf(x, 5.0f);
    EXPECT_DOUBLE_EQ(XPLMGetDatad(x), -120.0);
    EXPECT_EQ(simhost::BadHandleAccesses(), 3);
}

TEST_F(Datarefs, NullUnknownAndForeignHandlesAreHarmlessAndCounted) {
    EXPECT_EQ(XPLMFindDataRef("sim/no/such/dataref"), nullptr);
    EXPECT_EQ(XPLMFindDataRef(nullptr), nullptr);
    EXPECT_EQ(XPLMGetDatai(nullptr), 0);
    XPLMSetDataf(nullptr, 1.0f);
    int local = 7;
    EXPECT_EQ(XPLMGetDatai(&local), 0);  // not a handle of the registry: never dereferenced
    float buf[4] = {9, 9, 9, 9};
    EXPECT_EQ(XPLMGetDatavf(&local, buf, 0, 4), 0);
    EXPECT_EQ(buf[0], 9.0f);
    XPLMDataRef x = XPLMFindDataRef("sim/flightmodel/position/local_x");
    EXPECT_EQ(XPLMGetDatad(static_cast<char*>(x) + 1), 0.0);  // inside the pool, not an entry
    EXPECT_EQ(simhost::BadHandleAccesses(), 5);
}

TEST_F(Datarefs, ReadOnlyDatarefsIgnorePluginWritesButNotTheHosts) {
    XPLMDataRef speed = XPLMFindDataRef("sim/flightmodel/position/groundspeed");
    XPLMSetDataf(speed, 10.0f);
    EXPECT_EQ(XPLMGetDataf(speed), 0.0f);
    EXPECT_EQ(simhost::ReadOnlyWrites(), 1);
    EXPECT_TRUE(simhost::SetDataref("sim/flightmodel/position/groundspeed", 10.0));
    EXPECT_EQ(XPLMGetDataf(speed), 10.0f);
    XPLMDataRef brake = XPLMFindDataRef("sim/flightmodel/controls/parkbrake");
    XPLMSetDataf(brake, 0.0f);
    EXPECT_EQ(XPLMGetDataf(brake), 0.0f);
    EXPECT_EQ(simhost::BadHandleAccesses(), 0);
}

// The simulator protects only what it computes or owns; the rest plug-ins may write.
TEST_F(Datarefs, WritableAndReadOnlyAsTheSimulatorHasThem) {
    const char* writable[] = {"sim/flightmodel/position/theta",
                              "sim/flightmodel/position/psi",
                              "sim/flightmodel/position/phi",
                              "sim/flightmodel/position/R",
                              "sim/flightmodel/position/local_x",
                              "sim/aircraft/parts/acf_gear_xnodef",
                              "sim/aircraft/parts/acf_gear_ynodef",
                              "sim/aircraft/parts/acf_gear_znodef",
                              "sim/aircraft/parts/acf_gear_leglen",
                              "sim/aircraft/parts/acf_gear_tirrad",
                              "sim/aircraft/view/acf_tailnum",
                              "sim/aircraft/view/acf_size_x",
                              "sim/aircraft/view/acf_size_z",
                              "sim/aircraft/engine/acf_num_engines",
                              "sim/cockpit/switches/gear_handle_status",
                              "sim/flightmodel/ground/plugin_ground_center",
                              "sim/flightmodel/engine/ENGN_N1_",
                              "sim/flightmodel/engine/ENGN_bat_volt",
                              "sim/flightmodel/controls/parkbrake"};
    const char* readOnly[] = {"sim/flightmodel/position/groundspeed",
                              "sim/flightmodel/position/y_agl",
                              "sim/joystick/has_joystick",
                              "sim/graphics/view/view_is_external",
                              "sim/graphics/view/view_type",
                              "sim/time/paused",
                              "sim/graphics/scenery/percent_lights_on"};
    auto write = [](XPLMDataRef ref, float value) {
        float array[3] = {value, value, value};
        char bytes[4] = {'A', 'B', 'C', 0};
        XPLMSetDataf(ref, value);
        XPLMSetDatai(ref, static_cast<int>(value));
        XPLMSetDatad(ref, value);
        XPLMSetDatavf(ref, array, 0, 1);
        XPLMSetDatab(ref, bytes, 0, 4);
    };
    for (const char* name : writable) {
        XPLMDataRef ref = XPLMFindDataRef(name);
        ASSERT_NE(ref, nullptr) << name;
        const int before = simhost::ReadOnlyWrites();
        write(ref, 3.0f);
        EXPECT_EQ(simhost::ReadOnlyWrites(), before) << name;
        EXPECT_EQ(simhost::GetDataref(name), std::string(name).ends_with("acf_tailnum") ? 'A' : 3.0)
            << name;
    }
    for (const char* name : readOnly) {
        XPLMDataRef ref = XPLMFindDataRef(name);
        ASSERT_NE(ref, nullptr) << name;
        const double value = simhost::GetDataref(name);
        const int before = simhost::ReadOnlyWrites();
        write(ref, 3.0f);
        EXPECT_GT(simhost::ReadOnlyWrites(), before) << name;
        EXPECT_EQ(simhost::GetDataref(name), value) << name;
    }
}

TEST_F(Datarefs, AWrittenHeadingBecomesTheAttitude) {
    XPLMDataRef psi = XPLMFindDataRef("sim/flightmodel/position/psi");
    XPLMSetDataf(psi, 10.0f);
    simhost::RunFrames(1);
    EXPECT_NEAR(XPLMGetDataf(psi), 10.0f, 1e-4);
    float q[4];
    ASSERT_EQ(XPLMGetDatavf(XPLMFindDataRef("sim/flightmodel/position/q"), q, 0, 4), 4);
    EXPECT_NEAR(q[3], std::sin(5.0 * std::numbers::pi / 180.0),
                1e-3);  // level: q = (cos h/2, 0, 0, sin h/2)
}

TEST_F(Datarefs, TransparentPanelOnlyBeforeVersionTwelve) {
    EXPECT_EQ(XPLMFindDataRef("sim/graphics/settings/transparent_panel"), nullptr);
    ResetHost(11550);
    XPLMDataRef panel = XPLMFindDataRef("sim/graphics/settings/transparent_panel");
    ASSERT_NE(panel, nullptr);
    XPLMSetDatai(panel, 1);
    EXPECT_EQ(XPLMGetDatai(panel), 1);
    ResetHost(860);
    EXPECT_NE(XPLMFindDataRef("sim/graphics/settings/transparent_panel"), nullptr);
    ResetHost(12000);
    EXPECT_EQ(XPLMFindDataRef("sim/graphics/settings/transparent_panel"), nullptr);
    EXPECT_EQ(simhost::ReadOnlyWrites(), 0);
}

TEST_F(Datarefs, ArraysReportTheirSizeHonourOffsetsAndCutOverlongWrites) {
    XPLMDataRef bat = XPLMFindDataRef("sim/flightmodel/engine/ENGN_bat_volt");
    ASSERT_NE(bat, nullptr);
    EXPECT_EQ(XPLMGetDatavf(bat, nullptr, 0, 0), 8);
    float v[8] = {};
    EXPECT_EQ(XPLMGetDatavf(bat, v, 0, 8), 8);
    EXPECT_FLOAT_EQ(v[0], 22.5f);
    EXPECT_FLOAT_EQ(v[1], 22.5f);
    EXPECT_FLOAT_EQ(v[2], 0.0f);  // two engines
    EXPECT_EQ(XPLMGetDatavf(bat, v, 6, 8), 2);
    EXPECT_EQ(XPLMGetDatavf(bat, v, 8, 1), 0);
    EXPECT_EQ(XPLMGetDatavf(bat, v, -1, 1), 0);
    float w[4] = {24, 24, 24, 24};
    XPLMSetDatavf(bat, w, 6, 4);  // two of four fit
    EXPECT_DOUBLE_EQ(simhost::GetDataref("sim/flightmodel/engine/ENGN_bat_volt", 7), 24.0);
    EXPECT_TRUE(std::isnan(simhost::GetDataref("sim/flightmodel/engine/ENGN_bat_volt", 8)));
}

TEST_F(Datarefs, TailNumberIsAByteArray) {
    XPLMDataRef tail = XPLMFindDataRef("sim/aircraft/view/acf_tailnum");
    char buf[7] = {};
    EXPECT_EQ(XPLMGetDatab(tail, buf, 0, 6), 6);
    EXPECT_STREQ(buf, "TVK320");
    EXPECT_EQ(XPLMGetDatab(tail, nullptr, 0, 0), 40);
    EXPECT_TRUE(simhost::SetDatarefBytes("sim/aircraft/view/acf_tailnum", "AB"));
    EXPECT_EQ(simhost::GetDatarefBytes("sim/aircraft/view/acf_tailnum"), "AB");
}

int g_value = 0;
int ReadValue(void* refcon) {
    return g_value + (refcon ? 1000 : 0);
}
void WriteValue(void*, int v) {
    g_value = v;
}

XPLMDataRef RegisterValue(const char* name) {
    return XPLMRegisterDataAccessor(name, xplmType_Int, 1, ReadValue, WriteValue, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr);
}

TEST_F(Datarefs, AccessorsServeOtherReadersOnlyWhileTheirOwnerIsEnabled) {
    g_value = 5;
    XPLMDataRef ref = RegisterValue("tester/value");
    ASSERT_NE(ref, nullptr);
    EXPECT_EQ(XPLMFindDataRef("tester/value"), ref);
    EXPECT_EQ(XPLMGetDatai(ref), 5);
    EXPECT_TRUE(simhost::SetDataref("tester/value", 9));
    EXPECT_EQ(g_value, 9);
    EXPECT_EQ(XPLMGetDataf(ref), 0.0f);  // only the int pair was given
    EXPECT_EQ(simhost::BadHandleAccesses(), 1);

    simhost::DisablePlugin(plugin_);
    EXPECT_EQ(XPLMGetDatai(ref), 0);
    XPLMSetDatai(ref, 3);
    EXPECT_EQ(g_value, 9);
    EXPECT_TRUE(simhost::EnablePlugin(plugin_));
    EXPECT_EQ(XPLMGetDatai(ref), 9);
}

TEST_F(Datarefs, UnregisteredAccessorsAreOrphanedAndCanBeTakenAgain) {
    g_value = 4;
    XPLMDataRef ref = RegisterValue("tester/value");
    EXPECT_EQ(RegisterValue("tester/value"), nullptr);  // taken
    XPLMUnregisterDataAccessor(ref);
    EXPECT_EQ(XPLMGetDatai(ref), 0);
    EXPECT_EQ(XPLMFindDataRef("tester/value"), ref);  // handles stay valid
    XPLMDataRef again = RegisterValue("tester/value");
    EXPECT_EQ(again, ref);
    EXPECT_EQ(XPLMGetDatai(ref), 4);
    EXPECT_EQ(RegisterValue("sim/flightmodel/position/psi"), nullptr);  // reserved prefix
}

TEST_F(Datarefs, UnloadingTheOwnerOrphansItsDatarefs) {
    g_value = 4;
    XPLMDataRef ref = RegisterValue("tester/value");
    simhost::UnloadPlugin(plugin_);
    EXPECT_EQ(XPLMGetDatai(ref), 0);
    EXPECT_TRUE(std::isnan(simhost::ReadDataref(ref)));
}

TEST_F(Datarefs, VersionPicksPitchAndN1NamesAndGearIndices) {
    struct Case {
        int version;
        bool theta, n1Underscore, oldGear;
    } cases[] = {{729, false, false, true}, {730, true, false, true}, {740, true, true, true},
                 {799, true, true, true},   {800, true, true, false}, {12100, true, true, false}};
    for (const Case& c : cases) {
        ResetHost(c.version);
        SCOPED_TRACE(c.version);
        EXPECT_EQ(XPLMFindDataRef("sim/flightmodel/position/theta") != nullptr, c.theta);
        EXPECT_EQ(XPLMFindDataRef("sim/flightmodel/position/the") != nullptr, !c.theta);
        EXPECT_EQ(XPLMFindDataRef("sim/flightmodel/engine/ENGN_N1_") != nullptr, c.n1Underscore);
        EXPECT_EQ(XPLMFindDataRef("sim/flightmodel/engine/ENGN_N1") != nullptr, !c.n1Underscore);
        int version = 0;
        XPLMGetVersions(&version, nullptr, nullptr);
        EXPECT_EQ(version, c.version);
        XPLMDataRef z = XPLMFindDataRef("sim/aircraft/parts/acf_gear_znodef");
        float nose = 0;
        if (c.oldGear) {
            ASSERT_EQ(XPLMGetDatavf(z, &nose, 67, 1), 1);
        } else {
            EXPECT_EQ(XPLMGetDatavf(z, &nose, 67, 1), 0);
            ASSERT_EQ(XPLMGetDatavf(z, &nose, 0, 1), 1);
        }
        EXPECT_FLOAT_EQ(nose, -12.5f);
    }
}

TEST_F(Datarefs, OmittedDatarefsAreNotFound) {
    config_.omitDatarefs = {"sim/flightmodel/position/R", "sim/aircraft/view/acf_size_z"};
    std::string error;
    ASSERT_TRUE(simhost::Reset(config_, &error)) << error;
    EXPECT_EQ(XPLMFindDataRef("sim/flightmodel/position/R"), nullptr);
    EXPECT_EQ(XPLMFindDataRef("sim/aircraft/view/acf_size_z"), nullptr);
    EXPECT_NE(XPLMFindDataRef("sim/aircraft/view/acf_size_x"), nullptr);
    EXPECT_FALSE(simhost::SetDataref("sim/flightmodel/position/R", 1));
}

TEST_F(Datarefs, EveryRowThePluginLooksUpExists) {
    const char* names[] = {"sim/flightmodel/position/theta",
                           "sim/flightmodel/position/local_x",
                           "sim/flightmodel/position/local_z",
                           "sim/flightmodel/position/local_y",
                           "sim/flightmodel/position/psi",
                           "sim/flightmodel/position/phi",
                           "sim/flightmodel/position/R",
                           "sim/flightmodel/position/q",
                           "sim/flightmodel/position/groundspeed",
                           "sim/flightmodel/position/y_agl",
                           "sim/aircraft/parts/acf_gear_xnodef",
                           "sim/aircraft/parts/acf_gear_ynodef",
                           "sim/aircraft/parts/acf_gear_znodef",
                           "sim/aircraft/parts/acf_gear_leglen",
                           "sim/aircraft/parts/acf_gear_tirrad",
                           "sim/joystick/yolk_heading_ratio",
                           "sim/operation/override/override_joystick_heading",
                           "sim/joystick/has_joystick",
                           "sim/flightmodel/ground/plugin_ground_center",
                           "sim/flightmodel/controls/parkbrake",
                           "sim/cockpit/switches/gear_handle_status",
                           "sim/cockpit/electrical/cockpit_lights_on",
                           "sim/graphics/view/view_is_external",
                           "sim/graphics/view/view_type",
                           "sim/flightmodel/engine/ENGN_N1_",
                           "sim/aircraft/view/acf_tailnum",
                           "sim/aircraft/view/acf_size_x",
                           "sim/aircraft/view/acf_size_z",
                           "sim/operation/prefs/text_out",
                           "sim/time/paused",
                           "sim/aircraft/engine/acf_num_engines",
                           "sim/flightmodel/engine/ENGN_bat_volt",
                           "sim/graphics/scenery/percent_lights_on",
                           "simhost/clock/monotonic_seconds"};
    for (const char* n : names) EXPECT_NE(XPLMFindDataRef(n), nullptr) << n;
}

// As in X-Plane: the pilot's yaw axis reaches the yaw ratio every frame unless a plug-in
// overrides the joystick heading, so a plug-in's own write does not stick without it.
TEST_F(Datarefs, ThePilotsYawAxisReplacesTheYawRatioUnlessOverridden) {
    XPLMDataRef ratio = XPLMFindDataRef("sim/joystick/yolk_heading_ratio");
    XPLMDataRef override = XPLMFindDataRef("sim/operation/override/override_joystick_heading");
    ASSERT_TRUE(simhost::SetDataref("simhost/pilot/yaw_axis", -0.6));
    XPLMSetDataf(ratio, 0.3f);
    simhost::RunFrames(1);
    EXPECT_FLOAT_EQ(XPLMGetDataf(ratio), -0.6f);
    XPLMSetDatai(override, 1);
    XPLMSetDataf(ratio, 0.3f);
    simhost::RunFrames(3);
    EXPECT_FLOAT_EQ(XPLMGetDataf(ratio), 0.3f);
    XPLMSetDatai(override, 0);
    ASSERT_TRUE(simhost::SetDataref("simhost/pilot/yaw_axis", 4.0));  // held to the axis's range
    simhost::RunFrames(1);
    EXPECT_FLOAT_EQ(XPLMGetDataf(ratio), 1.0f);
}

TEST_F(Datarefs, TheClockDatarefIsVirtualTimeAndReadOnly) {
    XPLMDataRef clock = XPLMFindDataRef("simhost/clock/monotonic_seconds");
    simhost::RunFrames(45);
    EXPECT_DOUBLE_EQ(XPLMGetDatad(clock), 1.5);
    EXPECT_FLOAT_EQ(XPLMGetElapsedTime(), 1.5f);
    XPLMSetDatad(clock, 100.0);
    EXPECT_DOUBLE_EQ(XPLMGetDatad(clock), 1.5);
}

}  // namespace
