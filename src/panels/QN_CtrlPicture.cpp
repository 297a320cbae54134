// The picture control: a texture drawn into a custom widget, with a thin black frame.
#include <GL/gl.h>

#include "panels/QN_Controls.h"
#include "render/texture.h"

namespace tarvosk {

namespace {

constexpr int kPictureWidth = 361;
constexpr int kPictureHeight = 246;

int PictureDrawCallback(XPWidgetMessage message, XPWidgetID widget, intptr_t, intptr_t) {
    try {
        if (message != xpMsg_Draw) return 0;
        auto* picture = reinterpret_cast<QN_CtrlPicture*>(
            XPGetWidgetProperty(widget, xpProperty_Refcon, nullptr));
        if (picture == nullptr || !picture->visible) return 1;
        int l = 0, t = 0, r = 0, b = 0;
        XPGetWidgetGeometry(widget, &l, &t, &r, &b);
        // An image that never loaded has no texture: the picture stays empty.
        if (picture->image != nullptr && picture->image->textureNumber != 0) {
            DrawTexturedQuad(*picture->image, picture->sourceLeft, picture->sourceBottom,
                             picture->sourceRight, picture->sourceTop, l, b, r - l, t - b, 0.0f);
        }
        if (picture->framed) {
            SetFlatGraphicsState();
            glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
            glLineWidth(1.0f);
            glBegin(GL_LINE_LOOP);
            glVertex2i(l - 1, b - 1);
            glVertex2i(l - 1, t + 1);
            glVertex2i(r + 1, t + 1);
            glVertex2i(r + 1, b - 1);
            glEnd();
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // namespace

QN_CtrlPicture::QN_CtrlPicture(const Texture* picture)
    : QN_Panel(kNoStyle, false, kAlignLeft), image(picture) {
    extentX = minWidth = maxWidth = kPictureWidth;
    extentY = minHeight = maxHeight = kPictureHeight;
}

QN_CtrlPicture::~QN_CtrlPicture() {
    if (widget != nullptr) XPSetWidgetProperty(widget, xpProperty_Refcon, 0);
}

void QN_CtrlPicture::SetVisible(bool show) {
    visible = show;
    if (widget == nullptr) return;
    if (show) {
        XPShowWidget(widget);
    } else {
        XPHideWidget(widget);
    }
}

void QN_CtrlPicture::Create(XPWidgetID container, XPWidgetID parent) {
    containerWidget = container;
    parentWidget = parent;
    created = true;
    widget = Remember(XPCreateCustomWidget(left + marginX, top - marginY, left + kPictureWidth,
                                           top - kPictureHeight, 1, "", 0, container,
                                           PictureDrawCallback));
    if (widget != nullptr) {
        XPSetWidgetProperty(widget, xpProperty_Refcon, reinterpret_cast<intptr_t>(this));
    }
}

}  // namespace tarvosk
