#include "shell/shell_state.h"

namespace tarvosk {

std::vector<std::string> gTruckList;
std::vector<std::string> gGroundServiceList;
std::string gTrucksFolder;
std::string gGroundServicesFolder;

}  // namespace tarvosk
