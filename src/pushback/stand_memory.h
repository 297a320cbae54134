// The plan for a planned push, and the stands that remember plans.
//
// One plan is current. The planner window and the plan datarefs both edit it. When the planner
// opens or a planned push is ordered at a stand that has a stored plan, that plan becomes the
// current one, unless another plug-in or the cockpit wrote the plan through the datarefs since
// the aircraft arrived: then theirs wins.
#pragma once

#include <ostream>
#include <string>

#include "config/stands.h"

namespace tarvosk {

struct PlanState {
    PushPlan plan{27.0, 0.0, 0.0};
    bool writtenFromOutside = false;  // through the datarefs, since the aircraft arrived
    bool editedInPlanner = false;     // by the pilot in the planner, since the aircraft arrived
};

extern PlanState gPlan;

// Reads the stands file (once per enable). `log` may be null.
void LoadStandPlans(const std::string& path, std::ostream* log);
void ForgetStandPlans();

// A new aircraft, airport or scenery: datarefs written for the old one no longer count.
void AircraftArrived();

// Where the aircraft stands now: position, heading and the nearest airport the host knows.
StandKey StandHere();

// Takes the stored plan of this stand when there is one and no plan set since the aircraft
// arrived (through the datarefs or in the planner) wins; true when it did.
bool TakeStandPlan();

// A plan is stored for the stand the aircraft stands at.
bool StandHasPlan();

// Stores the current plan for this stand; false when the file could not be written.
bool SaveStandPlan();

}  // namespace tarvosk
