// The tug and the cart under both drivers: host instances where the simulator draws with
// Vulkan or Metal, the aircraft drawing phase with OpenGL.
#include <fstream>
#include <optional>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

namespace fs = std::filesystem;

bool InGroundServices(const simhost::InstanceInfo& i) {
    return i.objectPath.parent_path().filename() == "GroundServices";
}

std::optional<simhost::InstanceInfo> TugInstance() {
    for (const auto& i : simhost::Instances())
        if (!InGroundServices(i)) return i;
    return std::nullopt;
}

std::optional<simhost::InstanceInfo> CartInstance() {
    for (const auto& i : simhost::Instances())
        if (InGroundServices(i)) return i;
    return std::nullopt;
}

// X-Plane 12, the host's default version: a modern driver.
class ModernDriver : public PushbackHost {
  protected:
    void BeforeLoad(const fs::path& sandbox) override {
        // A second truck, to choose from the menu.
        const fs::path data = sandbox / "Resources/plugins/Tarvosk";
        std::error_code ec;
        fs::copy_file(data / "TVKdefault.obj", data / "Second.obj", ec);
    }
};

TEST_F(ModernDriver, TheTugInstanceFollowsTheGearWhileOutAndNoScenePhaseIsCalled) {
    ASSERT_TRUE(simhost::ModernDriver());
    EXPECT_EQ(simhost::ObjectsLoadedNow(), 2);  // the tug and the cart, loaded at enable
    EXPECT_TRUE(simhost::Instances().empty());

    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(Choose("Push straight back"));
    simhost::RunFrames(1);
    // Every frame of the whole pushback: the instance stands where the tug is, as published.
    double lastX = Get(kLocalX), lastZ = Get(kLocalZ);
    int pushedFrames = 0;
    while (Get(kPBstatus) != 0.0 && simhost::Now() < 400.0) {
        const auto tug = TugInstance();
        ASSERT_TRUE(tug.has_value()) << "at " << simhost::Now();
        ASSERT_TRUE(tug->positioned);
        EXPECT_FLOAT_EQ(tug->x, static_cast<float>(Get(kTruckX)));
        EXPECT_FLOAT_EQ(tug->z, static_cast<float>(Get(kTruckZ)));
        EXPECT_FLOAT_EQ(tug->heading, static_cast<float>(Get(kTruckHeading)));
        EXPECT_NEAR(tug->y, Get(kTruckY) + 1.0, 1e-3);
        const double x = Get(kLocalX), z = Get(kLocalZ);
        if (x != lastX || z != lastZ) {
            // Pushing: the tug is at the nose gear, 12.5 units ahead of the aircraft's centre.
            EXPECT_NEAR(std::hypot(tug->x - x, tug->z - z), 12.5, 1.0) << "at " << simhost::Now();
            ++pushedFrames;
        }
        lastX = x;
        lastZ = z;
        simhost::RunFrames(1);
    }
    EXPECT_GT(pushedFrames, 200);
    EXPECT_TRUE(TugInstance().has_value());  // shown until the next stop
    ASSERT_TRUE(Choose("Stop PushBack!"));
    simhost::RunFrames(1);
    EXPECT_FALSE(TugInstance().has_value());
    EXPECT_EQ(simhost::SceneDrawCalls(), 0);
}

TEST_F(ModernDriver, TheCartInstanceStandsWhereTheGpuIsPlaced) {
    EXPECT_FALSE(CartInstance().has_value());
    ASSERT_TRUE(Choose("GPU"));
    simhost::RunFrames(1);
    const auto cart = CartInstance();
    ASSERT_TRUE(cart.has_value());
    EXPECT_TRUE(cart->positioned);
    EXPECT_FLOAT_EQ(cart->x, static_cast<float>(Get("quorren/tarvosk/GPU/position_ogl_x")));
    EXPECT_FLOAT_EQ(cart->z, static_cast<float>(Get("quorren/tarvosk/GPU/position_ogl_z")));
    EXPECT_FALSE(TugInstance().has_value());
    // The cart stays placed after a disconnection, as the draw callback draws it.
    ASSERT_TRUE(Choose("GPU"));
    simhost::RunFrames(1);
    EXPECT_TRUE(CartInstance().has_value());
    // A load message takes it away.
    simhost::SendMessageFromHost(plugin_, XPLM_MSG_PLANE_LOADED, nullptr);
    simhost::RunFrames(1);
    EXPECT_FALSE(CartInstance().has_value());
}

TEST_F(ModernDriver, LoadsBalanceAcrossDisableAndEnable) {
    ASSERT_TRUE(Choose("GPU"));
    simhost::RunFrames(1);
    ASSERT_TRUE(CartInstance().has_value());
    simhost::DisablePlugin(plugin_);
    EXPECT_EQ(simhost::ObjectsLoadedNow(), 0);
    EXPECT_TRUE(simhost::Instances().empty());
    ASSERT_TRUE(simhost::EnablePlugin(plugin_));
    EXPECT_EQ(simhost::ObjectsLoadedNow(), 2);
    simhost::RunFrames(1);
    EXPECT_TRUE(CartInstance().has_value());
    EXPECT_EQ(simhost::ObjectLoads(), 4);
    EXPECT_EQ(simhost::ObjectUnloads(), 2);
}

