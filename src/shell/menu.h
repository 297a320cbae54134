// The "Tarvosk" submenu of the host's plug-ins menu and its handler.
#pragma once

#include <string>
#include <vector>

namespace tarvosk {

// Builds the menu once at start-up, the "Trucks" submenu from `trucks`.
void BuildMenu(const std::vector<std::string>& trucks);

// Puts the check mark on truck item `index` and clears the others; -1 clears all.
void CheckTruckMenuItem(int index);

}  // namespace tarvosk
