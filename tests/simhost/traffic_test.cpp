// Other aircraft: published as the simulator of each version publishes them, moving along
// their lines, removed, and slots a script writes itself left alone.
#include <algorithm>
#include <cmath>
#include <string>

#include "simhost/traffic.h"
#include "support.h"

namespace {

using simhost_test::HostTest;
using simhost_test::TimelineHas;

class Traffic : public HostTest {};

constexpr const char* kTcasX = "sim/cockpit2/tcas/targets/position/x";
constexpr const char* kTcasPsi = "sim/cockpit2/tcas/targets/position/psi";
constexpr const char* kTcasType = "sim/cockpit2/tcas/targets/icao_type";
constexpr const char* kTcasCount = "sim/cockpit2/tcas/indicators/tcas_num_acf";
constexpr const char* kWingSpan = "sim/cockpit2/tcas/targets/wake/wing_span_m";

double Plane(int n, const char* axis) {
    const std::string name = "sim/multiplayer/position/plane" + std::to_string(n) + "_" + axis;
    XPLMDataRef ref = XPLMFindDataRef(name.c_str());
    if (!ref) return NAN;
    return *axis == 'p' ? XPLMGetDataf(ref) : XPLMGetDatad(ref);
}

float Element(const char* name, int index) {
    float v = NAN;
    if (XPLMDataRef ref = XPLMFindDataRef(name)) XPLMGetDatavf(ref, &v, index, 1);
    return v;
}

std::string TypeIn(int slot) {
    char field[8] = {};
    if (XPLMDataRef ref = XPLMFindDataRef(kTcasType)) XPLMGetDatab(ref, field, slot * 8, 8);
    return std::string(field, std::find(field, field + 8, '\0'));
}

TEST_F(Traffic, PublishedThroughTheDatarefsOfTheVersion) {
    const struct {
        int version;
        bool tcas, span;
    } cases[] = {{11000, false, false}, {11500, true, false}, {12000, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        ResetHost(c.version);
        std::string why;
        ASSERT_TRUE(simhost::PlaceTraffic(3, "B738", -150, 300, 90, &why)) << why;
        EXPECT_EQ(simhost::PlaceTraffic(20, "C172", 0, 0, 0, &why), c.tcas) << why;
        simhost::RunFrames(1);
        EXPECT_DOUBLE_EQ(Plane(3, "x"), -150);
        EXPECT_DOUBLE_EQ(Plane(3, "z"), 300);
        EXPECT_DOUBLE_EQ(Plane(3, "psi"), 90);
        EXPECT_TRUE(std::isnan(Plane(20, "x")));  // planeN ends at 19 in every version
        for (const char* name : {kTcasX, kTcasPsi, kTcasType, kTcasCount})
            EXPECT_EQ(XPLMFindDataRef(name) != nullptr, c.tcas) << name;
        EXPECT_EQ(XPLMFindDataRef(kWingSpan) != nullptr, c.span);
        if (c.tcas) {
            EXPECT_FLOAT_EQ(Element(kTcasX, 3), -150);
            EXPECT_FLOAT_EQ(Element(kTcasPsi, 3), 90);
            EXPECT_FLOAT_EQ(Element(kTcasX, 0), -120);  // slot 0: the user's aircraft
            EXPECT_FLOAT_EQ(Element(kTcasX, 20), 0);
            EXPECT_EQ(TypeIn(3), "B738");
            EXPECT_EQ(TypeIn(20), "C172");
            EXPECT_EQ(XPLMGetDatai(XPLMFindDataRef(kTcasCount)), 21);
        }
        if (c.span) {
            EXPECT_FLOAT_EQ(Element(kWingSpan, 3), 35.8f);
            EXPECT_FLOAT_EQ(Element(kWingSpan, 0), 34.1f);  // the default airliner's
        }
    }
}

TEST_F(Traffic, MovesIsRemovedAndLeavesSlotsAScriptWroteAlone) {
    std::string why;
    ASSERT_TRUE(simhost::PlaceTraffic(1, "A320", 0, 0, 0, &why)) << why;
    ASSERT_TRUE(simhost::MoveTraffic(1, 10, 90, &why)) << why;  // east
    simhost::RunSeconds(1);
    EXPECT_NEAR(Plane(1, "x"), 10, 1e-9);
    EXPECT_NEAR(Plane(1, "z"), 0, 1e-9);
    ASSERT_TRUE(simhost::MoveTrafficTo(1, 10, -50, 25, &why)) << why;  // north, then stops
    simhost::RunSeconds(3);
    EXPECT_DOUBLE_EQ(Plane(1, "x"), 10);
    EXPECT_DOUBLE_EQ(Plane(1, "z"), -50);
    EXPECT_DOUBLE_EQ(Plane(1, "psi"), 0);
    EXPECT_TRUE(TimelineHas("traffic: slot 1 stopped at 10.0 -50.0"));

    // What a script writes stays, in a slot of its own and in one a traffic line drove.
    ASSERT_TRUE(simhost::PlaceTraffic(2, "C172", 5, 6, 180, &why)) << why;
    ASSERT_TRUE(simhost::MoveTraffic(1, 10, 90, &why)) << why;
    ASSERT_TRUE(simhost::SetDataref("sim/multiplayer/position/plane4_x", 123));
    ASSERT_TRUE(simhost::SetDataref("sim/multiplayer/position/plane1_z", 77));
    ASSERT_TRUE(simhost::SetDatarefArray(kTcasX, {-9}, 2));
    simhost::RunFrames(10);
    EXPECT_DOUBLE_EQ(Plane(4, "x"), 123);
    EXPECT_DOUBLE_EQ(Plane(1, "x"), 10);  // no longer moving
    EXPECT_DOUBLE_EQ(Plane(1, "z"), 77);
    EXPECT_FLOAT_EQ(Element(kTcasX, 2), -9);
    EXPECT_DOUBLE_EQ(Plane(2, "x"), 5);  // the other set is the script's to write too
    EXPECT_FALSE(simhost::MoveTraffic(1, 5, 0, &why));
    EXPECT_EQ(simhost::GetDataref(kTcasCount), 5);

    // A traffic line takes a slot back; removed, its datarefs read nothing.
    ASSERT_TRUE(simhost::PlaceTraffic(4, "E190", 40, 50, 270, &why)) << why;
    simhost::RunFrames(1);
    EXPECT_DOUBLE_EQ(Plane(4, "x"), 40);
    ASSERT_TRUE(simhost::RemoveTraffic(4, &why)) << why;
    EXPECT_DOUBLE_EQ(Plane(4, "x"), 0);
    EXPECT_EQ(TypeIn(4), "");
    EXPECT_EQ(simhost::GetDataref(kTcasCount), 3);
    EXPECT_FALSE(simhost::RemoveTraffic(4, &why));
    EXPECT_EQ(why, "no aircraft in slot 4 to remove");
}

}  // namespace
