// XPluginStop: callbacks and datarefs away, the properties file written.
#include "config/log.h"
#include "panels/about_window.h"
#include "panels/message_box.h"
#include "panels/preferences_window.h"
#include "pushback/gpu.h"
#include "pushback/pushback.h"
#include "pushback/scene_instances.h"
#include "pushback/stand_memory.h"
#include "render/placed_object.h"
#include "shell/commands.h"
#include "shell/diagnostics.h"
#include "shell/lifecycle.h"
#include "shell/planner_link.h"
#include "shell/published_datarefs.h"

namespace tarvosk {

void StopPlugin() {
    // The host disables first; a host that did not must still get its controls back.
    StopPushbackForDisable();
    RestoreTextOutputNow();
    if (DrawsWithInstances()) {
        XPLMUnregisterFlightLoopCallback(SceneInstancesLoop, nullptr);
    } else {
        XPLMUnregisterDrawCallback(DrawTruck, xplm_Phase_Airplanes, 0, nullptr);
        XPLMUnregisterDrawCallback(DrawGpu, xplm_Phase_Airplanes, 0, nullptr);
    }
    DropCommands();
    HandBackSimulatorCommands();
    ResetGpu(false);
    // The host's context is current here, unlike at library unload: give the textures back.
    UnloadPlacedObject(truckObject);
    UnloadPlacedObject(gpuObject);
    UnregisterPublishedDatarefs();
    UnregisterDiagnosticDatarefs();
    // Windows still open go now, while their widgets and sniffers are still ours to remove.
    CloseAllPreferencesWindows();
    CloseAboutWindow();
    ClosePlannerWindow();
    CloseAllMessageBoxes();
    if (gSession.properties) gSession.properties->Save();
    gSession.properties.reset();
    ForgetStandPlans();
    SetGpuChangeListener(nullptr);
    Log("--- Stopping Tarvosk plugin ---\n");
}

}  // namespace tarvosk
