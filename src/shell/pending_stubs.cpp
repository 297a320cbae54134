// Placeholders for the menu and the published datarefs until they are built; each is
// replaced by its own source file.
#include "shell/menu.h"
#include "shell/published_datarefs.h"

namespace tarvosk {

void BuildMenu(const std::vector<std::string>&) {}
void CheckTruckMenuItem(int) {}
void RegisterPublishedDatarefs() {}
void UnregisterPublishedDatarefs() {}

}  // namespace tarvosk
