#include "pushback/host_data.h"

#include "config/settings.h"

namespace tarvosk {

HostDatarefs gHostData;

namespace {

struct Row {
    XPLMDataRef HostDatarefs::*handle;
    const char* name;       // host version at or above `newSince`
    const char* olderName;  // below it (nullptr: the same name)
    int newSince;
    bool required;
};

// Lookup order matters to nobody but the log reader; keep it as the table's.
constexpr Row kRows[] = {
    {&HostDatarefs::theta, "sim/flightmodel/position/theta", "sim/flightmodel/position/the", 730,
     true},
    {&HostDatarefs::localX, "sim/flightmodel/position/local_x", nullptr, 0, true},
    {&HostDatarefs::localZ, "sim/flightmodel/position/local_z", nullptr, 0, true},
    {&HostDatarefs::localY, "sim/flightmodel/position/local_y", nullptr, 0, false},
    {&HostDatarefs::psi, "sim/flightmodel/position/psi", nullptr, 0, true},
    {&HostDatarefs::phi, "sim/flightmodel/position/phi", nullptr, 0, true},
    {&HostDatarefs::R, "sim/flightmodel/position/R", nullptr, 0, true},
    {&HostDatarefs::q, "sim/flightmodel/position/q", nullptr, 0, true},
    {&HostDatarefs::groundspeed, "sim/flightmodel/position/groundspeed", nullptr, 0, true},
    {&HostDatarefs::yAgl, "sim/flightmodel/position/y_agl", nullptr, 0, true},
    {&HostDatarefs::gearX, "sim/aircraft/parts/acf_gear_xnodef", nullptr, 0, true},
    {&HostDatarefs::gearY, "sim/aircraft/parts/acf_gear_ynodef", nullptr, 0, true},
    {&HostDatarefs::gearZ, "sim/aircraft/parts/acf_gear_znodef", nullptr, 0, true},
    {&HostDatarefs::gearLegLength, "sim/aircraft/parts/acf_gear_leglen", nullptr, 0, true},
    {&HostDatarefs::gearTyreRadius, "sim/aircraft/parts/acf_gear_tirrad", nullptr, 0, true},
    {&HostDatarefs::yokeHeadingRatio, "sim/joystick/yolk_heading_ratio", nullptr, 0, true},
    {&HostDatarefs::overrideJoystickHeading, "sim/operation/override/override_joystick_heading",
     nullptr, 0, true},
    {&HostDatarefs::hasJoystick, "sim/joystick/has_joystick", nullptr, 0, true},
    {&HostDatarefs::pluginGroundCenter, "sim/flightmodel/ground/plugin_ground_center", nullptr, 0,
     true},
    {&HostDatarefs::parkBrake, "sim/flightmodel/controls/parkbrake", nullptr, 0, true},
    {&HostDatarefs::gearHandleStatus, "sim/cockpit/switches/gear_handle_status", nullptr, 0, true},
    {&HostDatarefs::cockpitLightsOn, "sim/cockpit/electrical/cockpit_lights_on", nullptr, 0, true},
    {&HostDatarefs::viewIsExternal, "sim/graphics/view/view_is_external", nullptr, 0, true},
    {&HostDatarefs::viewType, "sim/graphics/view/view_type", nullptr, 0, true},
    {&HostDatarefs::engineN1, "sim/flightmodel/engine/ENGN_N1_", "sim/flightmodel/engine/ENGN_N1",
     740, true},
    {&HostDatarefs::tailNumber, "sim/aircraft/view/acf_tailnum", nullptr, 0, true},
    {&HostDatarefs::sizeX, "sim/aircraft/view/acf_size_x", nullptr, 0, false},
    {&HostDatarefs::sizeZ, "sim/aircraft/view/acf_size_z", nullptr, 0, false},
    {&HostDatarefs::textOut, "sim/operation/prefs/text_out", nullptr, 0, true},
    {&HostDatarefs::paused, "sim/time/paused", nullptr, 0, true},
    {&HostDatarefs::numEngines, "sim/aircraft/engine/acf_num_engines", nullptr, 0, true},
    {&HostDatarefs::batteryVolts, "sim/flightmodel/engine/ENGN_bat_volt", nullptr, 0, true},
};
static_assert(sizeof kRows / sizeof kRows[0] == 32);

}  // namespace

const char* HostDatarefName(int row, int xplaneVersion) {
    if (row < 1 || row > 32) return nullptr;
    const Row& r = kRows[row - 1];
    return r.olderName != nullptr && xplaneVersion < r.newSince ? r.olderName : r.name;
}

bool LookupHostDatarefs() {
    // Every lookup is made, so the handles that exist are usable even when the gate fails.
    for (int row = 1; row <= 32; ++row) {
        gHostData.*kRows[row - 1].handle = XPLMFindDataRef(HostDatarefName(row, gXplaneVersion));
    }
    gHostData.gearType = XPLMFindDataRef("sim/aircraft/parts/acf_gear_type");
    gHostData.gearSteers = XPLMFindDataRef("sim/aircraft/overflow/acf_gear_steers");
    bool complete = true;
    for (const Row& r : kRows) {
        if (r.required && gHostData.*r.handle == nullptr) complete = false;
    }
    return complete;
}

}  // namespace tarvosk
