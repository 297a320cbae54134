#include <gtest/gtest.h>

#include <string>

#include "host_fixture.h"
#include "pushback/host_data.h"

namespace tarvosk {
namespace {

class HostData : public testing::InProcessHost {
  protected:
    bool BootAndLookUp(int version, std::vector<std::string> omitted = {}) {
        simhost::HostConfig config;
        config.xplaneVersion = version;
        config.omitDatarefs = std::move(omitted);
        Boot(config);
        gXplaneVersion = version;
        return LookupHostDatarefs();
    }
};

TEST_F(HostData, NamesChangeAt730And740) {
    EXPECT_STREQ(HostDatarefName(1, 729), "sim/flightmodel/position/the");
    EXPECT_STREQ(HostDatarefName(1, 730), "sim/flightmodel/position/theta");
    EXPECT_STREQ(HostDatarefName(25, 739), "sim/flightmodel/engine/ENGN_N1");
    EXPECT_STREQ(HostDatarefName(25, 740), "sim/flightmodel/engine/ENGN_N1_");
    EXPECT_STREQ(HostDatarefName(2, 500), "sim/flightmodel/position/local_x");
    EXPECT_EQ(HostDatarefName(0, 740), nullptr);
    EXPECT_EQ(HostDatarefName(33, 740), nullptr);
}

TEST_F(HostData, EachVersionFindsItsOwnNames) {
    struct Case {
        int version;
        const char* pitch;
        const char* n1;
    };
    for (const Case& c :
         {Case{729, "sim/flightmodel/position/the", "sim/flightmodel/engine/ENGN_N1"},
          Case{730, "sim/flightmodel/position/theta", "sim/flightmodel/engine/ENGN_N1"},
          Case{740, "sim/flightmodel/position/theta", "sim/flightmodel/engine/ENGN_N1_"}}) {
        SCOPED_TRACE(c.version);
        EXPECT_TRUE(BootAndLookUp(c.version));
        EXPECT_NE(gHostData.theta, nullptr);
        EXPECT_EQ(gHostData.theta, XPLMFindDataRef(c.pitch));
        EXPECT_NE(gHostData.engineN1, nullptr);
        EXPECT_EQ(gHostData.engineN1, XPLMFindDataRef(c.n1));
    }
}

TEST_F(HostData, OnlyRequiredRowsGateTheStart) {
    EXPECT_TRUE(
        BootAndLookUp(12100, {"sim/aircraft/view/acf_size_z", "sim/aircraft/view/acf_size_x",
                              "sim/flightmodel/position/local_y"}));
    EXPECT_EQ(gHostData.sizeZ, nullptr);
    // Unused by any operation, but required all the same.
    EXPECT_FALSE(BootAndLookUp(12100, {"sim/flightmodel/position/R"}));
    // Every lookup is still made after a miss.
    EXPECT_NE(gHostData.batteryVolts, nullptr);
}

TEST_F(HostData, ClockFollowsTheHostsVirtualTime) {
    Boot();
    RestartElapsedSeconds();
    simhost::RunSeconds(5.0);  // earlier uptime does not count
    EXPECT_NEAR(static_cast<double>(ElapsedSeconds()), 0.0, 1e-9);
    simhost::RunSeconds(1.0);
    EXPECT_NEAR(static_cast<double>(ElapsedSeconds()), 1.0, 1e-6);
    EXPECT_EQ(simhost::BadHandleAccesses(), 0);
}

// The real simulator has no clock dataref: the plug-in then keeps its own monotonic time, which
// must not follow the host's virtual time.
TEST_F(HostData, WithoutTheHostClockTheSteadyClockIsUsed) {
    simhost::HostConfig config;
    config.omitDatarefs = {"simhost/clock/monotonic_seconds"};
    Boot(config);
    RestartElapsedSeconds();
    const long double first = ElapsedSeconds();
    EXPECT_GE(first, 0.0L);
    EXPECT_LT(first, 1.0L);
    simhost::RunSeconds(600.0);  // ten virtual minutes take milliseconds of real time
    const long double later = ElapsedSeconds();
    EXPECT_GE(later, first);
    EXPECT_LT(later, 300.0L);
    EXPECT_EQ(simhost::BadHandleAccesses(), 0);
}

}  // namespace
}  // namespace tarvosk
