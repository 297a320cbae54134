// The other aircraft in the planner: their footprints in the scene, the plan's sweep marked
// where it comes within the traffic clearance of one, and Start asking once before it pushes
// into them. The traffic watch still stops the tug if the traffic is really there.
#pragma once

#include <cstdint>

#include "panels/planner_view.h"

namespace tarvosk {

// Adds the nearest other aircraft (as many as the scene has room for) to `scene`, whose plan,
// start and shape are filled, and marks each one the plan's swept band comes within the
// clearance of (touches, with the watch off), and the plan with them.
void AddTrafficToScene(PlannerScene* scene);

inline constexpr const char* kTrafficQuestion = "Traffic in the way: push anyway?";

// For the Start button: with the plan in the way, asks kTrafficQuestion in a message box whose
// "Push anyway" calls run(reference), and returns the status word; otherwise returns null and
// the caller starts at once.
const char* AskBeforePushingIntoTraffic(const PlannerScene& scene, void (*run)(intptr_t),
                                        intptr_t reference);

}  // namespace tarvosk
