#include "shell/settings_store.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/settings.h"
#include "config/version.h"

namespace tarvosk {

namespace {

constexpr int kDefaultTruckViewKey = 123;  // F12
constexpr std::size_t kMaxTruckName = 99;

// A leading decimal integer, as "%d" reads it (blanks first, trailing text ignored).
bool ParseInt(const std::string& text, int& out) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

bool ReadSwitch(QN_Properties& properties, const char* key, bool fallback) {
    int value = 0;
    return ParseInt(properties[key], value) ? value == 1 : fallback;
}

// The first blank-free word, as "%s" reads it.
std::string FirstWord(const std::string& text) {
    std::size_t begin = 0;
    while (begin < text.size() && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    std::size_t end = begin;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    return text.substr(begin, std::min(end - begin, kMaxTruckName));
}

const char* Switch(bool on) {
    return on ? "1" : "0";
}

}  // namespace

void ReadSettings(QN_Properties& properties) {
    const Settings defaults;
    Settings& s = gSettings;
    s.TruckView_KEY = static_cast<int>(ReadNumericSetting(
        NumericSetting::TruckViewKey, properties["TruckView_KEY"], defaults.TruckView_KEY));
    int keyFlags = 0;
    if (ParseInt(properties["TruckView_KF"], keyFlags) && keyFlags == 0) {
        s.TruckView_KEY = kDefaultTruckViewKey;
    }
    s.SWITCH_VIEW = ReadSwitch(properties, "SWITCH_VIEW", defaults.SWITCH_VIEW);
    s.AURAL_CREW_MESSAGE =
        ReadSwitch(properties, "AURAL_CREW_MESSAGE", defaults.AURAL_CREW_MESSAGE);
    s.WRITTEN_CREW_MESSAGE =
        ReadSwitch(properties, "WRITTEN_CREW_MESSAGE", defaults.WRITTEN_CREW_MESSAGE);
    s.DRAW_TRUCK = ReadSwitch(properties, "DRAW_TRUCK", defaults.DRAW_TRUCK);
    s.FRONT_WHEEL = ReadSwitch(properties, "FRONT_WHEEL", defaults.FRONT_WHEEL);
    s.HANDLE_GPU = ReadSwitch(properties, "HANDLE_GPU", defaults.HANDLE_GPU);
    SetTruckSpeed(ReadNumericSetting(NumericSetting::TruckSpeed, properties["TRUCK_SPEED"],
                                     defaults.TRUCK_SPEED));
    s.ALLOW_ENGN_ON = ReadSwitch(properties, "ALLOW_ENGN_ON", defaults.ALLOW_ENGN_ON);
    s.SPEED_PER_SECOND = ReadSwitch(properties, "SPEED_PER_SECOND", defaults.SPEED_PER_SECOND);
    s.MANUAL_RUDDER = ReadSwitch(properties, "MANUAL_RUDDER", defaults.MANUAL_RUDDER);
    s.ANSWER_XP_PUSHBACK =
        ReadSwitch(properties, "ANSWER_XP_PUSHBACK", defaults.ANSWER_XP_PUSHBACK);
    s.TRAFFIC_CLEARANCE = static_cast<float>(ReadNumericSetting(NumericSetting::TrafficClearance,
                                                                properties["TRAFFIC_CLEARANCE"],
                                                                defaults.TRAFFIC_CLEARANCE));
    s.Truck = FirstWord(properties["Truck"]);
}

void StoreSettings(QN_Properties& properties) {
    const Settings& s = gSettings;
    char number[64];
    properties["VERSION"] = kTarvoskVersion;
    properties["SWITCH_VIEW"] = Switch(s.SWITCH_VIEW);
    properties["AURAL_CREW_MESSAGE"] = Switch(s.AURAL_CREW_MESSAGE);
    properties["WRITTEN_CREW_MESSAGE"] = Switch(s.WRITTEN_CREW_MESSAGE);
    properties["DRAW_TRUCK"] = Switch(s.DRAW_TRUCK);
    properties["FRONT_WHEEL"] = Switch(s.FRONT_WHEEL);
    std::snprintf(number, sizeof number, "%f", static_cast<double>(s.TRUCK_SPEED));
    properties["TRUCK_SPEED"] = number;
    properties["HANDLE_GPU"] = Switch(s.HANDLE_GPU);
    properties["ALLOW_ENGN_ON"] = Switch(s.ALLOW_ENGN_ON);
    properties["SPEED_PER_SECOND"] = Switch(s.SPEED_PER_SECOND);
    properties["MANUAL_RUDDER"] = Switch(s.MANUAL_RUDDER);
    properties["ANSWER_XP_PUSHBACK"] = Switch(s.ANSWER_XP_PUSHBACK);
    std::snprintf(number, sizeof number, "%f", static_cast<double>(s.TRAFFIC_CLEARANCE));
    properties["TRAFFIC_CLEARANCE"] = number;
    properties["Truck"] = s.Truck;
    std::snprintf(number, sizeof number, "%d", s.TruckView_KEY);
    properties["TruckView_KEY"] = number;
    properties["TruckView_KF"] = "8";
}

}  // namespace tarvosk
