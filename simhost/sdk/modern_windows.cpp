// Windows made from a description (XPLMCreateWindowEx), the stacking order of every window,
// keyboard focus, and the calls only modern windows answer.
//
// The struct's size tells which SDK the plug-in was built with: the 2.x struct (up to the
// refcon) makes a legacy window, the 3.x struct a modern one where the simulator has them
// (X-Plane 11, XPLM 3.0, on). Before that the 3.x calls do not exist: a plug-in linked to one
// would not load, so a call reaching the host is a fault.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "sdk/modern_windows.h"

using namespace simhost::detail;

namespace {

// The whole 3.x layout; the declared struct is the 2.x one against an official 2.x release.
struct CreateWindow3 {
    int structSize;
    int left, top, right, bottom;
    int visible;
    XPLMDrawWindow_f draw;
    XPLMHandleMouseClick_f click;
    XPLMHandleKey_f key;
    XPLMHandleCursor_f cursor;
    XPLMHandleMouseWheel_f wheel;
    void* refcon;
    int decoration;
    int layer;
    XPLMHandleMouseClick_f rightClick;
};
constexpr std::size_t kStruct2Size = offsetof(CreateWindow3, decoration);
constexpr std::size_t kStruct3Size = sizeof(CreateWindow3);
#if TARVOSK_XPLM_WINDOW_STRUCT_3X
static_assert(sizeof(XPLMCreateWindow_t) == kStruct3Size);
static_assert(offsetof(XPLMCreateWindow_t, handleRightClickFunc) ==
              offsetof(CreateWindow3, rightClick));
#endif

// False, with a fault, when the simulator being played lacks the 3.x window calls.
bool Offered(const char* call) {
    if (!HostReady()) return false;
    if (ModernWindowsOffered()) return true;
    Fault(std::string(call) +
          " does not exist before X-Plane 11 (XPLM 3.0): a plug-in linked to it would not load");
    return false;
}

Window* Known(XPLMWindowID id, const char* call) {
    if (!HostReady()) return nullptr;
    Window* w = LiveWindow(reinterpret_cast<std::uintptr_t>(id));
    if (!w) {
        ++H().badAccesses;
        Log(std::string(call) + " of an unknown window from " + PluginLabel(CurrentPlugin()));
    }
    return w;
}

Window* KnownModern(XPLMWindowID id, const char* call) {
    if (!Offered(call)) return nullptr;
    return Known(id, call);
}

}  // namespace

namespace simhost::detail {

void InitModernWindows() {
    Host& h = H();
    if (h.config.xplaneVersion < 11200) return;
    const auto& omitted = h.config.omitDatarefs;
    const char* const name = "sim/graphics/VR/enabled";
    h.data.AddSim(name, xplmType_Int, false,
                  std::find(omitted.begin(), omitted.end(), name) == omitted.end());
}

bool ModernWindowsOffered() {
    const simhost::HostConfig& c = H().config;
    return c.xplaneVersion >= 11000 && c.xplmVersion >= 300;
}

Window* LiveWindow(std::uintptr_t id) {
    if (!HostReady() || id == 0) return nullptr;
    for (auto& w : H().windows)
        if (w->id == id && !w->destroyed) return w.get();
    return nullptr;
}

std::vector<Window*> WindowsBackToFront() {
    Host& h = H();
    std::erase_if(h.windowOrder, [](std::uintptr_t id) { return LiveWindow(id) == nullptr; });
    std::vector<Window*> out;
    for (std::uintptr_t id : h.windowOrder) out.push_back(LiveWindow(id));
    std::stable_sort(out.begin(), out.end(), [](const Window* a, const Window* b) {
        return a->modern.layer < b->modern.layer;
    });
    return out;
}

void ForgetWindowOrder() {
    std::erase_if(H().windowOrder, [](std::uintptr_t id) { return LiveWindow(id) == nullptr; });
}

bool KeyToFocusedWindow(char key, int flags, char virtualKey) {
    Host& h = H();
    Window* w = LiveWindow(h.keyboardFocus);
    if (!w) {
        h.keyboardFocus = 0;
        return false;
    }
    if (!w->key || !PluginIsEnabled(w->owner)) return false;
    XPLMHandleKey_f handler = w->key;
    void* refcon = w->refcon;
    PluginScope scope(w->owner);
    handler(reinterpret_cast<XPLMWindowID>(w->id), key, flags, virtualKey, refcon, 0);
    return true;
}

}  // namespace simhost::detail

