#include "pushback/planned_motion.h"

#include "pushback/host_data.h"
#include "pushback/motion_base.h"
#include "pushback/pushback.h"
#include "pushback/stand_memory.h"
#include "pushback/tug_geometry.h"

namespace tarvosk {

PlannedPush gPlanned;

namespace {

// The side the tail goes where the nose steers `side` (-1 left, +1 right).
PushDirection TailSide(int side) {
    return side > 0   ? PushDirection::TailLeft
           : side < 0 ? PushDirection::TailRight
                      : PushDirection::Straight;
}

bool PlannedPushOrdered() {
    return gPushback.pushRequested && gPushback.kind == PushKind::Planned;
}

}  // namespace

PathPose PresentPose() {
    PathPose pose;
    pose.x = XPLMGetDatad(gHostData.localX);
    pose.z = XPLMGetDatad(gHostData.localZ);
    pose.heading = XPLMGetDataf(gHostData.psi);
    return pose;
}

PathPose PlannedEnd() {
    if (PlannedPushOrdered()) return gPlanned.path.End(gPlanned.start);
    return PushPath::FromPlan(gPlan.plan).End(PresentPose());
}

void PreparePlannedKind() {
    const bool fromStand = TakeStandPlan();
    gPlan.plan = ClampPlan(gPlan.plan, nullptr);
    SaveStandPlan();
    gPlanned = PlannedPush{};
    gPlanned.fromStand = fromStand;
    gPlanned.path = PushPath::FromPlan(gPlan.plan);
    gPlanned.start = PresentPose();
    // The status and the tug's departure follow the side of the turn.
    gPushback.direction = TailSide(gPlan.plan.turn > 0.0 ? 1 : gPlan.plan.turn < 0.0 ? -1 : 0);
}

void PlannedMotionFrame(float sinceLast) {
    const double remaining = gPlanned.path.Length() - gPlanned.travelled;
    if (!(remaining > 0.0)) {
        EndPush(false);
        return;
    }
    // The fixed kinds' step and pace: per frame or per second, braked by a pause or stop here.
    double step = PushStepFor(sinceLast).distance;
    const double pace = PaceStep(step, sinceLast);
    if (gPace.stopping && gPace.speed <= 0.0) {
        EndPush(false);
        return;
    }
    if (!(pace > 0.0)) return;
    step *= pace;
    if (step > remaining) step = remaining;

    // Moved by the path's change, not to its absolute pose: the host may shift the local
    // origin under a long push, and the aircraft must not jump with it.
    const PathPose from = gPlanned.path.PoseAt(gPlanned.start, gPlanned.travelled);
    gPlanned.travelled += step;
    const PathPose to = gPlanned.path.PoseAt(gPlanned.start, gPlanned.travelled);
    const PushDirection side = TailSide(gPlanned.path.TurnSideAt(gPlanned.travelled));
    SteerNoseWheel(side);
    UpdateTruckSwing(side, XPLMGetDataf(gHostData.psi));
    const double x = XPLMGetDatad(gHostData.localX) + (to.x - from.x);
    const double z = XPLMGetDatad(gHostData.localZ) + (to.z - from.z);
    SetAircraftPose(static_cast<float>(to.heading), x, z);
}

}  // namespace tarvosk
