#include "shell/planner_link.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "config/settings.h"
#include "panels/message_box.h"
#include "panels/planner_traffic.h"
#include "panels/planner_window.h"
#include "pushback/host_data.h"
#include "pushback/planned_motion.h"
#include "pushback/pushback.h"
#include "pushback/stand_memory.h"
#include "pushback/traffic_sources.h"
#include "pushback/tug_geometry.h"
#include "shell/menu.h"

namespace tarvosk {

namespace {

// Where the host publishes no size: a narrow-body airliner.
constexpr double kDefaultSpan = 35.0;
constexpr double kDefaultLength = 38.0;

double SizeOr(XPLMDataRef ref, double fallback) {
    if (ref == nullptr) return fallback;
    const double v = XPLMGetDataf(ref);
    return std::isfinite(v) && v > 1.0 && v < 200.0 ? v : fallback;
}

void FillWheels(PlannerScene* scene) {
    GearTable table;
    if (!ReadGearTable(&table)) return;
    const GearChoice chosen = ChooseGears(table);
    for (int i = 0; i < table.count && scene->wheelCount < static_cast<int>(scene->wheels.size());
         ++i) {
        if (table.type[i] < 2) continue;  // no wheel there
        scene->wheels[scene->wheelCount++] = {table.x[i], table.z[i]};
    }
    const int pushed = gSettings.FRONT_WHEEL ? chosen.nose : chosen.main;
    if (pushed >= 0) scene->pushedWheel = {table.x[pushed], table.z[pushed]};
}

void FillScene(PlannerScene* scene) {
    scene->plan = gPlan.plan;
    // A planned push under way is drawn from where it began, so the path stays put.
    const bool planned = gPushback.pushRequested && gPushback.kind == PushKind::Planned;
    scene->start = planned ? gPlanned.start : PresentPose();
    scene->showNow = planned;
    scene->now = PresentPose();
    const double span = SizeOr(gHostData.sizeX, kDefaultSpan);
    const double length = SizeOr(gHostData.sizeZ, kDefaultLength);
    scene->outline = OutlineFromSize(span, length, 0.0);
    scene->shape = ReadOwnShape();  // the footprint the traffic watch uses
    FillWheels(scene);
    AddTrafficToScene(scene);
}

void PlanChanged(const PushPlan& plan) {
    gPlan.plan = ClampPlan(plan, nullptr);
    gPlan.editedInPlanner = true;  // what the pilot sees is what Start pushes
}

void StartPlanned(intptr_t) {
    RunMenuCommand(KindItem(PushKind::Planned));
}

const char* StartFromPlanner() {
    if (gPushback.pushRequested) return "A pushback is under way";
    // A plan whose band touches another aircraft asks once more; "Push anyway" starts it.
    PlannerScene scene;
    FillScene(&scene);
    if (const char* asked = AskBeforePushingIntoTraffic(scene, StartPlanned, 0)) return asked;
    StartPlanned(0);
    const bool started = gPushback.pushRequested && gPushback.kind == PushKind::Planned;
    if (!started) return "Not started: see the message";
    return gPlanned.fromStand ? "Crew: your plan for this stand; the tug is coming"
                              : "Pushback ordered: the tug is coming";
}

const char* SaveFromPlanner() {
    return SaveStandPlan() ? "Saved for this stand" : "Could not save: see Tarvosk.log";
}

constexpr PlannerHooks kHooks = {FillScene, PlanChanged, StartFromPlanner, SaveFromPlanner};

}  // namespace

void OpenPlannerWindow() {
    if (!PlannerAvailable()) {
        std::snprintf(messageText, sizeof messageText, "%s",
                      "The pushback planner needs X-Plane 11 or later.;"
                      "The plan datarefs and \"Planned pushback\" still work.");
        ShowMessageBox("Tarvosk");
        return;
    }
    const char* status = nullptr;
    if (TakeStandPlan()) {
        status = "Crew: we have your plan for this stand";
    } else if (gPlan.writtenFromOutside) {
        status = "Crew: we have the plan from your cockpit";
    }
    OpenPlanner(kHooks, status);
}

void ClosePlannerWindow() {
    ClosePlanner();
}

}  // namespace tarvosk
