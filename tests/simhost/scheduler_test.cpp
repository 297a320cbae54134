#include <string>
#include <vector>

#include "support.h"

namespace {

using simhost_test::HostTest;
using simhost_test::TimelineHas;

struct Calls {
    std::vector<long long> frames;
    std::vector<float> sinceLast;
    float next = -1;
};

float Record(float sinceLast, float, int, void* refcon) {
    auto* c = static_cast<Calls*>(refcon);
    c->frames.push_back(simhost::FrameCount());
    c->sinceLast.push_back(sinceLast);
    return c->next;
}

class FlightLoops : public HostTest {};

TEST_F(FlightLoops, FirstCallComesAfterTheRegisteredIntervalThenFollowsTheReturnValue) {
    Calls c;
    c.next = -1;
    XPLMRegisterFlightLoopCallback(Record, 1.0f, &c);
    simhost::RunFrames(29);
    EXPECT_TRUE(c.frames.empty());
    simhost::RunFrames(3);
    EXPECT_EQ(c.frames, (std::vector<long long>{30, 31, 32}));
    EXPECT_FLOAT_EQ(c.sinceLast[0], 1.0f);
    EXPECT_NEAR(c.sinceLast[1], 1.0f / 30, 1e-6);
}

TEST_F(FlightLoops, NegativeIntervalsCountFramesPositiveOnesSeconds) {
    Calls frames, seconds;
    frames.next = -3;
    seconds.next = 0.5f;
    XPLMRegisterFlightLoopCallback(Record, -1.0f, &frames);
    XPLMRegisterFlightLoopCallback(Record, 0.5f, &seconds);
    simhost::RunFrames(46);
    EXPECT_EQ(frames.frames, (std::vector<long long>{1, 4, 7, 10, 13, 16, 19, 22, 25, 28, 31, 34,
                                                     37, 40, 43, 46}));
    EXPECT_EQ(seconds.frames, (std::vector<long long>{15, 30, 45}));
    EXPECT_NEAR(seconds.sinceLast[1], 0.5f, 1e-6);
}

TEST_F(FlightLoops, ZeroMakesALoopInactiveButKeepsItRegistered) {
    Calls c;
    c.next = 0;
    XPLMRegisterFlightLoopCallback(Record, -1.0f, &c);
    simhost::RunFrames(10);
    EXPECT_EQ(c.frames.size(), 1u);
    // Still registered: a reschedule brings it back, and registering again would be a double.
    XPLMSetFlightLoopCallbackInterval(Record, -2.0f, 1, &c);
    simhost::RunFrames(2);
    EXPECT_EQ(c.frames.size(), 2u);
    XPLMRegisterFlightLoopCallback(Record, 1.0f, &c);
    EXPECT_EQ(simhost::FlightLoopDoubleRegistrations(), 1);
}

TEST_F(FlightLoops, RescheduleRelativeToTheLastCallOrToNow) {
    Calls c;
    c.next = 0;
    XPLMRegisterFlightLoopCallback(Record, -1.0f, &c);  // called at frame 1 (t = 1/30)
    simhost::RunFrames(15);                             // t = 0.5
    XPLMSetFlightLoopCallbackInterval(Record, 1.0f, 0, &c);
    simhost::RunFrames(30);
    ASSERT_EQ(c.frames.size(), 2u);
    EXPECT_EQ(c.frames[1], 31);                              // one second after the last call
    XPLMSetFlightLoopCallbackInterval(Record, 1.0f, 1, &c);  // now = frame 45
    simhost::RunFrames(30);
    ASSERT_EQ(c.frames.size(), 3u);
    EXPECT_EQ(c.frames[2], 75);
}

TEST_F(FlightLoops, ADoubleRegistrationIsCountedAndNamedInTheTimeline) {
    Calls c;
    XPLMRegisterFlightLoopCallback(Record, 1.0f, &c);
    EXPECT_EQ(simhost::FlightLoopDoubleRegistrations(), 0);
    Calls other;
    XPLMRegisterFlightLoopCallback(Record, 1.0f, &other);  // another refcon is another loop
    EXPECT_EQ(simhost::FlightLoopDoubleRegistrations(), 0);
    XPLMRegisterFlightLoopCallback(Record, 1.0f, &c);
    EXPECT_EQ(simhost::FlightLoopDoubleRegistrations(), 1);
    EXPECT_TRUE(TimelineHas("warning: flight loop registered twice: "));
    // Like the simulator, both instances run.
    simhost::RunFrames(30);
    EXPECT_EQ(c.frames.size(), 2u);
}

float SelfRemoving(float, float, int, void* refcon) {
    XPLMUnregisterFlightLoopCallback(SelfRemoving, refcon);
    return -1;
}

TEST_F(FlightLoops, UnregisteringFromInsideItsOwnCallIsAFault) {
    XPLMRegisterFlightLoopCallback(SelfRemoving, -1.0f, nullptr);
    simhost::RunFrames(3);
    EXPECT_EQ(simhost::PluginFaults(), 1);
    EXPECT_TRUE(TimelineHas("plug-in fault: flight loop unregistered itself"));
}

TEST_F(FlightLoops, UnregisteringAnotherLoopFromACallbackIsFine) {
    Calls victim;
    XPLMRegisterFlightLoopCallback(Record, -1.0f, &victim);
    static Calls* target = &victim;
    target = &victim;
    XPLMRegisterFlightLoopCallback(
        [](float, float, int, void*) -> float {
            XPLMUnregisterFlightLoopCallback(Record, target);
            return -1;
        },
        -1.0f, nullptr);
    simhost::RunFrames(3);
    EXPECT_EQ(victim.frames.size(), 1u);  // ran in frame 1 before the other removed it
    EXPECT_EQ(simhost::PluginFaults(), 0);
}

TEST_F(FlightLoops, LoopsRunWhilePausedAndNotWhileTheirOwnerIsDisabled) {
    Calls c;
    XPLMRegisterFlightLoopCallback(Record, -1.0f, &c);
    simhost::SetDataref("sim/time/paused", 1);
    simhost::RunFrames(2);
    EXPECT_EQ(c.frames.size(), 2u);
    simhost::DisablePlugin(plugin_);
    simhost::RunFrames(2);
    EXPECT_EQ(c.frames.size(), 2u);
}

std::vector<std::string> g_order;

int DrawRecord(XPLMDrawingPhase phase, int before, void* refcon) {
    g_order.push_back(std::to_string(phase) + (before ? "b" : "a") +
                      static_cast<const char*>(refcon));
    return 1;
}

float LoopRecord(float, float, int, void*) {
    g_order.push_back("loop");
    return -1;
}

TEST_F(FlightLoops, EachFrameRunsLoopsThenDrawCallbacksInPhaseOrder) {
    ResetHost(11410);  // OpenGL: the 3-D phases are called
    g_order.clear();
    EXPECT_EQ(XPLMRegisterDrawCallback(DrawRecord, xplm_Phase_Window, 0, const_cast<char*>("x")),
              1);
    EXPECT_EQ(XPLMRegisterDrawCallback(DrawRecord, xplm_Phase_Airplanes, 0, const_cast<char*>("y")),
              1);
    EXPECT_EQ(XPLMRegisterDrawCallback(DrawRecord, xplm_Phase_Airplanes, 1, const_cast<char*>("z")),
              1);
    EXPECT_EQ(XPLMRegisterDrawCallback(DrawRecord, 7, 0, nullptr), 0);  // no such phase
    XPLMRegisterFlightLoopCallback(LoopRecord, -1.0f, nullptr);
    simhost::RunFrames(1);
    EXPECT_EQ(g_order, (std::vector<std::string>{"loop", "25bz", "25ay", "50ax"}));
    EXPECT_EQ(
        XPLMUnregisterDrawCallback(DrawRecord, xplm_Phase_Airplanes, 0, const_cast<char*>("y")), 1);
    EXPECT_EQ(
        XPLMUnregisterDrawCallback(DrawRecord, xplm_Phase_Airplanes, 0, const_cast<char*>("y")), 0);
    g_order.clear();
    simhost::RunFrames(1);
    EXPECT_EQ(g_order, (std::vector<std::string>{"loop", "25bz", "50ax"}));
}

TEST_F(FlightLoops, TimeIsWholeFramesAndTheRateCanChange) {
    simhost::RunSeconds(2.0);
    EXPECT_EQ(simhost::FrameCount(), 60);
    EXPECT_DOUBLE_EQ(simhost::Now(), 2.0);
    ASSERT_TRUE(simhost::SetFramesPerSecond(50));
    simhost::RunSeconds(1.0);
    EXPECT_EQ(simhost::FrameCount(), 110);
    EXPECT_DOUBLE_EQ(simhost::Now(), 3.0);
    EXPECT_FALSE(simhost::SetFramesPerSecond(0));
}

}  // namespace
