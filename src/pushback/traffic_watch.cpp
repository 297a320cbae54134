#include "pushback/traffic_watch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "config/settings.h"
#include "pushback/crew_messages.h"
#include "pushback/host_data.h"
#include "pushback/manual_drive.h"
#include "pushback/motion_base.h"
#include "pushback/planned_motion.h"
#include "pushback/pushback.h"
#include "pushback/traffic_sources.h"

namespace tarvosk {

namespace {

constexpr double kRad = 3.14159265358979323846 / 180.0;
// Degrees of heading per metre in a turn: the fixed kinds' radius, and full manual steering.
constexpr double kTurnDegreesPerMetre = 1.5;
// The band is sampled at least this finely where it comes near something.
constexpr double kFinestStep = 0.1;
// Beyond the clearance, a gap further than this is only "nothing near".
constexpr double kNear = 5.0;
// A step never goes closer than this to another footprint, hold or not.
constexpr double kTouch = 0.02;

// Where the part of us nearest the traffic is, for the crew's words.
enum class Side { kTail, kNose, kLeftWing, kRightWing };
constexpr const char* kSideWords[] = {"behind the tail", "ahead of the nose",
                                      "at the left wing tip", "at the right wing tip"};

struct Watch {
    bool hold = false;
    bool clear = true;        // the band is clear this frame
    double clearSince = 0.0;  // when it last became clear while held
    double remindAt = 0.0;    // next reminder while held
    float clearance = kNothingNear;
    Side side = Side::kTail;
    bool ownRead = false;  // `own` is read once a push
    OwnShape own;
    OtherAircraftList others;  // static storage: the frame allocates nothing
};
Watch gWatch;

// The motion ahead: signed metres per metre travelled (-1 forward for the tow) and the turn.
struct Motion {
    double direction = 1.0;     // 1 backwards (a push), -1 forwards (the tow)
    double turnPerMetre = 0.0;  // radians of heading per metre along Advance's distance
    double speed = 0.0;         // m/s the band is looked at for
    double brake = 0.0;         // m/s per second the tug brakes at for a halt
    double step = 0.0;          // metres this frame's step may take
    double present = 0.0;       // m/s it moves at now
};

double HaltRate(double speed) {
    return std::max(kSpeedRate, speed / kTugHaltSeconds);
}

Motion PresentMotion(float sinceLast) {
    Motion m;
    if (gManual.mode != kManualNone) {
        const bool tow = gManual.mode == kManualTow;
        m.direction = tow ? -1.0 : 1.0;
        // Advance turns by turnPerMetre * distance, the distance negative for the tow; the
        // manual motion turns the nose against the steer when pushing, with it when towing.
        m.turnPerMetre = -kTurnDegreesPerMetre * gManual.steer * kRad;
        m.speed = std::max(gPace.speed, gManual.targetSpeed);
        m.brake = HaltRate(gManual.targetSpeed);
        m.step = m.speed * StepSeconds(sinceLast);
        m.present = gPace.speed;
        return m;
    }
    const PushStep step = PushStepFor(sinceLast);
    const double frame = sinceLast > 0.0f ? static_cast<double>(sinceLast) : 0.0;
    const double nominal = frame > 0.0 ? step.distance / frame : 0.0;
    // The side the nose turns to now: +1 right (heading rising, tail left), -1 left.
    int side = 0;
    if (gPushback.kind == PushKind::Planned) {
        side = gPlanned.path.TurnSideAt(gPlanned.travelled);
    } else if (gPushback.steering != Steering::LegFirst) {
        side = gPushback.direction == PushDirection::TailLeft    ? 1
               : gPushback.direction == PushDirection::TailRight ? -1
                                                                 : 0;
    }
    m.turnPerMetre = side * kTurnDegreesPerMetre * kRad;
    // Looked at for the speed it pushes at, even while easing back up to it after a halt, so a
    // push held short stays held rather than creeping on.
    m.speed = nominal;
    m.brake = HaltRate(nominal);
    m.step = step.distance;
    m.present = gPace.easing ? std::min(gPace.speed, nominal) : nominal;
    return m;
}

PathPose PoseAhead(const PathPose& now, const Motion& m, double along) {
    return Advance(now, m.direction * along, m.direction * m.turnPerMetre);
}

// The smallest gap between our footprint along [0, length] of the motion and `other`, sampled
// no coarser than the gap allows: a point moves at most `lip` metres per metre travelled, so
// between samples nothing comes nearer than `floor` unknown to us. An aircraft further than
// kNear beyond `floor` from anything the band can reach is not worked out: a lower bound comes
// back. `nearGap` (may be null) gets the smallest gap over [0, nearLength] alone.
double BandGap(const GroundBox& first, const Motion& m, const PathPose& now, const OwnShape& own,
               double length, const GroundBox& other, double floor, double* at,
               double nearLength = 0.0, double* nearGap = nullptr) {
    const double reachOwn = std::hypot(first.halfSpan, first.halfLength);
    const double lip = 1.0 + std::fabs(m.turnPerMetre) * reachOwn;
    const double reach = lip * length + floor + kNear;
    *at = 0.0;
    if (nearGap != nullptr) *nearGap = kNothingNear;
    // Centres first (no trigonometry), then the boxes' shadows.
    const double reachOther = std::hypot(other.halfSpan, other.halfLength);
    const double apart = std::hypot(first.x - other.x, first.z - other.z) - reachOwn - reachOther;
    if (apart > reach) return apart - lip * length;
    const double separation = BoxSeparation(first, other);
    if (separation > reach) return separation - lip * length;
    if (nearGap != nullptr) *nearGap = 1e300;
    double best = 1e300;
    for (double d = 0.0;;) {
        const double gap =
            d == 0.0 ? BoxGap(first, other) : BoxGap(OwnBoxAt(PoseAhead(now, m, d), own), other);
        if (gap < best) best = gap, *at = d;
        if (nearGap != nullptr && d <= nearLength) *nearGap = std::min(*nearGap, gap);
        if (d >= length) break;
        double next = std::min(length, d + std::max(kFinestStep, (gap - floor) / lip));
        if (d < nearLength && next > nearLength) next = nearLength;
        d = next;
    }
    return best;
}

Side SideOf(const PathPose& pose, const OwnShape& own, const GroundBox& other) {
    const GroundBox us = OwnBoxAt(pose, own);
    const double h = pose.heading * kRad;
    const double dx = other.x - us.x, dz = other.z - us.z;
    const double ahead = dx * std::sin(h) - dz * std::cos(h);
    const double right = dx * std::cos(h) + dz * std::sin(h);
    if (std::fabs(ahead) - us.halfLength >= std::fabs(right) - us.halfSpan) {
        return ahead > 0.0 ? Side::kNose : Side::kTail;
    }
    return right > 0.0 ? Side::kRightWing : Side::kLeftWing;
}

void Say(const char* format, int kind) {
    char text[kCrewTextMax + 1];
    std::snprintf(text, sizeof text, format, kSideWords[static_cast<int>(gWatch.side)],
                  gManual.mode == kManualTow ? "tow" : "push");
    SayCrewMessage(text, 6, kind);
}

void FollowBand(bool clear, double now) {
    Watch& w = gWatch;
    if (!clear) {
        if (!w.hold) {
            w.hold = true;
            w.remindAt = now + kReminderSeconds;
            Say("Stop, stop! Traffic %s, we hold the %s here.", kCrewRed);
        } else if (now >= w.remindAt) {
            w.remindAt = now + kReminderSeconds;
            Say("Still holding, traffic %s. We will not %s on.", kCrewRed);
        }
    } else if (w.hold) {
        if (!w.clear) w.clearSince = now;
        if (now - w.clearSince >= kClearSeconds) {
            w.hold = false;
            Say("Traffic %s is clear now, we continue the %s.", kCrewGreen);
        }
    }
    w.clear = clear;
}

}  // namespace

TrafficStep WatchTraffic(float sinceLast) {
    Watch& w = gWatch;
    const double clearance = gSettings.TRAFFIC_CLEARANCE;
    if (!(clearance > 0.0)) {
        w.hold = false;
        gPace.heldByTraffic = false;
        w.clearance = kNothingNear;
        return TrafficStep::kGo;
    }
    const HostDatarefs& d = gHostData;
    const PathPose now{XPLMGetDatad(d.localX), XPLMGetDatad(d.localZ), XPLMGetDataf(d.psi)};
    if (!w.ownRead) w.own = ReadOwnShape(), w.ownRead = true;
    const OwnShape& own = w.own;
    const Motion m = PresentMotion(sinceLast);
    // As far as the tug needs to halt from the speed it pushes at, and one step more.
    const double length = m.speed * m.speed / (2.0 * m.brake) + m.step;
    // What is published: the band the tug needs from the speed it has now (a held tug: none).
    const double presentLength = std::min(length, m.present * m.present / (2.0 * m.brake));
    ReadOtherAircraft(&w.others);
    const GroundBox first = OwnBoxAt(now, own);
    double nearest = 1e300, stepGap = 1e300, published = 1e300;
    Side nearestSide = Side::kTail;
    for (int i = 0; i < w.others.count; ++i) {
        const GroundBox& other = w.others.boxes[i];
        double at = 0.0, nearGap = 0.0;
        const double gap =
            BandGap(first, m, now, own, length, other, clearance, &at, presentLength, &nearGap);
        published = std::min(published, nearGap);
        if (gap < nearest) {
            nearest = gap;
            nearestSide = SideOf(PoseAhead(now, m, at), own, other);
        }
        if (gap < kTouch + m.step) {
            double unused = 0.0;
            stepGap = std::min(stepGap, BandGap(first, m, now, own, m.step, other, 0.0, &unused));
        }
    }
    w.clearance = published > clearance + kNear ? kNothingNear : static_cast<float>(published);
    // The crew names the side the hold was for, until it is over.
    if (!w.hold) w.side = nearestSide;
    FollowBand(nearest >= clearance, static_cast<double>(ElapsedSeconds()));
    gPace.heldByTraffic = w.hold;  // the motion code brakes as for a pause
    return stepGap < kTouch ? TrafficStep::kBlocked : TrafficStep::kGo;
}

bool TrafficHolds() {
    return gWatch.hold;
}

float TrafficClearance() {
    return gWatch.clearance;
}

void ResetTrafficWatch() {
    gWatch.hold = false;
    gPace.heldByTraffic = false;
    gWatch.clear = true;
    gWatch.clearance = kNothingNear;
    gWatch.ownRead = false;
}

}  // namespace tarvosk
