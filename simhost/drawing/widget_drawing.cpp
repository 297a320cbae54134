// How the standard widget classes look on a picture frame: a grey main window with a title
// bar and a close box, bevelled push buttons, check boxes with a tick, captions, and slider
// tracks with a thumb. Widget text uses the host font's glyphs spaced by their width, as the
// simulator's widgets use its proportional UI font; XPLMDrawString stays 6 pixels a character.
#include <GL/gl.h>

#include <algorithm>

#include "drawing/graphics.h"
#include "sdk/widgets.h"

namespace simhost::detail {

namespace {

const float kBody[4] = {0.70f, 0.72f, 0.74f, 1.0f};
const float kTitleBar[4] = {0.30f, 0.38f, 0.50f, 1.0f};
const float kRim[4] = {0.15f, 0.16f, 0.18f, 1.0f};
const float kLight[4] = {0.95f, 0.96f, 0.97f, 1.0f};
const float kShadow[4] = {0.36f, 0.37f, 0.40f, 1.0f};
const float kFace[4] = {0.82f, 0.83f, 0.85f, 1.0f};
const float kPressedFace[4] = {0.60f, 0.62f, 0.66f, 1.0f};
const float kWhite4[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float kTrack[4] = {0.30f, 0.31f, 0.34f, 1.0f};
const float kInk[3] = {0.05f, 0.05f, 0.07f};
const float kGreyInk[3] = {0.50f, 0.51f, 0.54f};
const float kTitleInk[3] = {1.0f, 1.0f, 1.0f};
constexpr int kTitleBarHeight = 18;

intptr_t Prop(const Widget& w, int id, intptr_t otherwise = 0) {
    auto it = w.properties.find(id);
    return it == w.properties.end() ? otherwise : it->second;
}

// The inked columns of a glyph: first and last, or -1 for a blank one.
void InkedColumns(unsigned char c, int* first, int* last) {
    int mask = 0;
    for (std::uint8_t row : Glyph(c)) mask |= row;
    *first = *last = -1;
    for (int col = 0; col < 5; ++col)
        if (mask & (0x10 >> col)) {
            if (*first < 0) *first = col;
            *last = col;
        }
}

int Advance(unsigned char c) {
    int first, last;
    InkedColumns(c, &first, &last);
    return first < 0 ? 3 : last - first + 2;
}

int WidgetTextWidth(const std::string& text) {
    int width = 0;
    for (char c : text) width += Advance(static_cast<unsigned char>(c));
    return std::max(0, width - 1);
}

void WidgetText(int x, int baseline, const std::string& text, const float rgb[3]) {
    if (!PictureFrame()) return;
    glDisable(GL_TEXTURE_2D);
    glColor3fv(rgb);
    glBegin(GL_QUADS);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        int first, last;
        InkedColumns(c, &first, &last);
        if (first >= 0) {
            const auto& glyph = Glyph(c);
            const int drop = GlyphDrop(c);
            for (int row = 0; row < 7; ++row)
                for (int col = first; col <= last; ++col) {
                    if (!(glyph[row] & (0x10 >> col))) continue;
                    const int px = x + col - first, py = baseline + 6 - row - drop;
                    glVertex2i(px, py);
                    glVertex2i(px + 1, py);
                    glVertex2i(px + 1, py + 1);
                    glVertex2i(px, py + 1);
                }
        }
        x += Advance(c);
    }
    glEnd();
}

// Baseline that centres 7-dot text between top and bottom.
int CentredBaseline(int top, int bottom) {
    return (top + bottom) / 2 - 3;
}

void Bevel(int l, int t, int r, int b, bool sunken) {
    FillRect2D(l, t, r, t - 1, sunken ? kShadow : kLight);
    FillRect2D(l, t, l + 1, b, sunken ? kShadow : kLight);
    FillRect2D(l, b + 1, r, b, sunken ? kLight : kShadow);
    FillRect2D(r - 1, t, r, b, sunken ? kLight : kShadow);
}

void MainWindow(const Widget& w) {
    const int l = w.left, t = w.top, r = w.right, b = w.bottom;
    FillRect2D(l, t, r, b, kBody);
    FillRect2D(l, t, r, t - kTitleBarHeight, kTitleBar);
    OutlineRect2D(l, t, r, b, kRim);
    OutlineRect2D(l + 1, t - 1, r - 1, b + 1, kLight);
    int textLeft = l + 8;
    if (Prop(w, xpProperty_MainWindowHasCloseBoxes)) {
        // The close box at the left of the title bar: a small bevelled square with a cross.
        const int cl = l + 4, ct = t - 4, cr = l + 14, cb = t - 14;
        FillRect2D(cl, ct, cr, cb, kFace);
        Bevel(cl, ct, cr, cb, false);
        glDisable(GL_TEXTURE_2D);
        glColor3fv(kInk);
        glBegin(GL_LINES);
        glVertex2i(cl + 2, ct - 2);
        glVertex2i(cr - 2, cb + 2);
        glVertex2i(cl + 2, cb + 2);
        glVertex2i(cr - 2, ct - 2);
        glEnd();
        textLeft = cr + 8;
    }
    WidgetText(textLeft, CentredBaseline(t, t - kTitleBarHeight), w.descriptor, kTitleInk);
}

void PushButton(const Widget& w, bool enabled) {
    const int l = w.left, t = w.top, r = w.right, b = w.bottom;
    const bool pressed = Prop(w, xpProperty_Hilited) != 0;
    FillRect2D(l, t, r, b, pressed ? kPressedFace : kFace);
    OutlineRect2D(l - 1, t + 1, r + 1, b - 1, kRim);
    Bevel(l, t, r, b, pressed);
    const int x = (l + r) / 2 - WidgetTextWidth(w.descriptor) / 2;
    WidgetText(x, CentredBaseline(t, b), w.descriptor, enabled ? kInk : kGreyInk);
}

void CheckBox(const Widget& w, bool enabled) {
    // A 10-pixel box centred in the widget's height, at its left.
    const int size = 10;
    const int cy = (w.top + w.bottom) / 2;
    const int l = w.left + 3, t = cy + size / 2, r = l + size, b = t - size;
    FillRect2D(l, t, r, b, enabled ? kWhite4 : kFace);
    Bevel(l, t, r, b, true);
    OutlineRect2D(l - 1, t + 1, r + 1, b - 1, kRim);
    if (Prop(w, xpProperty_ButtonState)) {
        glDisable(GL_TEXTURE_2D);
        glColor3fv(enabled ? kInk : kGreyInk);
        glLineWidth(2.0f);
        glBegin(GL_LINE_STRIP);
        glVertex2i(l + 2, b + 5);
        glVertex2i(l + 4, b + 2);
        glVertex2i(r - 2, t - 2);
        glEnd();
        glLineWidth(1.0f);
    }
    if (!w.descriptor.empty())
        WidgetText(r + 4, CentredBaseline(w.top, w.bottom), w.descriptor, kInk);
}

void Slider(const Widget& w, bool enabled) {
    const int l = w.left, r = w.right, cy = (w.top + w.bottom) / 2;
    // A sunken groove along the middle, the thumb on it at the position.
    FillRect2D(l, cy + 2, r, cy - 2, kTrack);
    Bevel(l, cy + 2, r, cy - 2, true);
    const intptr_t low = Prop(w, xpProperty_ScrollBarMin);
    const intptr_t high = Prop(w, xpProperty_ScrollBarMax, 10);
    const intptr_t at = Prop(w, xpProperty_ScrollBarSliderPosition);
    const int thumb = 8;
    const double f =
        high != low
            ? std::clamp(static_cast<double>(at - low) / static_cast<double>(high - low), 0.0, 1.0)
            : 0.0;
    const int tl = l + static_cast<int>(f * (r - l - thumb) + 0.5);
    const int tt = std::min(w.top, cy + 7), tb = std::max(w.bottom, cy - 7);
    FillRect2D(tl, tt, tl + thumb, tb, enabled ? kFace : kBody);
    OutlineRect2D(tl - 1, tt + 1, tl + thumb + 1, tb - 1, kRim);
    Bevel(tl, tt, tl + thumb, tb, false);
}

void ScrollBar(const Widget& w, bool enabled) {
    if (Prop(w, xpProperty_ScrollBarType) == xpScrollBarTypeSlider) {
        Slider(w, enabled);
        return;
    }
    // A plain scroll bar: a sunken trough with the thumb.
    FillRect2D(w.left, w.top, w.right, w.bottom, kTrack);
    Bevel(w.left, w.top, w.right, w.bottom, true);
    Slider(w, enabled);
}

}  // namespace

void DrawStandardWidget(const Widget& w) {
    if (!PictureFrame()) return;
    const bool enabled = Prop(w, xpProperty_Enabled, 1) != 0;
    switch (w.widgetClass) {
        case xpWidgetClass_MainWindow:
            MainWindow(w);
            break;
        case xpWidgetClass_SubWindow:
            FillRect2D(w.left, w.top, w.right, w.bottom, kFace);
            Bevel(w.left, w.top, w.right, w.bottom, true);
            break;
        case xpWidgetClass_Button:
            if (Prop(w, xpProperty_ButtonBehavior) == xpButtonBehaviorPushButton &&
                Prop(w, xpProperty_ButtonType) == xpPushButton) {
                PushButton(w, enabled);
            } else {
                CheckBox(w, enabled);
            }
            break;
        case xpWidgetClass_TextField:
            FillRect2D(w.left, w.top, w.right, w.bottom, kWhite4);
            Bevel(w.left, w.top, w.right, w.bottom, true);
            WidgetText(w.left + 3, CentredBaseline(w.top, w.bottom), w.descriptor, kInk);
            break;
        case xpWidgetClass_ScrollBar:
            ScrollBar(w, enabled);
            break;
        case xpWidgetClass_Caption:
            WidgetText(w.left, CentredBaseline(w.top, w.bottom), w.descriptor,
                       enabled ? kInk : kGreyInk);
            break;
        default:
            break;
    }
}

}  // namespace simhost::detail
