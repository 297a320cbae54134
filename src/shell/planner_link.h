// The pushback planner wired to the plug-in: what its window shows comes from the aircraft, the
// current plan and the stand; what the pilot does there edits the plan, saves it and starts it.
#pragma once

namespace tarvosk {

// "Plan pushback...": opens the planner with this stand's stored plan when there is one.
void OpenPlannerWindow();

// Disabling or stopping the plug-in.
void ClosePlannerWindow();

}  // namespace tarvosk
