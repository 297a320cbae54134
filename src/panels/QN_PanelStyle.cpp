#include "panels/QN_PanelStyle.h"

#include <GL/gl.h>

#include "xplm/host.h"

namespace tarvosk {

namespace {

void Line(const Rgb& colour, float alpha, float width, int x0, int y0, int x1, int y1) {
    if (width <= 0.0f) return;
    glLineWidth(width);
    glColor4f(colour[0], colour[1], colour[2], alpha);
    glBegin(GL_LINES);
    glVertex2i(x0, y0);
    glVertex2i(x1, y1);
    glEnd();
}

}  // namespace

void SetFlatGraphicsState() {
    XPLMSetGraphicsState(0, 0, 0, 0, 1, 0, 0);
}

void QN_PanelStyle::Draw(int left, int top, int right, int bottom) const {
    SetFlatGraphicsState();
    glColor4f(fillColour[0], fillColour[1], fillColour[2], fillAlpha);
    glBegin(GL_QUADS);
    glVertex2i(left, bottom);
    glVertex2i(left, top);
    glVertex2i(right, top);
    glVertex2i(right, bottom);
    glEnd();
    Line(lightColour, lineAlpha, lightWidth, left, top, right, top);
    Line(lightColour, lineAlpha, lightWidth, left, bottom, left, top);
    Line(darkColour, lineAlpha, darkWidth, right, top, right, bottom);
    Line(darkColour, lineAlpha, darkWidth, left, bottom, right, bottom);
    glLineWidth(1.0f);
}

std::unique_ptr<QN_PanelStyle> DefaultPanelStyle() {
    return std::make_unique<QN_PanelStyle>(kGrey03, 0.1f, kGrey03, 2.0f, kGrey03, 2.0f, 0.2f);
}

std::unique_ptr<QN_PanelStyle> PreferencesFrameStyle() {
    return std::make_unique<QN_PanelStyle>(kGrey03, 0.1f, kWhite, 1.0f, kGrey03, 1.0f, 1.0f);
}

std::unique_ptr<QN_PanelStyle> AboutTextBoxStyle() {
    return std::make_unique<QN_PanelStyle>(kWhite, 0.9f, kGrey01, 2.0f, kGrey01, 2.0f, 0.5f);
}

std::unique_ptr<QN_PanelStyle> InvisibleRowStyle() {
    return std::make_unique<QN_PanelStyle>(kGrey03, 0.0f, kGrey03, 0.0f, kGrey03, 0.0f, 0.0f);
}

}  // namespace tarvosk
