// Commands, the drawing driver, objects and instances of the simulated host.
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "scenario/scenario.h"
#include "support.h"

namespace {

using simhost_test::HostTest;
using simhost_test::TimelineHas;

struct Seen {
    std::vector<std::string> calls;
    int answer = 1;
};

int Handler(XPLMCommandRef, XPLMCommandPhase phase, void* refcon) {
    auto* seen = static_cast<Seen*>(refcon);
    seen->calls.push_back(std::to_string(phase));
    return seen->answer;
}

class Commands : public HostTest {};

TEST_F(Commands, CreateFindsAnExistingNameAndFindIsNullForUnknownOnes) {
    XPLMCommandRef a = XPLMCreateCommand("test/one", "The first");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(XPLMCreateCommand("test/one", "Another description"), a);
    EXPECT_EQ(XPLMFindCommand("test/one"), a);
    EXPECT_EQ(XPLMFindCommand("test/two"), nullptr);
    // Listed once, beside the simulator's own commands.
    const auto list = simhost::Commands();
    ASSERT_EQ(std::count_if(list.begin(), list.end(),
                            [](const simhost::CommandInfo& c) { return c.name == "test/one"; }),
              1);
    EXPECT_EQ(std::find_if(list.begin(), list.end(),
                           [](const simhost::CommandInfo& c) { return c.name == "test/one"; })
                  ->description,
              "The first");
}

TEST_F(Commands, BeforeHandlersRunFirstAndAZeroStopsTheRest) {
    XPLMCommandRef c = XPLMCreateCommand("test/one", "");
    Seen before, after;
    XPLMRegisterCommandHandler(c, Handler, 0, &after);
    XPLMRegisterCommandHandler(c, Handler, 1, &before);
    XPLMCommandOnce(c);
    EXPECT_EQ(before.calls, (std::vector<std::string>{"0", "2"}));
    EXPECT_EQ(after.calls, (std::vector<std::string>{"0", "2"}));
    before.answer = 0;
    XPLMCommandOnce(c);
    EXPECT_EQ(after.calls.size(), 2u);
    EXPECT_TRUE(TimelineHas("command test/one begin"));
    EXPECT_TRUE(TimelineHas("command test/one end"));
}

TEST_F(Commands, AHeldCommandContinuesEveryFrameUntilItEnds) {
    XPLMCommandRef c = XPLMCreateCommand("test/held", "");
    Seen seen;
    XPLMRegisterCommandHandler(c, Handler, 1, &seen);
    ASSERT_TRUE(simhost::RunCommand("test/held", xplm_CommandBegin));
    simhost::RunFrames(3);
    ASSERT_TRUE(simhost::RunCommand("test/held", xplm_CommandEnd));
    simhost::RunFrames(2);
    EXPECT_EQ(seen.calls, (std::vector<std::string>{"0", "1", "1", "1", "2"}));
    EXPECT_FALSE(simhost::RunCommand("test/none", -1));
}

TEST_F(Commands, UnregisteredHandlersAreNotCalledAndBadHandlesAreCounted) {
    XPLMCommandRef c = XPLMCreateCommand("test/one", "");
    Seen seen;
    XPLMRegisterCommandHandler(c, Handler, 1, &seen);
    XPLMUnregisterCommandHandler(c, Handler, 1, &seen);
    XPLMCommandOnce(c);
    EXPECT_TRUE(seen.calls.empty());
    EXPECT_EQ(simhost::Commands()[0].handlers, 0);
    int unknown = 0;
    XPLMCommandOnce(&unknown);
    EXPECT_EQ(simhost::BadHandleAccesses(), 1);
}

// ---- X-Plane's external power and its GPU commands ------------------------------------------

int g_gpuOnSeenByAfter = -1;
int SeeGpuOn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
    if (phase == xplm_CommandBegin)
        g_gpuOnSeenByAfter = XPLMGetDatai(XPLMFindDataRef("sim/cockpit/electrical/gpu_on"));
    return 1;
}

