#include "sdk/widgets.h"

#include <algorithm>

#include "control/host_state.h"

using namespace simhost::detail;

namespace {

Widget* g_drawingRoot = nullptr;

// Calls the widget's callbacks newest first; `all` keeps going after one has handled it.
int Deliver(Widget* w, XPWidgetMessage msg, intptr_t p1, intptr_t p2, bool all, bool firstOnly) {
    const std::vector<XPWidgetFunc_t> callbacks = w->callbacks;  // a callback may add more
    int handled = 0;
    for (XPWidgetFunc_t cb : callbacks) {
        int r;
        {
            PluginScope scope(w->owner);
            r = cb(msg, w, p1, p2);
        }
        if (r) handled = 1;
        if (firstOnly || (handled && !all) || w->destroyed) break;
    }
    return handled;
}

}  // namespace

namespace simhost::detail {

Widget* CheckWidget(XPWidgetID id) {
    if (!HostReady() || !id) return nullptr;
    for (auto& w : H().widgets)
        if (w.get() == id && !w->destroyed) return w.get();
    return nullptr;
}

int Dispatch(Widget* w, XPWidgetMessage msg, XPDispatchMode mode, intptr_t p1, intptr_t p2) {
    switch (mode) {
        case xpMode_Direct:
            return Deliver(w, msg, p1, p2, false, false);
        case xpMode_DirectAllCallbacks:
            return Deliver(w, msg, p1, p2, true, false);
        case xpMode_Once:
            return Deliver(w, msg, p1, p2, false, true);
        case xpMode_UpChain:
            for (Widget* at = w; at; at = at->parent)
                if (Deliver(at, msg, p1, p2, false, false)) return 1;
            return 0;
        case xpMode_Recursive: {
            if (Deliver(w, msg, p1, p2, false, false)) return 1;
            const std::vector<Widget*> children = w->children;
            for (Widget* c : children)
                if (!c->destroyed && Dispatch(c, msg, mode, p1, p2)) return 1;
            return 0;
        }
        default:
            return 0;
    }
}

bool EffectivelyVisible(const Widget* w) {
    for (; w; w = w->parent)
        if (!w->visible) return false;
    return true;
}

intptr_t Property(const Widget* w, int id) {
    auto it = w->properties.find(id);
    return it == w->properties.end() ? 0 : it->second;
}

}  // namespace simhost::detail

namespace {

// The standard classes' own behaviour: the last callback of a standard widget.
int StandardClass(XPWidgetMessage msg, XPWidgetID id, intptr_t, intptr_t) {
    Widget* w = static_cast<Widget*>(id);
    switch (msg) {
        case xpMsg_Create:
        case xpMsg_Destroy:
            return 1;
        case xpMsg_Draw:
            DrawStandardWidget(*w);
            if (g_drawingRoot && !w->descriptor.empty() &&
                (w->widgetClass == xpWidgetClass_Caption ||
                 w->widgetClass == xpWidgetClass_Button ||
                 w->widgetClass == xpWidgetClass_TextField ||
                 w->widgetClass == xpWidgetClass_MainWindow ||
                 w->widgetClass == xpWidgetClass_SubWindow)) {
                auto& sink = g_drawingRoot->textThisFrame;
                if (std::find(sink.begin(), sink.end(), w->descriptor) == sink.end())
                    sink.push_back(w->descriptor);
            }
            return 1;
        case xpMsg_MouseDown:
            if (w->widgetClass == xpWidgetClass_Button) {
                w->properties[xpProperty_Hilited] = 1;
                return 1;
            }
            return w->widgetClass == xpWidgetClass_MainWindow ||
                   w->widgetClass == xpWidgetClass_SubWindow;
        case xpMsg_MouseUp:
            if (w->widgetClass != xpWidgetClass_Button) return 0;
            w->properties[xpProperty_Hilited] = 0;
            if (w->properties.count(xpProperty_Enabled) && !Property(w, xpProperty_Enabled))
                return 1;
            switch (Property(w, xpProperty_ButtonBehavior)) {
                case xpButtonBehaviorCheckBox: {
                    // The message goes up the chain first; the box shows its new state only
                    // afterwards, so handlers that read the property see the old one.
                    intptr_t state = Property(w, xpProperty_ButtonState) ? 0 : 1;
                    Dispatch(w, xpMsg_ButtonStateChanged, xpMode_UpChain,
                             reinterpret_cast<intptr_t>(w), state);
                    if (!w->destroyed) w->properties[xpProperty_ButtonState] = state;
                    break;
                }
                case xpButtonBehaviorRadioButton:
                    if (!Property(w, xpProperty_ButtonState)) {
                        w->properties[xpProperty_ButtonState] = 1;
                        Dispatch(w, xpMsg_ButtonStateChanged, xpMode_UpChain,
                                 reinterpret_cast<intptr_t>(w), 1);
                    }
                    break;
                default:
                    Dispatch(w, xpMsg_PushButtonPressed, xpMode_UpChain,
                             reinterpret_cast<intptr_t>(w), 0);
            }
            return 1;
        default:
            return 0;
    }
}

// The properties a standard widget starts with.
void SetClassDefaults(Widget& w) {
    auto& p = w.properties;
    switch (w.widgetClass) {
        case xpWidgetClass_MainWindow:
            p[xpProperty_MainWindowType] = xpMainWindowStyle_MainWindow;
            p[xpProperty_MainWindowHasCloseBoxes] = 0;
            break;
        case xpWidgetClass_Button:
            p[xpProperty_ButtonType] = xpPushButton;
            p[xpProperty_ButtonBehavior] = xpButtonBehaviorPushButton;
            p[xpProperty_ButtonState] = 0;
            p[xpProperty_Enabled] = 1;
            break;
        case xpWidgetClass_ScrollBar:
            p[xpProperty_ScrollBarType] = xpScrollBarTypeScrollBar;
            p[xpProperty_ScrollBarMin] = 0;
            p[xpProperty_ScrollBarMax] = 10;
            p[xpProperty_ScrollBarSliderPosition] = 0;
            p[xpProperty_ScrollBarPageAmount] = 10;
            p[xpProperty_Enabled] = 1;
            break;
        case xpWidgetClass_Caption:
        case xpWidgetClass_TextField:
            p[xpProperty_Enabled] = 1;
            break;
        default:
            break;
    }
}

void Draw(Widget* w) {
    if (w->destroyed || !w->visible) return;
    if (!Dispatch(w, xpMsg_Paint, xpMode_Direct, 0, 0))
        Dispatch(w, xpMsg_Draw, xpMode_Direct, 0, 0);
    const std::vector<Widget*> children = w->children;
    for (Widget* c : children) Draw(c);
}

void Detach(Widget* w) {
    if (!w->parent) return;
    auto& siblings = w->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
    w->parent = nullptr;
}

void Destroy(Widget* w, bool children) {
    if (w->destroyed) return;
    Dispatch(w, xpMsg_Destroy, xpMode_DirectAllCallbacks, 0, 0);
    const std::vector<Widget*> kids = w->children;
    for (Widget* c : kids) {
        if (children) {
            Destroy(c, true);
        } else {
            c->parent = nullptr;
        }
    }
    w->children.clear();
    Detach(w);
    w->destroyed = true;
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) out += (out.empty() ? "" : " | ") + t;
    return out;
}

