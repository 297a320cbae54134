// The "Tarvosk" submenu of the host's plug-ins menu and its handler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvosk {

// Item references; "Trucks" shares 9 with the first truck of its submenu.
enum MenuCommand : intptr_t {
    kAbout = 0,
    kPreferences = 1,
    kGpu = 2,
    kPushStraight = 3,
    kTurnTailRight = 4,
    kTurnTailLeft = 5,
    kAutoTailRight = 6,
    kAutoTailLeft = 7,
    kStop = 8,
    kFirstTruck = 9,
    // Beyond the trucks' references (at most a hundred of them).
    kManualPushback = 1000,
    kManualTowForward = 1001,
    kPauseResume = 1002,
    kStopHere = 1003,
};

// Builds the menu once at start-up, the "Trucks" submenu from `trucks`.
void BuildMenu(const std::vector<std::string>& trucks);

// What choosing the item with reference `command` does, pre-check and refusal box included.
void RunMenuCommand(intptr_t command);

// The "GPU" item's mark after the GPU was connected or disconnected outside the menu.
void CheckGpuMenuItem();

// Puts the check mark on truck item `index` and clears the others; -1 clears all.
void CheckTruckMenuItem(int index);

}  // namespace tarvosk
