// Where the tug and the GPU cart face, at every heading: the cart keeps its place and attitude
// beside the nose with its cable reaching the nose gear, and the tug faces the aircraft it
// pushes, driving forwards up to it, while pushing it and when it turns away. The objects'
// own geometry is read from the installed content and posed as the host poses the instances.
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

namespace fs = std::filesystem;

constexpr double kDeg = 3.14159265358979323846 / 180.0;
constexpr double kNoseGearAhead = 12.5;  // the default airliner's nose gear, ahead of its centre

struct Vertex {
    double x, z, u, v;
};

std::vector<Vertex> ReadVertices(const fs::path& obj) {
    std::vector<Vertex> out;
    std::ifstream in(obj);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string word;
        double x, y, z, nx, ny, nz, u, v;
        if (words >> word && word == "VT" && words >> x >> y >> z >> nx >> ny >> nz >> u >> v)
            out.push_back({x, z, u, v});
    }
    return out;
}

struct Point {
    double x, z;
};

// A model point placed as the host places an instance: turned by -heading about the vertical.
Point Place(const simhost::InstanceInfo& at, double mx, double mz) {
    const double h = at.heading * kDeg;
    return {at.x + mx * std::cos(h) - mz * std::sin(h), at.z + mx * std::sin(h) + mz * std::cos(h)};
}

// The point `ahead` units along the aircraft's axis from its centre.
Point AlongAircraft(double ahead) {
    const double h = simhost::GetDataref(kPsi) * kDeg;
    return {simhost::GetDataref(kLocalX) + ahead * std::sin(h),
            simhost::GetDataref(kLocalZ) - ahead * std::cos(h)};
}

double Distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.z - b.z);
}

// The centre of the faces textured from one region of the atlas (u and v in 0..1).
std::optional<Point> RegionCentre(const std::vector<Vertex>& model, double u0, double u1, double v0,
                                  double v1) {
    double x = 0, z = 0;
    int n = 0;
    for (const Vertex& p : model) {
        if (p.u > u0 && p.u < u1 && p.v > v0 && p.v < v1) {
            x += p.x;
            z += p.z;
            ++n;
        }
    }
    if (n == 0) return std::nullopt;
    return Point{x / n, z / n};
}

std::optional<simhost::InstanceInfo> Instance(bool cart) {
    for (const auto& i : simhost::Instances()) {
        if ((i.objectPath.parent_path().filename() == "GroundServices") == cart) return i;
    }
    return std::nullopt;
}

class Facing : public PushbackHost, public ::testing::WithParamInterface<double> {
  protected:
    void SetUp() override {
        PushbackHost::SetUp();
        const fs::path content(TARVOSK_CONTENT_DIR);
        tug_ = ReadVertices(content / "TVKdefault.obj");
        cart_ = ReadVertices(content / "GroundServices" / "GPU.obj");
        if (tug_.empty() || cart_.empty()) GTEST_SKIP() << "no generated content in " << content;
        // Away from the terminal, so every heading has room to push.
        ASSERT_TRUE(Set(kLocalX, -40.0));
        ASSERT_TRUE(Set(kLocalZ, 340.0));
        ASSERT_TRUE(Set(kPsi, GetParam()));
        simhost::RunFrames(1);
    }

    // The tug's headlight end (front region of the atlas) and its tail-light end.
    Point TugFront(const simhost::InstanceInfo& tug) {
        const auto c = RegionCentre(tug_, 0.5, 0.75, 0.5, 0.75);
        EXPECT_TRUE(c.has_value());
        return c ? Place(tug, c->x, c->z) : Point{tug.x, tug.z};
    }
    Point TugRear(const simhost::InstanceInfo& tug) {
        const auto c = RegionCentre(tug_, 0.75, 1.0, 0.5, 0.75);
        EXPECT_TRUE(c.has_value());
        return c ? Place(tug, c->x, c->z) : Point{tug.x, tug.z};
    }

    std::vector<Vertex> tug_, cart_;
};

