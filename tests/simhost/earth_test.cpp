// The earth under the host: latitude and longitude from local coordinates and back, the
// aircraft's position datarefs, the airports of the navigation database; and X-Plane 12's
// pushback commands with the simulator's own tug.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "support.h"

namespace {

using simhost_test::HostTest;
using simhost_test::TimelineHas;

class Earth : public HostTest {};

TEST_F(Earth, LocalAndWorldCoordinatesRoundTripAndTheNearestAirportIsFound) {
    config_.originLatitude = 51.4700;
    config_.originLongitude = -0.4543;
    config_.originElevation = 25;
    config_.airports = {{"EGLL", "Heathrow", 51.4700, -0.4543, 25},
                        {"EGLC", "London City", 51.5053, 0.0553, 6},
                        {"EGKK", "Gatwick", 51.1481, -0.1903, 62}};
    ResetHost(12100);
    // The origin is the reference point; 1000 m east and north move along the meridian and
    // the parallel by the earth's radius; every point comes back where it was.
    double lat, lon, alt;
    XPLMLocalToWorld(0, 0, 0, &lat, &lon, &alt);
    EXPECT_NEAR(lat, 51.47, 1e-9);
    EXPECT_NEAR(lon, -0.4543, 1e-9);
    EXPECT_NEAR(alt, 25, 1e-6);
    XPLMLocalToWorld(1000, 0, -1000, &lat, &lon, &alt);
    EXPECT_NEAR((lat - 51.47) * 111195.0, 1000, 1);
    EXPECT_NEAR((lon + 0.4543) * 111195.0 * std::cos(51.47 * 3.14159265358979 / 180), 1000, 1);
    const double points[][3] = {{0, 0, 0}, {35.5, 2.25, -120.75}, {-2500, 30, 4000}};
    for (const auto& q : points) {
        double x, y, z;
        XPLMLocalToWorld(q[0], q[1], q[2], &lat, &lon, &alt);
        XPLMWorldToLocal(lat, lon, alt, &x, &y, &z);
        EXPECT_NEAR(x, q[0], 1e-6);
        EXPECT_NEAR(y, q[1], 1e-6);
        EXPECT_NEAR(z, q[2], 1e-6);
    }

    // The aircraft's latitude and longitude follow it, and plug-ins cannot write them.
    ASSERT_TRUE(simhost::SetDataref("sim/flightmodel/position/local_x", 0));
    ASSERT_TRUE(simhost::SetDataref("sim/flightmodel/position/local_z", -1000));
    simhost::RunFrames(1);
    EXPECT_NEAR(simhost::GetDataref("sim/flightmodel/position/latitude"), 51.47 + 1000 / 111195.0,
                1e-5);
    XPLMDataRef latRef = XPLMFindDataRef("sim/flightmodel/position/latitude");
    XPLMSetDatad(latRef, 10);
    EXPECT_EQ(simhost::ReadOnlyWrites(), 1);

    // Nearest to a point with both coordinates; the last match without them; fragments of the
    // name or the identifier; nothing outside the type mask.
    float hereLat = 51.49f, hereLon = -0.02f;
    XPLMNavRef nearest =
        XPLMFindNavAid(nullptr, nullptr, &hereLat, &hereLon, nullptr, xplm_Nav_Airport);
    char id[32] = "", name[256] = "";
    XPLMNavType type = 0;
    XPLMGetNavAidInfo(nearest, &type, nullptr, nullptr, nullptr, nullptr, nullptr, id, name,
                      nullptr);
    EXPECT_EQ(std::string(id), "EGLC");
    EXPECT_EQ(std::string(name), "London City");
    EXPECT_EQ(type, xplm_Nav_Airport);
    const struct {
        const char *name, *id;
        bool withPosition;
        int types;
        const char* want;
    } cases[] = {
        {nullptr, nullptr, false, xplm_Nav_Airport, "EGKK"},
        {"Heath", nullptr, true, xplm_Nav_Airport | xplm_Nav_VOR, "EGLL"},
        {nullptr, "EGK", true, xplm_Nav_Airport, "EGKK"},
        {nullptr, "XSIM", false, xplm_Nav_Airport, "XSIM"},
        {nullptr, nullptr, true, xplm_Nav_VOR | xplm_Nav_NDB, nullptr},
        {"Nowhere", nullptr, true, xplm_Nav_Airport, nullptr},
    };
    for (const auto& c : cases) {
        XPLMNavRef ref = XPLMFindNavAid(c.name, c.id, c.withPosition ? &hereLat : nullptr,
                                        c.withPosition ? &hereLon : nullptr, nullptr, c.types);
        if (!c.want) {
            EXPECT_EQ(ref, XPLM_NAV_NOT_FOUND);
            continue;
        }
        ASSERT_NE(ref, XPLM_NAV_NOT_FOUND) << c.want;
        XPLMGetNavAidInfo(ref, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, id, nullptr,
                          nullptr);
        EXPECT_EQ(std::string(id), c.want);
    }
    const int before = simhost::BadHandleAccesses();
    XPLMGetNavAidInfo(99, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, id, nullptr,
                      nullptr);
    EXPECT_EQ(simhost::BadHandleAccesses(), before + 1);
}

int g_beforeAnswer = 1;
std::vector<std::string> g_seen;  // handler: pushback_attached as it saw it at the begin

int Before(XPLMCommandRef, XPLMCommandPhase phase, void*) {
    if (phase == xplm_CommandBegin)
        g_seen.push_back("before " + std::to_string(XPLMGetDatai(XPLMFindDataRef(
                                         "sim/aircraft/overflow/pushback_attached"))));
    return g_beforeAnswer;
}

int After(XPLMCommandRef, XPLMCommandPhase phase, void*) {
    if (phase == xplm_CommandBegin)
        g_seen.push_back("after " + std::to_string(XPLMGetDatai(XPLMFindDataRef(
                                        "sim/aircraft/overflow/pushback_attached"))));
    return 1;
}

TEST_F(Earth, XPlanesPushbackCommandsAttachItsTugAfterThePluginsBeforeHandlers) {
    const char* const names[] = {"sim/ground_ops/pushback_straight", "sim/ground_ops/pushback_left",
                                 "sim/ground_ops/pushback_right", "sim/ground_ops/pushback_stop"};
    // X-Plane 11 has neither the commands nor the dataref.
    ResetHost(11550);
    for (const char* n : names) EXPECT_EQ(XPLMFindCommand(n), nullptr) << n;
    EXPECT_FALSE(simhost::DatarefExists("sim/aircraft/overflow/pushback_attached"));

    ResetHost(12100);
    for (const char* n : names) ASSERT_NE(XPLMFindCommand(n), nullptr) << n;
    XPLMCommandRef straight = XPLMFindCommand(names[0]);
    XPLMCommandRef stop = XPLMFindCommand(names[3]);
    XPLMRegisterCommandHandler(straight, Before, 1, nullptr);
    XPLMRegisterCommandHandler(straight, After, 0, nullptr);
    // A plug-in handler before X-Plane's that answers 0: X-Plane's tug never comes.
    g_seen.clear();
    g_beforeAnswer = 0;
    ASSERT_TRUE(simhost::RunCommand(names[0], -1));
    EXPECT_EQ(simhost::GetDataref("sim/aircraft/overflow/pushback_attached"), 0);
    EXPECT_FALSE(TimelineHas("X-Plane's own pushback started"));
    EXPECT_EQ(g_seen, (std::vector<std::string>{"before 0"}));
    // Answering 1, or disabled, the plug-in lets X-Plane's handler attach the tug, after the
    // plug-in's "before" handler and ahead of its "after" one.
    g_seen.clear();
    g_beforeAnswer = 1;
    XPLMCommandOnce(straight);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"before 0", "after 1"}));
    EXPECT_TRUE(TimelineHas("X-Plane's own pushback started: straight"));
    XPLMCommandOnce(stop);
    EXPECT_EQ(simhost::GetDataref("sim/aircraft/overflow/pushback_attached"), 0);
    EXPECT_TRUE(TimelineHas("X-Plane's own pushback stopped"));
    g_beforeAnswer = 0;
    simhost::DisablePlugin(plugin_);
    ASSERT_TRUE(simhost::RunCommand(names[2], -1));
    EXPECT_EQ(simhost::GetDataref("sim/aircraft/overflow/pushback_attached"), 1);
    EXPECT_TRUE(TimelineHas("X-Plane's own pushback started: nose 90 right"));
    // The dataref is the simulator's to write.
    simhost::EnablePlugin(plugin_);
    XPLMSetDatai(XPLMFindDataRef("sim/aircraft/overflow/pushback_attached"), 0);
    EXPECT_EQ(simhost::GetDataref("sim/aircraft/overflow/pushback_attached"), 1);
    EXPECT_EQ(simhost::ReadOnlyWrites(), 1);
}

}  // namespace
