// The user's mouse and keyboard on modern windows: clicks and drags go to the frontmost window
// at the point, as the simulator's do; the title bar moves a decorated window and its edge
// resizes it; typed text goes to the window with the keyboard focus.
#include <algorithm>
#include <cstdint>

#include "control/host_state.h"
#include "sdk/modern_windows.h"
#include "simhost/simhost.h"

namespace simhost {

using namespace detail;

namespace {

bool Fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

std::string Name(const Window& w) {
    return w.modern.title.empty() ? "window " + std::to_string(w.id)
                                  : "window \"" + w.modern.title + "\"";
}

// Legacy windows and undecorated modern ones let a click they refuse fall through.
bool PassesClicks(const Window& w) {
    return !w.modern.on || w.modern.decoration == xplm_WindowDecorationNone;
}

bool Inside(const Window& w, int x, int y, bool outer) {
    int l = w.left, t = w.top, r = w.right, b = w.bottom;
    if (outer) OuterBounds(w, &l, &t, &r, &b);
    return x >= l && x < r && y > b && y <= t;
}

// The windows that show at a screen point, front first.
std::vector<Window*> WindowsAt(int x, int y) {
    std::vector<Window*> out;
    for (Window* w : WindowsBackToFront())
        if (w->visible && OnMainScreen(*w) && PluginIsEnabled(w->owner) && Inside(*w, x, y, true))
            out.insert(out.begin(), w);
    return out;
}

int Call(std::uintptr_t id, bool right, int x, int y, XPLMMouseStatus status) {
    Window* w = LiveWindow(id);
    if (!w || !PluginIsEnabled(w->owner)) return 0;
    XPLMHandleMouseClick_f handler = right ? w->modern.rightClick : w->mouse;
    if (!handler) return 0;
    void* refcon = w->refcon;
    PluginScope scope(w->owner);
    return handler(reinterpret_cast<XPLMWindowID>(id), x, y, status, refcon);
}

// The user drags the title bar: the window follows the mouse, a frame per step.
bool MoveByTitleBar(Window& w, const std::vector<std::pair<int, int>>& path) {
    const std::uintptr_t id = w.id;
    for (std::size_t k = 1; k < path.size(); ++k) {
        Window* now = LiveWindow(id);
        if (!now) break;
        const int dx = path[k].first - path[k - 1].first;
        const int dy = path[k - 1].second - path[k].second;  // path y runs downwards
        now->left += dx;
        now->right += dx;
        now->top += dy;
        now->bottom += dy;
        RunFrames(1);
    }
    if (Window* now = LiveWindow(id))
        Event(Name(*now) + " moved to " + std::to_string(now->left) + ", " +
              std::to_string(now->top));
    return true;
}

bool KeyFor(char c, int* vkey, int* flags) {
    *flags = 0;
    if (c >= 'a' && c <= 'z') {
        *vkey = c - 32;
    } else if (c >= 'A' && c <= 'Z') {
        *vkey = c;
        *flags = xplm_ShiftFlag;
    } else if ((c >= '0' && c <= '9') || c == ' ') {
        *vkey = c;
    } else {
        static const struct {
            char c;
            int vkey;
        } kKeys[] = {{'.', 0xB9},  {'-', 0xB1},  {',', 0xB7}, {'/', 0xB8},
                     {'\n', 0x0D}, {'\b', 0x08}, {'\t', 0x09}};
        const auto* k = std::find_if(std::begin(kKeys), std::end(kKeys),
                                     [c](const auto& key) { return key.c == c; });
        if (k == std::end(kKeys)) return false;
        *vkey = k->vkey;
    }
    return true;
}

}  // namespace

std::uintptr_t FindWindowByTitle(const std::string& title) {
    if (!HostReady()) return 0;
    for (auto& w : H().windows)
        if (!w->destroyed && w->modern.on && w->modern.title == title) return w->id;
    return 0;
}

ModernWindowInfo WindowDetails(std::uintptr_t id) {
    ModernWindowInfo info;
    const Window* w = LiveWindow(id);
    if (!w) return info;
    auto handle = reinterpret_cast<XPLMWindowID>(id);
    info.id = id;
    info.title = w->modern.title;
    info.modern = w->modern.on;
    info.decoration = w->modern.decoration;
    info.layer = w->modern.layer;
    info.positioning = w->modern.positioning;
    info.poppedOut = w->modern.positioning == xplm_WindowPopOut;
    info.inVr = w->modern.positioning == xplm_WindowVR;
    info.inFront = XPLMIsWindowInFront(handle) != 0;
    info.hasKeyboardFocus = H().keyboardFocus == id;
    return info;
}

bool MouseInWindow(std::uintptr_t id, const std::vector<std::pair<int, int>>& path,
                   bool rightButton, std::string* why) {
    Window* w = LiveWindow(id);
    if (!w) return Fail(why, "no such window");
    if (path.empty()) return Fail(why, "no point to press");
    if (!w->visible || !PluginIsEnabled(w->owner)) return Fail(why, Name(*w) + " is not shown");
    const int x = w->left + path[0].first, y = w->top - path[0].second;
    const auto global = [&](std::size_t k) {
        return std::pair<int, int>{x + path[k].first - path[0].first,
                                   y - (path[k].second - path[0].second)};
    };
    // A popped-out window has its own window on the desktop: nothing covers it.
    std::vector<Window*> at = OnMainScreen(*w) ? WindowsAt(x, y) : std::vector<Window*>{w};
    for (Window* c : at) {
        if (c == w) break;
        if (!PassesClicks(*c)) return Fail(why, "the point is covered by " + Name(*c));
    }
    std::uintptr_t taker = 0;
    for (Window* c : at) {
        if (!Inside(*c, x, y, false)) {
            // The decoration: the title bar moves the window, the frame takes the click.
            if (c != w) return Fail(why, "the point is covered by " + Name(*c));
            if (rightButton || path[0].second >= 0 || !HasTitleBar(*c))
                return Fail(why, "the point is on the frame of " + Name(*c));
            return MoveByTitleBar(*c, path);
        }
        const std::uintptr_t cid = c->id;
        const bool passes = PassesClicks(*c);
        if (Call(cid, rightButton, x, y, xplm_MouseDown)) {
            taker = cid;
            break;
        }
        if (!passes) break;
    }
    if (taker != id) {
        if (taker) {
            Call(taker, rightButton, x, y, xplm_MouseUp);
            Window* t = LiveWindow(taker);
            return Fail(why, "the point is covered by " + (t ? Name(*t) : std::string("a window")));
        }
        return Fail(why, Name(*w) + " did not take the " +
                             (rightButton ? std::string("right ") : std::string()) + "press");
    }
    for (std::size_t k = 1; k < path.size(); ++k) {
        RunFrames(1);
        const auto [gx, gy] = global(k);
        if (!LiveWindow(id)) return true;
        Call(id, rightButton, gx, gy, xplm_MouseDrag);
    }
    const auto [ux, uy] = global(path.size() - 1);
    Call(id, rightButton, ux, uy, xplm_MouseUp);
    return true;
}

bool TypeInWindow(std::uintptr_t id, const std::string& text, std::string* why) {
    Window* w = LiveWindow(id);
    if (!w) return Fail(why, "no such window");
    if (H().keyboardFocus != id)
        return Fail(
            why, Name(*w) + " does not have the keyboard focus (XPLMTakeKeyboardFocus gives it)");
    for (char c : text) {
        int vkey, flags;
        if (!KeyFor(c, &vkey, &flags)) return Fail(why, std::string("no key types '") + c + "'");
        PressKey(vkey, flags | xplm_DownFlag);
        PressKey(vkey, flags | xplm_UpFlag);
    }
    return true;
}

bool ResizeWindowByUser(std::uintptr_t id, int width, int height, std::string* why) {
    Window* w = LiveWindow(id);
    if (!w) return Fail(why, "no such window");
    if (!w->visible || !OnMainScreen(*w)) return Fail(why, Name(*w) + " is not on the screen");
    if (!UserResizable(*w)) return Fail(why, Name(*w) + " cannot be resized by the user");
    const ModernWindow& m = w->modern;
    width = std::clamp(width, m.minWidth, std::max(m.minWidth, m.maxWidth));
    height = std::clamp(height, m.minHeight, std::max(m.minHeight, m.maxHeight));
    w->right = w->left + width;
    w->bottom = w->top - height;
    Event(Name(*w) + " resized to " + std::to_string(width) + "x" + std::to_string(height));
    return true;
}

}  // namespace simhost
