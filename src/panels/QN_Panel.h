// The window toolkit: panels laid out in columns from the top down, on the host's widgets.
//
// A PanelWindow owns a host main window and a root panel; elements (panels and controls) are
// added in order with AddChild, which places each one and makes its host widgets at once.
// Coordinates are screen pixels, y upward; rectangles are left, top, right, bottom.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "panels/QN_PanelStyle.h"
#include "xplm/host.h"

namespace tarvosk {

// The toolkit's own message: a panel tells its parent panel that its bottom moved
// (param1 = the sender's widget, param2 = its new bottom).
inline constexpr XPWidgetMessage kChildResized = 12104;

inline constexpr int kMaxColumns = 10;
inline constexpr int kMaxChildrenPerColumn = 99;

// Marks a panel that draws nothing of its own (controls, a window's root panel).
struct NoStyle {};
inline constexpr NoStyle kNoStyle{};

class QN_Panel {
  public:
    // A panel with the default style.
    QN_Panel(bool heightFromParent, uint8_t align);
    // A panel with its own style (owned); null gives the default style.
    QN_Panel(std::unique_ptr<QN_PanelStyle> style, bool heightFromParent, uint8_t align);
    QN_Panel(NoStyle, bool heightFromParent, uint8_t align);
    virtual ~QN_Panel();
    QN_Panel(const QN_Panel&) = delete;
    QN_Panel& operator=(const QN_Panel&) = delete;

    virtual void SetVisible(bool visible);
    virtual bool IsVisible() const;
    virtual void SetEnabled(bool enabled);
    virtual bool IsEnabled() const;
    // Messages from the host's widgets (and kChildResized); non-zero when handled.
    virtual int HandleMessage(XPWidgetMessage message, XPWidgetID widget, intptr_t param1,
                              intptr_t param2);
    // Makes the host widgets inside `container` (the window); `parent` is the parent panel's.
    virtual void Create(XPWidgetID container, XPWidgetID parent);

    // Moves every host widget of this element and its children (the window moved).
    void MoveBy(int dx, int dy);
    // The parent panel, through the parent widget's reference; null for the root.
    QN_Panel* ParentPanel() const;
    bool IsRoot() const { return parentWidget == containerWidget; }
    const QN_Panel* Child(int column, int index) const;

    bool heightFromParent;  // true: the parent sets the height; false: fits its children
    uint8_t align;          // 0 left, 1 right, 2 centre, 3 stretch
    int32_t left = 0, top = 0;
    int32_t extentX = 0;  // container: right edge once placed; fixed-width control: width
    int32_t extentY = 0;  // height; once fitted, the (negative) offset of the bottom
    int32_t minWidth = 10, minHeight = 10;
    int32_t maxWidth = 9999, maxHeight = 9999;
    int32_t marginX = 5, marginY = 5;
    bool visible = true;
    bool drawn = true;  // whether the background widget is shown at all
    bool enabled = true;
    XPWidgetID containerWidget = nullptr;
    XPWidgetID ownWidget = nullptr;
    XPWidgetID parentWidget = nullptr;
    uint8_t columnCount = 1;
    std::array<int32_t, kMaxColumns> childCount{};
    std::array<int32_t, kMaxColumns> columnWidth{};  // 0 = not set
    bool created = false;
    int32_t lowestBottom = 9999;
    std::unique_ptr<QN_PanelStyle> style;  // null: draws nothing

  protected:
    friend QN_Panel* AddChildPanel(QN_Panel&, std::unique_ptr<QN_Panel>, int);
    // Every host widget this element made; moved with the window, destroyed with it.
    std::vector<XPWidgetID> widgets_;
    XPWidgetID Remember(XPWidgetID widget);

  private:
    std::array<std::vector<std::unique_ptr<QN_Panel>>, kMaxColumns> children_;
};

// Adds `child` to column `column` of `panel`, places it and makes its widgets. A child that
// does not fit (column out of range or full) is not added and is destroyed; null is returned.
QN_Panel* AddChildPanel(QN_Panel& panel, std::unique_ptr<QN_Panel> child, int column);

template <class T>
T* AddChild(QN_Panel& panel, std::unique_ptr<T> child, int column) {
    return static_cast<T*>(AddChildPanel(panel, std::move(child), column));
}

// The owner's handler: (userData, message, the element whose widget sent it or null, param1,
// param2). Returns 0 (not handled: the panels get it), 1 (handled) or 2 (handled: close the
// window and destroy it).
using PanelHandler = int (*)(void* userData, XPWidgetMessage message, QN_Panel* element,
                             intptr_t param1, intptr_t param2);

inline constexpr int kNotHandled = 0;
inline constexpr int kHandled = 1;
inline constexpr int kHandledClose = 2;

struct PanelWindow {
    int left = 50, top = 768, width = 0, height = 400;
    std::unique_ptr<QN_Panel> rootPanel;
    XPWidgetID widget = nullptr;  // the host main window
    PanelHandler userHandler = nullptr;
    void* userData = nullptr;
    bool reshaping = false;  // the window is changing its own geometry
};

// Creates a window `width` wide titled `title` (copied by the host). Null when the host
// refuses the window.
PanelWindow* CreatePanelWindow(int width, const char* title, bool closeBox, PanelHandler handler,
                               void* userData);
// Destroys the root panel and every element, the host widgets, and the record.
void DestroyPanelWindow(PanelWindow* window);
// The window's height follows its content.
void FitToContent(PanelWindow& window);
// Centres the window on the host's screen, keeping its size.
void CenterOnScreen(PanelWindow& window);
// Moves the window and everything in it so that its top-left corner is at (left, top).
void MoveWindowTo(PanelWindow& window, int left, int top);
// Every window open now, oldest first.
std::vector<PanelWindow*> OpenPanelWindows();
// The host's screen size in pixels (a modern default when the host answers nothing).
void ScreenSize(int& width, int& height);

// Text widths in windows are estimated at 6 pixels per character.
inline constexpr int kCharWidth = 6;

}  // namespace tarvosk
