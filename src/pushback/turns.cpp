#include "pushback/turns.h"

#include <cmath>

#include "pushback/heading_math.h"
#include "pushback/host_data.h"
#include "pushback/pushback.h"

namespace tarvosk {

void TargetHeadingFor(PushDirection direction) {
    gPushback.targetHeading = TargetHeadingFrom(XPLMGetDataf(gHostData.psi), direction);
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

}  // namespace tarvosk
