#include "shell/commands.h"

#include <cstddef>
#include <cstdint>

#include "config/settings.h"
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

// The simulator's GPU commands, in the order of GpuCommandKind.
enum class GpuCommandKind : intptr_t { On, Off, Toggle };
constexpr const char* kGpuCommandNames[] = {"sim/electrical/GPU_on", "sim/electrical/GPU_off",
                                            "sim/electrical/GPU_toggle"};
constexpr std::size_t kGpuCommandCount = sizeof kGpuCommandNames / sizeof kGpuCommandNames[0];

XPLMCommandRef gGpuCommandRefs[kGpuCommandCount] = {};
bool gGpuCommandsLooked = false;
bool gGpuCommandsTaken = false;

// The cockpit's switch calls the cart: its power comes on when the warm-up ends, not at the
// press. Every phase is kept from the simulator's own handler, which would switch the power
// at once; with "Handle GPU" off the command is the simulator's alone.
int HandleGpuCommand(XPLMCommandRef, XPLMCommandPhase phase, void* refcon) {
    return Guarded("GPU command handler", 1, [&] {
        if (!gSettings.HANDLE_GPU) return 1;
        if (phase != xplm_CommandBegin) return 0;
        const auto kind = static_cast<GpuCommandKind>(reinterpret_cast<intptr_t>(refcon));
        const bool connect =
            kind == GpuCommandKind::Toggle ? !gGpu.gpuConnected : kind == GpuCommandKind::On;
        if (connect && !gGpu.gpuConnected) {
            ConnectGpu();
        } else if (!connect && gGpu.gpuConnected) {
            DisconnectGpu();
        }
        CheckGpuMenuItem();
        return 0;
    });
}

}  // namespace

void TakeOverGpuCommands() {
    if (!gGpuCommandsLooked) {
        for (std::size_t i = 0; i < kGpuCommandCount; ++i)
            gGpuCommandRefs[i] = XPLMFindCommand(kGpuCommandNames[i]);
        gGpuCommandsLooked = true;
    }
    if (gGpuCommandsTaken) return;
    for (std::size_t i = 0; i < kGpuCommandCount; ++i) {
        if (gGpuCommandRefs[i] != nullptr)
            XPLMRegisterCommandHandler(gGpuCommandRefs[i], HandleGpuCommand, 1, Ref(i));
    }
    gGpuCommandsTaken = true;
}

void HandBackGpuCommands() {
    if (!gGpuCommandsTaken) return;
    for (std::size_t i = 0; i < kGpuCommandCount; ++i) {
        if (gGpuCommandRefs[i] != nullptr)
            XPLMUnregisterCommandHandler(gGpuCommandRefs[i], HandleGpuCommand, 1, Ref(i));
    }
    gGpuCommandsTaken = false;
}

void CreateCommands() {
    gGpuCommandsLooked = false;  // a new start may be a new simulator
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
