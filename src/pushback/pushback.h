// Public face of the pushback and ground-services subsystem: the records other subsystems
// read and the operations the shell (lifecycle, menu, published datarefs, messages) calls.
#pragma once

#include "pushback/push_kinds.h"
#include "xplm/host.h"

namespace tarvosk {

// The ordered or running pushback.
struct PushbackState {
    bool pushRequested = false;
    PushKind kind = PushKind::Straight;  // while pushRequested
    PushDirection direction = PushDirection::Straight;
    Steering steering = Steering::None;
    bool pushing = false;    // the push motion loop is moving the aircraft
    int targetHeading = 0;   // whole degrees
    double endPointX = 0.0;  // local x of the end of the straight leg
    // Where the straight leg starts and the unit vector it runs along (x, z), so its end is a
    // distance travelled, whatever the heading.
    double legStartX = 0.0, legStartZ = 0.0;
    double legDirX = 0.0, legDirZ = 0.0;
    TugPhase truckPhase = TugPhase::Idle;
};

struct TruckState {
    double truckX = 0.0, truckY = 0.0, truckZ = 0.0;
    float truckHeading = 0.0f;
    float truckSwing = 0.0f;
    float departureHeading = 0.0f;
    double backedOff = 0.0;  // distance the tug has backed off the gear in this departure
    int noseGear = 0, mainGear = 0;
    int pushedGear = 0;
    int legLength = 10;
    bool truckVisible = false;
};

struct GpuState {
    bool gpuConnected = false;
    bool gpuRunning = false;
    double warmupEndsAt = 0.0;
    bool batteryFeedEnabled = true;
    double feedStartedAt = 0.0;
    float batteryVolts[8] = {};
    double gpuX = 0.0, gpuY = 0.0, gpuZ = 0.0;
    double gpuHeading = 0.0;
    bool gpuVisible = false;
};

extern PushbackState gPushback;
extern TruckState gTruck;
extern GpuState gGpu;

// Inter-plug-in GPU messages.
enum GpuMessage : int {
    kGpuQuery = static_cast<int>(0x88888880u),
    kGpuWarmingUp = static_cast<int>(0x88888881u),
    kGpuRunning = static_cast<int>(0x88888882u),
    kGpuOff = static_cast<int>(0x88888883u),
    kGpuConnect = static_cast<int>(0x88888889u),
    kGpuDisconnect = static_cast<int>(0x8888888Au),
    kGpuStatusQuery = static_cast<int>(0x8888888Bu),
    kGpuNoBatteryFeed = static_cast<int>(0x8888888Cu),
};

// ---- Pushback state machine --------------------------------------------------------------
int PushbackPreCheck();                // 0, or a refusal code -9..-2
const char* RefusalMessage(int code);  // text for codes -9..-2, nullptr otherwise
// The crew's line for a refusal that the aircraft causes (no wheel to push at); else nothing.
void AnnounceRefusal(int code);
void StopPushback();
// Disabling or stopping the plug-in: a pushback under way is stopped, so everything it took
// from the host (the nose-wheel axis) goes back; with none ordered the host is not touched.
void StopPushbackForDisable();
void BeginPushback();
void ComputeEndPoint();
float PushbackSequenceLoop(float sinceLast, float sinceAnyLoop, int counter, void* refcon);

// The lifecycle calls this right after it registers PushbackSequenceLoop at start-up. From
// then on StopPushback reschedules that registration instead of registering a second one.
void MarkSequenceLoopRegistered();

// Orders a pushback of `kind`: the crew announces it and the tug sets off. The callers stop
// what runs and make their checks first.
void StartPushback(PushKind kind);

// A write of `value` to the published pushback-status dataref: any push ordered stops, and a
// value that names a kind starts it without the pre-check (the GPU is disconnected first).
void StartFromStatusWrite(int value);

// ---- Tug geometry ------------------------------------------------------------------------
void ReadAircraftSize();

// ---- Push motion ---------------------------------------------------------------------------
float PushMotionLoop(float sinceLast, float sinceAnyLoop, int counter, void* refcon);

// ---- Crew messages -------------------------------------------------------------------------
float TextRestoreLoop(float sinceLast, float sinceAnyLoop, int counter, void* refcon);
// Gives the pilot's text output back at once if the crew still has it switched off.
void RestoreTextOutputNow();

// ---- Ground power unit ---------------------------------------------------------------------
void ToggleGpu();
void ConnectGpu();     // as ToggleGpu on a GPU that is not connected
void DisconnectGpu();  // as ToggleGpu on a connected GPU: announced and broadcast
void BroadcastGpuStatus();
// The simulator's plane, airport or scenery changed, or the plug-in is going away: the GPU is
// disconnected without a crew message (broadcast when it was connected) and the cart hidden
// when `hideCart`. The external power the plug-in switched on goes off.
void ResetGpu(bool hideCart);

// ---- Truck view ----------------------------------------------------------------------------
void ToggleTruckView(void* refcon);
// Gives the camera back to the simulator if the truck view holds it (disabling the plug-in).
void GiveBackCamera();

// ---- Scene placement (draw callbacks, phase 25, after) -------------------------------------
int DrawTruck(XPLMDrawingPhase phase, int isBefore, void* refcon);
int DrawGpu(XPLMDrawingPhase phase, int isBefore, void* refcon);

}  // namespace tarvosk
