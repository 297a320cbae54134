#include "shell/diagnostics.h"

#include "config/settings.h"
#include "pushback/motion_base.h"
#include "pushback/pushback.h"
#include "xplm/host.h"

namespace tarvosk {

namespace {

XPLMDataRef gTruckPhaseRef = nullptr;
XPLMDataRef gHaltingRef = nullptr;
XPLMDataRef gClearanceSettingRef = nullptr;

int ReadTruckPhase(void*) {
    return static_cast<int>(gPushback.truckPhase);
}

// 1 while a pause or "stop here" holds the pushback (or brings it to a halt).
int ReadHalting(void*) {
    return gPace.paused || gPace.stopping ? 1 : 0;
}

// The traffic clearance the pilot set; 0: the traffic watch is off.
float ReadClearanceSetting(void*) {
    return gSettings.TRAFFIC_CLEARANCE;
}

}  // namespace

void RegisterDiagnosticDatarefs() {
    if (gTruckPhaseRef != nullptr) return;
    if (XPLMFindDataRef("simhost/clock/monotonic_seconds") == nullptr) return;
    gTruckPhaseRef =
        XPLMRegisterDataAccessor("tarvosk/diagnostics/truck_phase", xplmType_Int, 0, ReadTruckPhase,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    gHaltingRef = XPLMRegisterDataAccessor(
        "tarvosk/diagnostics/halting", xplmType_Int, 0, ReadHalting, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    gClearanceSettingRef = XPLMRegisterDataAccessor(
        "tarvosk/diagnostics/traffic_clearance", xplmType_Float, 0, nullptr, nullptr,
        ReadClearanceSetting, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr);
}

void UnregisterDiagnosticDatarefs() {
    if (gTruckPhaseRef != nullptr) XPLMUnregisterDataAccessor(gTruckPhaseRef);
    gTruckPhaseRef = nullptr;
    if (gHaltingRef != nullptr) XPLMUnregisterDataAccessor(gHaltingRef);
    gHaltingRef = nullptr;
    if (gClearanceSettingRef != nullptr) XPLMUnregisterDataAccessor(gClearanceSettingRef);
    gClearanceSettingRef = nullptr;
}

}  // namespace tarvosk
