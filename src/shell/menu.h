// The "Tarvosk" submenu of the host's plug-ins menu and its handler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pushback/push_kinds.h"

namespace tarvosk {

// Item references; "Trucks" shares 9 with the first truck of its submenu.
enum MenuCommand : intptr_t {
    kAbout = 0,
    kPreferences = 1,
    kGpu = 2,
    kStop = 8,
    kFirstTruck = 9,
    // Beyond the trucks' references (at most a hundred of them).
    kPauseResume = 1002,
    kStopHere = 1003,
    kPlanner = 1004,
    // One item per pushback kind: this plus the kind.
    kFirstKindItem = 2000,
};

constexpr intptr_t KindItem(PushKind kind) {
    return kFirstKindItem + static_cast<intptr_t>(kind);
}

// Builds the menu once at start-up, the "Trucks" submenu from `trucks`.
void BuildMenu(const std::vector<std::string>& trucks);

// What choosing the item with reference `command` does, pre-check and refusal box included.
void RunMenuCommand(intptr_t command);

// The "GPU" item's mark after the GPU was connected or disconnected outside the menu.
void CheckGpuMenuItem();

// Puts the check mark on truck item `index` and clears the others; -1 clears all.
void CheckTruckMenuItem(int index);

}  // namespace tarvosk
