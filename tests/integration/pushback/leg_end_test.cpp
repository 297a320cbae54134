// The straight leg ends where the aircraft has travelled its length along the push, whatever
// the heading: at 0 and 180, where x does not change, as well as everywhere else.
#include <cmath>
#include <vector>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

constexpr double kLeg = 27.0;  // 0.75 of the default airliner's length 37, whole units
constexpr double kStep = 0.1;  // units per pushed frame at the default truck speed
constexpr double kSlack = 1e-6;

struct Sample {
    double x, z, psi;
};

struct LegCase {
    float heading;
    const char* item;
    int turn;  // 0 straight, 1 tail left (+90), 2 tail right (-90)
};

class LegEnd : public PushbackHost, public ::testing::WithParamInterface<LegCase> {
  protected:
    void TearDown() override {
        simhost::SetAfterFrameHook(nullptr);
        PushbackHost::TearDown();
    }
};

double Distance(const Sample& a, double x0, double z0) {
    return std::hypot(a.x - x0, a.z - z0);
}

TEST_P(LegEnd, EndsAfterTheLegAlongThePush) {
    const LegCase c = GetParam();
    ASSERT_TRUE(Set(kPsi, c.heading));
    simhost::RunFrames(1);
    const double psi0 = Get(kPsi);
    ASSERT_NEAR(psi0, c.heading, 1e-4);
    ASSERT_TRUE(Set(kParkBrake, 0.0));

    std::vector<Sample> track;
    simhost::SetAfterFrameHook([&] { track.push_back({Get(kLocalX), Get(kLocalZ), Get(kPsi)}); });
    const double x0 = Get(kLocalX), z0 = Get(kLocalZ);
    const int target = static_cast<int>(c.heading) + (c.turn == 1 ? 90 : c.turn == 2 ? -90 : 0);
    const int wrapped = (target + 360) % 360;

    ASSERT_TRUE(Choose(c.item));
    ASSERT_TRUE(RunUntil([] { return Get(kPBstatus) == 0.0; }, 600.0))
        << "the push never ended from heading " << c.heading;
    simhost::SetAfterFrameHook(nullptr);
    ASSERT_FALSE(track.empty());

    // The leg ends with one frame that does not move: the first standstill after the start.
    std::size_t moved = 1;
    while (moved < track.size() && track[moved].x == track[moved - 1].x &&
           track[moved].z == track[moved - 1].z)
        ++moved;
    std::size_t legEnd = moved;
    while (legEnd + 1 < track.size() &&
           (track[legEnd + 1].x != track[legEnd].x || track[legEnd + 1].z != track[legEnd].z))
        ++legEnd;
    ASSERT_LT(legEnd + 1, track.size());
    // Straight until then: the heading has not turned.
    double turned = std::fabs(track[legEnd].psi - psi0);
    turned = std::min(turned, 360.0 - turned);
    EXPECT_LT(turned, 0.01) << "heading " << c.heading;
    const double leg = Distance(track[legEnd], x0, z0);
    EXPECT_GT(leg, kLeg) << "heading " << c.heading;
    EXPECT_LE(leg, kLeg + kStep + kSlack) << "heading " << c.heading;

    // Straight back along the start heading: (-sin h, cos h).
    const double h = psi0 * M_PI / 180.0;
    const double along =
        (track[legEnd].x - x0) * -std::sin(h) + (track[legEnd].z - z0) * std::cos(h);
    EXPECT_NEAR(along, leg, 1e-3);

    // Where only x decided, away from 0 and 180 the leg ends in the same frame or the next.
    const double s = std::sin(h);
    if (std::fabs(s) > 0.05) {
        const double endX = x0 - kLeg * s;
        const double passedBy = (track[legEnd].x - endX) * (s > 0 ? -1.0 : 1.0);
        EXPECT_GT(passedBy, -kStep * std::fabs(s) - kSlack) << "heading " << c.heading;
        EXPECT_LE(passedBy, 2.0 * kStep * std::fabs(s) + kSlack) << "heading " << c.heading;
    }

    EXPECT_EQ(static_cast<int>(std::floor(Get(kPsi))), wrapped) << "heading " << c.heading;
    if (c.turn == 0) {
        EXPECT_NEAR(Distance(track.back(), x0, z0), leg, kSlack);
    }
}

std::vector<LegCase> Cases() {
    const float headings[] = {0.0f,  90.0f,   180.0f,  270.0f, 0.5f,
                              37.3f, 179.99f, 180.01f, 359.5f, 123.456f};
    const struct {
        const char* item;
        int turn;
    } kinds[] = {
        {"Push straight back", 0}, {"Automated tail left", 1}, {"Automated tail right", 2}};
    std::vector<LegCase> out;
    for (const auto& k : kinds)
        for (float h : headings) out.push_back({h, k.item, k.turn});
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Headings, LegEnd, ::testing::ValuesIn(Cases()), [](const ::testing::TestParamInfo<LegCase>& p) {
        std::string name = p.param.item;
        std::erase(name, ' ');
        char h[32];
        std::snprintf(
            h, sizeof h, "_%d_%03d", static_cast<int>(p.param.heading),
            static_cast<int>(std::lround((p.param.heading - std::floor(p.param.heading)) * 1000)));
        return name + h;
    });

}  // namespace
}  // namespace tarvosk::testing