XPLMWindowID XPLMCreateWindowEx(XPLMCreateWindow_t* params) {
    if (!HostReady()) return nullptr;
    Host& h = H();
    if (h.config.xplaneVersion < 900 || h.config.xplmVersion < 200) {
        Fault("XPLMCreateWindowEx does not exist before X-Plane 9 (XPLM 2.0)");
        return nullptr;
    }
    if (!params) {
        Fault("XPLMCreateWindowEx with a NULL description");
        return nullptr;
    }
    CreateWindow3 p{};
    const int size = params->structSize;
    if (size < static_cast<int>(kStruct2Size)) {
        Fault("XPLMCreateWindowEx with structSize " + std::to_string(size) +
              ", smaller than any SDK's XPLMCreateWindow_t");
        return nullptr;
    }
    std::memcpy(&p, params, std::min<std::size_t>(static_cast<std::size_t>(size), kStruct3Size));
    // The simulator calls these without looking: a NULL one crashes it later.
    if (!p.draw || !p.key || !p.cursor || !p.wheel) {
        Fault("XPLMCreateWindowEx without a draw, key, cursor or mouse wheel callback");
        return nullptr;
    }
    const bool modern = size >= static_cast<int>(kStruct3Size) && ModernWindowsOffered();
    if (modern &&
        (p.decoration < xplm_WindowDecorationNone ||
         p.decoration > xplm_WindowDecorationSelfDecoratedResizable ||
         p.layer < xplm_WindowLayerFlightOverlay || p.layer > xplm_WindowLayerGrowlNotifications)) {
        Fault("XPLMCreateWindowEx with decoration " + std::to_string(p.decoration) + " or layer " +
              std::to_string(p.layer) + ", which do not exist");
        return nullptr;
    }
    auto w = std::make_unique<Window>();
    w->id = h.nextWindowId++;
    w->left = p.left;
    w->top = p.top;
    w->right = p.right;
    w->bottom = p.bottom;
    w->visible = p.visible != 0;
    w->draw = p.draw;
    w->key = p.key;
    w->mouse = p.click;
    w->refcon = p.refcon;
    w->owner = CurrentPlugin();
    w->modern.on = modern;
    w->modern.cursor = p.cursor;
    w->modern.wheel = p.wheel;
    if (modern) {
        w->modern.decoration = p.decoration;
        w->modern.layer = p.layer;
        w->modern.rightClick = p.rightClick;
    }
    auto id = reinterpret_cast<XPLMWindowID>(w->id);
    Log("window " + std::to_string(w->id) +
        (modern ? " (modern)" : " (legacy, from a 2.x struct)") + " created by " +
        PluginLabel(w->owner));
    h.windowOrder.push_back(w->id);  // new windows come to the front of their layer
    h.windows.push_back(std::move(w));
    return id;
}

int XPLMGetWindowIsVisible(XPLMWindowID window) {
    Window* w = Known(window, "XPLMGetWindowIsVisible");
    return w && w->visible ? 1 : 0;
}

void XPLMTakeKeyboardFocus(XPLMWindowID window) {
    if (!HostReady()) return;
    Host& h = H();
    Window* to = nullptr;
    if (window && !(to = Known(window, "XPLMTakeKeyboardFocus"))) return;
    const std::uintptr_t target = to ? to->id : 0;
    if (target == h.keyboardFocus) return;
    if (Window* from = LiveWindow(h.keyboardFocus);
        from && from->key && PluginIsEnabled(from->owner)) {
        h.keyboardFocus = 0;
        XPLMHandleKey_f key = from->key;
        void* refcon = from->refcon;
        PluginScope scope(from->owner);
        key(reinterpret_cast<XPLMWindowID>(from->id), 0, 0, 0, refcon, 1);
    }
    h.keyboardFocus = target;
    Event(target ? "keyboard focus: window " + std::to_string(target) : "keyboard focus: X-Plane");
}

int XPLMHasKeyboardFocus(XPLMWindowID window) {
    if (!HostReady()) return 0;
    Host& h = H();
    if (!LiveWindow(h.keyboardFocus)) h.keyboardFocus = 0;
    return reinterpret_cast<std::uintptr_t>(window) == h.keyboardFocus ? 1 : 0;
}

