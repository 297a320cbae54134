// The host's widget library as the toolkit uses it: class defaults, dispatch modes, the create
// message, visibility through the chain, user input (clicks, check boxes, slider drags, the
// close box, keys), the screen size and key names, and how the widgets look in a picture.
#include <string>
#include <vector>

#include "support.h"

namespace {

using simhost_test::HostTest;

class WidgetLibrary : public HostTest {};

std::uintptr_t Id(XPWidgetID w) {
    return reinterpret_cast<std::uintptr_t>(w);
}

struct Record {
    std::vector<XPWidgetMessage> messages;
    std::vector<intptr_t> p1, p2;
    std::vector<intptr_t> stateSeen;  // the sender's button state when the message came
};
Record g_record;
int g_answer = 0;

int Recorder(XPWidgetMessage message, XPWidgetID, intptr_t p1, intptr_t p2) {
    if (message == xpMsg_Draw || message == xpMsg_Paint) return 0;
    g_record.messages.push_back(message);
    g_record.p1.push_back(p1);
    g_record.p2.push_back(p2);
    g_record.stateSeen.push_back(
        message == xpMsg_ButtonStateChanged
            ? XPGetWidgetProperty(reinterpret_cast<XPWidgetID>(p1), xpProperty_ButtonState, nullptr)
            : -1);
    return g_answer;
}

XPWidgetID Window(bool closeBox = true) {
    XPWidgetID w =
        XPCreateWidget(100, 500, 400, 200, 1, "Win", 1, nullptr, xpWidgetClass_MainWindow);
    XPSetWidgetProperty(w, xpProperty_MainWindowHasCloseBoxes, closeBox ? 1 : 0);
    return w;
}

TEST_F(WidgetLibrary, StandardClassesStartWithTheirDefaults) {
    XPWidgetID window =
        XPCreateWidget(0, 100, 100, 0, 1, "W", 1, nullptr, xpWidgetClass_MainWindow);
    XPWidgetID button = XPCreateWidget(0, 50, 40, 30, 1, "B", 0, window, xpWidgetClass_Button);
    XPWidgetID bar = XPCreateWidget(0, 20, 90, 10, 1, "", 0, window, xpWidgetClass_ScrollBar);
    int exists = 0;
    EXPECT_EQ(XPGetWidgetProperty(window, xpProperty_MainWindowHasCloseBoxes, &exists), 0);
    EXPECT_EQ(exists, 1);
    EXPECT_EQ(XPGetWidgetProperty(button, xpProperty_Enabled, &exists), 1);
    EXPECT_EQ(XPGetWidgetProperty(button, xpProperty_ButtonBehavior, nullptr),
              xpButtonBehaviorPushButton);
    EXPECT_EQ(XPGetWidgetProperty(button, xpProperty_ButtonState, nullptr), 0);
    EXPECT_EQ(XPGetWidgetProperty(bar, xpProperty_ScrollBarType, nullptr),
              xpScrollBarTypeScrollBar);
    EXPECT_EQ(XPGetWidgetProperty(bar, xpProperty_ScrollBarMax, nullptr), 10);
    // A custom widget has no standard properties.
    XPWidgetID custom = XPCreateCustomWidget(0, 10, 10, 0, 1, "", 0, window, Recorder);
    EXPECT_EQ(XPGetWidgetProperty(custom, xpProperty_Enabled, &exists), 0);
    EXPECT_EQ(exists, 0);
}

TEST_F(WidgetLibrary, BringingAChildToTheFrontBringsItsRootTree) {
    XPWidgetID back = Window();
    XPWidgetID button = XPCreateWidget(110, 450, 150, 430, 1, "B", 0, back, xpWidgetClass_Button);
    XPWidgetID front = Window();
    const auto frontRoot = [] {
        std::uintptr_t last = 0;
        for (const simhost::WidgetInfo& w : simhost::Widgets())
            if (w.isRoot && w.parent == 0) last = w.id;
        return last;
    };
    EXPECT_EQ(frontRoot(), Id(front));
    XPBringRootWidgetToFront(button);
    EXPECT_EQ(frontRoot(), Id(back));
    XPBringRootWidgetToFront(front);
    EXPECT_EQ(frontRoot(), Id(front));
    XPBringRootWidgetToFront(nullptr);  // harmless
    EXPECT_EQ(frontRoot(), Id(front));
}

TEST_F(WidgetLibrary, AddingACallbackSendsItTheCreateMessageAtOnce) {
    g_record = {};
    XPWidgetID window = Window();
    XPAddWidgetCallback(window, Recorder);
    ASSERT_FALSE(g_record.messages.empty());
    EXPECT_EQ(g_record.messages[0], xpMsg_Create);
    EXPECT_EQ(g_record.p1[0], 1);  // "added later", not at creation
}

TEST_F(WidgetLibrary, DirectStaysOnTheWidgetAndUpChainClimbsUntilHandled) {
    g_record = {};
    XPWidgetID window = Window();
    XPWidgetID child = XPCreateCustomWidget(
        110, 480, 200, 400, 1, "", 0, window,
        [](XPWidgetMessage, XPWidgetID, intptr_t, intptr_t) -> int { return 0; });
    XPAddWidgetCallback(window, Recorder);
    g_record = {};
    EXPECT_EQ(XPSendMessageToWidget(child, xpMsg_UserStart, xpMode_Direct, 7, 8), 0);
    EXPECT_TRUE(g_record.messages.empty());
    g_answer = 1;
    EXPECT_EQ(XPSendMessageToWidget(child, xpMsg_UserStart, xpMode_UpChain, 7, 8), 1);
    g_answer = 0;
    ASSERT_EQ(g_record.messages.size(), 1u);
    EXPECT_EQ(g_record.p1[0], 7);
    EXPECT_EQ(g_record.p2[0], 8);
}

TEST_F(WidgetLibrary, ACheckBoxReportsItsNewStateBeforeItShowsIt) {
    g_record = {};
    XPWidgetID window = Window();
    XPWidgetID box = XPCreateWidget(110, 480, 130, 460, 1, "", 0, window, xpWidgetClass_Button);
    XPSetWidgetProperty(box, xpProperty_ButtonType, xpRadioButton);
    XPSetWidgetProperty(box, xpProperty_ButtonBehavior, xpButtonBehaviorCheckBox);
    XPAddWidgetCallback(window, Recorder);
    g_record = {};
    ASSERT_TRUE(simhost::ClickWidget(Id(box)));
    ASSERT_EQ(g_record.messages.back(), xpMsg_ButtonStateChanged);
    EXPECT_EQ(g_record.p1.back(), static_cast<intptr_t>(Id(box)));
    EXPECT_EQ(g_record.p2.back(), 1);         // the new state in the message...
    EXPECT_EQ(g_record.stateSeen.back(), 0);  // ...while the box still shows the old one
    EXPECT_EQ(XPGetWidgetProperty(box, xpProperty_ButtonState, nullptr), 1);
    // Setting the state from code sends nothing.
    g_record = {};
    XPSetWidgetProperty(box, xpProperty_ButtonState, 0);
    for (XPWidgetMessage m : g_record.messages) EXPECT_NE(m, xpMsg_ButtonStateChanged);
}

TEST_F(WidgetLibrary, ADisabledButtonSendsNothing) {
    g_record = {};
    XPWidgetID window = Window();
    XPWidgetID button =
        XPCreateWidget(110, 480, 170, 460, 1, "Go", 0, window, xpWidgetClass_Button);
    XPAddWidgetCallback(window, Recorder);
    XPSetWidgetProperty(button, xpProperty_Enabled, 0);
    g_record = {};
    simhost::ClickWidget(Id(button));
    for (XPWidgetMessage m : g_record.messages) EXPECT_NE(m, xpMsg_PushButtonPressed);
    XPSetWidgetProperty(button, xpProperty_Enabled, 1);
    simhost::ClickWidget(Id(button));
    EXPECT_EQ(g_record.messages.back(), xpMsg_PushButtonPressed);
}

TEST_F(WidgetLibrary, DraggingASliderReportsEveryPositionOnTheWay) {
    g_record = {};
    XPWidgetID window = Window();
    XPWidgetID bar = XPCreateWidget(110, 300, 300, 290, 1, "", 0, window, xpWidgetClass_ScrollBar);
    XPSetWidgetProperty(bar, xpProperty_ScrollBarType, xpScrollBarTypeSlider);
    XPSetWidgetProperty(bar, xpProperty_ScrollBarMax, 50);
    XPSetWidgetProperty(bar, xpProperty_ScrollBarSliderPosition, 10);
    XPAddWidgetCallback(window, Recorder);
    g_record = {};
    ASSERT_TRUE(simhost::DragSlider(Id(bar), 14));
    ASSERT_EQ(g_record.messages.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(g_record.messages[k], xpMsg_ScrollBarSliderPositionChanged);
        EXPECT_EQ(g_record.p1[k], static_cast<intptr_t>(Id(bar)));
    }
    EXPECT_EQ(XPGetWidgetProperty(bar, xpProperty_ScrollBarSliderPosition, nullptr), 14);
    // The ends hold the thumb.
    ASSERT_TRUE(simhost::DragSlider(Id(bar), -20));
    EXPECT_EQ(XPGetWidgetProperty(bar, xpProperty_ScrollBarSliderPosition, nullptr), 0);
    XPHideWidget(window);
    EXPECT_FALSE(simhost::DragSlider(Id(bar), 5));  // hidden through its window
}

TEST_F(WidgetLibrary, ALabelLeadsToItsCheckBoxAndItsSlider) {
    XPWidgetID window = Window();
    XPWidgetID box = XPCreateWidget(110, 480, 132, 464, 1, "", 0, window, xpWidgetClass_Button);
    XPSetWidgetProperty(box, xpProperty_ButtonBehavior, xpButtonBehaviorCheckBox);
    XPCreateWidget(128, 479, 300, 466, 1, "Draw truck", 0, window, xpWidgetClass_Caption);
    XPCreateWidget(110, 440, 170, 425, 1, "Truck speed", 0, window, xpWidgetClass_Caption);
    XPWidgetID bar = XPCreateWidget(180, 441, 300, 424, 1, "", 0, window, xpWidgetClass_ScrollBar);
    EXPECT_EQ(simhost::FindWidgetToClick("Draw truck"), Id(box));
    EXPECT_EQ(simhost::FindSlider("Truck speed"), Id(bar));
    EXPECT_EQ(simhost::FindSlider(""), Id(bar));
    EXPECT_EQ(simhost::FindWidgetToClick("Nothing"), 0u);
    EXPECT_EQ(simhost::FindSlider("Draw truck"), 0u);
}

TEST_F(WidgetLibrary, OnlyAWindowWithACloseBoxCanBeClosed) {
    g_record = {};
    XPWidgetID plain = Window(false);
    XPAddWidgetCallback(plain, Recorder);
    EXPECT_FALSE(simhost::CloseWidgetWindow(Id(plain)));
    XPWidgetID boxed = Window(true);
    XPAddWidgetCallback(boxed, Recorder);
    g_answer = 1;
    EXPECT_TRUE(simhost::CloseWidgetWindow(Id(boxed)));
    g_answer = 0;
    EXPECT_EQ(g_record.messages.back(), xpMessage_CloseButtonPushed);
}

TEST_F(WidgetLibrary, KeySniffersBeforeWindowsGetKeysFirstAndCanKeepThem) {
    static std::vector<int> keys;
    keys.clear();
    XPLMRegisterKeySniffer(
        [](char, XPLMKeyFlags, char vkey, void*) -> int {
            keys.push_back(static_cast<signed char>(vkey));
            return 0;
        },
        1, nullptr);
    static int hotKeys = 0;
    XPLMRegisterHotKey(
        static_cast<char>(0xB0), xplm_DownFlag, "enter", [](void*) { ++hotKeys; }, nullptr);
    EXPECT_TRUE(simhost::PressKey(0xB0, xplm_DownFlag));
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0], -80);  // the char is signed: codes of 128 and more arrive negative
    EXPECT_EQ(hotKeys, 0);
}

