#include "pushback/gpu.h"

#include <cstdio>

#include "config/settings.h"
#include "pushback/crew_messages.h"
#include "pushback/heading_math.h"
#include "pushback/host_io.h"
#include "pushback/pushback.h"
#include "pushback/tug_geometry.h"

namespace tarvosk {

namespace {

// A second registration of a registered callback would run two instances of it, so each loop
// remembers whether the host has it and is rescheduled instead. Returning 0 only parks it.
bool gWarmupRegistered = false;
bool gFeedRegistered = false;

void Broadcast(int message) {
    XPLMSendMessageToPlugin(XPLM_NO_PLUGIN_ID, message, nullptr);
}

void SayGpu(const char* format) {
    if (!gSettings.HANDLE_GPU) return;
    char text[256];
    std::snprintf(text, sizeof text, format, ReadTailNumber().text);
    SayCrewMessage(text, 6, kCrewGreen);
}

void ScheduleNextFrame(XPLMFlightLoop_f loop, bool& registered) {
    if (registered) {
        XPLMSetFlightLoopCallbackInterval(loop, -1.0f, 1, nullptr);
    } else {
        XPLMRegisterFlightLoopCallback(loop, -1.0f, nullptr);
        registered = true;
    }
}

}  // namespace

void PlaceGpu() {
    // Gear indices follow the host version even before the first pushback has chosen them.
    SelectGears();
    const float psi = XPLMGetDataf(gHostData.psi);
    const WorldPoint gear = GearWorldPosition(gTruck.noseGear);
    const float b = static_cast<float>((90.0 - psi - 45.0) * kDegToRad64);
    gGpu.gpuZ = gear.z - 5.0 * std::sin(static_cast<double>(b));
    gGpu.gpuX = gear.x + 5.0 * std::cos(static_cast<double>(b));
    gGpu.gpuY = GroundHeightAtGear();
    gGpu.gpuHeading = psi;
}

void ToggleGpu() {
    if (gGpu.gpuConnected) {
        SayGpu("%s GPU is OFF and disconnected");
        Broadcast(kGpuOff);
        if (gFeedRegistered) {
            XPLMUnregisterFlightLoopCallback(BatteryFeedLoop, nullptr);
            gFeedRegistered = false;
        }
        gGpu.gpuConnected = false;
        gGpu.gpuRunning = false;
        return;
    }
    PlaceGpu();
    gGpu.gpuVisible = true;
    SayGpu("Roger %s GPU is hooked up and warming up");
    gGpu.warmupEndsAt = static_cast<double>(ElapsedSeconds() + 15.0L);
    ScheduleNextFrame(GpuWarmupLoop, gWarmupRegistered);
    gGpu.gpuConnected = true;
    gGpu.gpuRunning = false;
}

void BroadcastGpuStatus() {
    if (!gGpu.gpuConnected) {
        Broadcast(kGpuOff);
    } else {
        Broadcast(gGpu.gpuRunning ? kGpuRunning : kGpuWarmingUp);
    }
}

float GpuWarmupLoop(float, float, int, void*) {
    if (!gGpu.gpuConnected) return 0.0f;
    if (!(ElapsedSeconds() > gGpu.warmupEndsAt)) return -1.0f;
    Broadcast(kGpuRunning);
    gGpu.gpuRunning = true;
    SayGpu("%s GPU is running");
    if (gGpu.batteryFeedEnabled) {
        gGpu.feedStartedAt = static_cast<double>(ElapsedSeconds());
        XPLMGetDatavf(gHostData.batteryVolts, gGpu.batteryVolts, 0, EngineCount());
        ScheduleNextFrame(BatteryFeedLoop, gFeedRegistered);
    }
    return 0.0f;
}

float BatteryFeedLoop(float, float, int, void*) {
    if (!gGpu.gpuConnected) return 0.0f;
    const int n = EngineCount();
    if (n == 0) return -1.0f;
    XPLMGetDatavf(gHostData.batteryVolts, gGpu.batteryVolts, 0, n);
    const double v =
        gGpu.batteryVolts[0] + static_cast<double>(ElapsedSeconds() - gGpu.feedStartedAt) / 36000.0;
    const float fed = v > 24.0 ? 24.0f : static_cast<float>(v);
    for (int i = 0; i < n; ++i) gGpu.batteryVolts[i] = fed;
    XPLMSetDatavf(gHostData.batteryVolts, gGpu.batteryVolts, 0, n);
    return -1.0f;
}

}  // namespace tarvosk
