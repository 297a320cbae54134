// The "Tarvosk" submenu: pushback commands, the GPU, the truck choice and the two windows.
#include "shell/menu.h"

#include <cstdint>
#include <cstdio>

#include "config/settings.h"
#include "panels/about_window.h"
#include "panels/message_box.h"
#include "panels/preferences_window.h"
#include "pushback/manual_drive.h"
#include "pushback/pushback.h"
#include "pushback/scene_instances.h"
#include "render/placed_object.h"
#include "shell/lifecycle.h"
#include "shell/paths.h"
#include "shell/planner_link.h"
#include "shell/shell_state.h"
#include "xplm/host.h"

namespace tarvosk {

namespace {

constexpr int kGpuItemIndex = 3;

XPLMMenuID gMainMenu = nullptr;
XPLMMenuID gTrucksMenu = nullptr;
int gTruckItemCount = 0;

void* Ref(intptr_t value) {
    return reinterpret_cast<void*>(value);
}

void Append(const char* text, intptr_t reference) {
    XPLMAppendMenuItem(gMainMenu, text, Ref(reference), 1);
}

// The pre-check's code for a connected GPU.
constexpr int kRefusedForGpu = -2;

// "Disconnect and push": the cart's power goes off first, then the pushback runs as if just
// chosen (another refusal shows its own box).
void DisconnectAndRun(intptr_t command) {
    if (gGpu.gpuConnected) DisconnectGpu();
    CheckGpuMenuItem();
    RunMenuCommand(command);
}

// A pushback the pre-check refuses: its reason in the "Warning..." box; for the GPU, with the
// offer to disconnect it and push.
bool Refused(int check, intptr_t command) {
    if (check == 0) return false;
    if (const char* refusal = RefusalMessage(check)) {
        std::snprintf(messageText, sizeof messageText, "%s", refusal);
        const MessageBoxChoice disconnect{"Disconnect and push", DisconnectAndRun, command};
        ShowMessageBox("Warning...", check == kRefusedForGpu ? &disconnect : nullptr);
    }
    AnnounceRefusal(check);
    return true;
}

void ToggleGpuItem() {
    if (!gSettings.HANDLE_GPU) return;
    ToggleGpu();
    CheckGpuMenuItem();
}

bool IsKindItem(intptr_t command) {
    return command >= kFirstKindItem &&
           command < kFirstKindItem + static_cast<intptr_t>(kPushKindCount);
}

void ChooseTruck(intptr_t command) {
    const size_t index = static_cast<size_t>(command - kFirstTruck);
    if (index >= gTruckList.size()) return;  // no such truck: never index past the list
    gSettings.Truck = gTruckList[index];
    LoadTruckObject(gTrucksFolder, gSettings.Truck);
    LoadInstanceObjects(true);
    CheckTruckMenuItem(static_cast<int>(index));
}

void MenuHandler(void*, void* itemRef) {
    RunMenuCommand(reinterpret_cast<intptr_t>(itemRef));
}

}  // namespace

// The menu and the host commands share this, so a bound key does exactly what the item does.
void RunMenuCommand(intptr_t command) {
    const int check = PushbackPreCheck();
    switch (command) {
        case kAbout:
            OpenAboutWindow(GetPath(PluginDataFolder), DirectorySeparator());
            return;
        case kPreferences:
            OpenPreferencesWindow({&gSession.hotKey, ToggleTruckView});
            return;
        case kGpu:
            ToggleGpuItem();
            return;
        case kPlanner:
            OpenPlannerWindow();
            return;
        case kPauseResume:
            TogglePause();
            return;
        case kStopHere:
            StopHere();
            return;
        case kStop:
            StopPushback();
            return;
        default:
            if (IsKindItem(command)) {
                if (Refused(check, command)) return;
                StopPushback();
                StartPushback(static_cast<PushKind>(command - kFirstKindItem));
            } else if (command >= kFirstTruck && !gTruckList.empty()) {
                ChooseTruck(command);
            }
            return;
    }
}

void BuildMenu(const std::vector<std::string>& trucks) {
    XPLMMenuID plugins = XPLMFindPluginsMenu();
    const int entry = XPLMAppendMenuItem(plugins, "Tarvosk", Ref(-32), 1);
    gMainMenu = XPLMCreateMenu("Tarvosk", plugins, entry, MenuHandler, nullptr);

    Append("About...", kAbout);
    Append("Preferences...", kPreferences);
    XPLMAppendMenuSeparator(gMainMenu);
    Append("GPU", kGpu);
    XPLMCheckMenuItem(gMainMenu, kGpuItemIndex, xplm_Menu_Unchecked);
    for (const PushKindInfo& kind : kPushKinds) {
        if (&kind == kPushKinds || kind.menuGroup != (&kind - 1)->menuGroup) {
            XPLMAppendMenuSeparator(gMainMenu);
        }
        // The plan is drawn in its window before it is pushed.
        if (kind.kind == PushKind::Planned) Append("Plan pushback...", kPlanner);
        Append(kind.menuText, KindItem(kind.kind));
    }
    XPLMAppendMenuSeparator(gMainMenu);
    Append("Pause / resume pushback", kPauseResume);
    Append("Stop pushback here", kStopHere);
    Append("Stop PushBack!", kStop);
    XPLMAppendMenuSeparator(gMainMenu);
    const int trucksEntry = XPLMAppendMenuItem(gMainMenu, "Trucks", Ref(kFirstTruck), 1);

    gTrucksMenu = XPLMCreateMenu("Trucks", gMainMenu, trucksEntry, MenuHandler, nullptr);
    gTruckItemCount = 0;
    for (const std::string& name : trucks) {
        XPLMAppendMenuItem(gTrucksMenu, name.c_str(), Ref(kFirstTruck + gTruckItemCount), 1);
        ++gTruckItemCount;
    }
}

void CheckGpuMenuItem() {
    if (gMainMenu == nullptr) return;
    XPLMCheckMenuItem(gMainMenu, kGpuItemIndex,
                      gGpu.gpuConnected ? xplm_Menu_Checked : xplm_Menu_Unchecked);
}

void CheckTruckMenuItem(int index) {
    if (gTrucksMenu == nullptr) return;
    for (int i = 0; i < gTruckItemCount; ++i) {
        XPLMCheckMenuItem(gTrucksMenu, i, xplm_Menu_NoCheck);
    }
    if (index >= 0 && index < gTruckItemCount) {
        XPLMCheckMenuItem(gTrucksMenu, index, xplm_Menu_Checked);
    }
}

}  // namespace tarvosk
