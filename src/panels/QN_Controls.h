// The controls a panel holds: push buttons, check boxes, texts, a picture and a slider.
//
// Each wraps host widgets made inside the window's main widget and stores itself in their
// reference property, so the window can tell its owner which element sent a message. Each
// keeps its own copy of its texts.
#pragma once

#include <string>

#include "panels/QN_Panel.h"

namespace tarvosk {

struct Texture;

enum Align : uint8_t { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2, kAlignStretch = 3 };

// Widget left edge and width of a text-sized control in the room its parent gave it.
struct Placement {
    int x0;
    int width;
};
Placement PlaceTextControl(int left, int marginX, int roomRight, int textLength, uint8_t align);

class QN_CtrlButton : public QN_Panel {
  public:
    QN_CtrlButton(std::string text, uint8_t align);
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;
    void Create(XPWidgetID container, XPWidgetID parent) override;

    XPWidgetID widget = nullptr;
    std::string text;
};

class QN_CtrlCheckBox : public QN_Panel {
  public:
    QN_CtrlCheckBox(std::string label, bool ticked);
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;
    int HandleMessage(XPWidgetMessage message, XPWidgetID widget, intptr_t param1,
                      intptr_t param2) override;
    void Create(XPWidgetID container, XPWidgetID parent) override;
    // Sets the state shown without telling anyone (the host sends no message either).
    void SetTicked(bool state);

    XPWidgetID box = nullptr;
    XPWidgetID caption = nullptr;
    bool ticked;
    std::string label;
};

class QN_CtrlText : public QN_Panel {
  public:
    explicit QN_CtrlText(std::string text);
    void SetVisible(bool visible) override;
    void Create(XPWidgetID container, XPWidgetID parent) override;
    // Changes the text shown (the widget's descriptor; the host copies it).
    void SetText(const std::string& newText);

    XPWidgetID widget = nullptr;
    std::string text;
};

class QN_CtrlPicture : public QN_Panel {
  public:
    // `image` stays the caller's and must outlive the control's window.
    explicit QN_CtrlPicture(const Texture* image);
    ~QN_CtrlPicture() override;
    void SetVisible(bool visible) override;
    void Create(XPWidgetID container, XPWidgetID parent) override;

    XPWidgetID widget = nullptr;
    const Texture* image;
    float sourceLeft = 0, sourceBottom = 0, sourceRight = 361, sourceTop = 246;
    bool framed = true;
};

class QN_CtrlSlider : public QN_Panel {
  public:
    explicit QN_CtrlSlider(int value);
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;
    int HandleMessage(XPWidgetMessage message, XPWidgetID widget, intptr_t param1,
                      intptr_t param2) override;
    void Create(XPWidgetID container, XPWidgetID parent) override;
    // Shows the bar's position in the value caption, with as many digits as the maximum.
    void RefreshValueText();
    // Moves the bar (no message is sent) and refreshes the value text.
    void SetValue(int newValue);
    // The bar's position: the slider keeps no copy of it.
    int Position() const;

    XPWidgetID labelCaption = nullptr;
    XPWidgetID bar = nullptr;
    XPWidgetID valueCaption = nullptr;
    std::string label = "Truck speed";
    int minimum = 0;
    int maximum = 50;
    int value;
    int pageAmount = 1;
    bool showValue = true;
};

// Number of decimal digits of a non-negative count (at least 1).
int DigitCount(int value);

}  // namespace tarvosk
