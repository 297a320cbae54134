// The datarefs under "quorren/tarvosk/": status codes other plug-ins read and write to drive
// the pushback and the GPU, the positions of the tug and the cart, and the manual kinds'
// mode, steering and the present speed.
#include "shell/published_datarefs.h"

#include <cmath>

#include "pushback/manual_drive.h"
#include "pushback/planned_motion.h"
#include "pushback/pushback.h"
#include "pushback/stand_memory.h"
#include "pushback/traffic_watch.h"
#include "xplm/host.h"

namespace tarvosk {

namespace {

constexpr int kPublishedCount = 20;
XPLMDataRef gHandles[kPublishedCount] = {};

// Another plug-in's NaN or infinity would be drawn and followed by the camera: positions and
// the heading keep their last finite value.
bool Finite(double v) {
    return std::isfinite(v);
}

// Reads 1 straight, 2 tail right, 3 tail left; 0 when nothing is ordered.
int ReadPushbackStatus(void*) {
    if (!gPushback.pushRequested) return 0;
    return StatusRead(gPushback.direction);
}

// The kinds' status values start a pushback (no pre-check); anything else only stops.
void WritePushbackStatus(void*, int value) {
    StartFromStatusWrite(value);
}

// 0 off, 1 warming up, 2 running.
int ReadGpuStatus(void*) {
    if (!gGpu.gpuConnected) return 0;
    return gGpu.gpuRunning ? 2 : 1;
}

// 1 connect, 2 disconnect, 3 no battery feed: not the read codes.
void WriteGpuStatus(void*, int value) {
    if (value == 1) {
        ConnectGpu();
    } else if (value == 2) {
        DisconnectGpu();
    } else if (value == 3) {
        gGpu.batteryFeedEnabled = false;
    }
}

double ReadTruckX(void*) {
    return gTruck.truckX;
}
double ReadTruckY(void*) {
    return gTruck.truckY;
}
double ReadTruckZ(void*) {
    return gTruck.truckZ;
}
void WriteTruckX(void*, double v) {
    if (Finite(v)) gTruck.truckX = v;
}
void WriteTruckY(void*, double v) {
    if (Finite(v)) gTruck.truckY = v;
}
void WriteTruckZ(void*, double v) {
    if (Finite(v)) gTruck.truckZ = v;
}
float ReadTruckHeading(void*) {
    return gTruck.truckHeading;
}
void WriteTruckHeading(void*, float v) {
    if (Finite(v)) gTruck.truckHeading = v;
}

// The cart's position is kept in doubles but published as floats.
float ReadGpuX(void*) {
    return static_cast<float>(gGpu.gpuX);
}
float ReadGpuY(void*) {
    return static_cast<float>(gGpu.gpuY);
}
float ReadGpuZ(void*) {
    return static_cast<float>(gGpu.gpuZ);
}
void WriteGpuX(void*, float v) {
    if (Finite(v)) gGpu.gpuX = v;
}
void WriteGpuY(void*, float v) {
    if (Finite(v)) gGpu.gpuY = v;
}
void WriteGpuZ(void*, float v) {
    if (Finite(v)) gGpu.gpuZ = v;
}

// 0 none, 1 manual push, 2 manual tow.
int ReadManualMode(void*) {
    return gManual.mode;
}

float ReadManualSteer(void*) {
    return gManual.steer;
}
// A cockpit that steers through the plug-in: added to the commands and the pedals.
void WriteManualSteer(void*, float v) {
    SetCockpitSteer(v);
}

// m/s along the aircraft's path, for every kind.
float ReadSpeed(void*) {
    return static_cast<float>(gPace.speed);
}

// The plan, written by cockpits and other plug-ins: held to its limits, and from then on it
// wins over the plan stored for the stand.
void WritePlanValue(double PushPlan::*value, float v) {
    if (std::isnan(v)) return;
    PushPlan plan = gPlan.plan;
    plan.*value = v;
    gPlan.plan = ClampPlan(plan, nullptr);
    gPlan.writtenFromOutside = true;
}
float ReadPlanStraight(void*) {
    return static_cast<float>(gPlan.plan.straight);
}
void WritePlanStraight(void*, float v) {
    WritePlanValue(&PushPlan::straight, v);
}
float ReadPlanTurn(void*) {
    return static_cast<float>(gPlan.plan.turn);
}
void WritePlanTurn(void*, float v) {
    WritePlanValue(&PushPlan::turn, v);
}
float ReadPlanAfter(void*) {
    return static_cast<float>(gPlan.plan.after);
}
void WritePlanAfter(void*, float v) {
    WritePlanValue(&PushPlan::after, v);
}

// Where the reference point stops and the heading it stops at.
double ReadPlanEndX(void*) {
    return PlannedEnd().x;
}
double ReadPlanEndZ(void*) {
    return PlannedEnd().z;
}
float ReadPlanEndHeading(void*) {
    const double h = std::fmod(PlannedEnd().heading, 360.0);
    return static_cast<float>(h < 0.0 ? h + 360.0 : h);
}

// Traffic watch: 1 while the tug is held for another aircraft; metres to the nearest one.
int ReadTrafficHold(void*) {
    return TrafficHolds() ? 1 : 0;
}
float ReadClearance(void*) {
    return TrafficClearance();
}

XPLMDataRef PublishInt(const char* name, XPLMGetDatai_f read, XPLMSetDatai_f write) {
    return XPLMRegisterDataAccessor(name, xplmType_Int, write != nullptr ? 1 : 0, read, write,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr);
}

XPLMDataRef PublishFloat(const char* name, XPLMGetDataf_f read, XPLMSetDataf_f write) {
    return XPLMRegisterDataAccessor(name, xplmType_Float, write != nullptr ? 1 : 0, nullptr,
                                    nullptr, read, write, nullptr, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

XPLMDataRef PublishDouble(const char* name, XPLMGetDatad_f read, XPLMSetDatad_f write) {
    return XPLMRegisterDataAccessor(name, xplmType_Double, write != nullptr ? 1 : 0, nullptr,
                                    nullptr, nullptr, nullptr, read, write, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

void RegisterPublishedDatarefs() {
    gHandles[0] = PublishInt("quorren/tarvosk/PBstatus", ReadPushbackStatus, WritePushbackStatus);
    gHandles[1] = PublishInt("quorren/tarvosk/GPUstatus", ReadGpuStatus, WriteGpuStatus);
    gHandles[2] = PublishDouble("quorren/tarvosk/truck/position_ogl_x", ReadTruckX, WriteTruckX);
    gHandles[3] = PublishDouble("quorren/tarvosk/truck/position_ogl_y", ReadTruckY, WriteTruckY);
    gHandles[4] = PublishDouble("quorren/tarvosk/truck/position_ogl_z", ReadTruckZ, WriteTruckZ);
    gHandles[5] =
        PublishFloat("quorren/tarvosk/truck/position_hdg", ReadTruckHeading, WriteTruckHeading);
    gHandles[6] = PublishFloat("quorren/tarvosk/GPU/position_ogl_x", ReadGpuX, WriteGpuX);
    gHandles[7] = PublishFloat("quorren/tarvosk/GPU/position_ogl_y", ReadGpuY, WriteGpuY);
    gHandles[8] = PublishFloat("quorren/tarvosk/GPU/position_ogl_z", ReadGpuZ, WriteGpuZ);
    gHandles[9] = PublishInt("quorren/tarvosk/manual/mode", ReadManualMode, nullptr);
    gHandles[10] = PublishFloat("quorren/tarvosk/manual/steer", ReadManualSteer, WriteManualSteer);
    gHandles[11] = PublishFloat("quorren/tarvosk/speed", ReadSpeed, nullptr);
    gHandles[12] =
        PublishFloat("quorren/tarvosk/plan/straight", ReadPlanStraight, WritePlanStraight);
    gHandles[13] = PublishFloat("quorren/tarvosk/plan/turn", ReadPlanTurn, WritePlanTurn);
    gHandles[14] = PublishFloat("quorren/tarvosk/plan/after", ReadPlanAfter, WritePlanAfter);
    gHandles[15] = PublishDouble("quorren/tarvosk/plan/end_x", ReadPlanEndX, nullptr);
    gHandles[16] = PublishDouble("quorren/tarvosk/plan/end_z", ReadPlanEndZ, nullptr);
    gHandles[17] = PublishFloat("quorren/tarvosk/plan/end_heading", ReadPlanEndHeading, nullptr);
    gHandles[18] = PublishInt("quorren/tarvosk/traffic_hold", ReadTrafficHold, nullptr);
    gHandles[19] = PublishFloat("quorren/tarvosk/clearance", ReadClearance, nullptr);
}

void UnregisterPublishedDatarefs() {
    for (XPLMDataRef& handle : gHandles) {
        if (handle != nullptr) XPLMUnregisterDataAccessor(handle);
        handle = nullptr;
    }
}

}  // namespace tarvosk
