// Real aircraft files in the host: what they publish, in the simulator's units and frames,
// and the files it refuses.
#include <cmath>
#include <fstream>
#include <string>

#include "support.h"

// The reader and the model are tested through their own headers.
#include "world/acf_reader.h"
#include "world/aircraft.h"

namespace {

using simhost::detail::Aircraft;
using simhost::detail::ParseAircraft;
using simhost_test::HostTest;

constexpr double kFt = 0.3048;

// A small hand-written file: properties out of order, CR LF line ends, capital-E scientific
// notation, gear slots 0, 3 (a skid), 4 (a dummy wheel) and 9 with gaps between them, a slot 10
// beyond the simulator's arrays, and the panel blocks X-Plane writes after the properties.
std::string Heavy(const char* eol = "\r\n") {
    const char* lines[] = {
        "I",
        "1200 Version",
        "ACF",
        "",
        "PROPERTIES_BEGIN",
        "P acf/_cgZ 5.0E1",
        "P _gear/9/_gear_type 3",
        "P _gear/9/_gear_x -1.0E1",
        "P _gear/9/_gear_y -4.0",
        "P _gear/9/_gear_z 60.000000000",
        "P _gear/9/_leg_len 6.0",
        "P _gear/9/_tire_radius 2.0",
        "P _gear/0/_gear_type 2",
        "P _gear/0/_gear_x 1.5",
        "P _gear/0/_gear_y -5.0",
        "P _gear/0/_gear_z 10.0",
        "P _gear/0/_leg_len 0.0",
        "P _gear/0/_tire_radius 1.0",
        "P _gear/0/_steerdeg_lospeed 0.0",
        "P _gear/0/_gear_castors 1",
        "P _gear/10/_gear_type 2",
        "P _gear/10/_tire_radius 9.0",
        "P _gear/3/_gear_type 1",
        "P _gear/3/_gear_z 90.0",
        "P _gear/4/_gear_type 2",
        "P _gear/4/_tire_radius 0.0328",
        "P _gear/4/_gear_z 20.0",
        "P acf/_m_max 2.2046226E5",
        "P acf/_cgY 2.0",
        "P acf/_tailnum TVK747",
        "P acf/_descrip A heavy with spaces in its name",
        "P acf/_name Heavy",
        "P acf/_num_engn 4",
        "P _wing/0/_geo_xyz/0,0,0 -100.0",
        "P _wing/0/_geo_xyz/0,0,2 40.0",
        "P _body/0/_part_z 5.0",
        "P _body/0/_geo_xyz/0,0,2 -5.0",
        "P _body/0/_geo_xyz/9,0,2 195.0",
        "PROPERTIES_END",
        "",
        "PANEL_2D_BEGIN",
        "  whatever the panel holds",
        "PANEL_2D_END",
    };
    std::string text;
    for (const char* l : lines) text += std::string(l) + eol;
    return text;
}

TEST(AcfFile, PublishesTheGearTableInMetresFromTheCentreOfGravity) {
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(eol)));
        Aircraft a;
        std::string error;
        ASSERT_TRUE(ParseAircraft(Heavy(eol), "heavy.acf", &a, &error)) << error;
        EXPECT_EQ(a.acfVersion, 1200);
        EXPECT_EQ(a.name, "heavy");
        EXPECT_EQ(a.tailNumber, "TVK747");
        EXPECT_EQ(a.description, "A heavy with spaces in its name");
        EXPECT_EQ(a.uiName, "Heavy");
        EXPECT_EQ(a.engines, 4);
        EXPECT_NEAR(a.maxWeightKg, 100000.0, 1.0);
        ASSERT_EQ(a.gear.size(), 10u);
        struct Slot {
            int slot, type;
            bool steers;
            double x, y, z, leg, tyre;  // feet from the reference point
        };
        // CG at y 2, z 50 feet; the castoring slot 0 counts as steering.
        for (const Slot& s :
             {Slot{0, 2, true, 1.5, -5.0, 10.0, 0.0, 1.0}, Slot{1, 0, false, 0, 2, 50, 0, 0},
              Slot{3, 1, false, 0, 0, 90, 0, 0}, Slot{4, 2, false, 0, 0, 20, 0, 0.0328},
              Slot{9, 3, false, -10.0, -4.0, 60.0, 6.0, 2.0}}) {
            SCOPED_TRACE(s.slot);
            const auto& g = a.gear[static_cast<std::size_t>(s.slot)];
            EXPECT_EQ(g.type, s.type);
            EXPECT_EQ(g.steers, s.steers);
            if (s.type == 0) {
                EXPECT_EQ(g.leg.x, 0.0f);  // an unused slot publishes zeros
                EXPECT_EQ(g.leg.z, 0.0f);
                continue;
            }
            EXPECT_NEAR(g.leg.x, s.x * kFt, 1e-4);
            EXPECT_NEAR(g.leg.y, (s.y - 2.0) * kFt, 1e-4);
            EXPECT_NEAR(g.leg.z, (s.z - 50.0) * kFt, 1e-4);
            EXPECT_NEAR(g.leg.legLength, s.leg * kFt, 1e-4);
            EXPECT_NEAR(g.leg.tyreRadius, s.tyre * kFt, 1e-4);
        }
        // It stands on its lowest tyre: slot 9's, (-4 - 6 - 2 - 2) feet below the CG.
        EXPECT_NEAR(a.y - a.groundY, 14.0 * kFt, 1e-4);
        EXPECT_NEAR(a.sizeX, 200.0 * kFt, 1e-3);  // wing tip at 100 feet
        EXPECT_NEAR(a.sizeZ, 200.0 * kFt, 1e-3);  // body from 0 to 200 feet
    }
}

