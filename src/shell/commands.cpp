#include "shell/commands.h"

#include <cstddef>
#include <cstdint>

#include "config/settings.h"
#include "pushback/manual_drive.h"
#include "pushback/pushback.h"
#include "pushback/stand_memory.h"
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

constexpr CommandSpec KindCommand(PushKind kind) {
    return {KindInfo(kind).command, KindInfo(kind).commandDescription, KindItem(kind)};
}

// In the order they were first published (a simulator lists them so).
constexpr CommandSpec kCommands[] = {
    KindCommand(PushKind::Straight),
    KindCommand(PushKind::TurnTailLeft),
    KindCommand(PushKind::TurnTailRight),
    KindCommand(PushKind::AutoTailLeft),
    KindCommand(PushKind::AutoTailRight),
    {"quorren/tarvosk/stop", "Tarvosk: stop the pushback", kStop},
    {"quorren/tarvosk/gpu_toggle", "Tarvosk: connect or disconnect the ground power unit", kGpu},
    {"quorren/tarvosk/truck_view", "Tarvosk: toggle the view from the tug", kTruckViewAction},
    {"quorren/tarvosk/preferences", "Tarvosk: open the preferences", kPreferences},
    {"quorren/tarvosk/about", "Tarvosk: about Tarvosk", kAbout},
    KindCommand(PushKind::ManualPush),
    KindCommand(PushKind::ManualTow),
    {"quorren/tarvosk/steer_left", "Tarvosk: steer left while held (manual push: tail left)",
     kSteerLeftAction},
    {"quorren/tarvosk/steer_right", "Tarvosk: steer right while held (manual push: tail right)",
     kSteerRightAction},
    {"quorren/tarvosk/faster", "Tarvosk: manual pushback or tow 0.25 m/s faster", kFasterAction},
    {"quorren/tarvosk/slower", "Tarvosk: manual pushback or tow 0.25 m/s slower", kSlowerAction},
    {"quorren/tarvosk/pause", "Tarvosk: pause or resume the pushback", kPauseResume},
    {"quorren/tarvosk/stop_here", "Tarvosk: stop the pushback here and end it", kStopHere},
    {"quorren/tarvosk/planner", "Tarvosk: open the pushback planner", kPlanner},
    KindCommand(PushKind::Planned),
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

// The simulator's commands Tarvosk answers before the simulator's own handler does.
enum class SimCommand : intptr_t {
    GpuOn,
    GpuOff,
    GpuToggle,
    PushStraight,
    PushLeft,
    PushRight,
    PushStop
};
constexpr const char* kSimCommandNames[] = {
    "sim/electrical/GPU_on",        "sim/electrical/GPU_off",
    "sim/electrical/GPU_toggle",    "sim/ground_ops/pushback_straight",
    "sim/ground_ops/pushback_left", "sim/ground_ops/pushback_right",
    "sim/ground_ops/pushback_stop",
};
constexpr std::size_t kSimCommandCount = sizeof kSimCommandNames / sizeof kSimCommandNames[0];

XPLMCommandRef gSimCommandRefs[kSimCommandCount] = {};
bool gSimCommandsLooked = false;
bool gSimCommandsTaken = false;

// The cockpit's switch calls the cart: its power comes on when the warm-up ends, not at the
// press.
void AnswerGpuCommand(SimCommand command) {
    const bool connect =
        command == SimCommand::GpuToggle ? !gGpu.gpuConnected : command == SimCommand::GpuOn;
    if (connect && !gGpu.gpuConnected) {
        ConnectGpu();
    } else if (!connect && gGpu.gpuConnected) {
        DisconnectGpu();
    }
    CheckGpuMenuItem();
}

// X-Plane 12's pushback commands, from hardware, its ground-handling window or ATC: straight
// pushes this stand's plan when one is stored, left and right turn the nose 90 degrees that way.
void AnswerPushbackCommand(SimCommand command) {
    switch (command) {
        case SimCommand::PushStraight:
            RunMenuCommand(KindItem(StandHasPlan() ? PushKind::Planned : PushKind::Straight));
            break;
        case SimCommand::PushLeft:
            RunMenuCommand(KindItem(PushKind::TurnTailRight));
            break;
        case SimCommand::PushRight:
            RunMenuCommand(KindItem(PushKind::TurnTailLeft));
            break;
        default:
            RunMenuCommand(kStop);
            break;
    }
}

bool IsGpuCommand(SimCommand command) {
    return command == SimCommand::GpuOn || command == SimCommand::GpuOff ||
           command == SimCommand::GpuToggle;
}

// Every phase is kept from the simulator's own handler, which would switch the power at once
// or send its own tug; with the matching setting off the command is the simulator's alone.
int HandleSimCommand(XPLMCommandRef, XPLMCommandPhase phase, void* refcon) {
    return Guarded("simulator command handler", 1, [&] {
        const auto command = static_cast<SimCommand>(reinterpret_cast<intptr_t>(refcon));
        const bool gpu = IsGpuCommand(command);
        if (!(gpu ? gSettings.HANDLE_GPU : gSettings.ANSWER_XP_PUSHBACK)) return 1;
        if (phase != xplm_CommandBegin) return 0;
        if (gpu) {
            AnswerGpuCommand(command);
        } else {
            AnswerPushbackCommand(command);
        }
        return 0;
    });
}

}  // namespace

void TakeOverSimulatorCommands() {
    if (!gSimCommandsLooked) {
        for (std::size_t i = 0; i < kSimCommandCount; ++i)
            gSimCommandRefs[i] = XPLMFindCommand(kSimCommandNames[i]);
        gSimCommandsLooked = true;
    }
    if (gSimCommandsTaken) return;
    for (std::size_t i = 0; i < kSimCommandCount; ++i) {
        if (gSimCommandRefs[i] != nullptr)
            XPLMRegisterCommandHandler(gSimCommandRefs[i], HandleSimCommand, 1, Ref(i));
    }
    gSimCommandsTaken = true;
}

void HandBackSimulatorCommands() {
    if (!gSimCommandsTaken) return;
    for (std::size_t i = 0; i < kSimCommandCount; ++i) {
        if (gSimCommandRefs[i] != nullptr)
            XPLMUnregisterCommandHandler(gSimCommandRefs[i], HandleSimCommand, 1, Ref(i));
    }
    gSimCommandsTaken = false;
}

void CreateCommands() {
    gSimCommandsLooked = false;  // a new start may be a new simulator
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
