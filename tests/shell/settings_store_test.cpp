#include "shell/settings_store.h"
#include "config/version.h"

#include <gtest/gtest.h>

#include "config/settings.h"
#include "test_folder.h"

namespace tarvosk {
namespace {

class SettingsStore : public ::testing::Test {
  protected:
    void SetUp() override { gSettings = Settings{}; }
    QN_Properties Empty() { return QN_Properties("", nullptr); }
};

TEST_F(SettingsStore, DefaultsSaveAsTheFourteenLines) {
    auto path = testing::FreshFolder() / "Quorren.Tarvosk.prf";
    QN_Properties properties(path.string(), nullptr);
    gSettings.Truck = "TVKdefault";
    StoreSettings(properties);
    ASSERT_TRUE(properties.Save());
    EXPECT_EQ(testing::ReadFile(path),
              "ALLOW_ENGN_ON=0\nAURAL_CREW_MESSAGE=1\nDRAW_TRUCK=1\nFRONT_WHEEL=1\nHANDLE_GPU=1\n"
    "MANUAL_RUDDER=1\n"
              "SPEED_PER_SECOND=0\n"
              "SWITCH_VIEW=1\nTRUCK_SPEED=10.000000\nTruck=TVKdefault\nTruckView_KEY=123\n"
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
    gSettings.TruckView_KEY = 5;
    properties["TRUCK_SPEED"] = "nan";  // would move the aircraft by NaN every frame
    properties["SWITCH_VIEW"] = "yes";
    properties["TruckView_KEY"] = "99999999999";
    ReadSettings(properties);
    EXPECT_EQ(gSettings.TRUCK_SPEED, 10.0f);
    EXPECT_DOUBLE_EQ(gSettings.truckSpeedFactor, 0.1);
    EXPECT_TRUE(gSettings.SWITCH_VIEW);
    EXPECT_EQ(gSettings.TruckView_KEY, 123);
    EXPECT_EQ(properties["ALLOW_ENGN_ON"], "");  // absent keys are read, hence inserted
    EXPECT_FALSE(gSettings.ALLOW_ENGN_ON);
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
