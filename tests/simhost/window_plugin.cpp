// A tiny plug-in with one modern window, for the host's tests of modern windows: a text field
// that takes the keyboard focus when clicked, a slider row dragged with the mouse (0 to 100
// across the window), and a count of right clicks. It draws only in 2-D, with the host's text
// and panel calls, and publishes what the user did as datarefs.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "xplm/host.h"

namespace {

XPLMWindowID g_window = nullptr;
std::string g_text;
int g_value = 0;
int g_rightClicks = 0;
int g_focusLost = 0;
bool g_sliding = false;  // the press was on the slider: drags move it
XPLMDataRef g_refs[4] = {};

constexpr int kFieldRow = 30, kSliderRow = 120;  // rows' centres, boxels below the top

int ReadValue(void*) {
    return g_value;
}
int ReadRightClicks(void*) {
    return g_rightClicks;
}
int ReadFocusLost(void*) {
    return g_focusLost;
}
int ReadText(void*, void* out, int offset, int max) {
    const int size = static_cast<int>(g_text.size());
    if (!out) return size;
    const int n = std::max(0, std::min(max, size - offset));
    if (n > 0) std::memcpy(out, g_text.data() + offset, static_cast<std::size_t>(n));
    return n;
}

void Draw(XPLMWindowID window, void*) {
    int l, t, r, b;
    XPLMGetWindowGeometry(window, &l, &t, &r, &b);
    float white[3] = {1, 1, 1}, amber[3] = {1.0f, 0.75f, 0.2f};
    XPDrawWindow(l + 10, t - kFieldRow + 12, r - 10, t - kFieldRow - 12, xpWindow_Screen);
    char line[96];
    std::snprintf(line, sizeof line, "Text: %s%s", g_text.c_str(),
                  XPLMHasKeyboardFocus(window) ? "_" : "");
    XPLMDrawString(white, l + 16, t - kFieldRow - 4, line, nullptr, xplmFont_Proportional);
    // The slider: a track across the window and a thumb at the value.
    XPDrawWindow(l + 10, t - kSliderRow + 3, r - 10, t - kSliderRow - 3, xpWindow_Screen);
    const int x = l + 10 + (r - l - 20) * g_value / 100;
    XPDrawWindow(x - 5, t - kSliderRow + 9, x + 5, t - kSliderRow - 9, xpWindow_MainWindow);
    std::snprintf(line, sizeof line, "Value: %d", g_value);
    XPLMDrawString(amber, l + 16, t - kSliderRow - 30, line, nullptr, xplmFont_Proportional);
}

void Slide(int x) {
    int l, t, r, b;
    XPLMGetWindowGeometry(g_window, &l, &t, &r, &b);
    g_value = std::clamp((x - l - 10) * 100 / std::max(1, r - l - 20), 0, 100);
}

int Click(XPLMWindowID window, int x, int y, XPLMMouseStatus status, void*) {
    int l, t, r, b;
    XPLMGetWindowGeometry(window, &l, &t, &r, &b);
    const bool field = y > t - kFieldRow - 12 && y <= t - kFieldRow + 12;
    const bool slider = y > t - kSliderRow - 12 && y <= t - kSliderRow + 12;
    if (status == xplm_MouseDown) {
        XPLMBringWindowToFront(window);
        XPLMTakeKeyboardFocus(field ? window : nullptr);
        g_sliding = slider;
    }
    if (g_sliding) Slide(x);
    (void)r;
    (void)b;
    return 1;
}

int RightClick(XPLMWindowID, int, int, XPLMMouseStatus status, void*) {
    if (status == xplm_MouseDown) ++g_rightClicks;
    return 1;
}

void Key(XPLMWindowID, char key, XPLMKeyFlags flags, char virtualKey, void*, int losingFocus) {
    if (losingFocus) {
        ++g_focusLost;
        return;
    }
    if (!(flags & xplm_DownFlag)) return;
    if (virtualKey == 0x08 && !g_text.empty())
        g_text.pop_back();
    else if (key >= 32 && key < 127)
        g_text += key;
}

XPLMCursorStatus Cursor(XPLMWindowID, int, int, void*) {
    return xplm_CursorDefault;
}

int Wheel(XPLMWindowID, int, int, int, int, void*) {
    return 0;
}

}  // namespace

TARVOSK_PLUGIN_API int XPluginStart(char* name, char* signature, char* description) {
    std::strcpy(name, "SimWindow");
    std::strcpy(signature, "simhost.test.window");
    std::strcpy(description, "A modern window for the simulated host's tests");
    XPLMCreateWindow_t params;
    std::memset(&params, 0, sizeof params);
    params.structSize = sizeof params;
    params.left = 200;
    params.top = 700;
    params.right = 520;
    params.bottom = 500;
    params.visible = 1;
    params.drawWindowFunc = Draw;
    params.handleMouseClickFunc = Click;
    params.handleKeyFunc = Key;
    params.handleCursorFunc = Cursor;
    params.handleMouseWheelFunc = Wheel;
#if TARVOSK_XPLM_WINDOW_STRUCT_3X  // else a 2.x struct: the host makes a legacy window
    params.decorateAsFloatingWindow = xplm_WindowDecorationRoundRectangle;
    params.layer = xplm_WindowLayerFloatingWindows;
    params.handleRightClickFunc = RightClick;
#else
    (void)RightClick;
#endif
    g_window = XPLMCreateWindowEx(&params);
    if (!g_window) return 0;
    XPLMSetWindowTitle(g_window, "Window test");
    XPLMSetWindowResizingLimits(g_window, 200, 150, 800, 600);
    g_refs[0] = XPLMRegisterDataAccessor(
        "simtest/window/value", xplmType_Int, 0, ReadValue, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    g_refs[1] = XPLMRegisterDataAccessor(
        "simtest/window/right_clicks", xplmType_Int, 0, ReadRightClicks, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    g_refs[2] = XPLMRegisterDataAccessor(
        "simtest/window/focus_lost", xplmType_Int, 0, ReadFocusLost, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    g_refs[3] = XPLMRegisterDataAccessor("simtest/window/text", xplmType_Data, 0, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, ReadText, nullptr, nullptr, nullptr);
    return 1;
}

TARVOSK_PLUGIN_API void XPluginStop(void) {
    for (XPLMDataRef& ref : g_refs) {
        if (ref) XPLMUnregisterDataAccessor(ref);
        ref = nullptr;
    }
    if (g_window) XPLMDestroyWindow(g_window);
    g_window = nullptr;
}

TARVOSK_PLUGIN_API int XPluginEnable(void) {
    return 1;
}

TARVOSK_PLUGIN_API void XPluginDisable(void) {}

TARVOSK_PLUGIN_API void XPluginReceiveMessage(XPLMPluginID, int, void*) {}
