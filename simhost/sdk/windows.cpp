// Legacy windows, host text drawing, graphics state, hot keys and key sniffers.
#include <algorithm>

#include "control/host_state.h"
#include "drawing/graphics.h"
#include "sdk/modern_windows.h"
#include "sdk/widgets.h"

using namespace simhost::detail;

namespace {

Window* CheckWindow(XPLMWindowID id) {
    if (!HostReady() || !id) return nullptr;
    for (auto& w : H().windows)
        if (reinterpret_cast<XPLMWindowID>(w->id) == id && !w->destroyed) return w.get();
    return nullptr;
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) {
        if (!out.empty()) out += " | ";
        out += t;
    }
    return out;
}

// Characters a key press carries, for sniffers and window key handlers.
char KeyChar(int vkey, int flags) {
    if (vkey >= 'A' && vkey <= 'Z')
        return static_cast<char>((flags & xplm_ShiftFlag) ? vkey : vkey + 32);
    if ((vkey >= '0' && vkey <= '9') || vkey == ' ') return static_cast<char>(vkey);
    if (vkey == 0x0D || vkey == 0xBB || vkey == 0xBC) return '\r';  // return, enter, keypad
    if (vkey == 0xB0) return '=';
    if (vkey == 0x1B) return 27;
    if (vkey == 0x08) return 8;
    if (vkey == 0x09) return '\t';
    // Punctuation typed into number fields: period, minus, comma, slash; the keypad's point.
    if (vkey == 0xB9 || vkey == 0x6E) return '.';
    if (vkey == 0xB1) return '-';
    if (vkey == 0xB7) return ',';
    if (vkey == 0xB8) return '/';
    return 0;
}

}  // namespace

namespace simhost::detail {

void RunWindows() {
    Host& h = H();
    if (PictureFrame()) Begin2D();
    for (auto& w : h.windows) w->textThisFrame.clear();
    // Back to front, layer by layer; by id, as a window's drawing may make or destroy windows.
    std::vector<std::uintptr_t> order;
    for (const Window* w : WindowsBackToFront()) order.push_back(w->id);
    for (std::uintptr_t windowId : order) {
        Window* w = LiveWindow(windowId);
        if (!w || !w->visible || !w->draw || !PluginIsEnabled(w->owner)) continue;
        DrawWindowDecoration(*w);
        h.drawingWindow = w;
        XPLMDrawWindow_f draw = w->draw;
        void* refcon = w->refcon;
        auto id = reinterpret_cast<XPLMWindowID>(w->id);
        BeginOffScreenWindow(*w);
        {
            PluginScope scope(w->owner);
            draw(id, refcon);
        }
        if (Window* still = LiveWindow(windowId)) EndOffScreenWindow(*still);
        h.drawingWindow = nullptr;
    }
    std::erase_if(h.windows, [](const std::unique_ptr<Window>& w) { return w->destroyed; });
    for (auto& w : h.windows) {
        if (w->textThisFrame != w->textLastFrame && !w->textThisFrame.empty())
            Event("window text: " + Joined(w->textThisFrame));
        w->textLastFrame.swap(w->textThisFrame);
    }
    h.screenTextLastFrame.swap(h.screenTextThisFrame);
    h.screenTextThisFrame.clear();
}

}  // namespace simhost::detail

XPLMWindowID XPLMCreateWindow(int left, int top, int right, int bottom, int isVisible,
                              XPLMDrawWindow_f drawCallback, XPLMHandleKey_f keyCallback,
                              XPLMHandleMouseClick_f mouseCallback, void* refcon) {
    if (!HostReady()) return nullptr;
    Host& h = H();
    auto w = std::make_unique<Window>();
    w->id = h.nextWindowId++;
    w->left = left;
    w->top = top;
    w->right = right;
    w->bottom = bottom;
    w->visible = isVisible != 0;
    w->draw = drawCallback;
    w->key = keyCallback;
    w->mouse = mouseCallback;
    w->refcon = refcon;
    w->owner = CurrentPlugin();
    auto id = reinterpret_cast<XPLMWindowID>(w->id);
    Log("window " + std::to_string(w->id) + " created by " + PluginLabel(w->owner));
    h.windowOrder.push_back(w->id);
    h.windows.push_back(std::move(w));
    return id;
}

