#include "pushback/truck_view.h"

#include "config/settings.h"
#include "pushback/heading_math.h"
#include "pushback/host_data.h"
#include "pushback/pushback.h"

namespace tarvosk {

void ToggleTruckView(void*) {
    // The outside view first: it also ends any camera control we still hold.
    XPLMCommandButtonPress(xplm_joy_v_spo);
    XPLMCommandButtonRelease(xplm_joy_v_spo);
    XPLMControlCamera(xplm_ControlCameraUntilViewChanges, TruckCamera, nullptr);
}

void TruckCameraPose(const double aircraft[3], XPLMCameraPosition_t& position) {
    const HeadingTrig t = HeadingTrig64(gTruck.truckHeading);
    const double eye[3] = {gTruck.truckX + 3.5 * t.sinH, gTruck.truckY + 1.75,
                           gTruck.truckZ - 3.5 * t.cosH};
    const LookAngles look = LookAt(eye, aircraft);
    position.x = static_cast<float>(eye[0]);
    position.y = static_cast<float>(eye[1]);
    position.z = static_cast<float>(eye[2]);
    position.pitch = static_cast<float>(look.pitch);
    position.heading =
        static_cast<float>(gSettings.FRONT_WHEEL ? look.heading : look.heading - 180.0);
    position.roll = 0.0f;
}

int TruckCamera(XPLMCameraPosition_t* position, int losingControl, void*) {
    if (position == nullptr || losingControl != 0) return 1;
    const double aircraft[3] = {XPLMGetDatad(gHostData.localX), XPLMGetDatad(gHostData.localY),
                                XPLMGetDatad(gHostData.localZ)};
    TruckCameraPose(aircraft, *position);
    return 1;
}

}  // namespace tarvosk
