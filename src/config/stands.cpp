#include "config/stands.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "config/atomic_file.h"
#include "config/plain_numbers.h"
#include "platform/files.h"

namespace tarvosk {

namespace {

constexpr double kMetresPerDegree = 111194.9;  // on a sphere of the mean Earth radius
constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kMaxAirportLength = 7;
constexpr char kHeader[] = "# latitude longitude heading airport straight turn after\n";

bool ReadNumber(std::string_view token, double* value) {
    return ParsePlainDecimal(token, value);
}

// Splits at spaces and tabs; false when the line has more than `max` fields.
bool Fields(std::string_view line, std::string_view* fields, int max, int* count) {
    *count = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i == line.size()) break;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (*count == max) return false;
        fields[(*count)++] = line.substr(start, i - start);
    }
    return true;
}

bool AirportToken(std::string_view token, std::string* airport) {
    if (token == "-") {
        airport->clear();
        return true;
    }
    if (token.size() > kMaxAirportLength) return false;
    for (char c : token) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!ok) return false;
    }
    airport->assign(token);
    return true;
}

double HeadingGap(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

std::string Number(double value) {
    return FormatPlainDecimal(value, 7);
}

// A heading just below 360 must not be written as 360, which reads as no heading.
std::string Heading(double heading) {
    const std::string text = Number(heading);
    return text == "360.0" ? "0.0" : text;
}

}  // namespace

double StandDistanceMetres(const StandKey& a, const StandKey& b) {
    const double midLatitude = (a.latitude + b.latitude) / 2.0 * kPi / 180.0;
    double dLon = std::fabs(a.longitude - b.longitude);
    if (dLon > 180.0) dLon = 360.0 - dLon;
    const double north = (a.latitude - b.latitude) * kMetresPerDegree;
    const double east = dLon * kMetresPerDegree * std::cos(midLatitude);
    return std::sqrt(north * north + east * east);
}

StandPlans::StandPlans(std::string path, std::ostream* log) : path_(std::move(path)), log_(log) {
    if (path_.empty()) return;
    std::FILE* file = platform::OpenFile(path_, "rb");
    if (file == nullptr) return;  // no stand saved yet
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, n);
        // A stands file is small; a huge one is not ours and is read no further.
        if (text.size() > kMaxStands * (kMaxLineLength + 1)) break;
    }
    std::fclose(file);
    Parse(text);
}

void StandPlans::LogText(const std::string& text) const {
    if (log_ == nullptr) return;
    *log_ << text;
    log_->flush();
}

bool StandPlans::ParseLine(std::string_view line, StoredStand* stand) const {
    std::string_view f[7];
    int count = 0;
    if (!Fields(line, f, 7, &count) || count != 7) return false;
    StoredStand s;
    if (!ReadNumber(f[0], &s.key.latitude) || !ReadNumber(f[1], &s.key.longitude) ||
        !ReadNumber(f[2], &s.key.heading) || !AirportToken(f[3], &s.key.airport) ||
        !ReadNumber(f[4], &s.plan.straight) || !ReadNumber(f[5], &s.plan.turn) ||
        !ReadNumber(f[6], &s.plan.after)) {
        return false;
    }
    if (std::fabs(s.key.latitude) > 90.0 || std::fabs(s.key.longitude) > 180.0) return false;
    if (s.key.heading < 0.0 || s.key.heading >= 360.0) return false;
    if (s.plan.straight < 0.0 || s.plan.straight > PlanLimits::kMaxStraight) return false;
    if (s.plan.after < 0.0 || s.plan.after > PlanLimits::kMaxStraight) return false;
    if (std::fabs(s.plan.turn) > PlanLimits::kMaxTurn) return false;
    *stand = std::move(s);
    return true;
}

void StandPlans::Parse(std::string_view text) {
    int lineNumber = 0;
    int skipped = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        // CR LF is one line end, not an empty line between.
        if (end < text.size() && text[end] == '\r' && at < text.size() && text[at] == '\n') ++at;
        ++lineNumber;
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') continue;
        StoredStand stand;
        if (line.size() > kMaxLineLength || stands_.size() >= kMaxStands ||
            !ParseLine(line, &stand)) {
            if (++skipped <= 10) {
                LogText("[WRNG] Stands file '" + path_ + "' line " + std::to_string(lineNumber) +
                        " does not read as a stand; left out\n");
            }
            continue;
        }
        stands_.push_back(std::move(stand));
    }
    if (skipped > 10) {
        LogText("[WRNG] Stands file '" + path_ + "': " + std::to_string(skipped) +
                " lines in all left out\n");
    }
}

const PushPlan* StandPlans::Find(const StandKey& where) const {
    const StoredStand* best = nullptr;
    double bestDistance = 0.0;
    for (const StoredStand& s : stands_) {
        if (!s.key.airport.empty() && !where.airport.empty() && s.key.airport != where.airport) {
            continue;
        }
        if (HeadingGap(s.key.heading, where.heading) > kSameStandDegrees) continue;
        const double d = StandDistanceMetres(s.key, where);
        if (d > kSameStandMetres) continue;
        if (best == nullptr || d < bestDistance) {
            best = &s;
            bestDistance = d;
        }
    }
    return best != nullptr ? &best->plan : nullptr;
}

std::string StandPlans::Text() const {
    std::string text = kHeader;
    for (const StoredStand& s : stands_) {
        text += Number(s.key.latitude) + ' ' + Number(s.key.longitude) + ' ' +
                Heading(s.key.heading) + ' ' + (s.key.airport.empty() ? "-" : s.key.airport) + ' ' +
                Number(s.plan.straight) + ' ' + Number(s.plan.turn) + ' ' + Number(s.plan.after) +
                '\n';
    }
    return text;
}

bool StandPlans::Store(const StandKey& where, const PushPlan& plan) {
    StoredStand stand{where, plan};
    stand.key.heading = std::fmod(where.heading, 360.0);
    if (stand.key.heading < 0.0) stand.key.heading += 360.0;
    if (stand.key.heading >= 360.0) stand.key.heading = 0.0;
    std::string airport;
    if (!AirportToken(where.airport.empty() ? "-" : where.airport, &airport)) airport.clear();
    stand.key.airport = airport;

    const PushPlan* existing = Find(stand.key);
    bool replaced = false;
    for (StoredStand& s : stands_) {
        if (&s.plan == existing) {
            s = stand;
            replaced = true;
        }
    }
    if (!replaced) {
        if (stands_.size() >= kMaxStands) stands_.erase(stands_.begin());
        stands_.push_back(stand);
    }
    if (path_.empty()) return true;
    std::string reason;
    if (WriteFileAtomically(path_, Text(), &reason)) return true;
    LogText("[WRNG] Stand plan not saved to '" + path_ + "', the old file is kept (" + reason +
            ")\n");
    return false;
}

}  // namespace tarvosk
