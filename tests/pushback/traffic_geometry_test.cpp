#include "pushback/traffic_geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvosk {
namespace {

TEST(TrafficGeometry, TypesMapToTheirFootprints) {
    EXPECT_EQ(FootprintOfType("B738").span, 35.8);
    EXPECT_EQ(FootprintOfType(std::string("A388\0\0\0\0", 8)).length, 72.8);  // as the dataref
    EXPECT_EQ(FootprintOfType("C172").length, 8.3);
    EXPECT_EQ(FootprintOfType("ZZZZ").span, kUnknownFootprint.span);
    EXPECT_EQ(FootprintOfType("").length, kUnknownFootprint.length);
}

TEST(TrafficGeometry, GapsBetweenBoxes) {
    const Footprint f{10, 20};
    struct Case {
        GroundBox a, b;
        double gap;
    } cases[] = {
        {BoxAt(0, 0, 0, f), BoxAt(15, 0, 0, f), 5.0},    // side by side, wing to wing
        {BoxAt(0, 0, 0, f), BoxAt(0, 30, 0, f), 10.0},   // nose to tail
        {BoxAt(0, 0, 0, f), BoxAt(0, 30, 90, f), 15.0},  // a turned one behind
        {BoxAt(0, 0, 0, f), BoxAt(3, 4, 45, f), 0.0},    // overlapping
        {BoxAt(0, 0, 0, f), BoxAt(8, 13, 0, f), 0.0},    // corners just overlapping
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(BoxGap(c.a, c.b), c.gap, 1e-9) << c.b.x << " " << c.b.z << " " << c.b.heading;
    }
}

TEST(TrafficGeometry, TheSweptBandFindsWhatLiesBehind) {
    const OwnShape own{{36, 40}, 0};
    const PushPath path = PushPath::FromPlan({30, 0, 0});
    const PathPose start{0, 0, 0};
    // Parked 70 m behind us (tail to nose 70 - 20 - 20 = 30 m): the push closes it to 0 at its
    // end; looking only 10 m ahead leaves 20 m.
    const GroundBox behind = BoxAt(0, 70, 0, {36, 40});
    double at = -1;
    EXPECT_NEAR(SweptGap(path, start, own, 0, 30, 0.5, behind, 1e9, &at), 0.0, 1e-9);
    EXPECT_NEAR(at, 30.0, 1e-9);
    EXPECT_NEAR(SweptGap(path, start, own, 0, 10, 0.5, behind, 1e9, nullptr), 20.0, 1e-9);
    // Parked beside the path with 10 m between the wing tips: never nearer.
    const GroundBox beside = BoxAt(46, 20, 0, {36, 40});
    EXPECT_NEAR(SweptGap(path, start, own, 0, 30, 0.5, beside, 1e9, nullptr), 10.0, 1e-9);
    // Beyond what the caller cares about: a lower bound, above it.
    const double distant =
        SweptGap(path, start, own, 0, 30, 0.5, BoxAt(5000, 0, 0, {36, 40}), 50, nullptr);
    EXPECT_GT(distant, 50.0);
    EXPECT_LE(distant, 5000.0 - 36.0);
}

}  // namespace
}  // namespace tarvosk