XPWidgetID Create(int left, int top, int right, int bottom, int visible, const char* descriptor,
                  int isRoot, XPWidgetID container, int widgetClass, XPWidgetFunc_t custom) {
    if (!HostReady()) return nullptr;
    Widget* parent = nullptr;
    if (container) {
        parent = CheckWidget(container);
        if (!parent) return nullptr;
    }
    auto w = std::make_unique<Widget>();
    w->left = left;
    w->top = top;
    w->right = right;
    w->bottom = bottom;
    w->visible = visible != 0;
    w->descriptor = descriptor ? descriptor : "";
    w->isRoot = isRoot != 0;
    w->widgetClass = custom ? xpWidgetClass_None : widgetClass;
    SetClassDefaults(*w);
    w->callbacks.push_back(custom ? custom : StandardClass);
    w->owner = CurrentPlugin();
    w->parent = parent;
    Widget* raw = w.get();
    H().widgets.push_back(std::move(w));
    if (parent) parent->children.push_back(raw);
    Dispatch(raw, xpMsg_Create, xpMode_Direct, 0, 0);
    return raw;
}

}  // namespace

namespace simhost::detail {

void RunWidgets() {
    Host& h = H();
    const std::size_t count = h.widgets.size();
    for (std::size_t k = 0; k < count; ++k) {
        Widget* w = h.widgets[k].get();
        if (w->destroyed || !w->isRoot || w->parent) continue;
        w->textThisFrame.clear();
        if (!PluginIsEnabled(w->owner)) continue;
        g_drawingRoot = w;
        Draw(w);
        g_drawingRoot = nullptr;
    }
    std::erase_if(h.widgets, [](const std::unique_ptr<Widget>& w) { return w->destroyed; });
    for (auto& w : h.widgets) {
        if (!w->isRoot) continue;
        if (w->textThisFrame != w->textLastFrame && !w->textThisFrame.empty())
            Event("widget text: " + Joined(w->textThisFrame));
        w->textLastFrame.swap(w->textThisFrame);
        w->textThisFrame.clear();
    }
}

std::vector<std::string>* WidgetTextSink() {
    return g_drawingRoot ? &g_drawingRoot->textThisFrame : nullptr;
}

void ForgetWidgetsOf(int id) {
    Host& h = H();
    for (auto& w : h.widgets)
        if (w->owner == id && !w->destroyed) {
            // No messages: the owner's code is going away.
            for (Widget* c : w->children) c->parent = nullptr;
            w->children.clear();
            if (w->parent) Detach(w.get());
            w->destroyed = true;
        }
    std::erase_if(h.widgets, [](const std::unique_ptr<Widget>& w) { return w->destroyed; });
}

void ClearWidgets() {
    H().widgets.clear();
}

}  // namespace simhost::detail

