#include "pushback/push_path.h"

#include <cmath>

namespace tarvosk {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;

double Held(double value, double low, double high, bool* changed) {
    double held = value;
    if (!std::isfinite(value)) held = std::isnan(value) ? 0.0 : (value < 0 ? low : high);
    if (held < low) held = low;
    if (held > high) held = high;
    if (held != value && changed != nullptr) *changed = true;
    return held;
}

}  // namespace

PushPlan ClampPlan(const PushPlan& plan, bool* changed) {
    if (changed != nullptr) *changed = false;
    PushPlan held;
    held.straight = Held(plan.straight, 0.0, PlanLimits::kMaxStraight, changed);
    held.turn = Held(plan.turn, -PlanLimits::kMaxTurn, PlanLimits::kMaxTurn, changed);
    held.after = Held(plan.after, 0.0, PlanLimits::kMaxStraight, changed);
    return held;
}

void PushPath::Add(SegmentShape shape, double length, double turnPerMetre) {
    if (!(length > 0.0) || count_ >= kMaxSegments) return;
    segments_[count_++] = {shape, length, turnPerMetre};
    length_ += length;
}

PushPath PushPath::FromPlan(const PushPlan& raw, double radius) {
    const PushPlan plan = ClampPlan(raw, nullptr);
    PushPath path;
    path.Add(SegmentShape::kStraight, plan.straight, 0.0);
    if (plan.turn != 0.0 && radius > 0.0) {
        const double arc = std::fabs(plan.turn) * kRad * radius;
        path.Add(SegmentShape::kArc, arc, (plan.turn > 0.0 ? 1.0 : -1.0) / radius);
    }
    path.Add(SegmentShape::kStraight, plan.after, 0.0);
    return path;
}

PathPose Advance(const PathPose& from, double distance, double turnPerMetre) {
    const double h0 = from.heading * kRad;
    PathPose to = from;
    if (turnPerMetre == 0.0) {
        to.x = from.x - distance * std::sin(h0);
        to.z = from.z + distance * std::cos(h0);
        return to;
    }
    const double h1 = h0 + turnPerMetre * distance;
    to.x = from.x + (std::cos(h1) - std::cos(h0)) / turnPerMetre;
    to.z = from.z + (std::sin(h1) - std::sin(h0)) / turnPerMetre;
    to.heading = from.heading + turnPerMetre * distance / kRad;
    return to;
}

PathPose PushPath::PoseAt(const PathPose& start, double distance) const {
    if (!(distance > 0.0)) return start;
    PathPose pose = start;
    double left = distance < length_ ? distance : length_;
    for (int i = 0; i < count_ && left > 0.0; ++i) {
        const PathSegment& s = segments_[i];
        const double d = left < s.length ? left : s.length;
        pose = Advance(pose, d, s.turnPerMetre);
        left -= d;
    }
    return pose;
}

int PushPath::TurnSideAt(double distance) const {
    double passed = 0.0;
    for (int i = 0; i < count_; ++i) {
        passed += segments_[i].length;
        if (distance < passed || i == count_ - 1) {
            const double k = segments_[i].turnPerMetre;
            return k > 0.0 ? 1 : k < 0.0 ? -1 : 0;
        }
    }
    return 0;
}

GroundPoint PlaceBodyPoint(const PathPose& pose, const BodyPoint& p) {
    const double h = pose.heading * kRad;
    const double s = std::sin(h), c = std::cos(h);
    // Right is (cos h, sin h), aft is (-sin h, cos h).
    return {pose.x + p.right * c - p.aft * s, pose.z + p.right * s + p.aft * c};
}

AircraftOutline OutlineFromSize(double span, double length, double refAft) {
    AircraftOutline o;
    const double half = length / 2.0;
    o.nose = {0.0, -half - refAft};
    o.tail = {0.0, half - refAft};
    // Wing tips a little behind the middle, where swept wings put them.
    const double tipAft = length * 0.1 - refAft;
    o.leftTip = {-span / 2.0, tipAft};
    o.rightTip = {span / 2.0, tipAft};
    return o;
}

}  // namespace tarvosk
