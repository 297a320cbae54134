// Both dataref handles are resolved once, when the library is loaded (before the host calls
// any entry point), and kept for the life of the library. The values are read at every draw.
#include "render/lighting.h"

#include "xplm/host.h"

namespace tarvosk {

namespace {

struct LightingHandles {
    XPLMDataRef lightsOn;
    XPLMDataRef transparentPanel;
};

const LightingHandles& Handles() {
    static const LightingHandles handles{
        XPLMFindDataRef("sim/graphics/scenery/percent_lights_on"),
        XPLMFindDataRef("sim/graphics/settings/transparent_panel")};
    return handles;
}

// Resolve at load time rather than in the first draw.
[[maybe_unused]] const bool resolvedAtLoad = (Handles(), true);

}  // namespace

float LightsOnLevel() {
    const XPLMDataRef ref = Handles().lightsOn;
    return ref != nullptr ? XPLMGetDataf(ref) : 0.0f;
}

bool UseLitTexture(int litTexture) {
    return litTexture != -1 && LightsOnLevel() > LIT_THRESHOLD;
}

float PanelAlpha() {
    const XPLMDataRef ref = Handles().transparentPanel;
    return ref != nullptr && XPLMGetDatai(ref) != 0 ? 0.4f : 1.0f;
}

}  // namespace tarvosk
