// The plans stands remember: "Quorren.Tarvosk.stands" beside the properties file.
//
// A stand is where the aircraft stands (latitude and longitude within 10 m, heading within
// 10 degrees) and, where the host knows one, the nearest airport. The file is text, one stand
// a line, so a pilot can read and edit it:
//   latitude longitude heading airport straight turn after
// with "-" for an unknown airport. A line that does not read costs that line only: it is
// logged and left out, and the others load. Writes replace the file in one step.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvosk {

struct StandKey {
    double latitude = 0.0, longitude = 0.0;  // degrees
    double heading = 0.0;                    // degrees true
    std::string airport;                     // empty where the host knows none
};

// What the pilot plans: metres straight back, degrees the heading changes on the turn
// (positive when the nose swings right, that is tail left), metres straight after the turn.
struct PushPlan {
    double straight = 0.0;
    double turn = 0.0;
    double after = 0.0;
};

// The limits every way of setting a plan holds it to.
struct PlanLimits {
    static constexpr double kMaxStraight = 200.0;
    static constexpr double kMaxTurn = 180.0;
};

struct StoredStand {
    StandKey key;
    PushPlan plan;
};

class StandPlans {
  public:
    static constexpr std::size_t kMaxLineLength = 255;
    static constexpr std::size_t kMaxStands = 10000;
    static constexpr double kSameStandMetres = 10.0;
    static constexpr double kSameStandDegrees = 10.0;

    StandPlans() = default;
    // Keeps `path` and loads the file when it exists. `log` may be null.
    StandPlans(std::string path, std::ostream* log);

    // Reads stands from text, as the file is read (for tests and the fuzzer).
    void Parse(std::string_view text);

    // The stored plan of the stand at `where`, or null. Where several match, the nearest.
    const PushPlan* Find(const StandKey& where) const;

    // Stores `plan` for the stand at `where`, replacing the one stored there, and saves the
    // file. False (logged, nothing lost on disk) when the file could not be written.
    bool Store(const StandKey& where, const PushPlan& plan);

    // The file's text for the stands held now.
    std::string Text() const;

    const std::vector<StoredStand>& Stands() const { return stands_; }
    const std::string& Path() const { return path_; }

  private:
    void LogText(const std::string& text) const;
    bool ParseLine(std::string_view line, StoredStand* stand) const;

    std::vector<StoredStand> stands_;
    std::string path_;
    std::ostream* log_ = nullptr;
};

// Metres between two stand positions (an equirectangular estimate, good to a centimetre at a
// stand's scale).
double StandDistanceMetres(const StandKey& a, const StandKey& b);

}  // namespace tarvosk