class RealAircraftFile : public HostTest {};

TEST_F(RealAircraftFile, IsWhatTheDatarefsSay) {
    const std::filesystem::path file = simhost_test::SandboxFor("-files") / "heavy.acf";
    {
        std::ofstream out(file, std::ios::binary);
        out << Heavy();
    }
    simhost::Shutdown();
    config_.aircraftFile = file;
    std::string error;
    ASSERT_TRUE(simhost::Reset(config_, &error)) << error;
    plugin_ =
        simhost::AttachInProcessPlugin("Tester", config_.sandbox / "Resources/plugins/Tester.xpl");
    int types[10], steers[10];
    float z[10], tyres[10];
    ASSERT_EQ(XPLMGetDatavi(XPLMFindDataRef("sim/aircraft/parts/acf_gear_type"), types, 0, 10), 10);
    XPLMDataRef steersRef = XPLMFindDataRef("sim/aircraft/overflow/acf_gear_steers");
    ASSERT_EQ(XPLMGetDatavi(steersRef, steers, 0, 10), 10);
    ASSERT_EQ(XPLMGetDatavf(XPLMFindDataRef("sim/aircraft/parts/acf_gear_znodef"), z, 0, 10), 10);
    XPLMGetDatavf(XPLMFindDataRef("sim/flightmodel2/gear/tire_radius_mtrs"), tyres, 0, 10);
    EXPECT_EQ(types[0], 2);
    EXPECT_EQ(types[9], 3);
    EXPECT_EQ(steers[0], 1);
    EXPECT_NEAR(z[9], 10 * kFt, 1e-4);
    EXPECT_NEAR(tyres[9], 2 * kFt, 1e-4);
    // The simulator's own: plug-ins may not change which gear steers.
    XPLMSetDatavi(steersRef, types, 0, 10);
    EXPECT_EQ(simhost::ReadOnlyWrites(), 1);
    EXPECT_NEAR(XPLMGetDataf(XPLMFindDataRef("sim/aircraft/weight/acf_m_max")), 100000.0, 1.0);
    EXPECT_EQ(XPLMGetDatai(XPLMFindDataRef("sim/aircraft/engine/acf_num_engines")), 4);
}

TEST(AcfFile, RefusesWhatIsNotOneOrIsCutShort) {
    struct Case {
        std::string text, error;
    };
    const std::string head = "I\n1100 Version\nACF\nPROPERTIES_BEGIN\n";
    const Case cases[] = {
        {"A\n", "f.acf:1: the file ends before its version line: it is cut short"},
        {"I\n800 version\nACF\n", "f.acf:2: version 800 is not the text format"},
        {"I\nACF\n", "f.acf:2: expected the version line 'NNNN Version', got 'ACF'"},
        {"I\n1100 Version\nOBJ\n", "f.acf:3: expected 'ACF', got 'OBJ'"},
        {"I\n1100 Version\nACF\n\nP acf/_cgY 1\n", "f.acf:5: expected PROPERTIES_BEGIN"},
        {head + "P acf/_cgY 1\nP _gear/0/_gear_type 2\n",
         "f.acf:6: the file ends before PROPERTIES_END: it is cut short"},
        {head + "P _gear/0/_gear_x 1.5.2\nPROPERTIES_END\n",
         "f.acf:5: '_gear/0/_gear_x' needs a number, got '1.5.2'"},
        {head + "P _gear/0/_gear_type 2.5\nPROPERTIES_END\n",
         "f.acf:5: '_gear/0/_gear_type' must be a whole number"},
        {head + "P _gear/0/_tire_radius -1\nPROPERTIES_END\n",
         "f.acf:5: '_gear/0/_tire_radius' = -1 is out of range"},
        {head + "P acf/_cgZ nan\nPROPERTIES_END\n", "f.acf:5: 'acf/_cgZ' needs a number"},
        {head + "P acf/_cgZ 1e999\nPROPERTIES_END\n", "f.acf:5: 'acf/_cgZ' needs a number"},
        {head + "garbage\nPROPERTIES_END\n", "f.acf:5: expected 'P key value' or PROPERTIES_END"},
        {head + "PROPERTIES_END\nPANEL_2D_BEGIN\nPANEL_2D_END\nPANEL_3D_BEGIN\nGROUP a\n",
         "f.acf:9: the file ends inside the PANEL_3D block opened on line 8: it is cut short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Aircraft a;
        a.name = "untouched";
        std::string error;
        EXPECT_FALSE(ParseAircraft(c.text, "f.acf", &a, &error));
        EXPECT_EQ(error.substr(0, c.error.size()), c.error) << error;
        EXPECT_EQ(a.name, "untouched");  // never half-loaded
    }
}

}  // namespace
