#include "pushback/truck_view.h"

#include "pushback/host_data.h"
#include "pushback/pushback.h"

namespace tarvosk {

namespace {

// From the toggle until the host takes the camera back (a view change) or we give it back.
bool gHoldsCamera = false;

}  // namespace

void ToggleTruckView(void*) {
    // The outside view first: it also ends any camera control we still hold.
    XPLMCommandButtonPress(xplm_joy_v_spo);
    XPLMCommandButtonRelease(xplm_joy_v_spo);
    XPLMControlCamera(xplm_ControlCameraUntilViewChanges, TruckCamera, nullptr);
    gHoldsCamera = true;
}

void GiveBackCamera() {
    if (gHoldsCamera) XPLMDontControlCamera();
    gHoldsCamera = false;
}

int TruckCamera(XPLMCameraPosition_t* position, int losingControl, void*) {
    if (losingControl != 0) gHoldsCamera = false;
    if (position == nullptr || losingControl != 0) return 1;
    const double aircraft[3] = {XPLMGetDatad(gHostData.localX), XPLMGetDatad(gHostData.localY),
                                XPLMGetDatad(gHostData.localZ)};
    TruckCameraPose(aircraft, *position);
    return 1;
}

}  // namespace tarvosk
