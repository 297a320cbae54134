// The user's settings: process-wide plain values named by their properties-file keys.
//
// The properties map is only their storage form; the shell reads them from the map at every
// enable and stores them back at every disable. Every subsystem reads them directly.
#pragma once

#include <string>

namespace tarvosk {

struct Settings {
    bool SWITCH_VIEW = true;           // outside view when a pushback is announced
    bool AURAL_CREW_MESSAGE = true;    // speak the crew's messages
    bool WRITTEN_CREW_MESSAGE = true;  // show the crew's messages in the crew window
    bool DRAW_TRUCK = true;            // draw the tug
    bool FRONT_WHEEL = true;           // push on the nose gear (off: on the main gear)
    float TRUCK_SPEED = 10.0f;         // preferences slider: whole numbers 0 to 50
    double truckSpeedFactor = 0.1;     // derived: TRUCK_SPEED / 100; units per frame
    bool SPEED_PER_SECOND = false;     // TRUCK_SPEED in tenths of a unit per second instead
    bool HANDLE_GPU = true;            // GPU menu item, cart drawing and GPU crew messages
    bool ALLOW_ENGN_ON = false;        // allow a pushback with engines running
    bool MANUAL_RUDDER = true;         // the pilot's yaw axis steers the manual kinds
    int TruckView_KEY = 123;           // virtual key of the truck-view hot key (F12)
    std::string Truck;                 // selected truck name, at most 99 characters
};

// The one instance, shared by every subsystem.
extern Settings gSettings;

// The simulator's version number (first result of XPLMGetVersions), set by XPluginStart;
// it selects folders, dataref names and gear indices.
extern int gXplaneVersion;

// Sets every setting to its default, leaving Truck as it is.
void ApplyDefaultSettings();

}  // namespace tarvosk
