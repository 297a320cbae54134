// Real aircraft files: pushed straight back, the tug stays at the aircraft's own wheel for the
// whole push; an aircraft without one is refused with its reason and does not move.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

struct RealAircraft {
    const char* name;
    const char* file;
    const char* tail;
    bool frontWheel;        // the FRONT_WHEEL setting: push at the nose gear, else the main gear
    int pushedSlot;         // -1: the straight push is refused
    const char* why = "";   // then the refusal's first line in the message box
    const char* crew = "";  // and the crew's line, after the tail number
};

constexpr const char* kNoNose = "This aircraft has no steerable nose wheel for the tug.";
constexpr const char* kNoNoseCrew = " we cannot push you, there is no nose wheel for our tug";

const RealAircraft kAircraft[] = {
    {"A321", "JonathanOrr__A321Neo-FXPL__A321.acf", "", true, 0},
    {"Tu154", "Unicode4all__Tu-154__tu154.acf", "85748", true, 0},
    {"CarbonCub", "kalebheitzman__carboncub-ex3-xp12__CarbonCubEX3.acf", "N683DE", true, -1,
     kNoNose, kNoNoseCrew},
    {"Tailsitter", "alireza787b__px4xplane__QuadTailsitter.acf", "N735PG", true, -1, kNoNose,
     kNoNoseCrew},
    // The pilot's explicit choice of the rear gear: the taildragger's wheel behind the centre
    // of gravity is its tail wheel; the tailsitter has none.
    {"CarbonCubRearGear", "kalebheitzman__carboncub-ex3-xp12__CarbonCubEX3.acf", "N683DE", false,
     2},
    {"TailsitterRearGear", "alireza787b__px4xplane__QuadTailsitter.acf", "N735PG", false, -1,
     "This aircraft has no wheels behind its centre of gravity",
     " we cannot push you, there is no wheel behind for our tug"},
};

std::filesystem::path CorpusFile(const char* name) {
    return std::filesystem::path(TARVOSK_CORPUS_DIR) / "aircraft" / name;
}

class RealAircraftPush : public PushbackHost, public ::testing::WithParamInterface<RealAircraft> {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(CorpusFile(GetParam().file)))
            GTEST_SKIP() << "the corpus aircraft " << CorpusFile(GetParam().file).string()
                         << " is absent";
        PushbackHost::SetUp();
    }
    void TearDown() override {
        simhost::SetAfterFrameHook(nullptr);
        PushbackHost::TearDown();
    }
    void Configure(simhost::HostConfig& config) override {
        config.aircraftFile = CorpusFile(GetParam().file);
    }
    void BeforeLoad(const std::filesystem::path& sandbox) override {
        std::ofstream(sandbox / "Output/preferences/Quorren.Tarvosk.prf")
            << "FRONT_WHEEL=" << (GetParam().frontWheel ? 1 : 0) << "\n";
    }

    // Where gear `slot` is: the aircraft's position (its centre of gravity) plus the gear's
    // body offset rotated by roll, pitch and heading, from the datarefs alone.
    static void Wheel(int slot, double* x, double* z) {
        const double rad = std::acos(-1.0) / 180.0;
        const double psi = Get(kPsi) * rad, theta = Get("sim/flightmodel/position/theta") * rad,
                     phi = Get("sim/flightmodel/position/phi") * rad;
        const double gx = Get("sim/aircraft/parts/acf_gear_xnodef", slot),
                     gy = Get("sim/aircraft/parts/acf_gear_ynodef", slot),
                     gz = Get("sim/aircraft/parts/acf_gear_znodef", slot);
        const double x1 = gx * std::cos(phi) + gy * std::sin(phi);
        const double y1 = gy * std::cos(phi) - gx * std::sin(phi);
        const double z1 = y1 * std::sin(theta) + gz * std::cos(theta);
        *x = Get(kLocalX) + x1 * std::cos(psi) - z1 * std::sin(psi);
        *z = Get(kLocalZ) + x1 * std::sin(psi) + z1 * std::cos(psi);
    }
};

TEST_P(RealAircraftPush, TheTugIsAtTheChosenWheelOrThePushIsRefused) {
    const RealAircraft& a = GetParam();
    ASSERT_TRUE(Set(kParkBrake, 0.0));
    const double x0 = Get(kLocalX), z0 = Get(kLocalZ);

    if (a.pushedSlot < 0) {
        ASSERT_TRUE(Choose("Push straight back"));
        simhost::RunSeconds(20.0);
        EXPECT_EQ(Get(kPBstatus), 0.0);
        EXPECT_EQ(Get(kLocalX), x0);
        EXPECT_EQ(Get(kLocalZ), z0);
        EXPECT_TRUE(WindowShows(a.why));
        EXPECT_EQ(SpeechTimes(std::string(a.tail) + a.crew).size(), 1u);
        // The GPU still comes.
        ASSERT_TRUE(Choose("GPU"));
        simhost::RunSeconds(1.0);
        EXPECT_NE(Get(kGPUstatus), 0.0);
        return;
    }

    int pushedFrames = 0;
    double worst = 0;
    simhost::SetAfterFrameHook([&] {
        if (Get("tarvosk/diagnostics/truck_phase") != 2) return;
        double wx, wz;
        Wheel(a.pushedSlot, &wx, &wz);
        worst = std::max(worst, std::hypot(Get(kTruckX) - wx, Get(kTruckZ) - wz));
        ++pushedFrames;
    });
    ASSERT_TRUE(PushToTheEnd("Push straight back"));
    simhost::SetAfterFrameHook(nullptr);
    EXPECT_GT(pushedFrames, 30);  // the Cub's 5 m leg at 0.1 m a frame
    EXPECT_LE(worst, 0.3) << "the tug strayed from gear slot " << a.pushedSlot;
    // Pushed three quarters of its length straight back.
    const double length = Get("sim/aircraft/view/acf_size_z");
    EXPECT_NEAR(std::hypot(Get(kLocalX) - x0, Get(kLocalZ) - z0),
                static_cast<int>(0.75 * static_cast<int>(length)), 0.5);
    EXPECT_EQ(simhost::BadHandleAccesses(), 0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, RealAircraftPush, ::testing::ValuesIn(kAircraft),
                         [](const ::testing::TestParamInfo<RealAircraft>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
}  // namespace tarvosk::testing
