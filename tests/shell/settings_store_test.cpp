#include "shell/settings_store.h"
#include "config/version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "config/log.h"
#include "config/settings.h"
#include "test_folder.h"

namespace tarvosk {
namespace {

class SettingsStore : public ::testing::Test {
  protected:
    void SetUp() override { gSettings = Settings{}; }
    QN_Properties Empty() { return QN_Properties("", nullptr); }
};

TEST_F(SettingsStore, DefaultsSaveAsTheFifteenLines) {
    auto path = testing::FreshFolder() / "Quorren.Tarvosk.prf";
    QN_Properties properties(path.string(), nullptr);
    gSettings.Truck = "TVKdefault";
    StoreSettings(properties);
    ASSERT_TRUE(properties.Save());
    EXPECT_EQ(testing::ReadFile(path),
              "ALLOW_ENGN_ON=0\nANSWER_XP_PUSHBACK=1\nAURAL_CREW_MESSAGE=1\nDRAW_TRUCK=1\nFRONT_"
              "WHEEL=1\nHANDLE_GPU=1\n"
              "MANUAL_RUDDER=1\n"
              "SPEED_PER_SECOND=0\n"
              "SWITCH_VIEW=1\nTRAFFIC_CLEARANCE=3.000000\nTRUCK_SPEED=10.000000\nTruck="
              "TVKdefault\nTruckView_KEY=123\n"
              "TruckView_KF=8\nVERSION=" +
                  std::string(kTarvoskVersion) + "\nWRITTEN_CREW_MESSAGE=1\n");
}

TEST_F(SettingsStore, ChangedSettingsComeBack) {
    QN_Properties properties = Empty();
    gSettings.SWITCH_VIEW = false;
    gSettings.ALLOW_ENGN_ON = true;
    gSettings.TRUCK_SPEED = 25.0f;
    gSettings.TruckView_KEY = 0x70;
    gSettings.Truck = "Tug";
    StoreSettings(properties);
    EXPECT_EQ(properties["TRUCK_SPEED"], "25.000000");
    gSettings = Settings{};
    ReadSettings(properties);
    EXPECT_FALSE(gSettings.SWITCH_VIEW);
    EXPECT_TRUE(gSettings.ALLOW_ENGN_ON);
    EXPECT_EQ(gSettings.TRUCK_SPEED, 25.0f);
    EXPECT_DOUBLE_EQ(gSettings.truckSpeedFactor, 0.25);
    EXPECT_EQ(gSettings.TruckView_KEY, 0x70);
    EXPECT_EQ(gSettings.Truck, "Tug");
}

TEST_F(SettingsStore, KeyFlagsZeroResetsTheKeyToF12) {
    QN_Properties properties = Empty();
    properties["TruckView_KEY"] = "113";
    properties["TruckView_KF"] = "0";
    ReadSettings(properties);
    EXPECT_EQ(gSettings.TruckView_KEY, 123);
    properties["TruckView_KF"] = "8";
    ReadSettings(properties);
    EXPECT_EQ(gSettings.TruckView_KEY, 113);
}

TEST_F(SettingsStore, SwitchIsOnOnlyWhenItReadsOne) {
    QN_Properties properties = Empty();
    properties["DRAW_TRUCK"] = "2";
    properties["HANDLE_GPU"] = "1 and more";
    properties["FRONT_WHEEL"] = "0";
    ReadSettings(properties);
    EXPECT_FALSE(gSettings.DRAW_TRUCK);
    EXPECT_TRUE(gSettings.HANDLE_GPU);
    EXPECT_FALSE(gSettings.FRONT_WHEEL);
}

TEST_F(SettingsStore, UnreadableValuesGiveDefaults) {
    QN_Properties properties = Empty();
    gSettings.SWITCH_VIEW = false;
    properties["SWITCH_VIEW"] = "yes";
    ReadSettings(properties);
    EXPECT_TRUE(gSettings.SWITCH_VIEW);
    EXPECT_EQ(properties["ALLOW_ENGN_ON"], "");  // absent keys are read, hence inserted
    EXPECT_FALSE(gSettings.ALLOW_ENGN_ON);
}

// Every numeric setting is held to its range as it is read: a number outside it becomes the
// nearer end, text that is no number (NaN too) the default; the log says what was replaced.
TEST_F(SettingsStore, NumbersAreHeldToTheirRangesAndEachReplacementIsLogged) {
    struct Case {
        const char* key;
        const char* text;
        double expected;
        const char* logged;  // the whole log line, or "" for none
    };
    const Case cases[] = {
        {"TRUCK_SPEED", "1e9", 50,
         "[WRNG] Setting TRUCK_SPEED=1e9 is outside its range 1 to 50: 50 is used\n"},
        {"TRUCK_SPEED", "inf", 50,
         "[WRNG] Setting TRUCK_SPEED=inf is outside its range 1 to 50: 50 is used\n"},
        {"TRUCK_SPEED", "-5", 1,
         "[WRNG] Setting TRUCK_SPEED=-5 is outside its range 1 to 50: 1 is used\n"},
        {"TRUCK_SPEED", "0.000000", 1,
         "[WRNG] Setting TRUCK_SPEED=0.000000 is outside its range 1 to 50: 1 is used\n"},
        {"TRUCK_SPEED", "fast", 10,
         "[WRNG] Setting TRUCK_SPEED=fast is not a number: the default 10 is used\n"},
        {"TRUCK_SPEED", "nan", 10,
         "[WRNG] Setting TRUCK_SPEED=nan is not a number: the default 10 is used\n"},
        {"TRUCK_SPEED", "1.000000", 1, ""},
        {"TRUCK_SPEED", "12.5", 12.5, ""},
        {"TRUCK_SPEED", "50.000000", 50, ""},
        {"TRUCK_SPEED", "", 10, ""},  // an older file without the key
        {"TruckView_KEY", "99999999999", 127,
         "[WRNG] Setting TruckView_KEY=99999999999 is outside its range -128 to 127: 127 is "
         "used\n"},
        {"TruckView_KEY", "189", 127,
         "[WRNG] Setting TruckView_KEY=189 is outside its range -128 to 127: 127 is used\n"},
        {"TruckView_KEY", "-129", -128,
         "[WRNG] Setting TruckView_KEY=-129 is outside its range -128 to 127: -128 is used\n"},
        {"TruckView_KEY", "F12", 123,
         "[WRNG] Setting TruckView_KEY=F12 is not a number: the default 123 is used\n"},
        {"TruckView_KEY", "nan", 123,
         "[WRNG] Setting TruckView_KEY=nan is not a number: the default 123 is used\n"},
        {"TruckView_KEY", "-80", -80, ""},  // 0xB0, "=", as the key sniffer stores it
        {"TruckView_KEY", "127", 127, ""},
        {"TRAFFIC_CLEARANCE", "25", 20,
         "[WRNG] Setting TRAFFIC_CLEARANCE=25 is outside its range 0 to 20: 20 is used\n"},
        {"TRAFFIC_CLEARANCE", "-1", 0,
         "[WRNG] Setting TRAFFIC_CLEARANCE=-1 is outside its range 0 to 20: 0 is used\n"},
        {"TRAFFIC_CLEARANCE", "0.000000", 0, ""},  // the watch off
        {"TRAFFIC_CLEARANCE", "", 3, ""},
    };
    // A numeric setting added to the table must be added here too.
    for (const NumericRange& range : kNumericRanges) {
        EXPECT_TRUE(std::any_of(std::begin(cases), std::end(cases), [&](const Case& c) {
            return std::string(c.key) == range.key;
        })) << range.key;
    }
    const auto log = testing::FreshFolder() / "Tarvosk.log";
    ASSERT_TRUE(OpenLog(log.string()));
    for (const Case& c : cases) {
        gSettings = Settings{};
        QN_Properties properties = Empty();
        properties[c.key] = c.text;
        const std::size_t logSize = testing::ReadFile(log).size();
        ReadSettings(properties);
        const std::string key = c.key;
        const double read = key == "TRUCK_SPEED"         ? gSettings.TRUCK_SPEED
                            : key == "TRAFFIC_CLEARANCE" ? gSettings.TRAFFIC_CLEARANCE
                                                         : gSettings.TruckView_KEY;
        EXPECT_EQ(read, c.expected) << key << "=" << c.text;
        EXPECT_DOUBLE_EQ(gSettings.truckSpeedFactor, gSettings.TRUCK_SPEED / 100.0);
        EXPECT_EQ(testing::ReadFile(log).substr(logSize), c.logged) << key << "=" << c.text;
    }
    OpenLog("");  // the log goes with the test's folder
}

TEST_F(SettingsStore, TruckIsTheFirstWordOfAtMost99Characters) {
    QN_Properties properties = Empty();
    properties["Truck"] = "My Tug";
    ReadSettings(properties);
    EXPECT_EQ(gSettings.Truck, "My");
    properties["Truck"] = std::string(150, 't');
    ReadSettings(properties);
    EXPECT_EQ(gSettings.Truck, std::string(99, 't'));
}

TEST_F(SettingsStore, SpeedPerSecondIsOffUnlessTheFileSaysOne) {
    QN_Properties properties = Empty();
    gSettings.SPEED_PER_SECOND = true;
    ReadSettings(properties);  // a file from before the key: per frame, as it always was
    EXPECT_FALSE(gSettings.SPEED_PER_SECOND);
    properties["SPEED_PER_SECOND"] = "1";
    ReadSettings(properties);
    EXPECT_TRUE(gSettings.SPEED_PER_SECOND);
    StoreSettings(properties);
    EXPECT_EQ(properties["SPEED_PER_SECOND"], "1");
}

}  // namespace
}  // namespace tarvosk
