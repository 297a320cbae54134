// Widgets: an in-memory tree with properties, descriptors, geometry, visibility, callbacks and
// the SDK's message dispatch modes. The standard classes get small built-in behaviours (buttons
// press and toggle, captions and buttons draw their descriptor as text).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "xplm/host.h"

namespace simhost::detail {

struct Widget {
    int left, top, right, bottom;
    bool visible;
    std::string descriptor;
    bool isRoot;
    Widget* parent = nullptr;
    std::vector<Widget*> children;
    int widgetClass = xpWidgetClass_None;   // standard class, or None for custom widgets
    std::vector<XPWidgetFunc_t> callbacks;  // newest first; the class function last
    std::map<int, intptr_t> properties;
    int owner = 0;
    bool destroyed = false;
    std::vector<std::string> textThisFrame, textLastFrame;  // roots: text drawn inside
};

void RunWidgets();                           // draws every visible root widget tree
void DrawStandardWidget(const Widget& w);    // a standard class's look, on picture frames
std::vector<std::string>* WidgetTextSink();  // text drawn now belongs to this root, if any

// For the control API (control/widget_input.cpp): a live widget by its ID (null when none),
// a message dispatched in one of the SDK's modes, visibility through every parent, and a
// property's value (0 when unset).
Widget* CheckWidget(XPWidgetID id);
int Dispatch(Widget* w, XPWidgetMessage msg, XPDispatchMode mode, intptr_t p1, intptr_t p2);
bool EffectivelyVisible(const Widget* w);
intptr_t Property(const Widget* w, int id);

}  // namespace simhost::detail
