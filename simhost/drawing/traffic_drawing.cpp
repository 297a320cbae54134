// Other aircraft in pictures: the host's airliner stretched to each one's span and length,
// standing on the ground where the published datarefs put it.
#include "control/host_state.h"
#include "drawing/airliner_model.h"
#include "drawing/graphics_internal.h"

namespace simhost::detail {

void DrawTraffic(float brightness) {
    const Host& h = H();
    for (int slot = 1; slot < kTcasSlots; ++slot) {
        TrafficPose pose;
        if (!TrafficPoseOf(h.traffic, slot, &pose)) continue;
        const TrafficType& type = TrafficTypeOf(pose.icao);
        const double scale[3] = {type.span / kAirlinerSpan, type.height / kAirlinerHeight,
                                 type.length / kAirlinerLength};
        // On its wheels, whatever height a script wrote: the apron is flat.
        const double position[3] = {pose.x, h.aircraft.groundY + type.height, pose.z};
        DrawAirliner(position, pose.heading, 0, 0, brightness, scale);
    }
}

}  // namespace simhost::detail
