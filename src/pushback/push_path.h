// A push as a path: straight and circular pieces that the aircraft's reference point follows
// backwards. One path answers every question about a planned push: where the aircraft stands
// after a distance, where the push ends, and what the wings, nose and tail sweep on the way.
// Pure functions of plain records, no host calls, no allocation.
//
// Conventions as everywhere in the pushback: local x east, z south, heading h in degrees
// clockwise from north, pointing along (sin h, -cos h). A push moves the aircraft backwards.
#pragma once

#include <array>

#include "config/stands.h"

namespace tarvosk {

// The plan held to its limits; `changed` (may be null) tells whether anything was held.
// A value that is not a number counts as 0.
PushPlan ClampPlan(const PushPlan& plan, bool* changed);

// The fixed kinds' turn radius: 1.5 degrees of heading per metre pushed.
inline constexpr double kPushTurnRadius = 38.197186342054884;

struct PathPose {
    double x = 0.0, z = 0.0;
    double heading = 0.0;  // degrees, not wrapped
};

enum class SegmentShape { kStraight, kArc };

struct PathSegment {
    SegmentShape shape = SegmentShape::kStraight;
    double length = 0.0;        // metres along the path
    double turnPerMetre = 0.0;  // radians of heading per metre; positive turns the nose right
};

class PushPath {
  public:
    static constexpr int kMaxSegments = 3;

    PushPath() = default;
    // Straight, turn on `radius`, straight; empty pieces are left out.
    static PushPath FromPlan(const PushPlan& plan, double radius = kPushTurnRadius);

    double Length() const { return length_; }
    int SegmentCount() const { return count_; }
    const PathSegment& Segment(int i) const { return segments_[i]; }

    // Where the aircraft stands after `distance` metres from `start` (held to 0..Length()).
    PathPose PoseAt(const PathPose& start, double distance) const;
    PathPose End(const PathPose& start) const { return PoseAt(start, length_); }

    // The nose steers this way at `distance`: -1 left, 0 straight, +1 right (tail swings the
    // other way), for the tug's swing and the nose-wheel steering.
    int TurnSideAt(double distance) const;

  private:
    void Add(SegmentShape shape, double length, double turnPerMetre);

    std::array<PathSegment, kMaxSegments> segments_{};
    int count_ = 0;
    double length_ = 0.0;
};

// One step along a pose of a piece with `turnPerMetre`: exact arcs, not a sum of chords, so a
// path ends where End() says at any frame rate.
PathPose Advance(const PathPose& from, double distance, double turnPerMetre);

// A point of the aircraft in its own frame: metres right of and behind the reference point.
struct BodyPoint {
    double right = 0.0;
    double aft = 0.0;
};

struct GroundPoint {
    double x = 0.0, z = 0.0;
};

// Where body point `p` is when the aircraft stands at `pose`.
GroundPoint PlaceBodyPoint(const PathPose& pose, const BodyPoint& p);

// The aircraft's outline for sweeps: nose, tail and both wing tips.
struct AircraftOutline {
    BodyPoint nose, tail, leftTip, rightTip;
};

// An outline from the aircraft's span and length, its reference point `refAft` metres behind
// the middle of its length (positive: the reference point is aft of the middle).
AircraftOutline OutlineFromSize(double span, double length, double refAft);

// Calls visit(distance, GroundPoint nose, tail, leftTip, rightTip) every `spacing` metres
// from `from` to `to` along the path (both ends included): the band those four points sweep.
template <typename Visit>
void SweepOutline(const PushPath& path, const PathPose& start, const AircraftOutline& outline,
                  double from, double to, double spacing, Visit&& visit) {
    if (!(spacing > 0.0)) spacing = 1.0;
    if (from < 0.0) from = 0.0;
    if (to > path.Length()) to = path.Length();
    for (double d = from;; d += spacing) {
        if (d > to) d = to;
        const PathPose pose = path.PoseAt(start, d);
        visit(d, PlaceBodyPoint(pose, outline.nose), PlaceBodyPoint(pose, outline.tail),
              PlaceBodyPoint(pose, outline.leftTip), PlaceBodyPoint(pose, outline.rightTip));
        if (d >= to) break;
    }
}

}  // namespace tarvosk