TEST_F(WidgetLibrary, TheScreenSizeAndKeyNamesAreTheSimulators) {
    int w = 0, h = 0;
    XPLMGetScreenSize(&w, &h);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1080);
    XPLMGetScreenSize(nullptr, &h);  // either may be left out
    config_.screenWidth = 1024;
    config_.screenHeight = 768;
    std::string error;
    ASSERT_TRUE(simhost::Reset(config_, &error)) << error;
    XPLMGetScreenSize(&w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_STREQ(XPLMGetVirtualKeyDescription(XPLM_VK_F12), "F12");
    EXPECT_STREQ(XPLMGetVirtualKeyDescription(static_cast<char>(0xBB)), "ENTER");
    EXPECT_STREQ(XPLMGetVirtualKeyDescription('A'), "A");
}

TEST_F(WidgetLibrary, APictureOfTheScreenShowsTheWindowAsItIsDrawn) {
    std::string why;
    if (!simhost::GraphicsAvailable(&why)) GTEST_SKIP() << "no OpenGL here: " << why;
    XPWidgetID window = Window(true);
    XPWidgetID button =
        XPCreateWidget(150, 300, 250, 280, 1, "OK", 0, window, xpWidgetClass_Button);
    ASSERT_NE(button, nullptr);
    simhost::PictureRequest request;
    request.view = "screen";
    request.screenLeft = 50;
    request.screenBottom = 150;
    request.width = 400;
    request.height = 400;
    simhost::Picture picture;
    ASSERT_TRUE(simhost::TakePicture(request, &picture, &why)) << why;
    // Screen (x, y) is picture column x - 50, row from the top 550 - y.
    auto pixel = [&](int x, int y) {
        const std::size_t at =
            (static_cast<std::size_t>(550 - y) * picture.width + static_cast<std::size_t>(x - 50)) *
            4;
        return std::vector<int>{picture.rgba[at], picture.rgba[at + 1], picture.rgba[at + 2]};
    };
    const auto outside = pixel(70, 170), body = pixel(120, 220), title = pixel(300, 492),
               face = pixel(160, 285);
    EXPECT_NE(outside, body);
    EXPECT_NE(title, body);   // the title bar stands out from the window
    EXPECT_GT(body[0], 150);  // a light grey window
    EXPECT_LT(title[0], body[0]);
    EXPECT_GT(face[0], 180);  // the button's face is lighter still
}

}  // namespace
