#include "world/aircraft.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "sdk/datarefs.h"
#include "simhost/files.h"
#include "world/acf_reader.h"

namespace simhost::detail {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Reads exactly `n` numbers from `text`; false if there are fewer, more or malformed ones.
bool Numbers(const std::string& text, int n, double* out) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    for (int k = 0; k < n; ++k) {
        std::string word;
        if (!(in >> word)) return false;
        char* end = nullptr;
        out[k] = std::strtod(word.c_str(), &end);
        if (end == word.c_str() || *end != '\0' || !std::isfinite(out[k])) return false;
    }
    std::string extra;
    return !(in >> extra);
}

}  // namespace

bool ParseAircraft(const std::string& text, const std::string& fileName, Aircraft* out,
                   std::string* error) {
    if (LooksLikeAcf(text)) return ParseAcfAircraft(text, fileName, out, error);
    Aircraft a;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    bool sawTail = false;
    auto fail = [&](const std::string& why) {
        if (error) *error = fileName + ":" + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        line = Trim(line);
        if (line.empty()) continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) return fail("expected 'key = value', got '" + line + "'");
        std::string key = Trim(line.substr(0, eq));
        std::string value = Trim(line.substr(eq + 1));
        if (value.empty()) return fail("no value for '" + key + "'");
        double v[5];
        auto number = [&](double lo, double hi) {
            if (!Numbers(value, 1, v))
                return fail("'" + key + "' needs one number, got '" + value + "'");
            if (v[0] < lo || v[0] > hi)
                return fail("'" + key + "' = " + value + " is out of range");
            return true;
        };
        if (key == "name") {
            if (value.find_first_of("/\\") != std::string::npos || value == "." || value == "..")
                return fail("'name' must be a plain file name");
            a.name = value;
        } else if (key == "tail_number") {
            if (value.size() > 39) return fail("'tail_number' is longer than 39 characters");
            a.tailNumber = value;
            sawTail = true;
        } else if (key == "engines") {
            if (!number(0, 8)) return false;
            if (v[0] != std::floor(v[0])) return fail("'engines' must be a whole number");
            a.engines = static_cast<int>(v[0]);
        } else if (key == "size_x") {
            if (!number(0, 1000)) return false;
            a.sizeX = static_cast<float>(v[0]);
        } else if (key == "size_z") {
            if (!number(0, 1000)) return false;
            a.sizeZ = static_cast<float>(v[0]);
        } else if (key == "position") {
            if (!Numbers(value, 3, v)) return fail("'position' needs three numbers: x y z");
            a.x = v[0];
            a.y = v[1];
            a.z = v[2];
        } else if (key == "ground_y") {
            if (!number(-1e7, 1e7)) return false;
            a.groundY = v[0];
        } else if (key == "heading") {
            if (!number(-360, 360)) return false;
            a.heading = static_cast<float>(v[0] < 0 ? v[0] + 360 : v[0]);
        } else if (key == "pitch") {
            if (!number(-90, 90)) return false;
            a.pitch = static_cast<float>(v[0]);
        } else if (key == "roll") {
            if (!number(-180, 180)) return false;
            a.roll = static_cast<float>(v[0]);
        } else if (key == "parking_brake") {
            if (!number(0, 1)) return false;
            a.parkingBrake = static_cast<float>(v[0]);
        } else if (key == "battery_volts") {
            if (!number(0, 100)) return false;
            a.batteryVolts = static_cast<float>(v[0]);
        } else if (key == "ground_power_volts") {
            if (!number(0, 1000)) return false;
            a.groundPowerVolts = static_cast<float>(v[0]);
        } else if (key == "n1") {
            if (!number(0, 120)) return false;
            a.n1 = static_cast<float>(v[0]);
        } else if (key == "has_joystick") {
            if (!number(0, 1)) return false;
            a.hasJoystick = static_cast<int>(v[0]);
        } else if (key == "gear_handle_down") {
            if (!number(0, 1)) return false;
            a.gearHandleDown = static_cast<int>(v[0]);
        } else if (key == "gear_nose" || key == "gear_left" || key == "gear_right") {
            if (!Numbers(value, 5, v))
                return fail("'" + key + "' needs five numbers: x y z leg_length tyre_radius");
            GearLeg& g = key == "gear_nose"   ? a.nose
                         : key == "gear_left" ? a.mainLeft
                                              : a.mainRight;
            g = {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]),
                 static_cast<float>(v[3]), static_cast<float>(v[4])};
        } else {
            return fail("unknown key '" + key + "'");
        }
    }
    if (!sawTail) {
        ++lineNo;
        return fail("no 'tail_number' given");
    }
    *out = a;
    return true;
}