TEST_F(Commands, ExternalPowerExistsByVersionAndItsOwnHandlerRunsBetweenBeforeAndAfter) {
    struct Row {
        int version;
        bool gpuSwitch, generator;
    };
    for (const Row& r : {Row{860, false, false}, Row{940, false, false}, Row{950, true, false},
                         Row{12000, true, false}, Row{12100, true, true}}) {
        SCOPED_TRACE(r.version);
        ResetHost(r.version);
        EXPECT_EQ(XPLMFindDataRef("sim/cockpit/electrical/gpu_on") != nullptr, r.gpuSwitch);
        EXPECT_EQ(simhost::DatarefExists("sim/cockpit/warnings/annunciators/external_power_on"),
                  r.gpuSwitch);
        for (const char* name : {"sim/cockpit2/electrical/GPU_generator_on",
                                 "sim/cockpit2/electrical/GPU_generator_volts",
                                 "sim/cockpit2/electrical/GPU_generator_amps",
                                 "sim/cockpit2/electrical/GPU_can_be_called_for",
                                 "sim/operation/override/override_GPU_volts"})
            EXPECT_EQ(simhost::DatarefExists(name), r.generator) << name;
        for (const char* name :
             {"sim/electrical/GPU_on", "sim/electrical/GPU_off", "sim/electrical/GPU_toggle"})
            EXPECT_EQ(XPLMFindCommand(name) != nullptr, r.generator) << name;
    }
    EXPECT_EQ(simhost::DatarefLookups("sim/cockpit/electrical/gpu_on"), 1);

    // 12.1: a before-handler returning 0 keeps the switch from moving; else it moves at once,
    // before the after-handlers, and lights the annunciator on the ground.
    XPLMCommandRef on = XPLMFindCommand("sim/electrical/GPU_on");
    Seen before;
    before.answer = 0;
    XPLMRegisterCommandHandler(on, Handler, 1, &before);
    XPLMRegisterCommandHandler(on, SeeGpuOn, 0, nullptr);
    XPLMCommandOnce(on);
    EXPECT_EQ(simhost::GetDataref("sim/cockpit/electrical/gpu_on"), 0.0);
    before.answer = 1;
    g_gpuOnSeenByAfter = -1;
    XPLMCommandOnce(on);
    EXPECT_EQ(g_gpuOnSeenByAfter, 1);
    EXPECT_EQ(simhost::GetDataref("sim/cockpit/warnings/annunciators/external_power_on"), 1.0);
    EXPECT_EQ(simhost::GetDataref("sim/cockpit2/electrical/bus_volts", 0), 28.0);
    ASSERT_TRUE(simhost::SetDataref("sim/flightmodel/position/y_agl", 300.0));
    EXPECT_EQ(simhost::GetDataref("sim/cockpit/warnings/annunciators/external_power_on"), 0.0);
    EXPECT_EQ(simhost::GetDataref("sim/cockpit2/electrical/GPU_can_be_called_for"), 0.0);
    XPLMCommandOnce(XPLMFindCommand("sim/electrical/GPU_toggle"));
    EXPECT_EQ(simhost::GetDataref("sim/cockpit/electrical/gpu_on"), 0.0);
}

// ---- Driver ------------------------------------------------------------------------------

int g_sceneCalls = 0;
int CountScene(XPLMDrawingPhase, int, void*) {
    ++g_sceneCalls;
    return 1;
}

class Driver : public HostTest {};

TEST_F(Driver, TwelveIsModernAndNeverCallsTheScenePhases) {
    ResetHost(12100);
    EXPECT_TRUE(simhost::ModernDriver());
    EXPECT_EQ(simhost::GetDataref("sim/graphics/view/using_modern_driver"), 1.0);
    g_sceneCalls = 0;
    XPLMRegisterDrawCallback(CountScene, xplm_Phase_Airplanes, 0, nullptr);
    XPLMRegisterDrawCallback(CountScene, xplm_Phase_Window, 0, nullptr);
    simhost::RunFrames(5);
    EXPECT_EQ(g_sceneCalls, 5);  // the 2-D window phase only
    EXPECT_EQ(simhost::SceneDrawCalls(), 0);
}

