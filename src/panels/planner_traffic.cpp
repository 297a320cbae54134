#include "panels/planner_traffic.h"

#include <cmath>
#include <cstdio>

#include "config/settings.h"
#include "panels/message_box.h"
#include "pushback/traffic_sources.h"

namespace tarvosk {

namespace {

// Read here, not per frame of a push: the window's own copy.
OtherAircraftList gAround;

double CentreDistance(const GroundBox& b, const PathPose& start) {
    return std::hypot(b.x - start.x, b.z - start.z);
}

}  // namespace

void AddTrafficToScene(PlannerScene* scene) {
    ReadOtherAircraft(&gAround);
    const int room = static_cast<int>(scene->traffic.size());
    // The nearest first: an insertion into the fixed room, the farthest falling off its end.
    int count = 0;
    for (int i = 0; i < gAround.count; ++i) {
        const GroundBox& box = gAround.boxes[i];
        const double distance = CentreDistance(box, scene->start);
        int at = count;
        while (at > 0 && CentreDistance(scene->traffic[at - 1].box, scene->start) > distance) --at;
        if (at >= room) continue;
        for (int k = (count < room ? count : room - 1); k > at; --k) {
            scene->traffic[k] = scene->traffic[k - 1];
        }
        scene->traffic[at] = OtherAircraft{box, false};
        if (count < room) ++count;
    }
    scene->trafficCount = count;
    const PushPath path = PushPath::FromPlan(scene->plan);
    const double clearance = gSettings.TRAFFIC_CLEARANCE;
    scene->planInTheWay = false;
    for (int i = 0; i < count; ++i) {
        OtherAircraft& other = scene->traffic[i];
        const double gap = SweptGap(path, scene->start, scene->shape, 0.0, path.Length(), 0.5,
                                    other.box, clearance + 1.0, nullptr);
        other.inTheWay = gap < clearance || gap <= 0.0;
        if (other.inTheWay) scene->planInTheWay = true;
    }
}

const char* AskBeforePushingIntoTraffic(const PlannerScene& scene, void (*run)(intptr_t),
                                        intptr_t reference) {
    if (!scene.planInTheWay) return nullptr;
    std::snprintf(messageText, sizeof messageText, "%s", kTrafficQuestion);
    const MessageBoxChoice choice{"Push anyway", run, reference};
    ShowMessageBox("Tarvosk", &choice);
    return "Traffic in the way";
}

}  // namespace tarvosk
