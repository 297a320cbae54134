// Modern windows (XPLMCreateWindowEx): what the struct's size and the simulator's version make,
// the stacking order clicks follow, press-drag-release, keyboard focus, the decoration's title
// bar, and a picture of one drawn by a test plug-in.
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "scenario/scenario.h"
#include "support.h"

// Built against an official 2.x release the struct lacks the 3.x fields these tests set.
#if TARVOSK_XPLM_WINDOW_STRUCT_3X
namespace {

using simhost_test::HostTest;

class ModernWindows : public HostTest {};

struct MouseEvent {
    XPLMWindowID window;
    int x, y, status;
    bool right;
};
std::vector<MouseEvent> g_mouse;
std::vector<std::string> g_keys;  // typed characters, and "lost" for focus losses
int g_consume = 1;

void Draw(XPLMWindowID, void*) {}
int Click(XPLMWindowID w, int x, int y, XPLMMouseStatus s, void*) {
    g_mouse.push_back({w, x, y, s, false});
    return g_consume;
}
int RightClick(XPLMWindowID w, int x, int y, XPLMMouseStatus s, void*) {
    g_mouse.push_back({w, x, y, s, true});
    return 1;
}
void Key(XPLMWindowID, char key, XPLMKeyFlags flags, char, void*, int losingFocus) {
    if (losingFocus)
        g_keys.push_back("lost");
    else if (flags & xplm_DownFlag)
        g_keys.push_back(std::string(1, key));
}
XPLMCursorStatus Cursor(XPLMWindowID, int, int, void*) {
    return xplm_CursorDefault;
}
int Wheel(XPLMWindowID, int, int, int, int, void*) {
    return 0;
}

XPLMCreateWindow_t Params(int left, int top, int right, int bottom) {
    XPLMCreateWindow_t p;
    std::memset(&p, 0, sizeof p);
    p.structSize = sizeof p;
    p.left = left;
    p.top = top;
    p.right = right;
    p.bottom = bottom;
    p.visible = 1;
    p.drawWindowFunc = Draw;
    p.handleMouseClickFunc = Click;
    p.handleKeyFunc = Key;
    p.handleCursorFunc = Cursor;
    p.handleMouseWheelFunc = Wheel;
    p.decorateAsFloatingWindow = xplm_WindowDecorationRoundRectangle;
    p.layer = xplm_WindowLayerFloatingWindows;
    p.handleRightClickFunc = RightClick;
    return p;
}

std::uintptr_t Id(XPLMWindowID w) {
    return reinterpret_cast<std::uintptr_t>(w);
}

TEST_F(ModernWindows, ClicksDragsAndKeysReachTheFrontWindowAsTheSimulatorSendsThem) {
    g_mouse.clear();
    g_keys.clear();
    g_consume = 1;
    XPLMCreateWindow_t p = Params(100, 500, 400, 300);
    XPLMWindowID planner = XPLMCreateWindowEx(&p);
    ASSERT_NE(planner, nullptr);
    XPLMSetWindowTitle(planner, "Planner");
    EXPECT_EQ(simhost::FindWindowByTitle("Planner"), Id(planner));
    EXPECT_TRUE(simhost::WindowDetails(Id(planner)).modern);
    int l = 0, t = 0, r = 0, b = 0;
    XPLMGetScreenBoundsGlobal(&l, &t, &r, &b);
    EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{0, 1080, 1920, 0}));

    // Press at (10, 20) from the top-left corner, drag through (60, 20), release at (110, 70):
    // down, one drag per later point, up at the last, in global boxels.
    std::string why;
    ASSERT_TRUE(simhost::MouseInWindow(Id(planner), {{10, 20}, {60, 20}, {110, 70}}, false, &why))
        << why;
    ASSERT_EQ(g_mouse.size(), 4u);
    const int want[4][3] = {{110, 480, xplm_MouseDown},
                            {160, 480, xplm_MouseDrag},
                            {210, 430, xplm_MouseDrag},
                            {210, 430, xplm_MouseUp}};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ((std::vector<int>{g_mouse[k].x, g_mouse[k].y, g_mouse[k].status}),
                  (std::vector<int>{want[k][0], want[k][1], want[k][2]}))
            << k;

    // A window made later covers the first where they overlap, until the first comes to the
    // front of its layer; a legacy window lies in the layer below and never covers it.
    XPLMCreateWindow_t q = Params(300, 400, 600, 200);
    XPLMWindowID other = XPLMCreateWindowEx(&q);
    XPLMWindowID legacy = XPLMCreateWindow(0, 1000, 1000, 0, 1, Draw, Key, Click, nullptr);
    EXPECT_TRUE(XPLMIsWindowInFront(other));
    EXPECT_TRUE(XPLMIsWindowInFront(legacy));  // front of the flight-overlay layer
    g_mouse.clear();
    EXPECT_FALSE(simhost::MouseInWindow(Id(planner), {{250, 150}}, false, &why));
    EXPECT_EQ(why, "the point is covered by window " + std::to_string(Id(other)));
    EXPECT_TRUE(g_mouse.empty());
    XPLMBringWindowToFront(planner);
    EXPECT_TRUE(XPLMIsWindowInFront(planner));
    EXPECT_FALSE(XPLMIsWindowInFront(other));
    EXPECT_TRUE(simhost::MouseInWindow(Id(planner), {{250, 150}}, true, &why)) << why;
    ASSERT_EQ(g_mouse.size(), 2u);
    EXPECT_TRUE(g_mouse[0].right && g_mouse[0].window == planner);

    // A press the window refuses is not followed by a drag or a release.
    g_mouse.clear();
    g_consume = 0;
    EXPECT_FALSE(simhost::MouseInWindow(Id(planner), {{5, 5}, {9, 9}}, false, &why));
    EXPECT_EQ(g_mouse.size(), 1u);
    g_consume = 1;

    // Keys go to the window with the keyboard focus, which the plug-in gives; typing into a
    // window without it fails, and a window losing the focus is told so.
    EXPECT_FALSE(simhost::TypeInWindow(Id(planner), "1", &why));
    EXPECT_TRUE(XPLMHasKeyboardFocus(nullptr));
    XPLMTakeKeyboardFocus(planner);
    EXPECT_TRUE(XPLMHasKeyboardFocus(planner));
    ASSERT_TRUE(simhost::TypeInWindow(Id(planner), "Ab1.-", &why)) << why;
    XPLMTakeKeyboardFocus(other);
    EXPECT_EQ(g_keys, (std::vector<std::string>{"A", "b", "1", ".", "-", "lost"}));

    // The title bar moves the window without a click for the plug-in; the user's resize keeps
    // to the limits; a popped-out window leaves the screen, a VR one needs a headset.
    g_mouse.clear();
    ASSERT_TRUE(simhost::MouseInWindow(Id(planner), {{150, -10}, {170, -5}}, false, &why)) << why;
    EXPECT_TRUE(g_mouse.empty());
    XPLMGetWindowGeometry(planner, &l, &t, &r, &b);
    EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{120, 495, 420, 295}));
    XPLMSetWindowResizingLimits(planner, 200, 100, 500, 400);
    ASSERT_TRUE(simhost::ResizeWindowByUser(Id(planner), 50, 900, &why)) << why;
    XPLMGetWindowGeometry(planner, &l, &t, &r, &b);
    EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{120, 495, 320, 95}));
    XPLMSetWindowPositioningMode(planner, xplm_WindowPopOut, -1);
    EXPECT_TRUE(XPLMWindowIsPoppedOut(planner));
    XPLMSetWindowPositioningMode(planner, xplm_WindowVR, -1);
    EXPECT_FALSE(XPLMWindowIsInVR(planner));
    ASSERT_TRUE(simhost::SetDataref("sim/graphics/VR/enabled", 1));
    XPLMSetWindowPositioningMode(planner, xplm_WindowVR, -1);
    EXPECT_TRUE(XPLMWindowIsInVR(planner));
    EXPECT_FALSE(XPLMWindowIsPoppedOut(planner));
    EXPECT_EQ(simhost::PluginFaults(), 0);
}