TEST_F(Driver, ElevenIsOpenGlByDefaultAndMayBeModern) {
    ResetHost(11410);
    EXPECT_FALSE(simhost::ModernDriver());
    EXPECT_FALSE(simhost::DatarefExists("sim/graphics/view/using_modern_driver"));
    config_.xplaneVersion = 11550;
    config_.driver = "modern";
    std::string error;
    ASSERT_TRUE(simhost::Reset(config_, &error)) << error;
    EXPECT_TRUE(simhost::ModernDriver());
    EXPECT_EQ(simhost::GetDataref("sim/graphics/view/using_modern_driver"), 1.0);
    config_.driver = "opengl";
    ASSERT_TRUE(simhost::Reset(config_, &error)) << error;
    EXPECT_EQ(simhost::GetDataref("sim/graphics/view/using_modern_driver"), 0.0);
    config_.omitDatarefs = {"sim/graphics/view/using_modern_driver"};
    ASSERT_TRUE(simhost::Reset(config_, &error)) << error;
    EXPECT_FALSE(simhost::DatarefExists("sim/graphics/view/using_modern_driver"));
}

TEST_F(Driver, OpenGlIsRefusedFromTwelveOnWithTheLine) {
    config_.driver = "opengl";
    config_.xplaneVersion = 12000;
    std::string error;
    EXPECT_FALSE(simhost::Reset(config_, &error));
    EXPECT_NE(error.find("impossible"), std::string::npos);

    simhost::scenario::Script script;
    EXPECT_FALSE(simhost::scenario::ParseScript("driver opengl\nversion 12000\nframes 1\n", "s.txt",
                                                &script, &error));
    EXPECT_EQ(error.rfind("s.txt:1: driver opengl is impossible", 0), 0u) << error;
    EXPECT_TRUE(simhost::scenario::ParseScript("version 11410\ndriver opengl\nframes 1\n", "s.txt",
                                               &script, &error))
        << error;
    EXPECT_FALSE(simhost::scenario::ParseScript("driver vulkan\n", "s.txt", &script, &error));
    EXPECT_TRUE(simhost::scenario::ParseScript("command quorren/tarvosk/stop begin\n", "s.txt",
                                               &script, &error));
    EXPECT_FALSE(simhost::scenario::ParseScript("command a/b hold\n", "s.txt", &script, &error));
}

// ---- Objects and instances ---------------------------------------------------------------

constexpr const char* kTriangle =
    "I\n800\nOBJ\n\nTEXTURE tri.png\nPOINT_COUNTS 3 0 0 3\n"
    "VT 0 0 0 0 1 0 0 0\nVT 1 0 0 0 1 0 1 0\nVT 0 0 1 0 1 0 0 1\nIDX 0 1 2\nTRIS 0 3\n";

class Instances : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        std::filesystem::create_directories(config_.sandbox / "Objects");
        std::ofstream(config_.sandbox / "Objects/tri.obj") << kTriangle;
    }
};

int g_setFromDraw = 0;
XPLMInstanceRef g_drawnInstance = nullptr;
int SetFromDraw(XPLMDrawingPhase, int, void*) {
    XPLMDrawInfo_t pose{sizeof(XPLMDrawInfo_t), 0, 0, 0, 0, 0, 0};
    XPLMInstanceSetPosition(g_drawnInstance, &pose, nullptr);
    ++g_setFromDraw;
    return 1;
}

