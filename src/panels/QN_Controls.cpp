#include "panels/QN_Controls.h"

#include <cstdio>

namespace tarvosk {

namespace {

int TextWidth(std::size_t length) {
    return kCharWidth * static_cast<int>(length) + 30;
}

void Store(XPWidgetID widget, QN_Panel* element) {
    if (widget != nullptr) {
        XPSetWidgetProperty(widget, xpProperty_Refcon, reinterpret_cast<intptr_t>(element));
    }
}

void Show(XPWidgetID widget, bool show) {
    if (widget == nullptr) return;
    if (show) {
        XPShowWidget(widget);
    } else {
        XPHideWidget(widget);
    }
}

bool EnabledProperty(XPWidgetID widget) {
    return XPGetWidgetProperty(widget, xpProperty_Enabled, nullptr) != 0;
}

void FixHeight(QN_Panel& control, int32_t height) {
    control.extentY = height;
    control.minHeight = height;
    control.maxHeight = height;
}

}  // namespace

int DigitCount(int value) {
    int digits = 1;
    for (int v = value < 0 ? -value : value; v >= 10; v /= 10) ++digits;
    return digits;
}

Placement PlaceTextControl(int left, int marginX, int roomRight, int textLength, uint8_t align) {
    const int room = roomRight - left - 2 * marginX;
    const int width = TextWidth(static_cast<std::size_t>(textLength));
    switch (align) {
        case kAlignRight:
            return {left + room - width, width};
        case kAlignCentre:
            return {marginX + left + room / 2 - 3 * textLength - 15, width};
        case kAlignStretch:
            return {left + marginX, room};
        default:
            return {left + marginX, width};
    }
}

// ---- Push button ----------------------------------------------------------------------------

QN_CtrlButton::QN_CtrlButton(std::string buttonText, uint8_t buttonAlign)
    : QN_Panel(kNoStyle, false, buttonAlign), text(std::move(buttonText)) {
    FixHeight(*this, 17);
    extentX = minWidth = TextWidth(text.size());
}

void QN_CtrlButton::SetVisible(bool show) {
    visible = show;
    Show(widget, show);
}

void QN_CtrlButton::SetEnabled(bool enable) {
    enabled = enable;
    if (widget != nullptr) XPSetWidgetProperty(widget, xpProperty_Enabled, enable ? 1 : 0);
}

bool QN_CtrlButton::IsEnabled() const {
    return EnabledProperty(widget);
}

void QN_CtrlButton::Create(XPWidgetID container, XPWidgetID parent) {
    containerWidget = container;
    parentWidget = parent;
    created = true;
    const Placement p =
        PlaceTextControl(left, marginX, extentX, static_cast<int>(text.size()), align);
    widget = Remember(XPCreateWidget(p.x0, top - marginY, p.x0 + p.width, top - 17, visible ? 1 : 0,
                                     text.c_str(), 0, container, xpWidgetClass_Button));
    if (widget == nullptr) return;
    Store(widget, this);
    XPSetWidgetProperty(widget, xpProperty_ButtonType, xpPushButton);
    XPSetWidgetProperty(widget, xpProperty_ButtonBehavior, xpButtonBehaviorPushButton);
    SetEnabled(enabled);
}

// ---- Check box ------------------------------------------------------------------------------

QN_CtrlCheckBox::QN_CtrlCheckBox(std::string boxLabel, bool state)
    : QN_Panel(kNoStyle, false, kAlignLeft), ticked(state), label(std::move(boxLabel)) {
    FixHeight(*this, 16);
    extentX = kCharWidth * static_cast<int32_t>(label.size());
}

void QN_CtrlCheckBox::SetVisible(bool show) {
    visible = show;
    Show(box, show);
    Show(caption, show);
}

void QN_CtrlCheckBox::SetEnabled(bool enable) {
    enabled = enable;
    if (box != nullptr) XPSetWidgetProperty(box, xpProperty_Enabled, enable ? 1 : 0);
}

bool QN_CtrlCheckBox::IsEnabled() const {
    return EnabledProperty(box);
}

int QN_CtrlCheckBox::HandleMessage(XPWidgetMessage message, XPWidgetID, intptr_t param1,
                                   intptr_t param2) {
    // The host may change the box's state property only after the message has gone up the
    // chain, so the new state is taken from the message itself.
    if (message == xpMsg_ButtonStateChanged && reinterpret_cast<XPWidgetID>(param1) == box) {
        ticked = param2 != 0;
    }
    return 0;
}

void QN_CtrlCheckBox::Create(XPWidgetID container, XPWidgetID parent) {
    containerWidget = container;
    parentWidget = parent;
    created = true;
    const int l = left, m = marginX;
    box = Remember(XPCreateWidget(l + m - 2, top - marginY, l + m + 20, top - 22, visible ? 1 : 0,
                                  "", 0, container, xpWidgetClass_Button));
    caption = Remember(XPCreateWidget(l + m + 18, top - marginY - 1, extentX + l - m - 26, top - 18,
                                      visible ? 1 : 0, label.c_str(), 0, container,
                                      xpWidgetClass_Caption));
    Store(box, this);
    Store(caption, this);
    if (box != nullptr) {
        XPSetWidgetProperty(box, xpProperty_ButtonType, xpRadioButton);
        XPSetWidgetProperty(box, xpProperty_ButtonState, ticked ? 1 : 0);
        XPSetWidgetProperty(box, xpProperty_ButtonBehavior, xpButtonBehaviorCheckBox);
    }
    SetEnabled(enabled);
}

void QN_CtrlCheckBox::SetTicked(bool state) {
    ticked = state;
    if (box != nullptr) XPSetWidgetProperty(box, xpProperty_ButtonState, state ? 1 : 0);
}

// ---- Text -----------------------------------------------------------------------------------

QN_CtrlText::QN_CtrlText(std::string shown)
    : QN_Panel(kNoStyle, false, kAlignLeft), text(std::move(shown)) {
    FixHeight(*this, 15);
    extentX = minWidth = TextWidth(text.size());
}

void QN_CtrlText::SetVisible(bool show) {
    visible = show;
    Show(widget, show);
}

void QN_CtrlText::Create(XPWidgetID container, XPWidgetID parent) {
    containerWidget = container;
    parentWidget = parent;
    created = true;
    const Placement p =
        PlaceTextControl(left, marginX, extentX, static_cast<int>(text.size()), align);
    widget = Remember(XPCreateWidget(p.x0, top - marginY, p.x0 + p.width, top - marginY - 6,
                                     visible ? 1 : 0, text.c_str(), 0, container,
                                     xpWidgetClass_Caption));
    Store(widget, this);
}

void QN_CtrlText::SetText(const std::string& newText) {
    text = newText;
    if (widget != nullptr) XPSetWidgetDescriptor(widget, text.c_str());
}

// ---- Slider ---------------------------------------------------------------------------------

QN_CtrlSlider::QN_CtrlSlider(int initial) : QN_Panel(kNoStyle, false, kAlignLeft), value(initial) {
    FixHeight(*this, 20);
}

void QN_CtrlSlider::SetVisible(bool show) {
    visible = show;
    Show(labelCaption, show);
    Show(bar, show);
    if (showValue) Show(valueCaption, show);
}

void QN_CtrlSlider::SetEnabled(bool enable) {
    enabled = enable;
    if (bar != nullptr) XPSetWidgetProperty(bar, xpProperty_Enabled, enable ? 1 : 0);
}

bool QN_CtrlSlider::IsEnabled() const {
    return EnabledProperty(bar);
}

int QN_CtrlSlider::HandleMessage(XPWidgetMessage message, XPWidgetID, intptr_t param1, intptr_t) {
    if (message == xpMsg_ScrollBarSliderPositionChanged &&
        reinterpret_cast<XPWidgetID>(param1) == bar) {
        RefreshValueText();
    }
    return 0;
}

void QN_CtrlSlider::Create(XPWidgetID container, XPWidgetID parent) {
    containerWidget = container;
    parentWidget = parent;
    created = true;
    const int l = left, m = marginX;
    const int labelWidth = kCharWidth * static_cast<int>(label.size());
    const int valueWidth = showValue ? 2 * (3 * DigitCount(maximum) + 3) : 0;
    const int barRight = extentX - 2 * m - valueWidth;
    const int show = visible ? 1 : 0;
    labelCaption = Remember(XPCreateWidget(l + m, top - marginY + 2, l + labelWidth, top - 18, show,
                                           label.c_str(), 0, container, xpWidgetClass_Caption));
    bar = Remember(XPCreateWidget(l + labelWidth + 10, top - marginY + 1, barRight, top - 19, show,
                                  "", 0, container, xpWidgetClass_ScrollBar));
    Store(labelCaption, this);
    Store(bar, this);
    if (bar != nullptr) {
        XPSetWidgetProperty(bar, xpProperty_ScrollBarType, xpScrollBarTypeSlider);
        XPSetWidgetProperty(bar, xpProperty_ScrollBarMin, minimum);
        XPSetWidgetProperty(bar, xpProperty_ScrollBarMax, maximum);
        XPSetWidgetProperty(bar, xpProperty_ScrollBarSliderPosition, value);
        XPSetWidgetProperty(bar, xpProperty_ScrollBarPageAmount, pageAmount);
    }
    if (showValue) {
        valueCaption =
            Remember(XPCreateWidget(barRight + 3, top - marginY + 2, extentX - 2 * m, top - 18,
                                    show, "", 0, container, xpWidgetClass_Caption));
        Store(valueCaption, this);
        RefreshValueText();
    }
    SetEnabled(enabled);
}

void QN_CtrlSlider::RefreshValueText() {
    if (valueCaption == nullptr) return;
    // As many digits as the maximum has: a position of 5 on a 0 to 50 bar shows "05".
    char shown[32];
    std::snprintf(shown, sizeof shown, "%0*d", DigitCount(maximum), Position());
    XPSetWidgetDescriptor(valueCaption, shown);
}

void QN_CtrlSlider::SetValue(int newValue) {
    value = newValue;
    if (bar != nullptr) XPSetWidgetProperty(bar, xpProperty_ScrollBarSliderPosition, newValue);
    RefreshValueText();
}

int QN_CtrlSlider::Position() const {
    return bar != nullptr ? static_cast<int>(XPGetWidgetProperty(
                                bar, xpProperty_ScrollBarSliderPosition, nullptr))
                          : value;
}

}  // namespace tarvosk
