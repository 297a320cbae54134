// X-Plane 12's ground operations: its pushback commands and its own tug. The simulator's
// handler runs after the plug-ins' handlers "before" it, so a plug-in that answers the
// commands and returns 0 keeps X-Plane's tug away. The model is small: straight, left and
// right attach the tug (the aircraft does not move), stop detaches it; the timeline records
// each time X-Plane's own pushback starts and stops.
#include <algorithm>

#include "control/host_state.h"

namespace simhost::detail {

namespace {

enum class Push { Straight, Left, Right, Stop };

struct PushCommand {
    Push push;
    const char* name;
    const char* description;
    const char* timelineName;
};

constexpr PushCommand kCommands[] = {
    {Push::Straight, "sim/ground_ops/pushback_straight", "Pushback straight", "straight"},
    {Push::Left, "sim/ground_ops/pushback_left", "Nose 90 left", "nose 90 left"},
    {Push::Right, "sim/ground_ops/pushback_right", "Nose 90 right", "nose 90 right"},
    {Push::Stop, "sim/ground_ops/pushback_stop", "Pushback stop", "stop"},
};

int XPlanePushback(XPLMCommandRef, XPLMCommandPhase phase, void* refcon) {
    if (phase != xplm_CommandBegin) return 1;
    const PushCommand& c = *static_cast<const PushCommand*>(refcon);
    DatarefEntry* attached = H().data.FindAny("sim/aircraft/overflow/pushback_attached");
    if (!attached) return 1;
    if (c.push == Push::Stop) {
        if (attached->i != 0) Event("X-Plane's own pushback stopped");
        attached->i = 0;
    } else {
        if (attached->i == 0)
            Event(std::string("X-Plane's own pushback started: ") + c.timelineName);
        attached->i = 1;
    }
    return 1;
}

}  // namespace

void InitGroundOps() {
    Host& h = H();
    if (h.config.xplaneVersion < 12000) return;
    const auto& omitted = h.config.omitDatarefs;
    const char* const attachedName = "sim/aircraft/overflow/pushback_attached";
    const bool listed = std::find(omitted.begin(), omitted.end(), attachedName) == omitted.end();
    h.data.AddSim(attachedName, xplmType_Int, false, listed);
    for (const PushCommand& c : kCommands)
        AddSimulatorCommand(c.name, c.description, XPlanePushback, const_cast<PushCommand*>(&c));
}

}  // namespace simhost::detail