TEST_F(Instances, FindSymbolOffersTheInstancingCalls) {
    EXPECT_EQ(XPLMFindSymbol("XPLMCreateInstance"),
              simhost_test::HostFunction("XPLMCreateInstance",
                                         reinterpret_cast<void*>(&XPLMCreateInstance)));
    EXPECT_NE(XPLMFindSymbol("XPLMLoadObject"), nullptr);
    EXPECT_EQ(XPLMFindSymbol("XPLMNoSuchCall"), nullptr);
    config_.xplmVersion = 210;  // X-Plane 9 and 10: no instances
    std::string error;
    ASSERT_TRUE(simhost::Reset(config_, &error)) << error;
    EXPECT_EQ(XPLMFindSymbol("XPLMCreateInstance"), nullptr);
    EXPECT_NE(XPLMFindSymbol("XPLMLoadObject"), nullptr);
}

TEST_F(Instances, LoadsCountAndAnInstanceKeepsItsPose) {
    XPLMObjectRef relative = XPLMLoadObject("Objects/tri.obj");
    ASSERT_NE(relative, nullptr);
    const std::string absolute = (config_.sandbox / "Objects/tri.obj").string();
    EXPECT_EQ(XPLMLoadObject(absolute.c_str()), relative);  // one object, counted twice
    EXPECT_EQ(XPLMLoadObject("Objects/none.obj"), nullptr);
    EXPECT_EQ(simhost::ObjectLoads(), 2);

    const char* none[] = {nullptr};
    XPLMInstanceRef i = XPLMCreateInstance(relative, none);
    ASSERT_NE(i, nullptr);
    XPLMDrawInfo_t pose{sizeof(XPLMDrawInfo_t), 1, 2, 3, 4, 90, 6};
    const float noData = 0;
    XPLMInstanceSetPosition(i, &pose, &noData);
    auto list = simhost::Instances();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list[0].positioned);
    EXPECT_EQ(list[0].heading, 90.0f);
    EXPECT_EQ(list[0].objectPath.filename(), "tri.obj");
    XPLMDestroyInstance(i);
    EXPECT_TRUE(simhost::Instances().empty());
    XPLMUnloadObject(relative);
    XPLMUnloadObject(relative);
    EXPECT_EQ(simhost::ObjectsLoadedNow(), 0);
    EXPECT_EQ(simhost::PluginFaults(), 0);
}

TEST_F(Instances, MisuseIsCountedAsFaults) {
    const char* none[] = {nullptr};
    XPLMObjectRef o = XPLMLoadObject("Objects/tri.obj");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(XPLMCreateInstance(o, nullptr), nullptr);
    EXPECT_EQ(simhost::PluginFaults(), 1);
    g_drawnInstance = XPLMCreateInstance(o, none);
    ASSERT_NE(g_drawnInstance, nullptr);
    g_setFromDraw = 0;
    XPLMRegisterDrawCallback(SetFromDraw, xplm_Phase_Window, 0, nullptr);
    simhost::RunFrames(1);
    EXPECT_EQ(g_setFromDraw, 1);
    EXPECT_EQ(simhost::PluginFaults(), 2);
    XPLMUnregisterDrawCallback(SetFromDraw, xplm_Phase_Window, 0, nullptr);
    XPLMDestroyInstance(g_drawnInstance);
    XPLMUnloadObject(o);
    EXPECT_EQ(XPLMCreateInstance(o, none), nullptr);  // unloaded
    EXPECT_EQ(simhost::PluginFaults(), 3);
    XPLMUnloadObject(o);  // one unload too many
    EXPECT_EQ(simhost::PluginFaults(), 4);
}

TEST_F(Instances, LoadsLeftOverWhenThePluginGoesAreAFault) {
    XPLMObjectRef o = XPLMLoadObject("Objects/tri.obj");
    ASSERT_NE(o, nullptr);
    const char* none[] = {nullptr};
    ASSERT_NE(XPLMCreateInstance(o, none), nullptr);
    simhost::UnloadPlugin(plugin_);  // the simulator quits with the object still loaded
    EXPECT_EQ(simhost::PluginFaults(), 1);
    EXPECT_TRUE(simhost::Instances().empty());
    EXPECT_EQ(simhost::ObjectsLoadedNow(), 0);
}

}  // namespace
