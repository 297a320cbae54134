// Control API: the frame loop and dataref access from tests and scenarios.
#include <cmath>
#include <limits>

#include "control/host_state.h"
#include "drawing/graphics.h"
#include "sdk/widgets.h"
#include "simhost/simhost.h"

namespace simhost {

using namespace detail;

namespace {

constexpr double kTrailSpacing = 0.25;  // metres between recorded points
constexpr std::size_t kTrailPoints = 200000;

void RecordTrail(Host& h) {
    const double x = h.refs.localX->d, z = h.refs.localZ->d;
    if (!std::isfinite(x) || !std::isfinite(z) || h.trail.size() >= kTrailPoints) return;
    if (!h.trail.empty() &&
        std::hypot(x - h.trail.back().first, z - h.trail.back().second) < kTrailSpacing)
        return;
    h.trail.emplace_back(x, z);
}

}  // namespace

void RunFrames(int frames) {
    if (!HostReady()) return;
    Host& h = H();
    for (int k = 0; k < frames; ++k) {
        const double before = h.now;
        ++h.frame;
        h.now = h.baseTime + static_cast<double>(h.frame - h.baseFrame) / h.config.framesPerSecond;
        if (h.clockRef) h.clockRef->d = h.now;
        UpdateAircraft(h.refs, h.aircraft, h.now - before);
        UpdateExternalPower(h.power, h.refs, h.now - before);
        UpdateLatLon();
        RunTraffic(h.now - before);
        RunHeldCommands();
        RunFlightLoops();
        // The attitude the plug-ins wrote this frame, so drawing and records see one state.
        AttitudeFromQuaternion(h.refs);
        UpdateLatLon();  // where the plug-ins moved the aircraft
        RecordTrail(h);
        BeginFrameGraphics();
        RunDrawCallbacks();
        RunWindows();
        if (PictureFrame()) Begin2D();  // whatever the windows left, widgets draw on the screen
        RunWidgets();
        DrawCockpitLamps();
        EndFrameGraphics();
        RunCamera();
        if (h.afterFrame) h.afterFrame();
    }
}

void ShowTrail(bool on) {
    if (HostReady()) H().showTrail = on;
}

void RunSeconds(double seconds) {
    if (!HostReady() || !(seconds > 0)) return;
    RunFrames(static_cast<int>(std::llround(seconds * H().config.framesPerSecond)));
}

double Now() {
    return H().now;
}
long long FrameCount() {
    return H().frame;
}

double FramesPerSecond() {
    return H().config.framesPerSecond;
}

bool SetFramesPerSecond(double fps) {
    if (!(fps > 0 && fps <= 10000)) return false;
    Host& h = H();
    h.baseTime = h.now;
    h.baseFrame = h.frame;
    h.config.framesPerSecond = fps;
    return true;
}

namespace {

DatarefEntry* Named(const std::string& name) {
    return HostReady() ? H().data.Find(name) : nullptr;
}

// A host-side write of a value the aircraft model derives: keep the model consistent; a
// traffic slot written so is the script's.
void AfterHostWrite(DatarefEntry* e, int offset = 0, int count = 1) {
    TrafficScriptWrite(e, offset, count);
    AircraftRefs& r = H().refs;
    if (e == r.psi || e == r.theta || e == r.phi) AttitudeWritten(r);
    if (e == r.groundspeed) r.holdGroundspeed = true;
    if (e == r.yAgl) r.holdYAgl = true;
    if (e == H().power.onGround) H().power.holdOnGround = true;
    // Derived at once, so the next action sees the switch or the height it set.
    ExternalPowerWritten(H().power, r, e);
    if (e == r.localX || e == r.localZ) {
        // Moving the aircraft by hand is a teleport, not motion.
        r.lastX = r.localX->d;
        r.lastZ = r.localZ->d;
    }
    if (e == r.localX || e == r.localY || e == r.localZ) UpdateLatLon();
}

}  // namespace

bool SetDataref(const std::string& name, double value) {
    DatarefEntry* e = Named(name);
    if (!e || !WriteAsNumber(e, value, 0)) return false;
    AfterHostWrite(e);
    return true;
}

bool SetDatarefArray(const std::string& name, const std::vector<float>& values, int offset) {
    DatarefEntry* e = Named(name);
    if (!e || offset < 0) return false;
    bool ok;
    if (e->types & xplmType_FloatArray) {
        int size = ReadFloats(e, nullptr, 0, 0, false);
        if (offset + static_cast<int>(values.size()) > size) return false;
        ok = WriteFloats(e, values.data(), offset, static_cast<int>(values.size()), true);
    } else if (e->types & xplmType_IntArray) {
        int size = ReadInts(e, nullptr, 0, 0, false);
        if (offset + static_cast<int>(values.size()) > size) return false;
        std::vector<int> ints(values.begin(), values.end());
        ok = WriteInts(e, ints.data(), offset, static_cast<int>(ints.size()), true);
    } else if (e->types & xplmType_Data) {
        int size = ReadBytes(e, nullptr, 0, 0, false);
        if (offset + static_cast<int>(values.size()) > size) return false;
        std::vector<char> bytes;
        for (float v : values) bytes.push_back(static_cast<char>(static_cast<int>(v)));
        ok = WriteBytes(e, bytes.data(), offset, static_cast<int>(bytes.size()), true);
    } else if (values.size() == 1 && offset == 0) {
        ok = WriteAsNumber(e, values[0], 0);
    } else {
        return false;
    }
    if (ok) AfterHostWrite(e, offset, static_cast<int>(values.size()));
    return ok;
}

bool SetDatarefBytes(const std::string& name, const std::string& bytes, int offset) {
    DatarefEntry* e = Named(name);
    if (!e || !(e->types & xplmType_Data) || offset < 0) return false;
    // Text goes in with its terminator where there is room, the rest of a fixed field cleared;
    // from an offset (one field of many, e.g. one aircraft's type) nothing else is touched.
    int size = ReadBytes(e, nullptr, 0, 0, false);
    bool ok;
    if (offset == 0 && !e->IsAccessor() && size > 0) {
        std::vector<char> field(static_cast<std::size_t>(size), '\0');
        std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), field.size()),
                    field.begin());
        ok = WriteBytes(e, field.data(), 0, size, true);
    } else {
        if (offset > 0 && !e->IsAccessor() && offset >= size) return false;
        std::string withNul = bytes;
        withNul.push_back('\0');
        ok = WriteBytes(e, withNul.data(), offset, static_cast<int>(withNul.size()), true);
    }
    if (ok)
        AfterHostWrite(e, offset,
                       offset == 0 && size > 0 ? size : static_cast<int>(bytes.size()) + 1);
    return ok;
}

