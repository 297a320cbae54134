// The host's lighting and panel state that decides how pictures and objects are drawn: the
// scenery-lights level picks an object's lit texture, transparent panels dim panel pictures.
#pragma once

namespace tarvosk {

// Lights level above which an object with a lit texture is drawn with it (equal is day).
constexpr float LIT_THRESHOLD = 0.62f;

// Finds the two lighting datarefs; called from XPluginStart. Until then both read as absent.
void ResolveLightingDatarefs();

// "sim/graphics/scenery/percent_lights_on", 0 when the host does not publish it.
float LightsOnLevel();

// True when an object whose lit texture is `litTexture` (-1: none) is drawn at night now.
bool UseLitTexture(int litTexture);

// Alpha of panel pictures: 0.4 while "sim/graphics/settings/transparent_panel" is set.
float PanelAlpha();

}  // namespace tarvosk