void XPLMBringWindowToFront(XPLMWindowID window) {
    Window* w = Known(window, "XPLMBringWindowToFront");
    if (!w) return;
    auto& order = H().windowOrder;
    std::erase(order, w->id);
    order.push_back(w->id);
}

int XPLMIsWindowInFront(XPLMWindowID window) {
    Window* w = Known(window, "XPLMIsWindowInFront");
    if (!w || !w->visible) return 0;
    const Window* front = nullptr;
    for (Window* other : WindowsBackToFront())
        if (other->visible && other->modern.layer == w->modern.layer) front = other;
    return front == w ? 1 : 0;
}

void XPLMGetScreenBoundsGlobal(int* outLeft, int* outTop, int* outRight, int* outBottom) {
    // One monitor at 100 % scaling: boxels are pixels and the main window's corner is (0, 0).
    const bool ok = Offered("XPLMGetScreenBoundsGlobal");
    if (outLeft) *outLeft = 0;
    if (outBottom) *outBottom = 0;
    if (outRight) *outRight = ok ? H().config.screenWidth : 0;
    if (outTop) *outTop = ok ? H().config.screenHeight : 0;
}

int XPLMWindowIsPoppedOut(XPLMWindowID window) {
    Window* w = KnownModern(window, "XPLMWindowIsPoppedOut");
    return w && w->modern.positioning == xplm_WindowPopOut ? 1 : 0;
}

int XPLMWindowIsInVR(XPLMWindowID window) {
    Window* w = KnownModern(window, "XPLMWindowIsInVR");
    return w && w->modern.positioning == xplm_WindowVR ? 1 : 0;
}

void XPLMSetWindowResizingLimits(XPLMWindowID window, int minWidth, int minHeight, int maxWidth,
                                 int maxHeight) {
    Window* w = KnownModern(window, "XPLMSetWindowResizingLimits");
    if (!w || !w->modern.on) return;  // legacy windows have no limits
    w->modern.minWidth = minWidth;
    w->modern.minHeight = minHeight;
    w->modern.maxWidth = maxWidth;
    w->modern.maxHeight = maxHeight;
}

void XPLMSetWindowPositioningMode(XPLMWindowID window, XPLMWindowPositioningMode mode,
                                  int monitor) {
    Window* w = KnownModern(window, "XPLMSetWindowPositioningMode");
    if (!w || !w->modern.on) return;  // legacy windows stay free
    Host& h = H();
    if (mode < xplm_WindowPositionFree || mode > xplm_WindowVR) {
        Fault("XPLMSetWindowPositioningMode with mode " + std::to_string(mode) +
              ", which does not exist");
        return;
    }
    if (monitor > 0) {
        Fault("XPLMSetWindowPositioningMode on monitor " + std::to_string(monitor) +
              ": the simulator runs on one monitor (0, or -1 for the main one)");
        return;
    }
    if (mode == xplm_WindowVR) {
        const DatarefEntry* vr = h.data.FindAny("sim/graphics/VR/enabled");
        if (h.config.xplaneVersion < 11200 || !vr || vr->i == 0) {
            // No headset: the window stays where it is, as XPLMWindowIsInVR tells.
            Event("window " + std::to_string(w->id) + " not moved to VR: VR is off");
            return;
        }
    }
    const int width = w->right - w->left, height = w->top - w->bottom;
    const int sw = h.config.screenWidth, sh = h.config.screenHeight;
    if (mode == xplm_WindowCenterOnMonitor) {
        w->left = (sw - width) / 2;
        w->bottom = (sh - height) / 2;
        w->right = w->left + width;
        w->top = w->bottom + height;
    } else if (mode == xplm_WindowFullScreenOnMonitor ||
               mode == xplm_WindowFullScreenOnAllMonitors) {
        w->left = 0;
        w->bottom = 0;
        w->right = sw;
        w->top = sh;
    }
    if (w->modern.positioning != mode) {
        static const char* const kNames[] = {"free",        "centred",    "full screen",
                                             "full screen", "popped out", "in VR"};
        Event("window " + std::to_string(w->id) + " " + kNames[mode]);
    }
    w->modern.positioning = mode;
}

void XPLMSetWindowTitle(XPLMWindowID window, const char* title) {
    Window* w = KnownModern(window, "XPLMSetWindowTitle");
    if (!w || !w->modern.on) return;
    w->modern.title = title ? title : "";
}
