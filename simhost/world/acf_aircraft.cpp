// A real aircraft file as the host's aircraft, and the gear datarefs of any aircraft, in the
// simulator's units and frames: metres, body axes (x right, y up, z aft) relative to the
// centre of gravity, which is also the aircraft's local position.
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "sdk/datarefs.h"
#include "world/acf_reader.h"
#include "world/aircraft.h"

namespace simhost::detail {

namespace {

constexpr double kKgPerLb = 0.45359237;
constexpr int kMaxEngines = 8;  // the host's engine arrays
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
// The default airliner's nose, metres ahead of its position: where the stand expects a nose.
constexpr double kStandNoseZ = -17.8;

// The folder and file stem the sandbox gets: the file's own stem when it is a plain name.
std::string PlainName(const std::string& fileName) {
    const std::string stem = std::filesystem::path(fileName).stem().string();
    const bool plain = !stem.empty() && stem != "." && stem != ".." &&
                       stem.find_first_of("/\\:") == std::string::npos && stem.size() < 100;
    return plain ? stem : "Aircraft";
}

float Metres(double feet) {
    return static_cast<float>(feet * kFeet);
}

}  // namespace

bool ParseAcfAircraft(const std::string& text, const std::string& fileName, Aircraft* out,
                      std::string* error) {
    AcfFile f;
    if (!ReadAcf(text, fileName, &f, error)) return false;
    // Where it stands, its brake and its switches: the default airliner's stand.
    Aircraft a;
    if (!ParseAircraft(DefaultAircraftText(), "default-airliner.acf.txt", &a, error)) return false;
    a.acfVersion = f.version;
    a.name = PlainName(fileName);
    a.tailNumber = f.tailNumber.substr(0, 39);
    a.uiName = f.name;
    a.description = f.description;
    a.icao = f.icao;
    a.engines = std::clamp(f.engines, 0, kMaxEngines);
    a.maxWeightKg = static_cast<float>(f.maxWeightLb * kKgPerLb);

    a.gear.assign(kAcfGearSlots, GearSlot{});
    double lowest = 0;  // lowest contact point below the centre of gravity
    bool anyGear = false;
    double gearHalfWidth = 0, gearFront = 0, gearBack = 0;
    for (int k = 0; k < kAcfGearSlots; ++k) {
        const AcfGear& g = f.gear[k];
        if (g.type <= 0) continue;  // an unused slot publishes zeros, as the simulator's do
        GearSlot& s = a.gear[static_cast<std::size_t>(k)];
        s.type = g.type;
        s.steers = g.steerLow != 0 || g.steerHigh != 0 || g.castors;
        s.leg = {Metres(g.x), Metres(g.y - f.cgY), Metres(g.z - f.cgZ), Metres(g.legLength),
                 Metres(g.tyreRadius)};
        const double contact = static_cast<double>(s.leg.y) - s.leg.legLength - s.leg.tyreRadius;
        lowest = anyGear ? std::min(lowest, contact) : contact;
        anyGear = true;
        gearHalfWidth = std::max(gearHalfWidth, std::fabs(static_cast<double>(s.leg.x)));
        gearFront = std::min(gearFront, static_cast<double>(s.leg.z));
        gearBack = std::max(gearBack, static_cast<double>(s.leg.z));
    }
    // Standing on its gear: the lowest tyre (or skid) touches the ground. Without any gear the
    // aircraft rests on its belly, a little below the centre of gravity.
    a.y = a.groundY + (anyGear ? -lowest : 0.5);

    AircraftOutline& o = a.outline;
    o.bodyY = -f.cgY * kFeet;  // the reference point: usually the fuselage's axis
    if (f.tailZ > f.noseZ) {
        o.noseZ = (f.noseZ - f.cgZ) * kFeet;
        o.tailZ = (f.tailZ - f.cgZ) * kFeet;
    } else {  // no body geometry: around the gear
        o.noseZ = std::min(gearFront - 1.0, -1.0);
        o.tailZ = std::max(gearBack + 1.0, 1.0);
    }
    o.halfSpan = f.halfSpan > 0 ? f.halfSpan * kFeet : std::max(gearHalfWidth + 0.5, 1.0);
    a.sizeX = static_cast<float>(2 * o.halfSpan);
    a.sizeZ = static_cast<float>(o.tailZ - o.noseZ);
    // Parked as the airliner is: its nose at the same point short of the stop bar.
    const double aft = kStandNoseZ - o.noseZ;
    const double psi = a.heading * kDegToRad;
    a.x -= aft * std::sin(psi);
    a.z += aft * std::cos(psi);
    *out = a;
    return true;
}

std::vector<GearSlot> GearTable(const Aircraft& a) {
    if (!a.gear.empty()) return a.gear;
    std::vector<GearSlot> slots(kAcfGearSlots);
    slots[0] = {2, true, a.nose};
    slots[1] = {2, false, a.mainLeft};
    slots[2] = {2, false, a.mainRight};
    return slots;
}

void RegisterAirframeDatarefs(const AddSimDataref& add, const Aircraft& a, int version) {
    constexpr int FA = xplmType_FloatArray, IA = xplmType_IntArray, F = xplmType_Float;
    const std::vector<GearSlot> slots = GearTable(a);
    // Simulators from 800 on index the gear from 0; older ones keep the nose and the main gear
    // at 67 and 68 of a longer parts array, and have no gear table.
    const bool oldGear = version < 800;
    const std::size_t size = oldGear ? 73 : kAcfGearSlots;
    struct Array {
        const char* name;
        float GearLeg::*field;
        bool writable, since800;
    };
    static const Array kArrays[] = {
        {"sim/aircraft/parts/acf_gear_xnodef", &GearLeg::x, true, false},
        {"sim/aircraft/parts/acf_gear_ynodef", &GearLeg::y, true, false},
        {"sim/aircraft/parts/acf_gear_znodef", &GearLeg::z, true, false},
        {"sim/aircraft/parts/acf_gear_leglen", &GearLeg::legLength, true, false},
        {"sim/aircraft/parts/acf_gear_tirrad", &GearLeg::tyreRadius, true, false},
        {"sim/flightmodel2/gear/tire_radius_mtrs", &GearLeg::tyreRadius, false, true},
    };
    for (const Array& array : kArrays) {
        if (oldGear && array.since800) continue;
        DatarefEntry* e = add(array.name, FA, array.writable);
        e->vf.assign(size, 0.0f);
        for (std::size_t k = 0; k < slots.size() && k < kAcfGearSlots; ++k)
            e->vf[k] = slots[k].leg.*array.field;
        if (oldGear) {
            e->vf[67] = slots[0].leg.*array.field;
            e->vf[68] = slots[1].leg.*array.field;
        }
    }
    if (!oldGear) {
        DatarefEntry* type = add("sim/aircraft/parts/acf_gear_type", IA, true);
        DatarefEntry* steers = add("sim/aircraft/overflow/acf_gear_steers", IA, false);
        type->vi.assign(kAcfGearSlots, 0);
        steers->vi.assign(kAcfGearSlots, 0);
        for (std::size_t k = 0; k < slots.size() && k < kAcfGearSlots; ++k) {
            type->vi[k] = slots[k].type;
            steers->vi[k] = slots[k].steers ? 1 : 0;
        }
    }
    add("sim/aircraft/weight/acf_m_max", F, true)->f = a.maxWeightKg;
    // The name, description and type code, where the file gives them (byte arrays, as the
    // simulator's).
    auto text = [&](const char* name, const std::string& value, std::size_t length) {
        DatarefEntry* e = add(name, xplmType_Data, true);
        e->bytes.assign(length, '\0');
        std::copy_n(value.begin(), std::min(value.size(), length - 1), e->bytes.begin());
    };
    text("sim/aircraft/view/acf_ui_name", a.uiName, 256);
    text("sim/aircraft/view/acf_descrip", a.description, 260);
    text("sim/aircraft/view/acf_ICAO", a.icao, 40);
}

}  // namespace simhost::detail