bool LoadAircraftFile(const std::filesystem::path& file, Aircraft* out, std::string* error) {
    std::string text;
    if (!ReadWholeFile(file, &text, nullptr)) {
        if (error) *error = Utf8(file) + ": cannot open the aircraft file";
        return false;
    }
    return ParseAircraft(text, Utf8(file), out, error);
}

void AnglesToQuaternion(double psi, double theta, double phi, float q[4]) {
    double hp = psi * kDegToRad / 2, ht = theta * kDegToRad / 2, hr = phi * kDegToRad / 2;
    double cp = std::cos(hp), sp = std::sin(hp), ct = std::cos(ht), st = std::sin(ht),
           cr = std::cos(hr), sr = std::sin(hr);
    q[0] = static_cast<float>(cp * ct * cr + sp * st * sr);
    q[1] = static_cast<float>(cp * ct * sr - sp * st * cr);
    q[2] = static_cast<float>(cp * st * cr + sp * ct * sr);
    q[3] = static_cast<float>(sp * ct * cr - cp * st * sr);
}

void QuaternionToAngles(const float qf[4], double* psi, double* theta, double* phi) {
    double q0 = qf[0], q1 = qf[1], q2 = qf[2], q3 = qf[3];
    double norm = std::sqrt(q0 * q0 + q1 * q1 + q2 * q2 + q3 * q3);
    if (norm < 1e-12) {  // no attitude written yet: level, north
        *psi = *theta = *phi = 0;
        return;
    }
    q0 /= norm;
    q1 /= norm;
    q2 /= norm;
    q3 /= norm;
    double sinTheta = std::clamp(2 * (q0 * q2 - q3 * q1), -1.0, 1.0);
    *theta = std::asin(sinTheta) / kDegToRad;
    *phi = std::atan2(2 * (q0 * q1 + q2 * q3), 1 - 2 * (q1 * q1 + q2 * q2)) / kDegToRad;
    double h = std::atan2(2 * (q0 * q3 + q1 * q2), 1 - 2 * (q2 * q2 + q3 * q3)) / kDegToRad;
    if (h < 0) h += 360;
    if (h >= 360) h -= 360;
    *psi = h;
}

