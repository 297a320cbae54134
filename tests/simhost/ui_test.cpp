#include <cstring>
#include <string>
#include <vector>

#include "support.h"

namespace {

using simhost_test::HostTest;
using simhost_test::TimelineHas;

class Ui : public HostTest {};

struct MenuCall {
    void* menuRef;
    void* itemRef;
    int plugin;
};
std::vector<MenuCall> g_menuCalls;

void Handler(void* menuRef, void* itemRef) {
    g_menuCalls.push_back({menuRef, itemRef, XPLMGetMyID()});
}

TEST_F(Ui, MenusFormATreeChosenByPath) {
    g_menuCalls.clear();
    XPLMMenuID plugins = XPLMFindPluginsMenu();
    int item = XPLMAppendMenuItem(plugins, "Tester", nullptr, 1);
    EXPECT_EQ(item, 0);
    XPLMMenuID menu = XPLMCreateMenu("Tester", plugins, item, Handler, reinterpret_cast<void*>(11));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(XPLMAppendMenuItem(menu, "Push straight back", reinterpret_cast<void*>(1), 1), 0);
    XPLMAppendMenuSeparator(menu);
    EXPECT_EQ(XPLMAppendMenuItem(menu, "Trucks", nullptr, 1), 2);
    XPLMMenuID trucks = XPLMCreateMenu("Trucks", menu, 2, Handler, reinterpret_cast<void*>(22));
    XPLMAppendMenuItem(trucks, "TVKdefault", reinterpret_cast<void*>(5), 1);

    EXPECT_EQ(simhost::MenuItemNames("Plugins/Tester"),
              (std::vector<std::string>{"Push straight back", "-", "Trucks"}));
    EXPECT_EQ(simhost::MenuItemNames("Plugins/Tester/Trucks"),
              (std::vector<std::string>{"TVKdefault"}));
    EXPECT_TRUE(simhost::ChooseMenuItem("Plugins/Tester/Trucks/TVKdefault"));
    EXPECT_TRUE(simhost::ChooseMenuItem("Plugins/Tester/Push straight back"));
    ASSERT_EQ(g_menuCalls.size(), 2u);
    EXPECT_EQ(g_menuCalls[0].menuRef, reinterpret_cast<void*>(22));
    EXPECT_EQ(g_menuCalls[0].itemRef, reinterpret_cast<void*>(5));
    EXPECT_EQ(g_menuCalls[1].menuRef, reinterpret_cast<void*>(11));
    EXPECT_EQ(g_menuCalls[1].plugin, plugin_);
    EXPECT_TRUE(TimelineHas("menu: Plugins/Tester/Push straight back"));

    EXPECT_FALSE(simhost::ChooseMenuItem("Plugins/Tester/Trucks"));  // a submenu, not an item
    EXPECT_FALSE(simhost::ChooseMenuItem("Plugins/Tester/-"));
    EXPECT_FALSE(simhost::ChooseMenuItem("Plugins/Tester/Nothing"));
    EXPECT_FALSE(simhost::ChooseMenuItem(""));
    EXPECT_EQ(simhost::MenuItemCheck("Plugins/Tester/Nothing"), -1);
}

TEST_F(Ui, ItemNamesMayHoldASlash) {
    g_menuCalls.clear();
    XPLMMenuID plugins = XPLMFindPluginsMenu();
    const int item = XPLMAppendMenuItem(plugins, "Tester", nullptr, 1);
    XPLMMenuID menu = XPLMCreateMenu("Tester", plugins, item, Handler, nullptr);
    XPLMAppendMenuItem(menu, "Pause", reinterpret_cast<void*>(1), 1);
    XPLMAppendMenuItem(menu, "Pause / resume", reinterpret_cast<void*>(2), 1);
    XPLMAppendMenuItem(menu, "A/B", reinterpret_cast<void*>(3), 1);
    XPLMAppendMenuItem(menu, "A", nullptr, 1);
    XPLMMenuID sub = XPLMCreateMenu("A", menu, 3, Handler, nullptr);
    XPLMAppendMenuItem(sub, "B", reinterpret_cast<void*>(4), 1);
    EXPECT_TRUE(simhost::ChooseMenuItem("Plugins/Tester/Pause / resume"));
    EXPECT_TRUE(simhost::ChooseMenuItem("Plugins/Tester/Pause"));
    // The whole rest as one name first: the item "A/B", not "B" in a submenu of "A".
    EXPECT_TRUE(simhost::ChooseMenuItem("Plugins/Tester/A/B"));
    ASSERT_EQ(g_menuCalls.size(), 3u);
    EXPECT_EQ(g_menuCalls[0].itemRef, reinterpret_cast<void*>(2));
    EXPECT_EQ(g_menuCalls[1].itemRef, reinterpret_cast<void*>(1));
    EXPECT_EQ(g_menuCalls[2].itemRef, reinterpret_cast<void*>(3));
    EXPECT_FALSE(simhost::ChooseMenuItem("Plugins/Tester/Pause / rest"));
    XPLMAppendMenuItem(sub, "C", reinterpret_cast<void*>(5), 1);
    EXPECT_TRUE(simhost::ChooseMenuItem("Plugins/Tester/A/C"));  // no such item: the submenu
    ASSERT_EQ(g_menuCalls.size(), 4u);
    EXPECT_EQ(g_menuCalls[3].itemRef, reinterpret_cast<void*>(5));
}

TEST_F(Ui, CheckMarksAndDisabledItems) {
    XPLMMenuID plugins = XPLMFindPluginsMenu();
    XPLMMenuID menu = XPLMCreateMenu(
        "Tester", plugins, XPLMAppendMenuItem(plugins, "Tester", nullptr, 1), Handler, nullptr);
    int a = XPLMAppendMenuItem(menu, "A", nullptr, 1);
    EXPECT_EQ(simhost::MenuItemCheck("Plugins/Tester/A"), xplm_Menu_NoCheck);
    XPLMCheckMenuItem(menu, a, xplm_Menu_Checked);
    EXPECT_EQ(simhost::MenuItemCheck("Plugins/Tester/A"), xplm_Menu_Checked);
    XPLMCheckMenuItem(menu, 9, xplm_Menu_Checked);  // out of range: ignored
    XPLMEnableMenuItem(menu, a, 0);
    EXPECT_EQ(simhost::MenuItemEnabled("Plugins/Tester/A"), 0);
    EXPECT_FALSE(simhost::ChooseMenuItem("Plugins/Tester/A"));
    EXPECT_EQ(XPLMCreateMenu("", plugins, 0, Handler, nullptr), nullptr);
    EXPECT_EQ(XPLMCreateMenu("X", plugins, 42, Handler, nullptr), nullptr);
}

TEST_F(Ui, UnloadingAPluginRemovesItsMenus) {
    XPLMMenuID plugins = XPLMFindPluginsMenu();
    XPLMMenuID menu = XPLMCreateMenu(
        "Tester", plugins, XPLMAppendMenuItem(plugins, "Tester", nullptr, 1), Handler, nullptr);
    XPLMAppendMenuItem(menu, "A", nullptr, 1);
    simhost::UnloadPlugin(plugin_);
    EXPECT_EQ(simhost::MenuItemCheck("Plugins/Tester/A"), -1);
    EXPECT_TRUE(simhost::MenuItemNames("Plugins").empty());
}

void DrawText(XPLMWindowID, void* refcon) {
    float c[3] = {1, 1, 1};
    // SDK 2.1.x declares the text without const.
    XPLMDrawString(c, 0, 0, static_cast<char*>(refcon), nullptr, xplmFont_Basic);
    XPLMDrawString(c, 1, 1, static_cast<char*>(refcon), nullptr, xplmFont_Basic);  // shadow
}

TEST_F(Ui, WindowsRecordGeometryVisibilityAndTheirTextPerFrame) {
    XPLMWindowID w = XPLMCreateWindow(10, 688, 100, 658, 1, DrawText, nullptr, nullptr,
                                      const_cast<char*>("hello"));
    ASSERT_NE(w, nullptr);
    simhost::RunFrames(1);
    auto windows = simhost::Windows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].textLastFrame, (std::vector<std::string>{"hello"}));
    EXPECT_TRUE(TimelineHas("window text: hello"));
    XPLMSetWindowGeometry(w, 10, 688, 160, 658);
    int l, t, r, b;
    XPLMGetWindowGeometry(w, &l, &t, &r, &b);
    EXPECT_EQ(r - l, 150);
    XPLMGetWindowGeometry(w, nullptr, nullptr, nullptr, nullptr);  // outputs may be null
    XPLMSetWindowIsVisible(w, 0);
    simhost::RunFrames(1);
    windows = simhost::Windows();
    EXPECT_FALSE(windows[0].visible);
    EXPECT_TRUE(windows[0].textLastFrame.empty());
    XPLMDestroyWindow(w);
    simhost::RunFrames(1);
    EXPECT_TRUE(simhost::Windows().empty());
    EXPECT_EQ(simhost::PluginFaults(), 0);
    XPLMDestroyWindow(w);  // twice
    EXPECT_EQ(simhost::PluginFaults(), 1);
}

