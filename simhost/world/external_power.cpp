#include "world/external_power.h"

#include <algorithm>

#include "sdk/datarefs.h"
#include "world/aircraft.h"

namespace simhost::detail {

namespace {

// Batteries on a powered bus charge towards their full voltage, slowly, as the simulator's
// electrical model does at this level of detail.
constexpr float kBatteryFull = 24.0f;
constexpr float kChargeVoltsPerSecond = 0.01f;
// How far above its resting height the aircraft may be and still stand on its wheels.
constexpr float kGroundContactSlack = 0.5f;

float WheelsTouchAt(const Aircraft& a) {
    float lowest = 0;
    for (const GearLeg* g : {&a.nose, &a.mainLeft, &a.mainRight})
        lowest = std::max(lowest, g->legLength + g->tyreRadius - g->y);
    return lowest;
}

}  // namespace

void RegisterExternalPower(DatarefRegistry& data, const Aircraft& a, int version,
                           const std::vector<std::string>& omitted, ExternalPowerRefs* p) {
    auto add = [&](const char* name, int type, bool writable) {
        const bool listed = std::find(omitted.begin(), omitted.end(), name) == omitted.end();
        return data.AddSim(name, type, writable, listed);
    };
    *p = ExternalPowerRefs{};
    p->receptacleVolts = a.groundPowerVolts;
    p->wheelsTouchAt = WheelsTouchAt(a);
    p->engines = a.engines;
    p->battery = data.FindAny("sim/flightmodel/engine/ENGN_bat_volt");
    p->onGround = add("sim/flightmodel/failures/onground_any", xplmType_Int, false);
    if (version >= 900) {
        p->busVolts = add("sim/cockpit2/electrical/bus_volts", xplmType_FloatArray, false);
        p->busVolts->vf.assign(6, 0.0f);
    }
    if (version >= kFirstGpuSwitchVersion) {
        p->gpuOn = add("sim/cockpit/electrical/gpu_on", xplmType_Int, true);
        p->annunciator =
            add("sim/cockpit/warnings/annunciators/external_power_on", xplmType_Int, false);
    }
    if (version >= kFirstGpuGeneratorVersion) {
        p->generatorOn = add("sim/cockpit2/electrical/GPU_generator_on", xplmType_Int, true);
        p->generatorVolts =
            add("sim/cockpit2/electrical/GPU_generator_volts", xplmType_Float, true);
        p->generatorVolts->f = a.groundPowerVolts;
        p->generatorAmps = add("sim/cockpit2/electrical/GPU_generator_amps", xplmType_Float, true);
        p->canBeCalledFor =
            add("sim/cockpit2/electrical/GPU_can_be_called_for", xplmType_Int, false);
        p->overrideVolts = add("sim/operation/override/override_GPU_volts", xplmType_Int, true);
    }
}

void UpdateExternalPower(ExternalPowerRefs& p, const AircraftRefs& a, double dt) {
    if (!p.holdOnGround) p.onGround->i = a.yAgl->f <= p.wheelsTouchAt + kGroundContactSlack;
    const bool onGround = p.onGround->i != 0;
    const bool receptacle = p.receptacleVolts > 0;
    if (p.canBeCalledFor) p.canBeCalledFor->i = onGround && receptacle ? 1 : 0;
    const bool powered = p.gpuOn && p.gpuOn->i != 0 && receptacle && onGround;
    if (p.annunciator) p.annunciator->i = powered ? 1 : 0;
    float volts = p.receptacleVolts;
    if (p.generatorVolts) {
        if (p.overrideVolts && p.overrideVolts->i != 0)
            volts = p.generatorVolts->f;  // a plug-in's cart gives what it says
        else
            p.generatorVolts->f = p.receptacleVolts;
    }
    if (p.generatorAmps && !(p.overrideVolts && p.overrideVolts->i != 0))
        p.generatorAmps->f = powered ? 40.0f : 0.0f;
    const int n = std::clamp(p.engines, 0, static_cast<int>(p.battery->vf.size()));
    if (powered && dt > 0) {
        for (int k = 0; k < n; ++k) {
            float& v = p.battery->vf[static_cast<std::size_t>(k)];
            if (v < kBatteryFull)
                v = std::min(kBatteryFull, v + static_cast<float>(dt) * kChargeVoltsPerSecond);
        }
    }
    if (p.busVolts) p.busVolts->vf[0] = powered ? volts : (n > 0 ? p.battery->vf[0] : 0.0f);
}

void ExternalPowerWritten(ExternalPowerRefs& p, const AircraftRefs& a, const DatarefEntry* e) {
    const bool mine = e == p.gpuOn || e == p.generatorOn || e == p.generatorVolts ||
                      e == p.overrideVolts || e == p.onGround || e == a.yAgl;
    if (e == nullptr || !mine) return;
    if (p.generatorOn && p.gpuOn) {
        if (e == p.gpuOn) p.generatorOn->i = p.gpuOn->i != 0 ? 1 : 0;
        if (e == p.generatorOn) p.gpuOn->i = p.generatorOn->i != 0 ? 1 : 0;
    }
    UpdateExternalPower(p, a, 0);
}

void SwitchExternalPower(ExternalPowerRefs& p, const AircraftRefs& a, int how) {
    if (!p.gpuOn) return;
    p.gpuOn->i = how == 0 ? 1 : how == 1 ? 0 : (p.gpuOn->i != 0 ? 0 : 1);
    ExternalPowerWritten(p, a, p.gpuOn);
}

}  // namespace simhost::detail