void XPLMDestroyWindow(XPLMWindowID window) {
    Window* w = CheckWindow(window);
    if (!w) {
        if (HostReady()) Fault("XPLMDestroyWindow of an unknown window");
        return;
    }
    w->destroyed = true;
    w->textLastFrame.clear();
    if (H().drawingWindow == w) H().drawingWindow = nullptr;
    Log("window " + std::to_string(w->id) + " destroyed");  // erased after the frame's drawing
}

void XPLMGetWindowGeometry(XPLMWindowID window, int* outLeft, int* outTop, int* outRight,
                           int* outBottom) {
    Window* w = CheckWindow(window);
    if (outLeft) *outLeft = w ? w->left : 0;
    if (outTop) *outTop = w ? w->top : 0;
    if (outRight) *outRight = w ? w->right : 0;
    if (outBottom) *outBottom = w ? w->bottom : 0;
}

void XPLMSetWindowGeometry(XPLMWindowID window, int left, int top, int right, int bottom) {
    Window* w = CheckWindow(window);
    if (!w) return;
    w->left = left;
    w->top = top;
    w->right = right;
    w->bottom = bottom;
}

void XPLMSetWindowIsVisible(XPLMWindowID window, int isVisible) {
    Window* w = CheckWindow(window);
    if (w) w->visible = isVisible != 0;
}

void XPLMGetScreenSize(int* outWidth, int* outHeight) {
    const bool ready = HostReady();
    if (outWidth) *outWidth = ready ? H().config.screenWidth : 0;
    if (outHeight) *outHeight = ready ? H().config.screenHeight : 0;
}

void XPLMDrawString(float* colorRGB, int x, int y, TARVOSK_XPLM_ARG(XPLMDrawString, 3) text,
                    int* wordWrapWidth, XPLMFontID fontId) {
    if (!HostReady() || !text) return;
    Host& h = H();
    ++h.drawCalls;
    std::vector<std::string>* widgetSink = WidgetTextSink();
    std::vector<std::string>& sink = h.drawingWindow ? h.drawingWindow->textThisFrame
                                     : widgetSink    ? *widgetSink
                                                     : h.screenTextThisFrame;
    // Shadowed text is drawn twice; one record per distinct string per frame is enough.
    if (std::find(sink.begin(), sink.end(), text) == sink.end()) sink.emplace_back(text);
    static const float kWhite[3] = {1, 1, 1};
    DrawText2D(x, y, text, colorRGB ? colorRGB : kWhite);
}

XPLMHotKeyID XPLMRegisterHotKey(char virtualKey, XPLMKeyFlags flags, const char* description,
                                XPLMHotKey_f callback, void* refcon) {
    if (!HostReady() || !callback) return nullptr;
    auto k = std::make_unique<HotKey>();
    k->vkey = static_cast<unsigned char>(virtualKey);
    k->flags = flags;
    k->description = description ? description : "";
    k->callback = callback;
    k->refcon = refcon;
    k->owner = CurrentPlugin();
    XPLMHotKeyID id = k.get();
    Log("hot key " + std::string(XPLMGetVirtualKeyDescription(virtualKey)) +
        " registered: " + k->description);
    H().hotKeys.push_back(std::move(k));
    return id;
}

void XPLMUnregisterHotKey(XPLMHotKeyID hotKey) {
    if (!HostReady()) return;
    auto& keys = H().hotKeys;
    auto it = std::find_if(keys.begin(), keys.end(),
                           [hotKey](const auto& k) { return k.get() == hotKey; });
    if (it == keys.end()) {
        Fault("XPLMUnregisterHotKey of an unknown hot key");
        return;
    }
    if ((*it)->owner != CurrentPlugin()) {
        Fault("a plug-in unregistered another plug-in's hot key");
        return;
    }
    keys.erase(it);
}

