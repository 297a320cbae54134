// Both dataref handles are resolved once, when the plug-in starts, and kept until the library
// is unloaded; the values are read at every draw. Not while the library loads: no host call
// may come before XPluginStart (on Windows that code runs inside the system's loader lock,
// before the host is ready for it).
#include "render/lighting.h"

#include "xplm/host.h"

namespace tarvosk {

namespace {

struct LightingHandles {
    XPLMDataRef lightsOn;
    XPLMDataRef transparentPanel;
};

LightingHandles gHandles{nullptr, nullptr};

}  // namespace

void ResolveLightingDatarefs() {
    gHandles.lightsOn = XPLMFindDataRef("sim/graphics/scenery/percent_lights_on");
    gHandles.transparentPanel = XPLMFindDataRef("sim/graphics/settings/transparent_panel");
}

float LightsOnLevel() {
    const XPLMDataRef ref = gHandles.lightsOn;
    return ref != nullptr ? XPLMGetDataf(ref) : 0.0f;
}

bool UseLitTexture(int litTexture) {
    return litTexture != -1 && LightsOnLevel() > LIT_THRESHOLD;
}

float PanelAlpha() {
    const XPLMDataRef ref = gHandles.transparentPanel;
    return ref != nullptr && XPLMGetDatai(ref) != 0 ? 0.4f : 1.0f;
}

}  // namespace tarvosk