TEST_F(ModernWindows, OlderStructsAndSimulatorsGetLegacyWindowsAndNoModernCalls) {
    // The 2.x struct ends at the refcon; the 3.x struct's last field is the right-click one.
    const int size2 = static_cast<int>(offsetof(XPLMCreateWindow_t, decorateAsFloatingWindow));
    const int size3 = static_cast<int>(sizeof(XPLMCreateWindow_t));
    struct Case {
        int version, xplm, structSize;
        bool made, modern;
    };
    const Case cases[] = {
        {12100, 411, size3, true, true},       {11000, 300, size3, true, true},
        {12100, 411, size2, true, false},      {10500, 210, size3, true, false},
        {12100, 411, size2 - 8, false, false}, {860, 140, size3, false, false},
    };
    for (const Case& c : cases) {
        config_.xplmVersion = c.xplm;
        ResetHost(c.version);
        XPLMCreateWindow_t p = Params(100, 500, 400, 300);
        p.structSize = c.structSize;
        XPLMWindowID w = XPLMCreateWindowEx(&p);
        const std::string label = std::to_string(c.version) + "/" + std::to_string(c.structSize);
        ASSERT_EQ(w != nullptr, c.made) << label;
        EXPECT_EQ(simhost::PluginFaults(), c.made ? 0 : 1) << label;
        const bool offered = c.version >= 11000 && c.xplm >= 300;
        EXPECT_EQ(XPLMFindSymbol("XPLMSetWindowTitle") != nullptr, offered) << label;
        if (!w) continue;
        EXPECT_EQ(simhost::WindowDetails(Id(w)).modern, c.modern) << label;
        // Where the simulator lacks the 3.x calls, a call is a fault; on a legacy window of a
        // simulator that has them, it does nothing.
        XPLMSetWindowTitle(w, "Planner");
        XPLMSetWindowPositioningMode(w, xplm_WindowPopOut, -1);
        EXPECT_EQ(simhost::PluginFaults(), offered ? 0 : 2) << label;
        EXPECT_EQ(simhost::FindWindowByTitle("Planner") != 0, c.modern) << label;
        EXPECT_EQ(XPLMWindowIsPoppedOut(w) != 0, c.modern) << label;
    }
    // Every callback but the clicks must be there.
    ResetHost(12100);
    XPLMCreateWindow_t p = Params(100, 500, 400, 300);
    p.handleCursorFunc = nullptr;
    EXPECT_EQ(XPLMCreateWindowEx(&p), nullptr);
    EXPECT_EQ(simhost::PluginFaults(), 1);
}

