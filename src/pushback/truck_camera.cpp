// Where the truck-view camera stands and where it looks; no host calls.
#include "config/settings.h"
#include "pushback/heading_math.h"
#include "pushback/pushback.h"
#include "pushback/truck_view.h"

namespace tarvosk {

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

}  // namespace tarvosk
