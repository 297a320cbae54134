#include "shell/commands.h"

#include <cstddef>
#include <cstdint>

#include "pushback/pushback.h"
#include "shell/guard.h"
#include "shell/menu.h"
#include "xplm/host.h"

namespace tarvosk {

namespace {

constexpr intptr_t kTruckViewAction = -1;  // not a menu item: the hot key's action

struct CommandSpec {
    const char* name;
    const char* description;  // what the simulator's key and button settings show
    intptr_t action;          // menu item reference, or kTruckViewAction
};

constexpr CommandSpec kCommands[] = {
    {"quorren/tarvosk/push_straight", "Tarvosk: push straight back", kPushStraight},
    {"quorren/tarvosk/turn_tail_left", "Tarvosk: push back, turning the tail left", kTurnTailLeft},
    {"quorren/tarvosk/turn_tail_right", "Tarvosk: push back, turning the tail right",
     kTurnTailRight},
    {"quorren/tarvosk/auto_tail_left", "Tarvosk: push straight back, then turn the tail left",
     kAutoTailLeft},
    {"quorren/tarvosk/auto_tail_right", "Tarvosk: push straight back, then turn the tail right",
     kAutoTailRight},
    {"quorren/tarvosk/stop", "Tarvosk: stop the pushback", kStop},
    {"quorren/tarvosk/gpu_toggle", "Tarvosk: connect or disconnect the ground power unit", kGpu},
    {"quorren/tarvosk/truck_view", "Tarvosk: toggle the view from the tug", kTruckViewAction},
    {"quorren/tarvosk/preferences", "Tarvosk: open the preferences", kPreferences},
    {"quorren/tarvosk/about", "Tarvosk: about Tarvosk", kAbout},
};

constexpr std::size_t kCommandCount = sizeof kCommands / sizeof kCommands[0];

XPLMCommandRef gCommandRefs[kCommandCount] = {};

void* Ref(std::size_t index) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(index));
}

// Acts once per press, on the begin phase, as a menu choice does; consumes the command.
int HandleCommand(XPLMCommandRef, XPLMCommandPhase phase, void* refcon) {
    return Guarded("command handler", 0, [&] {
        const auto index = static_cast<std::size_t>(reinterpret_cast<intptr_t>(refcon));
        if (phase != xplm_CommandBegin || index >= kCommandCount) return 0;
        const intptr_t action = kCommands[index].action;
        if (action == kTruckViewAction) {
            ToggleTruckView(nullptr);
        } else {
            RunMenuCommand(action);
        }
        return 0;
    });
}

}  // namespace

void CreateCommands() {
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        gCommandRefs[i] = XPLMCreateCommand(kCommands[i].name, kCommands[i].description);
        if (gCommandRefs[i] != nullptr) {
            XPLMRegisterCommandHandler(gCommandRefs[i], HandleCommand, 1, Ref(i));
        }
    }
}

void DropCommands() {
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        if (gCommandRefs[i] != nullptr) {
            XPLMUnregisterCommandHandler(gCommandRefs[i], HandleCommand, 1, Ref(i));
        }
        gCommandRefs[i] = nullptr;
    }
}

}  // namespace tarvosk
