// XPluginReceiveMessage: host reload notices and the inter-plug-in GPU commands.
#include <cstdint>

#include "pushback/pushback.h"
#include "pushback/stand_memory.h"
#include "shell/lifecycle.h"

namespace tarvosk {

namespace {

void StopEverything() {
    StopPushback();
    ResetGpu(true);
}

}  // namespace

void ReceiveMessage(XPLMPluginID, int message, void* param) {
    switch (message) {
        case XPLM_MSG_PLANE_LOADED:  // any aircraft index
            ReadAircraftSize();
            StopEverything();
            // The user's aircraft: a plan set for the one before no longer counts.
            if (reinterpret_cast<intptr_t>(param) == 0) AircraftArrived();
            break;
        case XPLM_MSG_AIRPORT_LOADED:
            StopEverything();
            AircraftArrived();
            break;
        case XPLM_MSG_SCENERY_LOADED:
            StopEverything();
            break;
        case kGpuQuery:
            XPLMSendMessageToPlugin(XPLM_NO_PLUGIN_ID, kGpuWarmingUp, nullptr);
            break;
        case kGpuConnect:
            ConnectGpu();
            break;
        case kGpuDisconnect:
            DisconnectGpu();
            break;
        case kGpuStatusQuery:
            BroadcastGpuStatus();
            break;
        case kGpuNoBatteryFeed:
            gGpu.batteryFeedEnabled = false;
            break;
        default:
            break;
    }
}

}  // namespace tarvosk
