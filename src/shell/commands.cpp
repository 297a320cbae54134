#include "shell/commands.h"

#include <cstddef>
#include <cstdint>

#include "pushback/manual_drive.h"
#include "pushback/pushback.h"
#include "shell/guard.h"
#include "shell/menu.h"
#include "xplm/host.h"

namespace tarvosk {

namespace {

// Not menu items: the hot key's action, the held steering and the speed steps.
constexpr intptr_t kTruckViewAction = -1;
constexpr intptr_t kSteerLeftAction = -2;
constexpr intptr_t kSteerRightAction = -3;
constexpr intptr_t kFasterAction = -4;
constexpr intptr_t kSlowerAction = -5;

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
    {"quorren/tarvosk/manual_push", "Tarvosk: manual pushback, steered by the pilot",
     kManualPushback},
    {"quorren/tarvosk/manual_tow", "Tarvosk: manual tow forward, steered by the pilot",
     kManualTowForward},
    {"quorren/tarvosk/steer_left", "Tarvosk: steer left while held (manual push: tail left)",
     kSteerLeftAction},
    {"quorren/tarvosk/steer_right", "Tarvosk: steer right while held (manual push: tail right)",
     kSteerRightAction},
    {"quorren/tarvosk/faster", "Tarvosk: manual pushback or tow 0.25 m/s faster", kFasterAction},
    {"quorren/tarvosk/slower", "Tarvosk: manual pushback or tow 0.25 m/s slower", kSlowerAction},
    {"quorren/tarvosk/pause", "Tarvosk: pause or resume the pushback", kPauseResume},
    {"quorren/tarvosk/stop_here", "Tarvosk: stop the pushback here and end it", kStopHere},
};

constexpr std::size_t kCommandCount = sizeof kCommands / sizeof kCommands[0];

XPLMCommandRef gCommandRefs[kCommandCount] = {};

void* Ref(std::size_t index) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(index));
}

// Steering follows the key: held while the simulator sends begin or continue, released at
// the end. After a disable the end may never come (the plug-in's handlers are skipped), so
// the disable releases it and a key still down comes back with its next continue phase.
bool HandleSteer(intptr_t action, XPLMCommandPhase phase) {
    if (action != kSteerLeftAction && action != kSteerRightAction) return false;
    HoldSteer(action == kSteerLeftAction ? -1 : 1, phase != xplm_CommandEnd);
    return true;
}

// Acts once per press, on the begin phase, as a menu choice does; consumes the command.
int HandleCommand(XPLMCommandRef, XPLMCommandPhase phase, void* refcon) {
    return Guarded("command handler", 0, [&] {
        const auto index = static_cast<std::size_t>(reinterpret_cast<intptr_t>(refcon));
        if (index >= kCommandCount) return 0;
        const intptr_t action = kCommands[index].action;
        if (HandleSteer(action, phase) || phase != xplm_CommandBegin) return 0;
        if (action == kFasterAction || action == kSlowerAction) {
            ChangeTargetSpeed(action == kFasterAction ? 1 : -1);
        } else if (action == kTruckViewAction) {
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
