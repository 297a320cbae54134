// What the shell found at start-up and shares with the menu.
#pragma once

#include <string>
#include <vector>

namespace tarvosk {

extern std::vector<std::string> gTruckList;          // truck names (file names without ".obj")
extern std::vector<std::string> gGroundServiceList;  // ground-service object names
extern std::string gTrucksFolder;                    // plug-in data folder, with separator
extern std::string gGroundServicesFolder;            // ... + "GroundServices" + separator

}  // namespace tarvosk
