#include "pushback/truck_view.h"

#include "pushback/host_data.h"
#include "pushback/pushback.h"

namespace tarvosk {

void ToggleTruckView(void*) {
    // The outside view first: it also ends any camera control we still hold.
    XPLMCommandButtonPress(xplm_joy_v_spo);
    XPLMCommandButtonRelease(xplm_joy_v_spo);
    XPLMControlCamera(xplm_ControlCameraUntilViewChanges, TruckCamera, nullptr);
}

int TruckCamera(XPLMCameraPosition_t* position, int losingControl, void*) {
    if (position == nullptr || losingControl != 0) return 1;
    const double aircraft[3] = {XPLMGetDatad(gHostData.localX), XPLMGetDatad(gHostData.localY),
                                XPLMGetDatad(gHostData.localZ)};
    TruckCameraPose(aircraft, *position);
    return 1;
}

}  // namespace tarvosk
