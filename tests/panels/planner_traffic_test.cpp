// Other aircraft in the planner, from the host's traffic: the plan's sweep marks the one it
// would strike, Start asks before pushing into it, and the window shows both (a picture).
#include <string>

#include "panel_host.h"
#include "panels/message_box.h"
#include "panels/planner_traffic.h"
#include "panels/planner_window.h"
#include "pushback/traffic_sources.h"
#include "simhost/traffic.h"

namespace tarvosk::testing {
namespace {

// The host's default airliner at its stand.
PlannerScene AtTheStand(double straight) {
    PlannerScene scene;
    scene.plan = {straight, 0, 0};
    scene.start = {-120, 340, 275.4};
    scene.outline = OutlineFromSize(34.1, 37.6, -1.0);
    scene.shape = {{34.1, 37.6}, 1.0};
    scene.pushedWheel = {0, -12.5};
    return scene;
}

void FillForTheLongPush(PlannerScene* scene) {
    *scene = AtTheStand(30);
    AddTrafficToScene(scene);
}

intptr_t gRanWith = 0;
void PushAnyway(intptr_t reference) {
    gRanWith = reference;
}

class PlannerTraffic : public PanelHost {
  protected:
    void Park() {
        std::string why;
        double x = 0, z = 0;
        simhost::LocalFromBody(0, 60, &x, &z);  // behind the stand, facing as we do
        ASSERT_TRUE(simhost::PlaceTraffic(1, "B738", x, z, 275.4, &why)) << why;
        simhost::LocalFromBody(40, 20, &x, &z);  // beside it, clear of any straight push
        ASSERT_TRUE(simhost::PlaceTraffic(2, "A320", x, z, 275.4, &why)) << why;
        LookupTrafficDatarefs();
    }
};

TEST_F(PlannerTraffic, ThePlanThatWouldStrikeAnAircraftIsMarkedAndStartAsksFirst) {
    Park();
    PlannerScene shortPush = AtTheStand(5);
    AddTrafficToScene(&shortPush);
    ASSERT_EQ(shortPush.trafficCount, 2);
    EXPECT_FALSE(shortPush.planInTheWay);
    EXPECT_EQ(AskBeforePushingIntoTraffic(shortPush, PushAnyway, 7), nullptr);
    EXPECT_EQ(simhost::FindWidgetToClick("Push anyway"), 0u);

    PlannerScene longPush = AtTheStand(30);
    AddTrafficToScene(&longPush);
    EXPECT_TRUE(longPush.planInTheWay);
    // The nearest first: the A320 beside (40 m), then the 737 behind (60 m).
    EXPECT_FALSE(longPush.traffic[0].inTheWay);
    EXPECT_TRUE(longPush.traffic[1].inTheWay);
    EXPECT_NE(AskBeforePushingIntoTraffic(longPush, PushAnyway, 7), nullptr);
    EXPECT_STREQ(messageText, kTrafficQuestion);
    const std::uintptr_t anyway = simhost::FindWidgetToClick("Push anyway");
    ASSERT_NE(anyway, 0u);
    gRanWith = 0;
    ASSERT_TRUE(simhost::ClickWidget(anyway));
    EXPECT_EQ(gRanWith, 7);
    CloseAllMessageBoxes();
}

TEST_F(PlannerTraffic, TheWindowShowsTheTrafficAndTheBandInRed) {
    Park();
    std::string why;
    if (!simhost::GraphicsAvailable(&why)) GTEST_SKIP() << why;
    PlannerHooks hooks;
    hooks.fillScene = FillForTheLongPush;
    OpenPlanner(hooks, "Traffic in the way");
    ASSERT_TRUE(PlannerIsOpen());
    simhost::RunFrames(1);
    simhost::PictureRequest request;
    request.view = "screen";
    request.width = 1920;
    request.height = 1080;
    simhost::Picture picture;
    ASSERT_TRUE(simhost::TakePicture(request, &picture, &why)) << why;
    ASSERT_TRUE(simhost::WritePng(TARVOSK_PANELS_OUT "/planner-traffic.png", picture, &why)) << why;
    ClosePlanner();
}

}  // namespace
}  // namespace tarvosk::testing