int g_hot = 0;
int g_sniffed = 0;
int g_snifferResult = 1;
void Hot(void*) {
    ++g_hot;
}
int Sniff(char, XPLMKeyFlags, char vkey, void*) {
    if (static_cast<unsigned char>(vkey) == XPLM_VK_F12) ++g_sniffed;
    return g_snifferResult;
}

TEST_F(Ui, HotKeysFireOnTheirKeyDownAndSniffersCanConsumeKeys) {
    g_hot = g_sniffed = 0;
    g_snifferResult = 1;
    XPLMHotKeyID key =
        XPLMRegisterHotKey(static_cast<char>(XPLM_VK_F12), xplm_DownFlag, "Toggle", Hot, nullptr);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(simhost::PressKey(XPLM_VK_F12, xplm_DownFlag));
    EXPECT_FALSE(simhost::PressKey(XPLM_VK_F12, xplm_UpFlag));
    EXPECT_FALSE(simhost::PressKey(XPLM_VK_F12, xplm_DownFlag | xplm_ShiftFlag));
    EXPECT_EQ(g_hot, 1);
    EXPECT_EQ(XPLMRegisterKeySniffer(Sniff, 1, nullptr), 1);
    g_snifferResult = 0;
    EXPECT_TRUE(simhost::PressKey(XPLM_VK_F12, xplm_DownFlag));
    EXPECT_EQ(g_sniffed, 1);
    EXPECT_EQ(g_hot, 1);  // consumed before the hot key
    EXPECT_EQ(XPLMUnregisterKeySniffer(Sniff, 1, nullptr), 1);
    EXPECT_EQ(XPLMUnregisterKeySniffer(Sniff, 1, nullptr), 0);
    XPLMUnregisterHotKey(key);
    EXPECT_FALSE(simhost::PressKey(XPLM_VK_F12, xplm_DownFlag));
    EXPECT_STREQ(XPLMGetVirtualKeyDescription(static_cast<char>(123)), "F12");
    EXPECT_STREQ(XPLMGetVirtualKeyDescription('A'), "A");
}