TEST_P(Facing, TheCartStandsBesideTheNoseWithItsCableAtTheNoseGear) {
    ASSERT_TRUE(Choose("GPU"));
    simhost::RunFrames(1);
    const auto cart = Instance(true);
    ASSERT_TRUE(cart.has_value());
    // Turned like the aircraft, ahead and right of the nose gear.
    EXPECT_NEAR(std::remainder(cart->heading - Get(kPsi), 360.0), 0.0, 0.01);
    const Point gear = AlongAircraft(kNoseGearAhead);
    const double h = Get(kPsi) * kDeg;
    const double ahead = (cart->x - gear.x) * std::sin(h) - (cart->z - gear.z) * std::cos(h);
    const double right = (cart->x - gear.x) * std::cos(h) + (cart->z - gear.z) * std::sin(h);
    EXPECT_NEAR(ahead, 5.0 * std::sqrt(0.5), 0.01);
    EXPECT_NEAR(right, 5.0 * std::sqrt(0.5), 0.01);
    // The cable's end, the point of the cart farthest from its centre, lies at the nose gear.
    const Vertex* end = &cart_.front();
    for (const Vertex& p : cart_) {
        if (std::hypot(p.x, p.z) > std::hypot(end->x, end->z)) end = &p;
    }
    EXPECT_LT(Distance(Place(*cart, end->x, end->z), gear), 1.5);
}

TEST_P(Facing, TheTugFacesTheAircraftComingUpAndPushing) {
    ASSERT_TRUE(Choose("Push straight back"));
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    simhost::RunSeconds(5.0);  // driving up to the gear
    const Point centre = AlongAircraft(0.0);
    for (const char* phase : {"approach", "pushing"}) {
        const auto tug = Instance(false);
        ASSERT_TRUE(tug.has_value()) << phase;
        EXPECT_LT(Distance(TugFront(*tug), AlongAircraft(0.0)),
                  Distance(TugRear(*tug), AlongAircraft(0.0)))
            << phase;
        if (std::string(phase) == "approach") {
            // Moving toward its front: forwards (the tug steps on its own ticks, not every frame).
            const Point before{tug->x, tug->z};
            ASSERT_TRUE(RunUntil(
                [&] {
                    const auto now = Instance(false);
                    return now && (now->x != before.x || now->z != before.z);
                },
                1.0));
            const auto next = Instance(false);
            ASSERT_TRUE(next.has_value());
            const Point front = TugFront(*next), rear = TugRear(*next);
            const double dx = next->x - before.x, dz = next->z - before.z;
            EXPECT_GT(dx * (front.x - rear.x) + dz * (front.z - rear.z), 0.0);
            ASSERT_TRUE(RunUntil([&] { return Distance(AlongAircraft(0.0), centre) > 3.0; }, 60));
        }
    }
}

TEST_P(Facing, TheTugDrivesOffForwardsClearOfTheNose) {
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    ASSERT_TRUE(Choose("Push straight back"));
    ASSERT_TRUE(RunUntil([] { return Get("tarvosk/diagnostics/truck_phase") == 3.0; }, 300.0));
    int forwards = 0, backwards = 0;
    double nearestBesideTheNose = 1e9;
    std::optional<simhost::InstanceInfo> last = Instance(false);
    ASSERT_TRUE(last.has_value());
    const double startHeading = last->heading;
    while (Get(kPBstatus) != 0.0 && simhost::Now() < 600.0) {
        simhost::RunFrames(1);
        const auto tug = Instance(false);
        ASSERT_TRUE(tug.has_value());
        const Point front = TugFront(*tug), rear = TugRear(*tug);
        const double dx = tug->x - last->x, dz = tug->z - last->z;
        const double along = dx * (front.x - rear.x) + dz * (front.z - rear.z);
        if (along > 1e-6) ++forwards;
        if (along < -1e-6) ++backwards;
        // Turning, within 6 units of the aircraft's axis, its front stays well ahead of the gear
        // (hooked up it stands 3.6 ahead).
        const Point gear = AlongAircraft(kNoseGearAhead);
        const double h = Get(kPsi) * kDeg;
        const double ahead = (front.x - gear.x) * std::sin(h) - (front.z - gear.z) * std::cos(h);
        const double side = (front.x - gear.x) * std::cos(h) + (front.z - gear.z) * std::sin(h);
        const bool turning = std::fabs(std::remainder(tug->heading - startHeading, 360.0)) > 1.0;
        if (turning && std::fabs(side) < 6.0)
            nearestBesideTheNose = std::min(nearestBesideTheNose, ahead);
        last = tug;
    }
    EXPECT_EQ(Get(kPBstatus), 0.0);
    // Backing off the gear first, then mostly forwards round the arc.
    EXPECT_GT(backwards, 100);
    EXPECT_GT(forwards, backwards);
    EXPECT_GT(nearestBesideTheNose, 5.0);
}

INSTANTIATE_TEST_SUITE_P(Headings, Facing, ::testing::Values(0.0, 45.0, 90.0, 137.0, 180.0, 270.0),
                         [](const ::testing::TestParamInfo<double>& param) {
                             return "heading" + std::to_string(static_cast<int>(param.param));
                         });

}  // namespace
}  // namespace tarvosk::testing
