#include "config/stands.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "config/plain_numbers.h"
#include "test_folder.h"

namespace tarvosk {
namespace {

using testing::FreshFolder;
using testing::ReadFile;
using testing::WriteFile;

constexpr double kMetre = 1.0 / 111194.9;  // a metre of latitude in degrees

StandKey At(double northMetres, double heading, const char* airport = "LSZH") {
    return {47.45 + northMetres * kMetre, 8.56, heading, airport};
}

TEST(StandPlans, ABrokenLineCostsOnlyItself) {
    std::ostringstream log;
    StandPlans stands("", &log);
    stands.Parse(
        "# comment\r\n"
        "47.45 8.56 90 LSZH 35 -60 10\r\n"
        "47.45 8.56 90 LSZH 35 -60\n"       // a field short
        "47.45 8.56 90 LSZH 35 -60 10 7\n"  // a field over
        "47.45 8.56 90 LSZH 35 nan 10\n"    // not a number
        "91 8.56 90 LSZH 35 0 10\n"         // no such latitude
        "47.45 8.56 90 LSZH 201 0 10\n"     // beyond the plan's limits
        "47.45 8.56 90 LS/ZH 35 0 10\n"     // not an airport identifier
        "\n"
        "47.46 8.57 270.5 - 0 180 0");  // no airport, no final line end
    ASSERT_EQ(stands.Stands().size(), 2u);
    EXPECT_EQ(stands.Stands()[0].plan.turn, -60.0);
    EXPECT_EQ(stands.Stands()[1].key.airport, "");
    EXPECT_EQ(stands.Stands()[1].plan.turn, 180.0);
    EXPECT_NE(log.str().find("line 3 does not read"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("line 8 does not read"), std::string::npos) << log.str();
}

TEST(StandPlans, TheSameStandIsWithinTenMetresAndTenDegrees) {
    StandPlans stands;
    stands.Store(At(0, 355), {35, -60, 10});
    struct Case {
        StandKey where;
        bool found;
    } cases[] = {
        {At(9.5, 355), true},   {At(10.5, 355), false},       // ten metres
        {At(0, 4), true},       {At(0, 6), false},            // ten degrees, across north
        {At(0, 355, ""), true}, {At(0, 355, "LSGG"), false},  // airport where known
        {At(-9.0, 346), true},
    };
    for (const Case& c : cases) {
        const PushPlan* plan = stands.Find(c.where);
        EXPECT_EQ(plan != nullptr, c.found)
            << c.where.latitude << " " << c.where.heading << " " << c.where.airport;
        if (plan != nullptr) {
            EXPECT_EQ(plan->straight, 35.0);
        }
    }
}

TEST(StandPlans, StoredPlansSurviveARestartAndReplaceTheirStand) {
    const std::string path = (FreshFolder() / "Quorren.Tarvosk.stands").string();
    WriteFile(path, "garbage line\n");
    {
        StandPlans stands(path, nullptr);
        EXPECT_TRUE(stands.Store(At(0, 90), {35, -60, 10}));
        EXPECT_TRUE(stands.Store(At(100, 90), {20, 0, 0}));
        EXPECT_TRUE(stands.Store(At(3, 92), {12.25, 45.5, 0.125}));  // the first stand again
    }
    StandPlans again(path, nullptr);
    ASSERT_EQ(again.Stands().size(), 2u) << ReadFile(path);
    const PushPlan* plan = again.Find(At(0, 90));
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->straight, 12.25);
    EXPECT_EQ(plan->turn, 45.5);
    EXPECT_EQ(plan->after, 0.125);
    EXPECT_EQ(ReadFile(path).find("garbage"), std::string::npos);
}

TEST(PlainDecimals, ReadAndWriteAlikeInEveryLocale) {
    struct Case {
        const char* text;
        bool reads;
        double value;
    } cases[] = {
        {"47.4582", true, 47.4582},
        {"-0.125", true, -0.125},
        {"+3", true, 3.0},
        {".5", true, 0.5},
        {"7.", true, 7.0},
        {"0.000123", true, 0.000123},
        {"", false, 0},
        {"-", false, 0},
        {".", false, 0},
        {"1.2.3", false, 0},
        {"1e5", false, 0},
        {"12,5", false, 0},
        {"nan", false, 0},
        {" 1", false, 0},
    };
    for (const Case& c : cases) {
        double v = -99;
        EXPECT_EQ(ParsePlainDecimal(c.text, &v), c.reads) << c.text;
        if (c.reads) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(FormatPlainDecimal(47.45820001, 7), "47.4582");
    EXPECT_EQ(FormatPlainDecimal(90, 7), "90.0");
    EXPECT_EQ(FormatPlainDecimal(-0.125, 7), "-0.125");
    EXPECT_EQ(FormatPlainDecimal(-0.00000001, 7), "0.0");
    EXPECT_EQ(FormatPlainDecimal(359.99999996, 7), "360.0");
}

}  // namespace
}  // namespace tarvosk
