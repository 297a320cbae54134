#include "config/settings.h"

namespace tarvosk {

Settings gSettings;
int gXplaneVersion = 0;

void ApplyDefaultSettings() {
    std::string truck = std::move(gSettings.Truck);
    gSettings = Settings{};
    gSettings.Truck = std::move(truck);
}

}  // namespace tarvosk
