#include "config/settings.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "config/log.h"

namespace tarvosk {

Settings gSettings;
int gXplaneVersion = 0;

void ApplyDefaultSettings() {
    std::string truck = std::move(gSettings.Truck);
    gSettings = Settings{};
    gSettings.Truck = std::move(truck);
}

namespace {

double HoldToRange(const NumericRange& range, double value) {
    return std::clamp(value, range.minimum, range.maximum);
}

// A leading number as "%d" or "%f" reads it (blanks first, trailing text ignored); NaN when
// there is none. Too large a number is still a number: it comes back as an infinity or the
// largest integer of its sign, to be held to the range.
double ParseNumber(const std::string& text, bool whole) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double value =
        whole ? static_cast<double>(std::strtoll(begin, &end, 10)) : std::strtod(begin, &end);
    return end == begin ? NAN : value;
}

bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; });
}

}  // namespace

void SetTruckSpeed(double speed) {
    const NumericRange& range = RangeOf(NumericSetting::TruckSpeed);
    gSettings.TRUCK_SPEED =
        std::isnan(speed) ? Settings{}.TRUCK_SPEED : static_cast<float>(HoldToRange(range, speed));
    gSettings.truckSpeedFactor = gSettings.TRUCK_SPEED / 100.0;
}

double ReadNumericSetting(NumericSetting setting, const std::string& text, double fallback) {
    if (IsBlank(text)) return fallback;
    const NumericRange& range = RangeOf(setting);
    const double read = ParseNumber(text, range.whole);
    char line[400];
    if (std::isnan(read)) {
        std::snprintf(line, sizeof line,
                      "[WRNG] Setting %s=%.255s is not a number: the default %g is used\n",
                      range.key, text.c_str(), fallback);
        Log(line);
        return fallback;
    }
    const double used = HoldToRange(range, read);
    if (used != read) {
        std::snprintf(line, sizeof line,
                      "[WRNG] Setting %s=%.255s is outside its range %g to %g: %g is used\n",
                      range.key, text.c_str(), range.minimum, range.maximum, used);
        Log(line);
    }
    return used;
}

}  // namespace tarvosk