void RegisterSimDatarefs(DatarefRegistry& data, const Aircraft& a, int version,
                         const std::vector<std::string>& omitted, AircraftRefs* refs) {
    auto add = [&](const char* name, int type, bool writable) {
        bool listed = true;
        for (const std::string& o : omitted)
            if (o == name) listed = false;
        return data.AddSim(name, type, writable, listed);
    };
    // Writable as the simulator's own dataref lists have them: plug-ins may write the attitude,
    // the gear geometry, the aircraft's description and the controls; the simulator keeps ground
    // speed, height above ground, the joystick's presence, the view and the pause to itself.
    constexpr int F = xplmType_Float, D = xplmType_Double, I = xplmType_Int,
                  FA = xplmType_FloatArray, B = xplmType_Data;
    *refs = AircraftRefs{};
    const bool newPitch = version >= 730, newN1 = version >= 740;
    refs->theta =
        add(newPitch ? "sim/flightmodel/position/theta" : "sim/flightmodel/position/the", F, true);
    refs->localX = add("sim/flightmodel/position/local_x", D, true);
    refs->localZ = add("sim/flightmodel/position/local_z", D, true);
    refs->localY = add("sim/flightmodel/position/local_y", D, true);
    refs->psi = add("sim/flightmodel/position/psi", F, true);
    refs->phi = add("sim/flightmodel/position/phi", F, true);
    add("sim/flightmodel/position/R", F, true);
    refs->q = add("sim/flightmodel/position/q", FA, true);
    refs->groundspeed = add("sim/flightmodel/position/groundspeed", F, false);
    refs->yAgl = add("sim/flightmodel/position/y_agl", F, false);

    RegisterAirframeDatarefs(add, a, version);

    refs->yawRatio = add("sim/joystick/yolk_heading_ratio", F, true);
    refs->overrideYaw = add("sim/operation/override/override_joystick_heading", I, true);
    refs->hasJoystick = add("sim/joystick/has_joystick", I, false);
    refs->hasJoystick->i = a.hasJoystick;
    // Not a simulator dataref: where a scenario puts the pilot's pedals (-1 left .. 1 right).
    refs->pilotYaw = data.AddSim("simhost/pilot/yaw_axis", F, true);
    add("sim/flightmodel/ground/plugin_ground_center", FA, true)->vf.assign(3, 0.0f);
    add("sim/flightmodel/controls/parkbrake", F, true)->f = a.parkingBrake;
    add("sim/cockpit/switches/gear_handle_status", I, true)->i = a.gearHandleDown;
    add("sim/cockpit/electrical/cockpit_lights_on", I, true);
    add("sim/graphics/view/view_is_external", I, false);
    add("sim/graphics/view/view_type", I, false)->i = 1000;
    DatarefEntry* n1 =
        add(newN1 ? "sim/flightmodel/engine/ENGN_N1_" : "sim/flightmodel/engine/ENGN_N1", FA, true);
    n1->vf.assign(8, 0.0f);
    for (int k = 0; k < a.engines; ++k) n1->vf[k] = a.n1;
    DatarefEntry* tail = add("sim/aircraft/view/acf_tailnum", B, true);
    tail->bytes.assign(40, '\0');
    std::memcpy(tail->bytes.data(), a.tailNumber.data(),
                std::min<std::size_t>(a.tailNumber.size(), 39));
    add("sim/aircraft/view/acf_size_x", F, true)->f = a.sizeX;
    add("sim/aircraft/view/acf_size_z", F, true)->f = a.sizeZ;
    add("sim/operation/prefs/text_out", I, true)->i = 1;
    add("sim/time/paused", I, false);
    add("sim/aircraft/engine/acf_num_engines", I, true)->i = a.engines;
    DatarefEntry* bat = add("sim/flightmodel/engine/ENGN_bat_volt", FA, true);
    bat->vf.assign(8, 0.0f);
    for (int k = 0; k < a.engines; ++k) bat->vf[k] = a.batteryVolts;

    add("sim/graphics/scenery/percent_lights_on", F, false);
    // X-Plane 12 dropped the transparent-panel setting; older simulators let plug-ins set it.
    if (version < 12000) add("sim/graphics/settings/transparent_panel", I, true);

    refs->localX->d = a.x;
    refs->localY->d = a.y;
    refs->localZ->d = a.z;
    refs->psi->f = a.heading;
    refs->theta->f = a.pitch;
    refs->phi->f = a.roll;
    refs->q->vf.assign(4, 0.0f);
    AnglesToQuaternion(a.heading, a.pitch, a.roll, refs->q->vf.data());
    std::memcpy(refs->lastQ, refs->q->vf.data(), sizeof refs->lastQ);
    refs->yAgl->f = static_cast<float>(a.y - a.groundY);
    refs->lastX = a.x;
    refs->lastZ = a.z;
}

void AttitudeFromQuaternion(AircraftRefs& r) {
    const float* q = r.q->vf.data();
    if (std::memcmp(q, r.lastQ, sizeof r.lastQ) == 0) return;
    double psi, theta, phi;
    QuaternionToAngles(q, &psi, &theta, &phi);
    r.psi->f = static_cast<float>(psi);
    r.theta->f = static_cast<float>(theta);
    r.phi->f = static_cast<float>(phi);
    std::memcpy(r.lastQ, q, sizeof r.lastQ);
}

void UpdateAircraft(AircraftRefs& r, const Aircraft& a, double dt) {
    AttitudeFromQuaternion(r);
    const double x = r.localX->d, z = r.localZ->d;
    if (!r.holdGroundspeed)
        r.groundspeed->f =
            dt > 0 ? static_cast<float>(std::hypot(x - r.lastX, z - r.lastZ) / dt) : 0.0f;
    r.lastX = x;
    r.lastZ = z;
    if (!r.holdYAgl) r.yAgl->f = static_cast<float>(r.localY->d - a.groundY);
    // As the simulator does: without the override, whatever a plug-in wrote into the ratio is
    // replaced by the hardware's axis at the next frame.
    if (r.hasJoystick->i == 1 && r.overrideYaw->i == 0)
        r.yawRatio->f = std::clamp(r.pilotYaw->f, -1.0f, 1.0f);
}

void AttitudeWritten(AircraftRefs& r) {
    AnglesToQuaternion(r.psi->f, r.theta->f, r.phi->f, r.q->vf.data());
    std::memcpy(r.lastQ, r.q->vf.data(), sizeof r.lastQ);
}

}  // namespace simhost::detail
