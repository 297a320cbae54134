// The control API's hand on widgets: what tests and scenarios see of them, and clicking,
// closing, dragging and finding a widget as a user would, through the SDK's message dispatch.
#include <algorithm>

#include "control/host_state.h"
#include "sdk/widgets.h"
#include "simhost/simhost.h"

using namespace simhost::detail;

namespace simhost {

std::vector<WidgetInfo> Widgets() {
    std::vector<WidgetInfo> out;
    if (!HostReady()) return out;
    for (auto& w : H().widgets) {
        if (w->destroyed) continue;
        WidgetInfo info;
        info.id = reinterpret_cast<std::uintptr_t>(w.get());
        info.parent = reinterpret_cast<std::uintptr_t>(w->parent);
        info.widgetClass = w->widgetClass;
        info.descriptor = w->descriptor;
        info.left = w->left;
        info.top = w->top;
        info.right = w->right;
        info.bottom = w->bottom;
        info.visible = EffectivelyVisible(w.get());
        info.isRoot = w->isRoot;
        info.textLastFrame = w->textLastFrame;
        out.push_back(std::move(info));
    }
    return out;
}

bool ClickWidget(std::uintptr_t id) {
    Widget* w = CheckWidget(reinterpret_cast<XPWidgetID>(id));
    if (!w || !EffectivelyVisible(w)) return false;
    XPMouseState_t mouse{(w->left + w->right) / 2, (w->top + w->bottom) / 2, 0, 0};
    auto p = reinterpret_cast<intptr_t>(&mouse);
    int handled = Dispatch(w, xpMsg_MouseDown, xpMode_UpChain, p, 0);
    if (CheckWidget(w)) Dispatch(w, xpMsg_MouseUp, xpMode_UpChain, p, 0);
    return handled != 0;
}

bool CloseWidgetWindow(std::uintptr_t id) {
    Widget* w = CheckWidget(reinterpret_cast<XPWidgetID>(id));
    if (!w || w->widgetClass != xpWidgetClass_MainWindow || !EffectivelyVisible(w)) return false;
    if (!Property(w, xpProperty_MainWindowHasCloseBoxes)) return false;  // nothing to press
    return Dispatch(w, xpMessage_CloseButtonPushed, xpMode_UpChain, reinterpret_cast<intptr_t>(w),
                    0) != 0;
}

bool DragSlider(std::uintptr_t id, int value) {
    Widget* w = CheckWidget(reinterpret_cast<XPWidgetID>(id));
    if (!w || w->widgetClass != xpWidgetClass_ScrollBar || !EffectivelyVisible(w)) return false;
    if (w->properties.count(xpProperty_Enabled) && !Property(w, xpProperty_Enabled)) return false;
    const intptr_t low = Property(w, xpProperty_ScrollBarMin);
    const intptr_t high = Property(w, xpProperty_ScrollBarMax);
    const intptr_t target = std::clamp<intptr_t>(value, std::min(low, high), std::max(low, high));
    intptr_t at = Property(w, xpProperty_ScrollBarSliderPosition);
    // The thumb passes every position on the way, and the bar reports each one.
    while (at != target && CheckWidget(w)) {
        at += at < target ? 1 : -1;
        w->properties[xpProperty_ScrollBarSliderPosition] = at;
        Dispatch(w, xpMsg_ScrollBarSliderPositionChanged, xpMode_UpChain,
                 reinterpret_cast<intptr_t>(w), 0);
    }
    return true;
}

std::uintptr_t FindWidgetToClick(const std::string& descriptor) {
    if (!HostReady()) return 0;
    Widget* found = nullptr;
    for (auto& w : H().widgets)
        if (!w->destroyed && w->descriptor == descriptor && EffectivelyVisible(w.get())) {
            found = w.get();
            break;
        }
    if (!found) return 0;
    if (found->widgetClass != xpWidgetClass_Caption) return reinterpret_cast<std::uintptr_t>(found);
    // A check box's label is a caption beside the box: the user clicks the box.
    for (auto& w : H().widgets) {
        Widget* b = w.get();
        if (b->destroyed || b->widgetClass != xpWidgetClass_Button || b->parent != found->parent ||
            !EffectivelyVisible(b) || Property(b, xpProperty_ButtonBehavior) == 0)
            continue;
        const bool sameRow = b->bottom < found->top && b->top > found->bottom;
        const bool leftOf = b->left < found->left && b->right >= found->left - 8;
        if (sameRow && leftOf) return reinterpret_cast<std::uintptr_t>(b);
    }
    return reinterpret_cast<std::uintptr_t>(found);
}

std::uintptr_t FindSlider(const std::string& label) {
    if (!HostReady()) return 0;
    Widget* caption = nullptr;
    if (!label.empty()) {
        for (auto& w : H().widgets)
            if (!w->destroyed && w->descriptor == label && EffectivelyVisible(w.get())) {
                caption = w.get();
                break;
            }
        if (!caption) return 0;
    }
    for (auto& w : H().widgets) {
        Widget* s = w.get();
        if (s->destroyed || s->widgetClass != xpWidgetClass_ScrollBar || !EffectivelyVisible(s))
            continue;
        if (!caption) return reinterpret_cast<std::uintptr_t>(s);
        const bool sameRow = s->bottom < caption->top && s->top > caption->bottom;
        if (sameRow && s->left >= caption->left && s->parent == caption->parent)
            return reinterpret_cast<std::uintptr_t>(s);
    }
    return 0;
}

intptr_t WidgetProperty(std::uintptr_t id, int property) {
    return XPGetWidgetProperty(reinterpret_cast<XPWidgetID>(id), property, nullptr);
}

bool SetWidgetProperty(std::uintptr_t id, int property, std::intptr_t value, int notifyMessage) {
    Widget* w = CheckWidget(reinterpret_cast<XPWidgetID>(id));
    if (!w) return false;
    XPSetWidgetProperty(w, property, value);
    if (notifyMessage)
        Dispatch(w, notifyMessage, xpMode_UpChain, reinterpret_cast<intptr_t>(w), value);
    return true;
}

}  // namespace simhost
