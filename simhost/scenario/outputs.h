// Files a scenario run leaves behind: the timeline, the track as CSV and as an SVG top view.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "simhost/simhost.h"

namespace simhost::scenario {

// One frame of the track; NaN where a value was not available.
struct TrackRow {
    double time, aircraftX, aircraftZ, aircraftHeading, tugX, tugZ, tugHeading, phase;
};

// What a person wants to know of a track at a glance.
struct TrackSummary {
    bool valid = false;       // at least one row with the aircraft's position
    double pathLength = 0;    // metres the aircraft travelled, summed frame by frame
    double backwards = 0;     // the part of it travelled tail first (pushed)
    double forwards = 0;      // the part travelled nose first (towed)
    double displacement = 0;  // straight-line distance from its first to its last position
    double startHeading = 0, endHeading = 0;
};
TrackSummary SummarizeTrack(const std::vector<TrackRow>& rows);

bool WriteTimeline(const std::filesystem::path& file, const std::vector<TimelineEvent>& events);
bool WriteTrackCsv(const std::filesystem::path& file, const std::vector<TrackRow>& rows);
bool WriteTrackSvg(const std::filesystem::path& file, const std::vector<TrackRow>& rows,
                   const std::string& title);

// "%.3f" without locale surprises; the timeline and CSV use it for every number.
std::string Fixed(double v, int decimals = 3);

}  // namespace simhost::scenario
