// The pushback planner: a modern host window (decorated, movable, resizable, able to pop out
// and to show in VR) drawn in 2-D only, so it shows under OpenGL, Vulkan and Metal alike.
// What it shows comes from the owner's hooks; what the pilot does goes back through them.
#pragma once

#include "panels/planner_view.h"

namespace tarvosk {

struct PlannerHooks {
    // The plan, the aircraft, its wheels and the traffic around it, now.
    void (*fillScene)(PlannerScene* scene) = nullptr;
    // The pilot changed the plan in the window.
    void (*planChanged)(const PushPlan& plan) = nullptr;
    // Start and Save; each returns the word for the status line (may be null).
    const char* (*start)() = nullptr;
    const char* (*save)() = nullptr;
};

// False where the host has no modern windows (before X-Plane 11).
bool PlannerAvailable();

// Opens the window (or brings it to the front), with `status` on its status line.
void OpenPlanner(const PlannerHooks& hooks, const char* status);
void ClosePlanner();
bool PlannerIsOpen();
void SetPlannerStatus(const char* status);

}  // namespace tarvosk
