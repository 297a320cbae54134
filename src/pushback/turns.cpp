#include "pushback/turns.h"

#include <cmath>

#include "pushback/heading_math.h"
#include "pushback/host_data.h"
#include "pushback/manual_drive.h"
#include "pushback/pushback.h"
#include "pushback/tug_geometry.h"

namespace tarvosk {

void TargetHeadingFor(int kind) {
    gPushback.targetHeading = TargetHeadingFrom(XPLMGetDataf(gHostData.psi), kind);
}

bool LegEndReached(double x, double z) {
    // Distance travelled along the push direction since the order. Comparing x alone fails at
    // headings 0 and 180, where x does not change and rounding noise decides.
    const double travelled = (x - gPushback.legStartX) * gPushback.legDirX +
                             (z - gPushback.legStartZ) * gPushback.legDirZ;
    return travelled > static_cast<double>(gTruck.legLength);
}

bool EndOfPushReached(float h) {
    return std::floor(h) == static_cast<float>(gPushback.targetHeading);
}

void EndPush() {
    XPLMSetDataf(gHostData.parkBrake, 1.0f);
    // Pedals that steer a manual kind are the pilot's: never written.
    if (XPLMGetDatai(gHostData.hasJoystick) == 1 && !ManualReadsRudder()) {
        XPLMSetDataf(gHostData.yokeHeadingRatio, 0.0f);
    }
    UpdateTruckSwing(2, XPLMGetDataf(gHostData.psi));
    gPushback.steeringMode = 0;
    gPushback.pushing = false;
}

}  // namespace tarvosk
