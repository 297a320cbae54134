// The host's datarefs that the pushback and ground services read and write, and the clock.
//
// One table of handles, filled once at start-up by LookupHostDatarefs(); a handle the host
// does not know stays null. Reads and writes go straight to the host through these handles
// (there is no cache). A read through a null handle returns 0 and a write does nothing, so
// code after a failed start-up gate stays harmless.
#pragma once

#include "xplm/host.h"

namespace tarvosk {

struct HostDatarefs {
    XPLMDataRef theta = nullptr;                    // 1  pitch, degrees (float)
    XPLMDataRef localX = nullptr;                   // 2  aircraft local x (double)
    XPLMDataRef localZ = nullptr;                   // 3  aircraft local z (double)
    XPLMDataRef localY = nullptr;                   // 4  aircraft local y (double), optional
    XPLMDataRef psi = nullptr;                      // 5  true heading, degrees (float)
    XPLMDataRef phi = nullptr;                      // 6  roll, degrees (float)
    XPLMDataRef R = nullptr;                        // 7  lookup only
    XPLMDataRef q = nullptr;                        // 8  attitude quaternion (float[4])
    XPLMDataRef groundspeed = nullptr;              // 9  (float)
    XPLMDataRef yAgl = nullptr;                     // 10 height above ground (float)
    XPLMDataRef gearX = nullptr;                    // 11 gear attachment x (float array)
    XPLMDataRef gearY = nullptr;                    // 12 gear attachment y (float array)
    XPLMDataRef gearZ = nullptr;                    // 13 gear attachment z (float array)
    XPLMDataRef gearLegLength = nullptr;            // 14 (float array)
    XPLMDataRef gearTyreRadius = nullptr;           // 15 (float array)
    XPLMDataRef yokeHeadingRatio = nullptr;         // 16 nose-wheel steering input (float)
    XPLMDataRef overrideJoystickHeading = nullptr;  // 17 (int)
    XPLMDataRef hasJoystick = nullptr;              // 18 (int)
    XPLMDataRef pluginGroundCenter = nullptr;       // 19 lookup only
    XPLMDataRef parkBrake = nullptr;                // 20 0 released, 1 set (float)
    XPLMDataRef gearHandleStatus = nullptr;         // 21 (int)
    XPLMDataRef cockpitLightsOn = nullptr;          // 22 lookup only
    XPLMDataRef viewIsExternal = nullptr;           // 23 (int)
    XPLMDataRef viewType = nullptr;                 // 24 lookup only
    XPLMDataRef engineN1 = nullptr;                 // 25 N1 per engine, percent (float array)
    XPLMDataRef tailNumber = nullptr;               // 26 (bytes)
    XPLMDataRef sizeX = nullptr;                    // 27 optional (float)
    XPLMDataRef sizeZ = nullptr;                    // 28 optional (float)
    XPLMDataRef textOut = nullptr;                  // 29 host text output (int)
    XPLMDataRef paused = nullptr;                   // 30 (int)
    XPLMDataRef numEngines = nullptr;               // 31 (int)
    XPLMDataRef batteryVolts = nullptr;             // 32 per engine (float array)

    // Beyond the table, optional: the gear table from which the tug geometry picks the pushed
    // wheel. Hosts without it keep the fixed gear slots.
    XPLMDataRef gearType = nullptr;    // int array: 0 none, 1 skid, 2 and up wheels
    XPLMDataRef gearSteers = nullptr;  // int array: non-zero for gear that steers or castors
};

extern HostDatarefs gHostData;

// Looks up all 32 rows in order (names chosen by the host version), then the optional gear
// table; true when every required row was found (rows 4, 27 and 28 are optional). Called
// once by XPluginStart.
bool LookupHostDatarefs();

// The name looked up for table row `row` (1..32) under host version `xplaneVersion`
// (rows 1 and 25 changed names at 730 and 740); nullptr outside the table.
const char* HostDatarefName(int row, int xplaneVersion);

// Seconds since the first call in this process, on a monotonic clock. Under the simulated
// host it follows the host's virtual time (see clock.cpp).
long double ElapsedSeconds();

// Forgets the origin and the host clock handle: the next ElapsedSeconds() is a first call
// again. XPluginStart calls it, so a host that restarts the plug-in in one process (the
// simulated host's in-process tests) never leaves a stale handle behind.
void RestartElapsedSeconds();

}  // namespace tarvosk
