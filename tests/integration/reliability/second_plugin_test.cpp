// Two plug-ins in one simulator: Tarvosk and a client that drives it only through Tarvosk's
// published datarefs and messages. The client's own record of what it saw is checked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace {

namespace fs = std::filesystem;

struct TugSample {
    double t, x, y, z, heading;
};

class SecondPlugin : public ::testing::Test {
  protected:
    void SetUp() override {
        simhost::HostConfig config;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        config.sandbox = fs::path(TARVOSK_TEST_SANDBOXES) /
                         (std::string(info->test_suite_name()) + "." + info->name());
        std::string error;
        ASSERT_TRUE(simhost::EmptyOwnedFolder(config.sandbox, &error)) << error;
        ASSERT_TRUE(simhost::Reset(config, &error)) << error;
        fs::create_directories(config.sandbox / "Resources/plugins");
        fs::copy(TARVOSK_CONTENT_DIR, config.sandbox / "Resources/plugins/Tarvosk",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        // The client first, so it has to wait for Tarvosk to appear.
        client_ = simhost::LoadPlugin(TARVOSK_CLIENT_XPL, &error);
        ASSERT_GT(client_, 0) << error;
        tarvosk_ = simhost::LoadPlugin(TARVOSK_XPL, &error);
        ASSERT_GT(tarvosk_, 0) << error;
        for (int id : {client_, tarvosk_}) {
            ASSERT_TRUE(simhost::StartPlugin(id));
            ASSERT_TRUE(simhost::EnablePlugin(id));
        }
    }
    void TearDown() override {
        simhost::UnloadPlugin(tarvosk_);
        simhost::UnloadPlugin(client_);
        EXPECT_EQ(simhost::BadHandleAccesses(), 0);
        EXPECT_EQ(simhost::PluginFaults(), 0);
        EXPECT_EQ(simhost::FlightLoopDoubleRegistrations(), 0);
    }
    std::vector<std::string> Record(const char* file = "TarvoskClient.txt") const {
        std::ifstream in(simhost::Sandbox() / "Resources/plugins" / file);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    int client_ = -1, tarvosk_ = -1;
};

TEST_F(SecondPlugin, ConnectsTheGpuThenPushesBackAndFollowsTheTug) {
    EXPECT_EQ(simhost::PluginName(client_), "Tarvosk client");
    // The pilot: releases the brake once the crew asks for it.
    bool released = false;
    double tugNow[3] = {};
    simhost::SetAfterFrameHook([&] {
        if (!released && simhost::GetDataref("quorren/tarvosk/PBstatus") != 0.0) {
            simhost::SetDataref("sim/flightmodel/controls/parkbrake", 0.0);
            released = true;
        }
        tugNow[0] = simhost::GetDataref("quorren/tarvosk/truck/position_ogl_x");
        tugNow[1] = simhost::GetDataref("quorren/tarvosk/truck/position_ogl_z");
    });
    const double x0 = simhost::GetDataref("sim/flightmodel/position/local_x");
    const double z0 = simhost::GetDataref("sim/flightmodel/position/local_z");
    for (int second = 0; second < 400; ++second) {
        simhost::RunSeconds(1.0);
        const auto lines = Record();
        if (!lines.empty() && lines.back().rfind("pushback over", 0) == 0) break;
    }
    simhost::SetAfterFrameHook(nullptr);
    const auto lines = Record();
    ASSERT_GE(lines.size(), 6u);

    char expected[64];
    std::snprintf(expected, sizeof expected, "found Tarvosk id %d at ", tarvosk_);
    EXPECT_EQ(lines[0].rfind(expected, 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("connect sent at ", 0), 0u) << lines[1];
    std::snprintf(expected, sizeof expected, "GPU running from %d at ", tarvosk_);
    EXPECT_EQ(lines[2].rfind(expected, 0), 0u) << lines[2];
    const double connectedAt = std::stod(lines[1].substr(16));
    const double runningAt = std::stod(lines[2].substr(lines[2].rfind(' ') + 1));
    EXPECT_NEAR(runningAt - connectedAt, 15.0, 0.2);  // the warm-up
    EXPECT_EQ(lines[3].rfind("disconnect sent at ", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4].rfind("GPU off from ", 0), 0u) << lines[4];
    EXPECT_EQ(lines[5].rfind("pushback ordered at ", 0), 0u) << lines[5];
    EXPECT_NE(lines[5].find("status 1"), std::string::npos) << lines[5];
    ASSERT_EQ(lines.back().rfind("pushback over at ", 0), 0u) << lines.back();

    // The tug, every frame from the order to the end: finite, moving smoothly, and gone back
    // along the aircraft's path.
    std::vector<TugSample> tug;
    for (const std::string& line : lines) {
        if (line.rfind("tug ", 0) != 0) continue;
        TugSample s;
        std::istringstream in(line.substr(4));
        ASSERT_TRUE(in >> s.t >> s.x >> s.y >> s.z >> s.heading) << line;
        EXPECT_TRUE(std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z) &&
                    std::isfinite(s.heading))
            << line;
        tug.push_back(s);
    }
    ASSERT_GT(tug.size(), 1000u);  // tens of seconds of frames
    for (std::size_t k = 1; k < tug.size(); ++k) {
        EXPECT_NEAR(tug[k].t - tug[k - 1].t, 1.0 / 30.0, 1e-3);
        EXPECT_LT(std::hypot(tug[k].x - tug[k - 1].x, tug[k].z - tug[k - 1].z), 1.0)
            << "at " << tug[k].t;
    }
    const double pushed = std::hypot(simhost::GetDataref("sim/flightmodel/position/local_x") - x0,
                                     simhost::GetDataref("sim/flightmodel/position/local_z") - z0);
    EXPECT_NEAR(pushed, 27.0, 0.2);
    EXPECT_NEAR(tug.back().x, tugNow[0], 1e-4);
    EXPECT_NEAR(tug.back().z, tugNow[1], 1e-4);

    // Messages: the client spoke to Tarvosk alone, Tarvosk broadcast to everyone.
    int toTarvosk = 0, broadcasts = 0;
    for (const auto& m : simhost::SentMessages()) {
        if (m.from == client_) {
            EXPECT_EQ(m.to, tarvosk_);
            ++toTarvosk;
        }
        if (m.from == tarvosk_ && m.to == XPLM_NO_PLUGIN_ID) ++broadcasts;
    }
    EXPECT_EQ(toTarvosk, 2);
    EXPECT_GE(broadcasts, 2);  // running, then off
}

TEST_F(SecondPlugin, ThenRunsAManualPushSteeredThroughTheDataref) {
    bool released = false;
    simhost::SetAfterFrameHook([&] {
        if (!released && simhost::GetDataref("quorren/tarvosk/PBstatus") != 0.0) {
            simhost::SetDataref("sim/flightmodel/controls/parkbrake", 0.0);
            released = true;
        }
    });
    for (int second = 0; second < 600; ++second) {
        simhost::RunSeconds(1.0);
        const auto lines = Record("TarvoskClientManual.txt");
        if (!lines.empty() && lines.back().rfind("manual push over", 0) == 0) break;
    }
    simhost::SetAfterFrameHook(nullptr);
    const auto lines = Record("TarvoskClientManual.txt");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("mode 1, status 1"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("steering 1.00"), std::string::npos) << lines[1];
    // Eight seconds from a standing start: 0.25 m/s per second up to 1 m/s, about 6 m pushed,
    // on the 38.2 m radius a tail-right turn of about 9 degrees.
    double at = 0, speed = 0, change = 0;
    ASSERT_EQ(std::sscanf(lines[2].c_str(), "stop here at %lf, speed %lf, heading change %lf", &at,
                          &speed, &change),
              3)
        << lines[2];
    EXPECT_NEAR(speed, 1.0, 1e-3);
    EXPECT_NEAR(change, -6.0 / 38.197 * 180.0 / 3.14159265358979, 0.5);
    EXPECT_NE(lines[3].find("mode 0"), std::string::npos) << lines[3];
}

TEST_F(SecondPlugin, SignaturesFindEachPlugin) {
    EXPECT_EQ(XPLMFindPluginBySignature("Quorren.Tarvosk"), tarvosk_);
    EXPECT_EQ(XPLMFindPluginBySignature("quorren.example.tarvosk_client"), client_);
    EXPECT_EQ(XPLMFindPluginBySignature("xplanesdk.xplane"), XPLM_PLUGIN_XPLANE);
    EXPECT_EQ(XPLMFindPluginBySignature("nobody.at.all"), XPLM_NO_PLUGIN_ID);
    simhost::UnloadPlugin(tarvosk_);
    EXPECT_EQ(XPLMFindPluginBySignature("Quorren.Tarvosk"), XPLM_NO_PLUGIN_ID);
}

}  // namespace
