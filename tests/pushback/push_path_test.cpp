#include "pushback/push_path.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvosk {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double R = kPushTurnRadius;

// The end of a plan from (0, 0) facing `heading`, worked out by hand: straight legs run
// backwards, along (-sin h, cos h); an arc of angle a ends at chord 2R sin(a/2), at half the
// angle between the two headings.
struct Case {
    PushPlan plan;
    double heading;
    PathPose end;
};

PathPose Backwards(PathPose p, double d) {
    p.x -= d * std::sin(p.heading * kPi / 180.0);
    p.z += d * std::cos(p.heading * kPi / 180.0);
    return p;
}

PathPose Chord(PathPose p, double turn) {
    const double chord = 2.0 * R * std::sin(std::fabs(turn) * kPi / 360.0);
    PathPose mid = p;
    mid.heading += turn / 2.0;
    PathPose end = Backwards(mid, chord);
    end.heading = p.heading + turn;
    return end;
}

TEST(PushPath, EndsWhereTheGeometrySays) {
    const double headings[] = {0.0, 37.0, 180.0, 271.5};
    const PushPlan plans[] = {
        {27, 0, 0}, {35, 60, 10}, {35, -60, 10}, {0, 180, 0}, {0, -90, 0}, {5, -180, 40},
    };
    for (double h : headings) {
        for (const PushPlan& plan : plans) {
            const PushPath path = PushPath::FromPlan(plan);
            PathPose expected = Backwards({0, 0, h}, plan.straight);
            if (plan.turn != 0) expected = Chord(expected, plan.turn);
            expected = Backwards(expected, plan.after);
            const PathPose end = path.End({0, 0, h});
            const std::string what = std::to_string(h) + " " + std::to_string(plan.turn);
            EXPECT_NEAR(end.x, expected.x, 1e-9) << what;
            EXPECT_NEAR(end.z, expected.z, 1e-9) << what;
            EXPECT_NEAR(end.heading, expected.heading, 1e-9) << what;
            const double arc = std::fabs(plan.turn) * kPi / 180.0 * R;
            EXPECT_NEAR(path.Length(), plan.straight + arc + plan.after, 1e-9) << what;
        }
    }
}

TEST(PushPath, SmallStepsAddUpToTheEndAndTheSidesFollowTheTurn) {
    const PushPath path = PushPath::FromPlan({10, 90, 10});
    const PathPose start{100, -50, 200};
    // Any split of the distance reaches the same place: a frame rate cannot move the end.
    PathPose stepped = start;
    double done = 0.0;
    for (double step = 1.0 / 60.0; done < path.Length(); done += step) {
        stepped = path.PoseAt(start, std::fmin(done + step, path.Length()));
    }
    const PathPose end = path.End(start);
    EXPECT_NEAR(stepped.x, end.x, 1e-9);
    EXPECT_NEAR(stepped.z, end.z, 1e-9);
    EXPECT_EQ(path.TurnSideAt(5), 0);
    EXPECT_EQ(path.TurnSideAt(20), 1);
    EXPECT_EQ(path.TurnSideAt(path.Length()), 0);
    EXPECT_EQ(PushPath::FromPlan({0, -30, 0}).TurnSideAt(1), -1);
    // Beyond the ends the pose holds.
    EXPECT_EQ(path.PoseAt(start, -3).x, start.x);
    EXPECT_NEAR(path.PoseAt(start, 1e9).x, end.x, 1e-9);
}

TEST(PushPath, PlansAreHeldToTheirLimits) {
    bool changed = false;
    const PushPlan held = ClampPlan({-5, 400, NAN}, &changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(held.straight, 0.0);
    EXPECT_EQ(held.turn, 180.0);
    EXPECT_EQ(held.after, 0.0);
    ClampPlan({200, -180, 0}, &changed);
    EXPECT_FALSE(changed);
}

TEST(PushPath, BodyPointsTurnWithTheAircraft) {
    // Facing east, a point 10 m right (south) and 2 m aft (west).
    const GroundPoint p = PlaceBodyPoint({5, 5, 90}, {10, 2});
    EXPECT_NEAR(p.x, 3.0, 1e-12);
    EXPECT_NEAR(p.z, 15.0, 1e-12);
    const AircraftOutline o = OutlineFromSize(36, 40, 0);
    EXPECT_EQ(o.nose.aft, -20.0);
    EXPECT_EQ(o.rightTip.right, 18.0);
}

}  // namespace
}  // namespace tarvosk