TEST_F(ModernWindows, TheTestPluginsWindowIsUsedByTitleAndDrawnWithItsDecoration) {
    const auto out = simhost_test::SandboxFor("-run");
    simhost::scenario::Script s;
    std::string error;
    ASSERT_TRUE(simhost::scenario::ParseScriptFile(
        std::filesystem::path(SIMHOST_SCENARIOS) / "simhost-windows.txt", &s, &error))
        << error;
    simhost::scenario::RunOptions o;
    o.out = out;
    o.sandbox = out / "sandbox";
    o.plugin = SIMHOST_WINDOW_PLUGIN;
    o.quiet = true;
    const auto r = simhost::scenario::RunScript(s, o);
    ASSERT_TRUE(r.ok) << r.error;
    std::string why;
    if (!simhost::GraphicsAvailable(&why)) GTEST_SKIP() << "no picture without OpenGL: " << why;
    simhost::Picture p;
    ASSERT_TRUE(simhost::ReadPng(out / "pictures" / "window-test.png", &p, &error)) << error;
    // The picture frames the client area with a 24-pixel margin, which holds the 22-pixel
    // title bar (blue) above it; the plug-in draws on the window's dark body.
    ASSERT_EQ(p.width, 320 + 2 * 24);
    auto at = [&](int x, int yFromTop) {
        const std::uint8_t* px = &p.rgba[(static_cast<std::size_t>(yFromTop) * p.width + x) * 4];
        return std::vector<int>{px[0], px[1], px[2]};
    };
    const std::vector<int> bar = at(40, 24 - 4);
    EXPECT_GT(bar[2], bar[0] + 60) << "title bar";
    const std::vector<int> body = at(p.width / 2, 24 + 170);
    EXPECT_LT(body[0] + body[1] + body[2], 150) << "client area";
}

}  // namespace
#endif  // TARVOSK_XPLM_WINDOW_STRUCT_3X
