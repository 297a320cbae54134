// XPluginEnable and XPluginDisable: settings in and out of the properties map, the truck and
// GPU objects, the truck-view hot key.
#include <string>

#include "config/log.h"
#include "config/settings.h"
#include "pushback/manual_drive.h"
#include "pushback/pushback.h"
#include "pushback/scene_instances.h"
#include "pushback/traffic_sources.h"
#include "render/placed_object.h"
#include "shell/commands.h"
#include "shell/lifecycle.h"
#include "shell/menu.h"
#include "shell/settings_store.h"
#include "shell/shell_state.h"

namespace tarvosk {

namespace {

constexpr const char* kDefaultTruck = "TVKdefault";

void SelectTruck() {
    for (std::size_t i = 0; i < gTruckList.size(); ++i) {
        if (gTruckList[i] == gSettings.Truck) {
            LoadTruckObject(gTrucksFolder, gTruckList[i]);
            CheckTruckMenuItem(static_cast<int>(i));
            return;
        }
    }
    LoadTruckObject(gTrucksFolder, kDefaultTruck);
    gSettings.Truck = kDefaultTruck;
    CheckTruckMenuItem(-1);
}

void LoadGpu() {
    const std::string path = gGroundServicesFolder + "GPU";
    std::string reason;
    if (LoadPlacedObject(gpuObject, path, &reason)) {
        Log("Meshes and textures for GPU succesfuly loaded\n");
    } else {
        Log("[WRNG] Failed to load GPU object or textures " + path + "\n");
        if (!reason.empty()) Log("[WRNG] " + reason + "\n");
    }
}

void DropHotKey() {
    if (gSession.hotKey != nullptr) XPLMUnregisterHotKey(gSession.hotKey);
    gSession.hotKey = nullptr;
}

}  // namespace

int EnablePlugin() {
    Log("--- Enabling Tarvosk plugin ---\n");
    // The map loaded at start (and refreshed by each disable) is the source; the file is only
    // tested, so a first run stays on defaults until the first stop writes it.
    if (PropertiesFileExists() && gSession.properties) {
        ReadSettings(*gSession.properties);
    } else {
        ApplyDefaultSettings();
    }
    SelectTruck();
    LoadGpu();
    LoadInstanceObjects();
    TakeOverSimulatorCommands();
    LookupTrafficDatarefs();  // traffic watch
    DropHotKey();             // a host that enables twice must not leave two hot keys behind
    gSession.hotKey =
        XPLMRegisterHotKey(static_cast<char>(gSettings.TruckView_KEY & 0xFF), xplm_DownFlag,
                           "Toggle truckview", ToggleTruckView, nullptr);
    return 1;
}

void DisablePlugin() {
    Log("--- Disabling Tarvosk plugin ---\n");
    if (gSession.properties) StoreSettings(*gSession.properties);
    DropHotKey();
    // The simulator's GPU commands and external power are its own again.
    HandBackSimulatorCommands();
    ResetGpu(false);
    CheckGpuMenuItem();
    UnloadInstanceObjects();
    // A disabled plug-in can move nothing: a pushback under way ends, and with it the
    // nose-wheel axis goes back to the pilot, as the text output does.
    StopPushbackForDisable();
    GiveBackCamera();
    RestoreTextOutputNow();
    // A steer key released while we are disabled sends its end to no one.
    HoldSteer(-1, false);
    HoldSteer(1, false);
}

}  // namespace tarvosk