double GetDataref(const std::string& name, int index) {
    DatarefEntry* e = Named(name);
    bool ok = false;
    double v = e && index >= 0 ? ReadAsNumber(e, index, &ok) : 0;
    return ok ? v : std::numeric_limits<double>::quiet_NaN();
}

std::string GetDatarefBytes(const std::string& name) {
    DatarefEntry* e = Named(name);
    if (!e || !(e->types & xplmType_Data)) return {};
    int size = ReadBytes(e, nullptr, 0, 0, false);
    if (size <= 0) return {};
    std::string out(static_cast<std::size_t>(std::min(size, 1 << 20)), '\0');
    int got = ReadBytes(e, out.data(), 0, static_cast<int>(out.size()), false);
    out.resize(static_cast<std::size_t>(std::max(got, 0)));
    std::size_t nul = out.find('\0');
    if (nul != std::string::npos) out.resize(nul);
    return out;
}

bool DatarefExists(const std::string& name) {
    return Named(name) != nullptr;
}

std::string DatarefWriteRefusal(const std::string& name) {
    const DatarefEntry* e = Named(name);
    if (!e) return "unknown dataref";
    if (!e->IsAccessor()) return {};
    if (e->orphaned) return "its plug-in unregistered it";
    if (!PluginIsEnabled(e->owner)) return "its plug-in is disabled";
    if (!e->seti && !e->setf && !e->setd && !e->setvi && !e->setvf && !e->setb) return "read only";
    return {};
}

DatarefHandle LookupDataref(const std::string& name) {
    return Named(name);
}

double ReadDataref(DatarefHandle handle, int index) {
    if (!HostReady()) return std::numeric_limits<double>::quiet_NaN();
    DatarefEntry* e = H().data.Check(const_cast<void*>(handle));
    if (!e || (e->IsAccessor() && (e->orphaned || !PluginIsEnabled(e->owner))))
        return std::numeric_limits<double>::quiet_NaN();
    bool ok = false;
    double v = ReadAsNumber(e, index, &ok);
    return ok ? v : std::numeric_limits<double>::quiet_NaN();
}

bool ReleaseDataref(const std::string& name) {
    DatarefEntry* e = Named(name);
    if (!e) return false;
    AircraftRefs& r = H().refs;
    if (e == r.groundspeed) r.holdGroundspeed = false;
    if (e == r.yAgl) r.holdYAgl = false;
    if (e == H().power.onGround) H().power.holdOnGround = false;
    return true;
}

}  // namespace simhost
