#include "pushback/gpu.h"

#include <cmath>
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
bool gWatchRegistered = false;

// The cart's volts when the aircraft names none: the common DC ground-power standard.
constexpr float kDefaultGpuVolts = 28.0f;
// Above this height the aircraft is flying wherever the simulator cannot say (as the
// pushback pre-check has it).
constexpr float kAirborneHeight = 20.0f;

// The simulator's external power; handles looked up once at start, null where absent.
struct ExternalPower {
    XPLMDataRef gpuOn = nullptr;           // 9.50 on: the switch
    XPLMDataRef generatorOn = nullptr;     // 12.1 on
    XPLMDataRef generatorVolts = nullptr;  // 12.1 on
    XPLMDataRef overrideVolts = nullptr;   // 12.1 on: our cart gives the volts
    XPLMDataRef onGround = nullptr;
    bool switchedOnByUs = false;
};
ExternalPower gPower;

// The generator's datarefs exist only from 12.1: never write through a missing handle.
void SetIfPresent(XPLMDataRef ref, int value) {
    if (ref != nullptr) XPLMSetDatai(ref, value);
}

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

void Unschedule(XPLMFlightLoop_f loop, bool& registered) {
    if (!registered) return;
    XPLMUnregisterFlightLoopCallback(loop, nullptr);
    registered = false;
}

// The warm-up is over: the cart's power reaches the aircraft's bus.
void SwitchExternalPowerOn() {
    if (gPower.generatorVolts != nullptr) {
        // An aircraft that wants other volts (115 V AC, say) has them there already.
        const float volts = XPLMGetDataf(gPower.generatorVolts);
        SetIfPresent(gPower.overrideVolts, 1);
        XPLMSetDataf(gPower.generatorVolts, volts > 0.0f ? volts : kDefaultGpuVolts);
        SetIfPresent(gPower.generatorOn, 1);
    }
    XPLMSetDatai(gPower.gpuOn, 1);
    gPower.switchedOnByUs = true;
    ScheduleNextFrame(ExternalPowerWatchLoop, gWatchRegistered);
}

// Only what we switched on: the simulator's own ground power, or another plug-in's, stays.
void SwitchExternalPowerOff() {
    Unschedule(ExternalPowerWatchLoop, gWatchRegistered);
    if (!gPower.switchedOnByUs) return;
    gPower.switchedOnByUs = false;
    SetIfPresent(gPower.gpuOn, 0);
    SetIfPresent(gPower.generatorOn, 0);
    SetIfPresent(gPower.overrideVolts, 0);
}

void (*gGpuChangeListener)() = nullptr;

void TellListener() {
    if (gGpuChangeListener != nullptr) gGpuChangeListener();
}

void Disconnected() {
    Unschedule(BatteryFeedLoop, gFeedRegistered);
    SwitchExternalPowerOff();
    gGpu.gpuConnected = false;
    gGpu.gpuRunning = false;
    TellListener();
}

}  // namespace

void SetGpuChangeListener(void (*listener)()) {
    gGpuChangeListener = listener;
}

void LookupExternalPower() {
    gPower = ExternalPower{};
    gPower.gpuOn = XPLMFindDataRef("sim/cockpit/electrical/gpu_on");
    gPower.onGround = XPLMFindDataRef("sim/flightmodel/failures/onground_any");
    if (gPower.gpuOn == nullptr) return;  // no simulator before 9.50 has the generator either
    gPower.generatorOn = XPLMFindDataRef("sim/cockpit2/electrical/GPU_generator_on");
    if (gPower.generatorOn == nullptr) return;
    gPower.generatorVolts = XPLMFindDataRef("sim/cockpit2/electrical/GPU_generator_volts");
    gPower.overrideVolts = XPLMFindDataRef("sim/operation/override/override_GPU_volts");
}

bool HasExternalPower() {
    return gPower.gpuOn != nullptr;
}

bool AircraftFlying() {
    if (gPower.onGround != nullptr && XPLMGetDatai(gPower.onGround) == 0) return true;
    return XPLMGetDataf(gHostData.yAgl) > kAirborneHeight;
}

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

void DisconnectGpu() {
    SayGpu("%s GPU is OFF and disconnected");
    Broadcast(kGpuOff);
    Disconnected();
}

void ConnectGpu() {
    if (AircraftFlying()) {
        // The crew cannot reach an aircraft in flight; whatever was connected stays so.
        SayGpu("%s negative, we can't hook up the GPU while you are airborne");
        BroadcastGpuStatus();
        return;
    }
    PlaceGpu();
    gGpu.gpuVisible = true;
    SayGpu("Roger %s GPU is hooked up and warming up");
    gGpu.warmupEndsAt = static_cast<double>(ElapsedSeconds() + 15.0L);
    ScheduleNextFrame(GpuWarmupLoop, gWarmupRegistered);
    // Warming up anew: no external power until this warm-up ends. (A battery feed already
    // running goes on, as it always has.)
    SwitchExternalPowerOff();
    gGpu.gpuConnected = true;
    gGpu.gpuRunning = false;
    TellListener();
}

void ToggleGpu() {
    if (gGpu.gpuConnected) {
        DisconnectGpu();
    } else {
        ConnectGpu();
    }
}

void ResetGpu(bool hideCart) {
    if (gGpu.gpuConnected) Broadcast(kGpuOff);
    Disconnected();
    if (hideCart) gGpu.gpuVisible = false;
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
    if (HasExternalPower()) SwitchExternalPowerOn();
    Broadcast(kGpuRunning);
    gGpu.gpuRunning = true;
    SayGpu("%s GPU is running");
    if (!HasExternalPower() && gGpu.batteryFeedEnabled) {
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

// The aircraft or another plug-in may switch the power off behind our back: the crew then
// unplugs the cart once rather than switching it on again every frame.
float ExternalPowerWatchLoop(float, float, int, void*) {
    if (!gGpu.gpuConnected || !gPower.switchedOnByUs) return 0.0f;
    if (XPLMGetDatai(gPower.gpuOn) != 0) return 0.25f;
    gPower.switchedOnByUs = false;  // already off: nothing of ours to switch
    SetIfPresent(gPower.generatorOn, 0);
    SetIfPresent(gPower.overrideVolts, 0);
    SayGpu("%s GPU is OFF and disconnected");
    Broadcast(kGpuOff);
    Unschedule(BatteryFeedLoop, gFeedRegistered);
    gGpu.gpuConnected = false;
    gGpu.gpuRunning = false;
    TellListener();
    gWatchRegistered = true;  // returning 0 parks it; rescheduled at the next warm-up's end
    return 0.0f;
}

}  // namespace tarvosk
