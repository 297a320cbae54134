#include "shell/diagnostics.h"

#include "pushback/pushback.h"
#include "xplm/host.h"

namespace tarvosk {

namespace {

XPLMDataRef gTruckPhaseRef = nullptr;

int ReadTruckPhase(void*) {
    return gPushback.truckPhase;
}

}  // namespace

void RegisterDiagnosticDatarefs() {
    if (gTruckPhaseRef != nullptr) return;
    if (XPLMFindDataRef("simhost/clock/monotonic_seconds") == nullptr) return;
    gTruckPhaseRef =
        XPLMRegisterDataAccessor("tarvosk/diagnostics/truck_phase", xplmType_Int, 0, ReadTruckPhase,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

void UnregisterDiagnosticDatarefs() {
    if (gTruckPhaseRef != nullptr) XPLMUnregisterDataAccessor(gTruckPhaseRef);
    gTruckPhaseRef = nullptr;
}

}  // namespace tarvosk
