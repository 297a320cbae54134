// Camera control and the outside view.
#include "host_state.h"

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

void XPLMReadCameraPosition(XPLMCameraPosition_t* outCameraPosition) {
    if (outCameraPosition && HostReady()) *outCameraPosition = H().cameraPose;
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