std::vector<int> g_losing;
int Camera(XPLMCameraPosition_t* pose, int losing, void*) {
    g_losing.push_back(losing);
    if (!pose || losing) return 1;
    pose->x = 1;
    pose->y = 2;
    pose->z = 3;
    pose->heading = -180;
    pose->pitch = -4.26f;
    pose->roll = 0;
    return 1;
}

TEST_F(Ui, CameraControlUntilTheViewChanges) {
    g_losing.clear();
    EXPECT_FALSE(simhost::CameraControlled());
    XPLMCameraPosition_t before;
    XPLMReadCameraPosition(&before);
    EXPECT_FLOAT_EQ(before.zoom, 1.0f);
    XPLMControlCamera(xplm_ControlCameraUntilViewChanges, Camera, nullptr);
    simhost::RunFrames(2);
    EXPECT_TRUE(simhost::CameraControlled());
    XPLMCameraPosition_t pose = simhost::CameraPose();
    EXPECT_FLOAT_EQ(pose.x, 1);
    EXPECT_FLOAT_EQ(pose.heading, -180);
    EXPECT_FLOAT_EQ(pose.zoom, 1.0f);  // left as the host filled it
    XPLMCommandButtonPress(xplm_joy_v_spo);
    XPLMCommandButtonRelease(xplm_joy_v_spo);
    EXPECT_FALSE(simhost::CameraControlled());
    EXPECT_EQ(g_losing, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(simhost::GetDataref("sim/graphics/view/view_is_external"), 1.0);
    EXPECT_TRUE(TimelineHas("view: outside"));
}

TEST_F(Ui, ForeverCameraControlSurvivesAViewChange) {
    g_losing.clear();
    XPLMControlCamera(xplm_ControlCameraForever, Camera, nullptr);
    simhost::ChangeView();
    simhost::RunFrames(1);
    EXPECT_TRUE(simhost::CameraControlled());
}

TEST_F(Ui, TheHolderGivesTheCameraBackUntold) {
    g_losing.clear();
    const int faults = simhost::PluginFaults();
    XPLMDontControlCamera();  // held by no one: advised against, so a fault
    EXPECT_EQ(simhost::PluginFaults(), faults + 1);
    XPLMControlCamera(xplm_ControlCameraForever, Camera, nullptr);
    simhost::RunFrames(1);
    XPLMDontControlCamera();
    EXPECT_FALSE(simhost::CameraControlled());
    simhost::RunFrames(1);
    EXPECT_EQ(g_losing, (std::vector<int>{0}));  // never told it lost the camera
    EXPECT_EQ(simhost::PluginFaults(), faults + 1);
}

TEST_F(Ui, SpeechIsRecordedWithItsTime) {
    simhost::RunFrames(3);
    XPLMSpeakString("TVK320 starting push back");
    ASSERT_EQ(simhost::Speech().size(), 1u);
    EXPECT_DOUBLE_EQ(simhost::Speech()[0].time, 0.1);
    EXPECT_TRUE(TimelineHas("speech: TVK320 starting push back"));
}

int g_received = 0;
int WidgetHandler(XPWidgetMessage msg, XPWidgetID, intptr_t, intptr_t) {
    if (msg == xpMsg_PushButtonPressed || msg == xpMessage_CloseButtonPushed) {
        ++g_received;
        return 1;
    }
    return 0;
}

TEST_F(Ui, WidgetsDispatchMessagesUpTheChain) {
    g_received = 0;
    XPWidgetID window =
        XPCreateWidget(100, 400, 300, 200, 1, "Preferences", 1, nullptr, xpWidgetClass_MainWindow);
    XPWidgetID button =
        XPCreateWidget(120, 380, 180, 360, 1, "OK", 0, window, xpWidgetClass_Button);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(button, nullptr);
    XPAddWidgetCallback(window, WidgetHandler);
    XPSetWidgetProperty(window, xpProperty_MainWindowHasCloseBoxes, 1);
    XPSetWidgetProperty(button, xpProperty_ButtonType, xpPushButton);
    int exists = -1;
    EXPECT_EQ(XPGetWidgetProperty(button, xpProperty_ButtonType, &exists), xpPushButton);
    EXPECT_EQ(exists, 1);
    EXPECT_EQ(XPGetWidgetProperty(button, xpProperty_ScrollBarMax, &exists), 0);
    EXPECT_EQ(exists, 0);
    EXPECT_TRUE(simhost::ClickWidget(reinterpret_cast<std::uintptr_t>(button)));
    EXPECT_EQ(g_received, 1);
    EXPECT_TRUE(simhost::CloseWidgetWindow(reinterpret_cast<std::uintptr_t>(window)));
    EXPECT_EQ(g_received, 2);

    char buf[4];
    EXPECT_EQ(XPGetWidgetDescriptor(window, buf, 4), 11);
    EXPECT_EQ(std::string(buf, 4), "Pref");  // cut without a terminator
    simhost::RunFrames(1);
    bool sawText = false;
    for (const auto& w : simhost::Widgets())
        if (w.id == reinterpret_cast<std::uintptr_t>(window))
            sawText = w.textLastFrame == std::vector<std::string>{"Preferences", "OK"};
    EXPECT_TRUE(sawText);
    XPHideWidget(window);
    for (const auto& w : simhost::Widgets()) EXPECT_FALSE(w.visible) << w.descriptor;
    XPDestroyWidget(window, 1);
    EXPECT_TRUE(simhost::Widgets().empty());
}

TEST_F(Ui, CheckBoxesToggleAndReportTheirNewState) {
    static intptr_t state = -1;
    XPWidgetID window =
        XPCreateWidget(0, 100, 100, 0, 1, "W", 1, nullptr, xpWidgetClass_MainWindow);
    XPWidgetID box = XPCreateWidget(0, 50, 10, 40, 1, "Speak", 0, window, xpWidgetClass_Button);
    XPSetWidgetProperty(box, xpProperty_ButtonBehavior, xpButtonBehaviorCheckBox);
    XPAddWidgetCallback(window, [](XPWidgetMessage msg, XPWidgetID, intptr_t, intptr_t p2) -> int {
        if (msg != xpMsg_ButtonStateChanged) return 0;
        state = p2;
        return 1;
    });
    simhost::ClickWidget(reinterpret_cast<std::uintptr_t>(box));
    EXPECT_EQ(state, 1);
    EXPECT_EQ(XPGetWidgetProperty(box, xpProperty_ButtonState, nullptr), 1);
    simhost::ClickWidget(reinterpret_cast<std::uintptr_t>(box));
    EXPECT_EQ(state, 0);
}

}  // namespace
