#include "panels/QN_Panel.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace tarvosk {

namespace {

// A 1024 x 768 screen, for a host that cannot say how large its screen is.
constexpr int kFallbackScreenWidth = 1024;
constexpr int kFallbackScreenHeight = 768;

// The window frame's rectangle at creation; FitToContent and the placement move it later.
constexpr int kWindowLeft = 50;
constexpr int kWindowTop = 768;
constexpr int kWindowBottom = 368;
constexpr int kTitleBarHeight = 20;
constexpr int kFrameBelowContent = 22;

std::vector<PanelWindow*>& OpenWindows() {
    static std::vector<PanelWindow*> windows;
    return windows;
}

bool Within(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

int PanelDrawCallback(XPWidgetMessage message, XPWidgetID widget, intptr_t, intptr_t) {
    try {
        if (message != xpMsg_Draw) return 0;
        auto* panel =
            reinterpret_cast<QN_Panel*>(XPGetWidgetProperty(widget, xpProperty_Refcon, nullptr));
        if (panel != nullptr && panel->visible && panel->style) {
            int l = 0, t = 0, r = 0, b = 0;
            XPGetWidgetGeometry(widget, &l, &t, &r, &b);
            panel->style->Draw(l - 2, t + 2, r + 2, b - 2);
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

// The element whose widget sent a control message; the window itself is no element.
QN_Panel* SendingElement(const PanelWindow& window, XPWidgetMessage message, intptr_t param1) {
    switch (message) {
        case xpMsg_PushButtonPressed:
        case xpMsg_ButtonStateChanged:
        case xpMsg_ScrollBarSliderPositionChanged: {
            auto sender = reinterpret_cast<XPWidgetID>(param1);
            if (sender == nullptr || sender == window.widget) return nullptr;
            return reinterpret_cast<QN_Panel*>(
                XPGetWidgetProperty(sender, xpProperty_Refcon, nullptr));
        }
        default:
            return nullptr;
    }
}

int WindowCallback(XPWidgetMessage message, XPWidgetID widget, intptr_t param1, intptr_t param2) {
    try {
        auto* window =
            reinterpret_cast<PanelWindow*>(XPGetWidgetProperty(widget, xpProperty_Refcon, nullptr));
        if (window == nullptr) return 0;
        if (message == xpMsg_Reshape && window->reshaping) return 1;
        int result = kNotHandled;
        if (window->userHandler != nullptr) {
            result = window->userHandler(window->userData, message,
                                         SendingElement(*window, message, param1), param1, param2);
        }
        if (result == kNotHandled && window->rootPanel) {
            result = window->rootPanel->HandleMessage(message, widget, param1, param2);
        }
        if (result == kHandledClose) {
            XPSetWidgetProperty(widget, xpProperty_Refcon, 0);
            DestroyPanelWindow(window);
        }
        return result;
    } catch (...) {
        return 0;
    }
}

}  // namespace

QN_Panel::QN_Panel(bool fitsParent, uint8_t placement)
    : QN_Panel(DefaultPanelStyle(), fitsParent, placement) {}

QN_Panel::QN_Panel(std::unique_ptr<QN_PanelStyle> panelStyle, bool fitsParent, uint8_t placement)
    : heightFromParent(fitsParent),
      align(placement),
      style(panelStyle ? std::move(panelStyle) : DefaultPanelStyle()) {}

QN_Panel::QN_Panel(NoStyle, bool fitsParent, uint8_t placement)
    : heightFromParent(fitsParent), align(placement) {}

QN_Panel::~QN_Panel() {
    // The widgets may outlive the element by a moment (the window destroys them next): none
    // may lead a draw or a message back to it.
    for (XPWidgetID w : widgets_) XPSetWidgetProperty(w, xpProperty_Refcon, 0);
    style.reset();
    for (auto& column : children_) column.clear();
}

XPWidgetID QN_Panel::Remember(XPWidgetID widget) {
    if (widget != nullptr) widgets_.push_back(widget);
    return widget;
}

void QN_Panel::SetVisible(bool show) {
    visible = show;
    if (ownWidget == nullptr) return;
    if (visible && drawn) {
        XPShowWidget(ownWidget);
    } else {
        XPHideWidget(ownWidget);
    }
}

bool QN_Panel::IsVisible() const {
    return visible;
}

void QN_Panel::SetEnabled(bool) {}

bool QN_Panel::IsEnabled() const {
    return false;
}

int QN_Panel::HandleMessage(XPWidgetMessage message, XPWidgetID widget, intptr_t param1,
                            intptr_t param2) {
    if (message == kChildResized) {
        // Addressed to this panel: never offered to the children, which would take the
        // sender's bottom as their own.
        if (param2 < lowestBottom) {
            lowestBottom = static_cast<int32_t>(std::abs(param2));
            XPSetWidgetGeometry(ownWidget, left + marginX, top - marginY, extentX - marginX,
                                lowestBottom);
            if (QN_Panel* parent = ParentPanel()) {
                parent->HandleMessage(kChildResized, parentWidget,
                                      reinterpret_cast<intptr_t>(ownWidget), param2);
            }
        }
        return 1;
    }
    for (auto& column : children_) {
        for (auto& child : column) {
            if (child->HandleMessage(message, widget, param1, param2) != 0) return 1;
        }
    }
    return 0;
}

void QN_Panel::Create(XPWidgetID container, XPWidgetID parent) {
    containerWidget = container;
    parentWidget = parent;
    created = true;
    ownWidget = Remember(XPCreateCustomWidget(left + marginX, top - marginY, extentX - marginX,
                                              extentY + marginY, drawn ? 1 : 0, "", 0, container,
                                              PanelDrawCallback));
    if (ownWidget != nullptr) {
        XPSetWidgetProperty(ownWidget, xpProperty_Refcon, reinterpret_cast<intptr_t>(this));
    }
}

void QN_Panel::MoveBy(int dx, int dy) {
    for (XPWidgetID w : widgets_) {
        int l = 0, t = 0, r = 0, b = 0;
        XPGetWidgetGeometry(w, &l, &t, &r, &b);
        XPSetWidgetGeometry(w, l + dx, t + dy, r + dx, b + dy);
    }
    for (auto& column : children_) {
        for (auto& child : column) child->MoveBy(dx, dy);
    }
}

QN_Panel* QN_Panel::ParentPanel() const {
    if (parentWidget == nullptr || IsRoot()) return nullptr;
    return reinterpret_cast<QN_Panel*>(
        XPGetWidgetProperty(parentWidget, xpProperty_Refcon, nullptr));
}

const QN_Panel* QN_Panel::Child(int column, int index) const {
    if (column < 0 || column >= kMaxColumns) return nullptr;
    const auto& c = children_[static_cast<std::size_t>(column)];
    if (index < 0 || static_cast<std::size_t>(index) >= c.size()) return nullptr;
    return c[static_cast<std::size_t>(index)].get();
}

QN_Panel* AddChildPanel(QN_Panel& panel, std::unique_ptr<QN_Panel> child, int column) {
    if (!child || column < 0 || column >= panel.columnCount || column >= kMaxColumns) {
        return nullptr;
    }
    auto& slots = panel.children_[static_cast<std::size_t>(column)];
    if (slots.size() >= kMaxChildrenPerColumn) return nullptr;

    // Stacked from the top down under the children already in this column.
    int32_t y = panel.top - panel.marginY;
    for (const auto& sibling : slots) y -= std::abs(sibling->extentY) + sibling->marginY;
    child->top = y;

    const int32_t w = panel.columnWidth[static_cast<std::size_t>(column)];
    int32_t roomRight;
    if (w != 0) {
        child->left = panel.left + column * w + panel.marginX;
        roomRight = child->left + w;
    } else {
        child->left = panel.left + (column + 1) * panel.marginX;
        roomRight = panel.extentX - panel.marginX;
    }
    if (Within(roomRight, child->minWidth, child->maxWidth)) child->extentX = roomRight;
    if (child->heightFromParent && Within(panel.extentY, child->minHeight, child->maxHeight)) {
        child->extentY = panel.extentY;
    }

    QN_Panel* added = child.get();
    slots.push_back(std::move(child));
    added->Create(panel.containerWidget, panel.ownWidget);

    if (!panel.heightFromParent) {
        int32_t lowest = INT32_MAX;
        for (const auto& col : panel.children_) {
            int32_t bottom = panel.top - panel.marginY;
            for (const auto& c : col) {
                bottom -= std::abs(c->extentY) + c->marginY;
                lowest = std::min(lowest, bottom - panel.top);
            }
        }
        panel.extentY = lowest;
        XPSetWidgetGeometry(panel.ownWidget, panel.left + panel.marginX, panel.top - panel.marginY,
                            panel.extentX - panel.marginX, panel.top + panel.extentY);
        panel.extentY -= panel.marginY;
    }
    ++panel.childCount[static_cast<std::size_t>(column)];

    if (column == 0 && !panel.IsRoot()) {
        if (QN_Panel* parent = panel.ParentPanel()) {
            parent->HandleMessage(kChildResized, panel.parentWidget,
                                  reinterpret_cast<intptr_t>(panel.ownWidget),
                                  panel.extentY - panel.marginY + panel.top);
        }
    }
    return added;
}

PanelWindow* CreatePanelWindow(int width, const char* title, bool closeBox, PanelHandler handler,
                               void* userData) {
    auto window = std::make_unique<PanelWindow>();
    window->width = width;
    window->userHandler = handler;
    window->userData = userData;
    window->widget =
        XPCreateWidget(kWindowLeft, kWindowTop, kWindowLeft + width, kWindowBottom, 1,
                       title != nullptr ? title : "", 1, nullptr, xpWidgetClass_MainWindow);
    if (window->widget == nullptr) return nullptr;
    XPSetWidgetProperty(window->widget, xpProperty_MainWindowHasCloseBoxes, closeBox ? 1 : 0);
    XPSetWidgetProperty(window->widget, xpProperty_Refcon,
                        reinterpret_cast<intptr_t>(window.get()));

    auto root = std::make_unique<QN_Panel>(kNoStyle, true, 0);
    root->left = kWindowLeft;
    root->top = kWindowTop - kTitleBarHeight;
    if (Within(kWindowLeft + width, root->minWidth, root->maxWidth)) {
        root->extentX = kWindowLeft + width;
    }
    if (Within(kWindowBottom, root->minHeight, root->maxHeight)) root->extentY = kWindowBottom;
    root->marginX = 1;
    root->marginY = 1;
    root->drawn = false;
    root->Create(window->widget, window->widget);
    window->rootPanel = std::move(root);

    PanelWindow* raw = window.release();
    OpenWindows().push_back(raw);
    XPAddWidgetCallback(raw->widget, WindowCallback);
    return raw;
}

void DestroyPanelWindow(PanelWindow* window) {
    if (window == nullptr) return;
    auto& open = OpenWindows();
    open.erase(std::remove(open.begin(), open.end(), window), open.end());
    XPWidgetID widget = window->widget;
    if (widget != nullptr) XPSetWidgetProperty(widget, xpProperty_Refcon, 0);
    window->rootPanel.reset();
    if (widget != nullptr) XPDestroyWidget(widget, 1);
    delete window;
}

void FitToContent(PanelWindow& window) {
    QN_Panel& root = *window.rootPanel;
    root.extentY = root.marginY + root.top - root.lowestBottom;
    int l = 0, t = 0, r = 0, b = 0;
    XPGetWidgetGeometry(window.widget, &l, &t, &r, &b);
    const int bottom = t - std::abs(root.extentY) - 2 * root.marginY - kFrameBelowContent;
    window.reshaping = true;
    XPSetWidgetGeometry(window.widget, l, t, r, bottom);
    window.reshaping = false;
    window.height = t - bottom;
}

void ScreenSize(int& width, int& height) {
    width = 0;
    height = 0;
    XPLMGetScreenSize(&width, &height);
    if (width <= 0 || height <= 0) {
        width = kFallbackScreenWidth;
        height = kFallbackScreenHeight;
    }
}

void MoveWindowTo(PanelWindow& window, int newLeft, int newTop) {
    int l = 0, t = 0, r = 0, b = 0;
    XPGetWidgetGeometry(window.widget, &l, &t, &r, &b);
    const int dx = newLeft - l, dy = newTop - t;
    window.reshaping = true;
    XPSetWidgetGeometry(window.widget, l + dx, t + dy, r + dx, b + dy);
    if (window.rootPanel) window.rootPanel->MoveBy(dx, dy);
    window.reshaping = false;
    window.left = newLeft;
    window.top = newTop;
}

void CenterOnScreen(PanelWindow& window) {
    int screenWidth = 0, screenHeight = 0;
    ScreenSize(screenWidth, screenHeight);
    int l = 0, t = 0, r = 0, b = 0;
    XPGetWidgetGeometry(window.widget, &l, &t, &r, &b);
    MoveWindowTo(window, screenWidth / 2 - (r - l) / 2, screenHeight / 2 + (t - b) / 2);
}

std::vector<PanelWindow*> OpenPanelWindows() {
    return OpenWindows();
}

}  // namespace tarvosk
