// X-Plane's own ground power: the GPU switch, the cockpit's annunciator, the bus it feeds and
// the GPU commands, each present only in the simulator versions that have it.
#pragma once

#include <string>
#include <vector>

namespace simhost::detail {

struct Aircraft;
struct AircraftRefs;
struct DatarefEntry;
class DatarefRegistry;

// The simulator versions that brought the datarefs and commands.
inline constexpr int kFirstGpuSwitchVersion = 950;       // gpu_on and the annunciator
inline constexpr int kFirstGpuGeneratorVersion = 12100;  // the generator, its commands

struct ExternalPowerRefs {
    DatarefEntry* onGround = nullptr;  // sim/flightmodel/failures/onground_any
    DatarefEntry* busVolts = nullptr;
    DatarefEntry* battery = nullptr;
    DatarefEntry *gpuOn = nullptr, *annunciator = nullptr;  // 9.50 on
    DatarefEntry *generatorOn = nullptr, *generatorVolts = nullptr, *generatorAmps = nullptr,
                 *canBeCalledFor = nullptr, *overrideVolts = nullptr;  // 12.1 on
    float receptacleVolts = 0;  // 0: the aircraft has no ground-power receptacle
    float wheelsTouchAt = 0;    // height above ground of the reference point on its wheels
    int engines = 0;
    bool holdOnGround = false;  // a scenario pinned onground_any
};

// Registers the datarefs `xplaneVersion` has; names in `omitted` stay unlisted.
void RegisterExternalPower(DatarefRegistry& data, const Aircraft& a, int xplaneVersion,
                           const std::vector<std::string>& omitted, ExternalPowerRefs* refs);
// The state the switch and the aircraft give: on-ground, annunciator, bus volts; `dt` seconds
// of battery charge.
void UpdateExternalPower(ExternalPowerRefs& p, const AircraftRefs& a, double dt);
// After anyone wrote entry `e` (a plug-in or a scenario): gpu_on and the generator are one
// switch, and what they light follows at once.
void ExternalPowerWritten(ExternalPowerRefs& p, const AircraftRefs& a, const DatarefEntry* e);
// X-Plane's own handler of sim/electrical/GPU_on, GPU_off and GPU_toggle (0, 1, 2).
void SwitchExternalPower(ExternalPowerRefs& p, const AircraftRefs& a, int how);

}  // namespace simhost::detail
