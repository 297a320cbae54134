// Where the GPU cart faces, at every heading: it keeps its place and attitude beside the nose
// with its cable reaching the nose gear. The object's own geometry is read from the installed
// content and posed as the host poses the instance.
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
        cart_ = ReadVertices(content / "GroundServices" / "GPU.obj");
        if (cart_.empty()) GTEST_SKIP() << "no generated content in " << content;
        // Away from the terminal, so every heading has room to push.
        ASSERT_TRUE(Set(kLocalX, -40.0));
        ASSERT_TRUE(Set(kLocalZ, 340.0));
        ASSERT_TRUE(Set(kPsi, GetParam()));
        simhost::RunFrames(1);
    }

    std::vector<Vertex> cart_;
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

INSTANTIATE_TEST_SUITE_P(Headings, Facing, ::testing::Values(0.0, 45.0, 90.0, 137.0, 180.0, 270.0),
                         [](const ::testing::TestParamInfo<double>& param) {
                             return "heading" + std::to_string(static_cast<int>(param.param));
                         });

}  // namespace
}  // namespace tarvosk::testing