TEST_F(ModernDriver, ChoosingAnotherTruckReloadsItsObject) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(Choose("Push straight back"));
    simhost::RunFrames(1);
    ASSERT_TRUE(TugInstance().has_value());
    EXPECT_EQ(TugInstance()->objectPath.filename(), "TVKdefault.obj");
    const int loads = simhost::ObjectLoads();
    ASSERT_TRUE(Choose("Trucks/Second"));
    simhost::RunFrames(1);
    ASSERT_TRUE(TugInstance().has_value());
    EXPECT_EQ(TugInstance()->objectPath.filename(), "Second.obj");
    EXPECT_EQ(simhost::ObjectLoads(), loads + 1);
    EXPECT_EQ(simhost::ObjectsLoadedNow(), 2);
    ASSERT_TRUE(Choose("Trucks/Second"));  // the same truck again: read again
    EXPECT_EQ(simhost::ObjectLoads(), loads + 2);
    EXPECT_EQ(simhost::ObjectsLoadedNow(), 2);
}

TEST_F(ModernDriver, DrawTruckOffHidesTheTugButNotThePushback) {
    simhost::DisablePlugin(plugin_);
    simhost::StopPlugin(plugin_);
    simhost::UnloadPlugin(plugin_);
    std::ofstream(simhost::Sandbox() / "Output/preferences/Quorren.Tarvosk.prf")
        << "DRAW_TRUCK=0\n";
    std::string error;
    plugin_ = simhost::LoadPlugin(TARVOSK_XPL, &error);
    ASSERT_GT(plugin_, 0) << error;
    ASSERT_TRUE(simhost::StartPlugin(plugin_));
    ASSERT_TRUE(simhost::EnablePlugin(plugin_));
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(Choose("Push straight back"));
    simhost::RunSeconds(20.0);
    EXPECT_NE(Get(kPBstatus), 0.0);
    EXPECT_FALSE(TugInstance().has_value());
}

// X-Plane 11.50 and later with Vulkan: the dataref says so.
class ElevenWithVulkan : public PushbackHost {
  protected:
    void Configure(simhost::HostConfig& config) override {
        config.xplaneVersion = 11550;
        config.driver = "modern";
    }
};

TEST_F(ElevenWithVulkan, InstancesToo) {
    ASSERT_TRUE(Choose("GPU"));
    simhost::RunFrames(1);
    EXPECT_TRUE(CartInstance().has_value());
    EXPECT_EQ(simhost::SceneDrawCalls(), 0);
}

// X-Plane 11 with OpenGL: the plug-in's own renderer in the aircraft phase, no instances.
class OpenGlDriver : public PushbackHost {
  protected:
    void Configure(simhost::HostConfig& config) override { config.xplaneVersion = 11410; }
};

TEST_F(OpenGlDriver, TheDrawCallbacksDrawAndNoInstanceIsCreated) {
    ASSERT_FALSE(simhost::ModernDriver());
    ASSERT_TRUE(Choose("GPU"));
    ASSERT_TRUE(Choose("GPU"));  // off again: a pushback needs it disconnected
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(PushToTheEnd("Automated tail left"));
    EXPECT_GT(simhost::SceneDrawCalls(), 1000);
    EXPECT_EQ(simhost::ObjectLoads(), 0);
    EXPECT_TRUE(simhost::Instances().empty());
}

class OpenGlOnElevenFifty : public PushbackHost {
  protected:
    void Configure(simhost::HostConfig& config) override {
        config.xplaneVersion = 11550;
        config.driver = "opengl";
    }
};

TEST_F(OpenGlOnElevenFifty, TheDatarefReadingZeroKeepsTheDrawCallbacks) {
    ASSERT_TRUE(Choose("GPU"));
    simhost::RunFrames(2);
    EXPECT_GT(simhost::SceneDrawCalls(), 0);
    EXPECT_EQ(simhost::ObjectLoads(), 0);
}

// Without the instancing calls (an X-Plane 10 plug-in manager) the plug-in still loads.
class NoInstancingCalls : public PushbackHost {
  protected:
    void Configure(simhost::HostConfig& config) override {
        config.xplaneVersion = 10510;
        config.xplmVersion = 210;
    }
};

TEST_F(NoInstancingCalls, TheDrawCallbacksDraw) {
    ASSERT_TRUE(Choose("GPU"));
    simhost::RunFrames(2);
    EXPECT_GT(simhost::SceneDrawCalls(), 0);
    EXPECT_TRUE(simhost::Instances().empty());
}

}  // namespace
}  // namespace tarvosk::testing
