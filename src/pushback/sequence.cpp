// The pushback procedure: refusals, start and stop, and the sequence loop that times the tug's
// approach, the brake dialogue, the tug's departure and the end of the procedure.
#include <algorithm>
#include <cstdio>

#include "config/settings.h"
#include "pushback/crew_messages.h"
#include "pushback/heading_math.h"
#include "pushback/host_io.h"
#include "pushback/manual_drive.h"
#include "pushback/motion_base.h"
#include "pushback/planned_motion.h"
#include "pushback/pushback.h"
#include "pushback/traffic_watch.h"
#include "pushback/tug_geometry.h"
#include "pushback/turns.h"

namespace tarvosk {

namespace {

struct SequenceTimers {
    float tickInterval = 0.0015f;
    float nextTick = 0.0f;
    float hookupDoneAt = 0.0f;
    float departAt = 0.0f;
    bool brakeAsked = false;
    float askAgainAt = 0.0f;
    double lastTugStepAt = 0.0;  // SPEED_PER_SECOND: the tug's steps follow the time between
};
SequenceTimers gTimers;

// 0.1015 as a 32-bit float: 0.101500005.
constexpr float kFirstTickInterval = 0.1015f;
constexpr float kMinTickInterval = 0.0015f;

// Whether the host holds a registration of PushbackSequenceLoop (the shell makes the first).
bool gSequenceLoopRegistered = false;

// Indexed by code + 9: the two gear refusals, then the original codes -7 to -2.
const char* const kRefusals[] = {
    "This aircraft has no wheels behind its centre of gravity;that a tug could push.",
    ("This aircraft has no steerable nose wheel for the tug.;"
     "(You can push on the rear gear: see the preferences panel.)"),
    "This version of Tarvosk is not compatible ; with this version of X-Plane.",
    "You can't start a PushBack while airborne!",
    ("You can't Pushback a plane while the engines are; running. (you can allow this in the "
     "preferences panel."),
    "You can't start a PushBack while taxiing!",
    "Please wait for the current maneuver to finish;before restarting one!",
    "You can't start a PushBack with the GPU running!",
};

float Now() {
    return static_cast<float>(ElapsedSeconds());
}

bool AnyEngineRunning() {
    float n1[kMaxEngines] = {};
    const int n = EngineCount();
    XPLMGetDatavf(gHostData.engineN1, n1, 0, n);
    for (int i = 0; i < n; ++i) {
        if (n1[i] > 5.0f) return true;
    }
    return false;
}

// What the crew says of the move: a push back, or for the manual tow a tow forward.
struct CrewWords {
    const char* starting;
    const char* thanks;
    const char* terminated;
};
constexpr CrewWords kPushWords = {"%s starting push back",
                                  "%s thanks you, we are starting pushback",
                                  "%s push back terminated, cleared to taxi. Good flight !"};
constexpr CrewWords kTowWords = {"%s starting tow", "%s thanks you, we are starting tow",
                                 "%s tow terminated, cleared to taxi. Good flight !"};

const CrewWords& Words() {
    return gManual.mode == kManualTow ? kTowWords : kPushWords;
}

void SayPushback(const char* format, int seconds, int kind) {
    char text[256];
    std::snprintf(text, sizeof text, format, ReadTailNumber().text);
    SayCrewMessage(text, seconds, kind);
}

void SetJoystickOverride(int value) {
    if (XPLMGetDatai(gHostData.hasJoystick) == 1) {
        XPLMSetDatai(gHostData.overrideJoystickHeading, value);
    }
}

// The nose-wheel axis is ours from the announcement to the end of the story: a stop centres
// the steering we wrote and gives the axis back, so the pilot's steering is never left locked.
void GiveBackYawAxis() {
    if (XPLMGetDatai(gHostData.hasJoystick) != 1) return;
    if (gPushback.pushRequested && XPLMGetDatai(gHostData.overrideJoystickHeading) == 1) {
        XPLMSetDataf(gHostData.yokeHeadingRatio, 0.0f);
    }
    XPLMSetDatai(gHostData.overrideJoystickHeading, 0);
}

void ClearPushValues() {
    gPushback.pushing = false;
    gPushback.steering = Steering::None;
    gPushback.direction = PushDirection::Straight;
    gPushback.endPointX = 0.0;
    gPushback.legStartX = gPushback.legStartZ = 0.0;
    gPushback.legDirX = gPushback.legDirZ = 0.0;
    gPushback.pushRequested = false;
    gPushback.targetHeading = 0;
    ResetManualDrive();
    ResetPace();
    ResetTrafficWatch();  // a new push starts unheld
}

void BrakeDialogue() {
    if (XPLMGetDataf(gHostData.parkBrake) == 0.0f) {
        gPushback.truckPhase = TugPhase::Pushing;
        gPushback.pushing = true;
        SayPushback(gTimers.brakeAsked ? Words().thanks : Words().starting, 6, kCrewGreen);
        return;
    }
    if (gTimers.brakeAsked && !(ElapsedSeconds() > gTimers.askAgainAt)) return;
    SayPushback("%s do you confirm brake is released?", 4, kCrewRed);
    gTimers.brakeAsked = true;
    gTimers.askAgainAt = Now() + 6.0f;
}

// With SPEED_PER_SECOND the tug drives TRUCK_SPEED tenths of a unit per second of the time
// since its last step (a hitch counts for a tenth of a second at most), as the push does.
double TugStepDistance() {
    const double now = static_cast<double>(ElapsedSeconds());
    const double dt = std::clamp(now - gTimers.lastTugStepAt, 0.0, 0.1);
    gTimers.lastTugStepAt = now;
    return gSettings.TRUCK_SPEED / 10.0 * dt;
}

// Phase 3 is over: the tug has turned away.
void FinishSequence() {
    SayPushback(Words().terminated, 6, kCrewGreen);
    SetJoystickOverride(0);
    gPushback.truckPhase = TugPhase::Idle;
    XPLMSetDataf(gHostData.parkBrake, 0.0f);
    ClearPushValues();
}

// The push is over (or never began): the tug unhooks and leaves after a pause.
void StartDeparture() {
    gTimers.tickInterval = kFirstTickInterval;
    gPushback.truckPhase = TugPhase::Departing;
    gTimers.departAt = Now() + 1.5f;
    gTimers.lastTugStepAt = gTimers.departAt;
    gTruck.backedOff = 0.0;
}

}  // namespace

void MarkSequenceLoopRegistered() {
    gSequenceLoopRegistered = true;
}

const char* RefusalMessage(int code) {
    if (code < kNoRearWheel || code > -2) return nullptr;
    return kRefusals[code + 9];
}

void AnnounceRefusal(int code) {
    // The crew says why only where the aircraft itself is the reason.
    if (code == kNoNoseWheel) {
        SayPushback("%s we cannot push you, there is no nose wheel for our tug", 6, kCrewRed);
    } else if (code == kNoRearWheel) {
        SayPushback("%s we cannot push you, there is no wheel behind for our tug", 6, kCrewRed);
    }
}

int PushbackPreCheck() {
    const HostDatarefs& d = gHostData;
    if (gPushback.pushing) return -3;
    const float groundSpeed = XPLMGetDataf(d.groundspeed);
    if (XPLMGetDataf(d.yAgl) > 20.0f && groundSpeed > 5.0f) return -6;
    if (groundSpeed > 2.0f && XPLMGetDatai(d.gearHandleStatus) == 1) return -4;
    if (gGpu.gpuConnected) return -2;
    if (AnyEngineRunning() && !gSettings.ALLOW_ENGN_ON) return -5;
    return PushedGearCheck();
}

void StopPushback() {
    gTruck.truckSwing = 0.0f;
    gTruck.backedOff = 0.0;
    gTruck.truckVisible = false;
    gPushback.truckPhase = TugPhase::Idle;
    gTimers.brakeAsked = false;
    // Re-arm the loop for one second from now; rescheduling an existing registration keeps a
    // second instance from running beside it.
    if (gSequenceLoopRegistered) {
        XPLMSetFlightLoopCallbackInterval(PushbackSequenceLoop, 1.0f, 1, nullptr);
    } else {
        XPLMRegisterFlightLoopCallback(PushbackSequenceLoop, 1.0f, nullptr);
        gSequenceLoopRegistered = true;
    }
    GiveBackYawAxis();
    ClearPushValues();
}

void StopPushbackForDisable() {
    if (gPushback.pushRequested) StopPushback();
}

void BeginPushback() {
    const TailNumber tail = ReadTailNumber();
    char text[256];
    std::snprintf(text, sizeof text, "Ok, %s we are ready to %s. Please remove breaks.", tail.text,
                  KindInfo(gPushback.kind).wording);
    SpeakCrewMessage(text);
    PlaceTruckAtStart();
    ReadAircraftSize();
    if (gSettings.SWITCH_VIEW && XPLMGetDatai(gHostData.viewIsExternal) == 0) {
        XPLMCommandButtonPress(xplm_joy_v_spo);
        XPLMCommandButtonRelease(xplm_joy_v_spo);
    }
    ShowCrewText(text, 6, kCrewGreen);
    // A manual kind steered from the pedals leaves the axis to the simulator, which reports it.
    if (!ManualReadsRudder()) SetJoystickOverride(1);
}

void ComputeEndPoint() {
    const double x = XPLMGetDatad(gHostData.localX);
    const HeadingTrig t = HeadingTrig32(XPLMGetDataf(gHostData.psi));
    gPushback.endPointX = x - gTruck.legLength * t.sinH;
    // The push motion moves the aircraft along (-sin h, cos h) with the same trigonometry.
    gPushback.legStartX = x;
    gPushback.legStartZ = XPLMGetDatad(gHostData.localZ);
    gPushback.legDirX = -t.sinH;
    gPushback.legDirZ = t.cosH;
}

void StartPushback(PushKind kind) {
    const PushKindInfo& info = KindInfo(kind);
    gPushback.pushRequested = true;
    gPushback.kind = kind;
    gPushback.direction = info.direction;
    gPushback.steering = info.steering;
    if (info.motion == KindMotion::Manual) {
        PrepareManualKind(kind == PushKind::ManualTow ? kManualTow : kManualPush);
    } else if (info.motion == KindMotion::Planned) {
        PreparePlannedKind();  // the turn's side is the plan's
    }
    BeginPushback();
    TargetHeadingFor(gPushback.direction);  // straight: the heading truncated to whole degrees
    if (gPushback.steering == Steering::LegFirst) ComputeEndPoint();
}

void StartFromStatusWrite(int value) {
    StopPushback();
    const PushKindInfo* info = KindForStatusWrite(value);
    if (info == nullptr) return;
    if (const int refusal = PushedGearCheck()) {  // nothing for the tug to push at
        AnnounceRefusal(refusal);
        return;
    }
    // Started without the pre-check: the aircraft must not leave with the cable still in.
    if (gGpu.gpuConnected) DisconnectGpu();
    StartPushback(info->kind);
}

float PushbackSequenceLoop(float, float, int, void*) {
    if (!(ElapsedSeconds() > gTimers.nextTick)) return -1.0f;
    gTimers.tickInterval =
        gTimers.tickInterval <= kMinTickInterval ? kMinTickInterval : gTimers.tickInterval - 0.005f;
    gTimers.nextTick = Now() + gTimers.tickInterval;
    if (XPLMGetDatai(gHostData.paused) != 0) return -1.0f;

    switch (gPushback.truckPhase) {
        case TugPhase::Announced:
            gTimers.tickInterval = kFirstTickInterval;
            gPushback.truckPhase = TugPhase::Approach;
            gTimers.lastTugStepAt = static_cast<double>(ElapsedSeconds()) + 3.0;
            return 3.0f;
        case TugPhase::Approach: {
            const WorldPoint gear = GearWorldPosition(gTruck.pushedGear);
            if (!TruckArrived(gear.x, gear.z)) {
                if (gSettings.SPEED_PER_SECOND) {
                    StepTruckTowardGear(TugStepDistance());
                } else {
                    StepTruckTowardGear();
                }
                gTimers.hookupDoneAt = Now() + 1.5f;
            } else if (ElapsedSeconds() > gTimers.hookupDoneAt) {
                BrakeDialogue();
            }
            break;
        }
        case TugPhase::Pushing: {
            const WorldPoint gear = GearWorldPosition(gTruck.pushedGear);
            gTruck.truckX = gear.x;
            gTruck.truckY = gear.y;
            gTruck.truckZ = gear.z;
            if (!gPushback.pushing) StartDeparture();
            break;
        }
        case TugPhase::Departing:
            if (ElapsedSeconds() > gTimers.departAt) {
                gTruck.departureHeading = DepartureHeading();
                const bool turning = gSettings.SPEED_PER_SECOND
                                         ? StepTruckDeparture(TugStepDistance())
                                         : StepTruckDeparture();
                if (!turning) {
                    FinishSequence();
                    return 0.0f;
                }
            }
            break;
        case TugPhase::Idle:
            break;
    }
    return -1.0f;
}

}  // namespace tarvosk
