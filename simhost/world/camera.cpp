// Camera control and the outside view.
#include <cmath>

#include "control/host_state.h"
#include "drawing/graphics_internal.h"

using namespace simhost::detail;

namespace simhost::detail {

void ReleaseCamera(bool notify) {
    Host& h = H();
    if (!h.cameraControlled) return;
    XPLMCameraControl_f cb = h.cameraCallback;
    void* refcon = h.cameraRefcon;
    int owner = h.cameraOwner;
    h.cameraControlled = false;
    h.cameraCallback = nullptr;
    h.cameraMode = 0;
    Event("camera released by " + PluginLabel(owner));
    if (notify && cb && PluginIsEnabled(owner)) {
        PluginScope scope(owner);
        cb(nullptr, 1, refcon);
    }
}

void OutsideView(const std::string& why) {
    Host& h = H();
    if (h.viewExternal) h.viewExternal->i = 1;
    if (DatarefEntry* type = h.data.FindAny("sim/graphics/view/view_type")) type->i = 1017;
    Event("view: outside (" + why + ")");
    if (h.cameraControlled && h.cameraMode == xplm_ControlCameraUntilViewChanges)
        ReleaseCamera(true);
}

void RunCamera() {
    Host& h = H();
    if (!h.cameraControlled) {
        // The simulator's own view: from the aircraft.
        const AircraftRefs& r = h.refs;
        h.cameraPose.x = static_cast<float>(r.localX->d);
        h.cameraPose.y = static_cast<float>(r.localY->d);
        h.cameraPose.z = static_cast<float>(r.localZ->d);
        h.cameraPose.heading = r.psi->f;
        h.cameraPose.pitch = r.theta->f;
        h.cameraPose.roll = r.phi->f;
        return;
    }
    if (!PluginIsEnabled(h.cameraOwner)) return;
    XPLMCameraPosition_t pose = h.cameraPose;  // the callback may leave fields as they are
    int keep;
    {
        PluginScope scope(h.cameraOwner);
        keep = h.cameraCallback(&pose, 0, h.cameraRefcon);
    }
    if (!h.cameraControlled) return;  // released from inside the callback
    if (keep) {
        h.cameraPose = pose;
    } else {
        h.cameraControlled = false;
        h.cameraCallback = nullptr;
        Event("camera given back by " + PluginLabel(h.cameraOwner));
    }
}

}  // namespace simhost::detail

void XPLMControlCamera(XPLMCameraControlDuration howLong, XPLMCameraControl_f controlFunc,
                       void* refcon) {
    if (!HostReady()) return;
    if (!controlFunc) {
        Fault("XPLMControlCamera without a callback");
        return;
    }
    Host& h = H();
    if (h.cameraControlled) ReleaseCamera(true);  // the previous controller loses it
    h.cameraControlled = true;
    h.cameraMode = howLong;
    h.cameraCallback = controlFunc;
    h.cameraRefcon = refcon;
    h.cameraOwner = CurrentPlugin();
    Event("camera controlled by " + PluginLabel(h.cameraOwner) + " (mode " +
          std::to_string(howLong) + ")");
}

// The holder gives the camera back; its callback is not told. X-Plane advises against calling
// it without holding the camera, so that is a fault here.
void XPLMDontControlCamera() {
    if (!HostReady()) return;
    Host& h = H();
    if (!h.cameraControlled || h.cameraOwner != CurrentPlugin()) {
        Fault("XPLMDontControlCamera without holding the camera");
        return;
    }
    ReleaseCamera(false);
}

void XPLMReadCameraPosition(XPLMCameraPosition_t* outCameraPosition) {
    if (!outCameraPosition || !HostReady()) return;
    *outCameraPosition = H().cameraPose;
    if (!PictureFrame()) return;
    // A picture's own view (outside, top): the camera the frame is really drawn from.
    const Camera& cam = FrameCamera();
    const double* m = cam.modelview;
    const double fx = -m[2], fy = -m[6], fz = -m[10];  // the view direction in local axes
    constexpr double kDeg = 180.0 / 3.14159265358979323846;
    outCameraPosition->x = static_cast<float>(cam.eye[0]);
    outCameraPosition->y = static_cast<float>(cam.eye[1]);
    outCameraPosition->z = static_cast<float>(cam.eye[2]);
    outCameraPosition->pitch =
        static_cast<float>(std::asin(std::fmax(-1.0, std::fmin(1.0, fy))) * kDeg);
    if (std::fabs(fy) < 0.999)
        outCameraPosition->heading = static_cast<float>(std::atan2(fx, -fz) * kDeg);
    outCameraPosition->roll = 0;
}

namespace simhost {

bool CameraControlled() {
    return HostReady() && H().cameraControlled;
}
XPLMCameraPosition_t CameraPose() {
    return H().cameraPose;
}

void ChangeView() {
    if (!HostReady()) return;
    Host& h = H();
    Event("view: changed by the user");
    if (h.cameraControlled && h.cameraMode == xplm_ControlCameraUntilViewChanges)
        ReleaseCamera(true);
}

}  // namespace simhost