XPWidgetID XPCreateWidget(int left, int top, int right, int bottom, int visible,
                          const char* descriptor, int isRoot, XPWidgetID container,
                          XPWidgetClass widgetClass) {
    return Create(left, top, right, bottom, visible, descriptor, isRoot, container, widgetClass,
                  nullptr);
}

XPWidgetID XPCreateCustomWidget(int left, int top, int right, int bottom, int visible,
                                const char* descriptor, int isRoot, XPWidgetID container,
                                XPWidgetFunc_t callback) {
    if (!callback) return nullptr;
    return Create(left, top, right, bottom, visible, descriptor, isRoot, container, 0, callback);
}

void XPDestroyWidget(XPWidgetID widget, int destroyChildren) {
    Widget* w = CheckWidget(widget);
    if (w) Destroy(w, destroyChildren != 0);
}

void XPSetWidgetProperty(XPWidgetID widget, XPWidgetPropertyID property, intptr_t value) {
    Widget* w = CheckWidget(widget);
    if (!w) return;
    w->properties[property] = value;
    Dispatch(w, xpMsg_PropertyChanged, xpMode_Direct, property, value);
}

intptr_t XPGetWidgetProperty(XPWidgetID widget, XPWidgetPropertyID property, int* exists) {
    Widget* w = CheckWidget(widget);
    if (exists) *exists = 0;
    if (!w) return 0;
    auto it = w->properties.find(property);
    if (it == w->properties.end()) return 0;
    if (exists) *exists = 1;
    return it->second;
}

void XPSetWidgetDescriptor(XPWidgetID widget, const char* descriptor) {
    Widget* w = CheckWidget(widget);
    if (w) w->descriptor = descriptor ? descriptor : "";
}

int XPGetWidgetDescriptor(XPWidgetID widget, char* outDescriptor, int maxDescLength) {
    Widget* w = CheckWidget(widget);
    if (!w) return 0;
    int length = static_cast<int>(w->descriptor.size());
    if (outDescriptor && maxDescLength > 0) {
        // strncpy-like: terminated only when it fits.
        int n = std::min(length, maxDescLength);
        std::copy_n(w->descriptor.data(), n, outDescriptor);
        if (n < maxDescLength) outDescriptor[n] = '\0';
    }
    return length;
}

void XPSetWidgetGeometry(XPWidgetID widget, int left, int top, int right, int bottom) {
    Widget* w = CheckWidget(widget);
    if (!w) return;
    XPWidgetGeometryChange_t change{left - w->left, top - w->top,
                                    (right - left) - (w->right - w->left),
                                    (top - bottom) - (w->top - w->bottom)};
    w->left = left;
    w->top = top;
    w->right = right;
    w->bottom = bottom;
    Dispatch(w, xpMsg_Reshape, xpMode_UpChain, reinterpret_cast<intptr_t>(w),
             reinterpret_cast<intptr_t>(&change));
}

void XPGetWidgetGeometry(XPWidgetID widget, int* outLeft, int* outTop, int* outRight,
                         int* outBottom) {
    Widget* w = CheckWidget(widget);
    if (outLeft) *outLeft = w ? w->left : 0;
    if (outTop) *outTop = w ? w->top : 0;
    if (outRight) *outRight = w ? w->right : 0;
    if (outBottom) *outBottom = w ? w->bottom : 0;
}

void XPShowWidget(XPWidgetID widget) {
    if (Widget* w = CheckWidget(widget)) w->visible = true;
}

void XPHideWidget(XPWidgetID widget) {
    if (Widget* w = CheckWidget(widget)) w->visible = false;
}

void XPBringRootWidgetToFront(XPWidgetID widget) {
    Widget* w = CheckWidget(widget);
    if (!w) return;
    while (w->parent) w = w->parent;
    if (!w->isRoot) return;  // not in a hierarchy the host draws
    // Roots are drawn in the order of the list, so the last one is in front.
    auto& all = H().widgets;
    auto at = std::find_if(all.begin(), all.end(), [w](const auto& p) { return p.get() == w; });
    if (at != all.end()) std::rotate(at, at + 1, all.end());
}

void XPAddWidgetCallback(XPWidgetID widget, XPWidgetFunc_t callback) {
    Widget* w = CheckWidget(widget);
    if (!w || !callback) return;
    w->callbacks.insert(w->callbacks.begin(), callback);
    PluginScope scope(w->owner);
    callback(xpMsg_Create, w, 1, 0);
}

int XPSendMessageToWidget(XPWidgetID widget, XPWidgetMessage message, XPDispatchMode mode,
                          intptr_t param1, intptr_t param2) {
    Widget* w = CheckWidget(widget);
    return w ? Dispatch(w, message, mode, param1, param2) : 0;
}