int XPLMRegisterKeySniffer(XPLMKeySniffer_f callback, int beforeWindows, void* refcon) {
    if (!HostReady() || !callback) return 0;
    H().sniffers.push_back({callback, beforeWindows ? 1 : 0, refcon, CurrentPlugin()});
    return 1;
}

int XPLMUnregisterKeySniffer(XPLMKeySniffer_f callback, int beforeWindows, void* refcon) {
    if (!HostReady()) return 0;
    auto& s = H().sniffers;
    auto it = std::find_if(s.begin(), s.end(), [&](const KeySniffer& k) {
        return k.callback == callback && k.beforeWindows == (beforeWindows ? 1 : 0) &&
               k.refcon == refcon;
    });
    if (it == s.end()) return 0;
    s.erase(it);
    return 1;
}

namespace simhost {

bool PressKey(int virtualKey, int flags) {
    if (!HostReady()) return false;
    Host& h = H();
    const char vkey = static_cast<char>(virtualKey & 0xFF);
    const char ch = KeyChar(virtualKey & 0xFF, flags);
    // Sniffers before windows, then the window with the keyboard focus (which takes the key),
    // then sniffers after windows, then hot keys on the key-down event.
    for (int pass = 1; pass >= 0; --pass) {
        if (pass == 0 && KeyToFocusedWindow(ch, flags, vkey)) return true;
        std::vector<KeySniffer> sniffers = h.sniffers;  // a sniffer may unregister itself
        for (const KeySniffer& s : sniffers) {
            if (s.beforeWindows != pass || !PluginIsEnabled(s.owner)) continue;
            int passOn;
            {
                PluginScope scope(s.owner);
                passOn = s.callback(ch, flags, vkey, s.refcon);
            }
            if (!passOn) return true;
        }
    }
    std::vector<HotKey*> matching;
    for (auto& k : h.hotKeys)
        if (k->vkey == (virtualKey & 0xFF) && k->flags == flags && PluginIsEnabled(k->owner))
            matching.push_back(k.get());
    if (matching.empty()) return false;
    for (HotKey* k : matching) {
        Event("hot key: " + k->description);
        XPLMHotKey_f cb = k->callback;
        void* refcon = k->refcon;
        PluginScope scope(k->owner);
        cb(refcon);
    }
    return true;
}

std::vector<WindowInfo> Windows() {
    std::vector<WindowInfo> out;
    if (!HostReady()) return out;
    for (auto& w : H().windows)
        if (!w->destroyed)
            out.push_back(
                {w->id, w->left, w->top, w->right, w->bottom, w->visible, w->textLastFrame});
    return out;
}

bool ClickWindow(std::uintptr_t id, int x, int y) {
    Window* w = CheckWindow(reinterpret_cast<XPLMWindowID>(id));
    if (!w || !w->visible || !w->mouse || !PluginIsEnabled(w->owner)) return false;
    auto handle = reinterpret_cast<XPLMWindowID>(w->id);
    XPLMHandleMouseClick_f mouse = w->mouse;
    void* refcon = w->refcon;
    int owner = w->owner;
    PluginScope scope(owner);
    int down = mouse(handle, x, y, xplm_MouseDown, refcon);
    if (CheckWindow(handle)) mouse(handle, x, y, xplm_MouseUp, refcon);
    return down != 0;
}

std::vector<std::string> ScreenTextLastFrame() {
    return HostReady() ? H().screenTextLastFrame : std::vector<std::string>{};
}

}  // namespace simhost

void XPDrawWindow(int x1, int y1, int x2, int y2, XPWindowStyle style) {
    if (!HostReady()) return;
    ++H().drawCalls;
    DrawWindowFrame2D(std::min(x1, x2), std::max(y1, y2), std::max(x1, x2), std::min(y1, y2),
                      style);
}
