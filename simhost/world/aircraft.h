// The aircraft: its description file and the small state model behind the simulator datarefs.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace simhost::detail {

struct DatarefEntry;
class DatarefRegistry;

struct GearLeg {
    float x = 0, y = 0, z = 0;  // attachment point, body axes (x right, y up, z aft), metres
    float legLength = 0, tyreRadius = 0;
};

// One slot of the simulator's gear table.
struct GearSlot {
    int type = 0;         // 0 none, 1 skid, 2 and up wheels
    bool steers = false;  // steers or castors
    GearLeg leg;          // body axes relative to the centre of gravity, metres
};

// What a real aircraft file adds: the outline the host draws, metres from the centre of
// gravity in body axes.
struct AircraftOutline {
    double noseZ = 0, tailZ = 0, halfSpan = 0, bodyY = 0;
};

// What a description file gives; units are the simulator's (metres, degrees, volts, percent).
struct Aircraft {
    std::string name = "Airliner";  // folder and file stem under <sandbox>/Aircraft/
    std::string tailNumber;
    int engines = 2;
    float sizeX = 0, sizeZ = 0;
    double x = 0, y = 0, z = 0;  // local position of the reference point
    double groundY = 0;          // local y of the ground under the aircraft
    float heading = 0, pitch = 0, roll = 0;
    float parkingBrake = 1;
    float batteryVolts = 24;
    float groundPowerVolts = 28;  // the ground-power receptacle; 0: none
    float n1 = 0;
    int hasJoystick = 1;
    int gearHandleDown = 1;
    GearLeg nose, mainLeft, mainRight;

    // From a real aircraft file (acfVersion 1000 and up): the whole gear table, up to ten
    // slots, and what else the file gives. Empty for the key = value format, whose three legs
    // above become slots 0 to 2.
    int acfVersion = 0;
    std::vector<GearSlot> gear;
    float maxWeightKg = 0;
    std::string uiName, description, icao;
    AircraftOutline outline;
};

// Parses key = value lines ('#' starts a comment). On failure returns false and sets *error to
// "file:line: reason".
bool ParseAircraft(const std::string& text, const std::string& fileName, Aircraft* out,
                   std::string* error);
// The same for a real aircraft file's text (told apart by its header), standing at the
// default airliner's stand with its lowest tyre on the ground.
bool ParseAcfAircraft(const std::string& text, const std::string& fileName, Aircraft* out,
                      std::string* error);
bool LoadAircraftFile(const std::filesystem::path& file, Aircraft* out, std::string* error);
std::filesystem::path DefaultAircraftFile();  // the airliner shipped with the host
const char* DefaultAircraftText();            // built in, for when the file is not installed

// Attitude: the quaternion the simulator keeps, from and to heading, pitch and roll (degrees).
void AnglesToQuaternion(double psi, double theta, double phi, float q[4]);
void QuaternionToAngles(const float q[4], double* psi, double* theta, double* phi);

// The gear table the host publishes: the real file's slots, or the three legs of the key =
// value format as slots 0 (nose, steering), 1 and 2.
std::vector<GearSlot> GearTable(const Aircraft& a);

// The entries the model reads and derives each frame.
struct AircraftRefs {
    DatarefEntry *localX = nullptr, *localY = nullptr, *localZ = nullptr;
    DatarefEntry *psi = nullptr, *theta = nullptr, *the = nullptr, *phi = nullptr, *q = nullptr;
    DatarefEntry *groundspeed = nullptr, *yAgl = nullptr;
    // The pilot's yaw axis (pedals or a twist grip), which the simulator copies into the yaw
    // ratio every frame unless a plug-in overrides the joystick heading.
    DatarefEntry *pilotYaw = nullptr, *yawRatio = nullptr, *overrideYaw = nullptr;
    DatarefEntry* hasJoystick = nullptr;
    bool holdGroundspeed = false, holdYAgl = false;  // a scenario pinned the value
    double lastX = 0, lastZ = 0;
    float lastQ[4] = {};
};

// Registers the simulator's datarefs for `xplaneVersion`, filled from `a`. Names in
// `omitted` exist for the model but FindDataRef does not give them out.
void RegisterSimDatarefs(DatarefRegistry& data, const Aircraft& a, int xplaneVersion,
                         const std::vector<std::string>& omitted, AircraftRefs* refs);
// The gear arrays, the gear table (from 800 on), the weight, description and type code,
// through `add` (name, type, writable for plug-ins), which leaves out what a scenario omits.
using AddSimDataref = std::function<DatarefEntry*(const char*, int, bool)>;
void RegisterAirframeDatarefs(const AddSimDataref& add, const Aircraft& a, int xplaneVersion);
// One frame of the model: attitude from q, ground speed from motion, height above ground, and
// the pilot's yaw axis into the yaw ratio when no plug-in overrides it.
void UpdateAircraft(AircraftRefs& refs, const Aircraft& a, double dt);
// Heading, pitch and roll from q when q changed since the last look.
void AttitudeFromQuaternion(AircraftRefs& refs);
// After a host-side write of heading, pitch or roll: rebuild q so the next frame keeps them.
void AttitudeWritten(AircraftRefs& refs);

}  // namespace simhost::detail
