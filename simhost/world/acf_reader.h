// Real X-Plane aircraft files (.acf, the text format of X-Plane 10 to 12): the few properties
// the simulated host publishes, read from untrusted text. No dependency on the rest of the host,
// so the fuzz target builds it alone.
#pragma once

#include <string>
#include <string_view>

namespace simhost::detail {

inline constexpr int kAcfGearSlots = 10;  // the simulator's gear arrays
inline constexpr double kFeet = 0.3048;   // metres per foot

// One gear slot as the file gives it: feet from the reference point, x right, y up, z aft.
struct AcfGear {
    int type = 0;  // 0 none, 1 skid, 2 and up wheels
    double x = 0, y = 0, z = 0, legLength = 0, tyreRadius = 0;
    double steerLow = 0, steerHigh = 0;  // degrees; 0 both: the gear does not steer
    bool castors = false;
};

struct AcfFile {
    int version = 0;                                  // 1000 and up
    std::string name, description, icao, tailNumber;  // empty where the file has none
    int engines = 0;
    double maxWeightLb = 0;
    double cgY = 0, cgZ = 0;  // centre of gravity, feet from the reference point
    AcfGear gear[kAcfGearSlots];
    // The outline from the wings' and bodies' geometry, feet from the reference point; zero
    // where the file has no geometry.
    double halfSpan = 0, noseZ = 0, tailZ = 0;
};

// True when the text starts with an aircraft file's header ("I" or "A", "NNNN version", "ACF").
bool LooksLikeAcf(std::string_view text);

// Reads a whole file's text. On failure returns false, leaves *out alone and sets *error to
// "file:line: reason".
bool ReadAcf(std::string_view text, const std::string& fileName, AcfFile* out, std::string* error);

}  // namespace simhost::detail
