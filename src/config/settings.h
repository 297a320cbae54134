// The user's settings: process-wide plain values named by their properties-file keys.
//
// The properties map is only their storage form; the shell reads them from the map at every
// enable and stores them back at every disable. Every subsystem reads them directly.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace tarvosk {

struct Settings {
    bool SWITCH_VIEW = true;           // outside view when a pushback is announced
    bool AURAL_CREW_MESSAGE = true;    // speak the crew's messages
    bool WRITTEN_CREW_MESSAGE = true;  // show the crew's messages in the crew window
    bool DRAW_TRUCK = true;            // draw the tug
    bool FRONT_WHEEL = true;           // push on the nose gear (off: on the main gear)
    float TRUCK_SPEED = 10.0f;         // within its range below; set it with SetTruckSpeed
    double truckSpeedFactor = 0.1;     // derived: TRUCK_SPEED / 100; units per frame
    bool SPEED_PER_SECOND = false;     // TRUCK_SPEED in tenths of a unit per second instead
    bool HANDLE_GPU = true;            // GPU menu item, cart drawing and GPU crew messages
    bool ALLOW_ENGN_ON = false;        // allow a pushback with engines running
    bool MANUAL_RUDDER = true;         // the pilot's yaw axis steers the manual kinds
    bool ANSWER_XP_PUSHBACK = true;    // X-Plane 12's pushback commands bring Tarvosk's tug
    int TruckView_KEY = 123;           // virtual key of the truck-view hot key (F12)
    float TRAFFIC_CLEARANCE = 3.0f;    // metres kept from other aircraft; 0 turns the watch off
    std::string Truck;                 // selected truck name, at most 99 characters
};

// The one instance, shared by every subsystem.
extern Settings gSettings;

// The simulator's version number (first result of XPLMGetVersions), set by XPluginStart;
// it selects folders, dataref names and gear indices.
extern int gXplaneVersion;

// Sets every setting to its default, leaving Truck as it is.
void ApplyDefaultSettings();

// The settings that hold a number. Each is held to its range below wherever its value comes
// from: the properties file, the Preferences window (whose slider spans the same range).
enum class NumericSetting { TruckSpeed, TruckViewKey, TrafficClearance };

struct NumericRange {
    NumericSetting setting;
    const char* key;  // its properties-file key
    double minimum;
    double maximum;
    bool whole;  // a whole number, read as "%d" reads it; otherwise as "%f" does
};

// In the order of NumericSetting.
inline constexpr std::array<NumericRange, 3> kNumericRanges{{
    // At 0 the tug never reaches the aircraft and every pushback waits for ever; 1 (a hundredth
    // of a unit per frame, a tenth of a unit per second) is the slowest that still moves it.
    {NumericSetting::TruckSpeed, "TRUCK_SPEED", 1.0, 50.0, false},
    // The key sniffer keeps the host's virtual key as a signed char, widened: every key code
    // (0x08 to 0xBD) lies in this range, those from 0x80 on as negative numbers.
    {NumericSetting::TruckViewKey, "TruckView_KEY", -128.0, 127.0, true},
    // Metres between our swept footprint and another aircraft's before the tug holds.
    {NumericSetting::TrafficClearance, "TRAFFIC_CLEARANCE", 0.0, 20.0, false},
}};

constexpr const NumericRange& RangeOf(NumericSetting setting) {
    return kNumericRanges[static_cast<std::size_t>(setting)];
}

// TRUCK_SPEED := `speed` held to its range (NaN: the default), and the speed factor with it.
void SetTruckSpeed(double speed);

// The setting's value from its properties-file text. A number outside the range is held to
// it; text that is not a number (NaN too) gives `fallback`. Either way a "[WRNG]" log line
// names the key, the text read and the value used. Empty text (the file lacks the key) gives
// `fallback` without a word.
double ReadNumericSetting(NumericSetting setting, const std::string& text, double fallback);

}  // namespace tarvosk
