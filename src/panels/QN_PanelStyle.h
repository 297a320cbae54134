// How a panel's background looks: a translucent fill and a bevelled outline.
#pragma once

#include <memory>

namespace tarvosk {

using Rgb = float[3];

inline constexpr Rgb kGrey03 = {0.3f, 0.3f, 0.3f};
inline constexpr Rgb kWhite = {1.0f, 1.0f, 1.0f};
inline constexpr Rgb kGrey01 = {0.1f, 0.1f, 0.1f};

class QN_PanelStyle {
  public:
    QN_PanelStyle(const Rgb& fill, float fillOpacity, const Rgb& light, float lightLineWidth,
                  const Rgb& dark, float darkLineWidth, float lineOpacity)
        : fillColour(fill),
          fillAlpha(fillOpacity),
          lightColour(light),
          lightWidth(lightLineWidth),
          darkColour(dark),
          darkWidth(darkLineWidth),
          lineAlpha(lineOpacity) {}
    virtual ~QN_PanelStyle() = default;

    const Rgb& fillColour;
    float fillAlpha;
    const Rgb& lightColour;  // top and left edges
    float lightWidth;
    const Rgb& darkColour;  // bottom and right edges
    float darkWidth;
    float lineAlpha;

    // Draws the style over the rectangle (left, top, right, bottom), in the 2-D drawing phase.
    void Draw(int left, int top, int right, int bottom) const;
};

// The four looks in use.
std::unique_ptr<QN_PanelStyle> DefaultPanelStyle();
std::unique_ptr<QN_PanelStyle> PreferencesFrameStyle();
std::unique_ptr<QN_PanelStyle> AboutTextBoxStyle();
std::unique_ptr<QN_PanelStyle> InvisibleRowStyle();

// The 2-D graphics state of flat, blended drawing (panels and picture frames).
void SetFlatGraphicsState();

}  // namespace tarvosk
