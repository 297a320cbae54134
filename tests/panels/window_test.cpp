// Windows of the toolkit: placement on the host's screen, the owner's handler contract,
// messages reaching controls, and closing.
#include <memory>
#include <vector>

#include "panel_host.h"
#include "panels/QN_Controls.h"

namespace tarvosk::testing {
namespace {

struct Seen {
    std::vector<XPWidgetMessage> messages;
    std::vector<QN_Panel*> elements;
    int answer = kNotHandled;
};

int Recorder(void* userData, XPWidgetMessage message, QN_Panel* element, intptr_t, intptr_t) {
    auto* seen = static_cast<Seen*>(userData);
    seen->messages.push_back(message);
    seen->elements.push_back(element);
    return seen->answer;
}

std::uintptr_t Id(XPWidgetID widget) {
    return reinterpret_cast<std::uintptr_t>(widget);
}

class Windows : public PanelHost {
  protected:
    PanelWindow* Build(Seen& seen, QN_CtrlCheckBox** box, QN_CtrlButton** button) {
        PanelWindow* window = CreatePanelWindow(300, "Test", true, Recorder, &seen);
        EXPECT_NE(window, nullptr);
        QN_Panel* panel =
            AddChild(*window->rootPanel, std::make_unique<QN_Panel>(false, kAlignLeft), 0);
        *box = AddChild(*panel, std::make_unique<QN_CtrlCheckBox>("Box", false), 0);
        *button = AddChild(*panel, std::make_unique<QN_CtrlButton>("Press", kAlignLeft), 0);
        FitToContent(*window);
        return window;
    }
};

TEST_F(Windows, CentredOnTheHostsRealScreen) {
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{1024, 768}, std::pair{2560, 1440}}) {
        Boot(w, h);
        Seen seen;
        QN_CtrlCheckBox* box = nullptr;
        QN_CtrlButton* button = nullptr;
        PanelWindow* window = Build(seen, &box, &button);
        const Rect before = Geometry(window->widget);
        const Rect boxBefore = Geometry(box->box);
        CenterOnScreen(*window);
        const Rect after = Geometry(window->widget);
        EXPECT_EQ(after.right - after.left, before.right - before.left);
        EXPECT_EQ(after.top - after.bottom, before.top - before.bottom);
        EXPECT_NEAR((after.left + after.right) / 2.0, w / 2.0, 1.0) << w;
        EXPECT_NEAR((after.top + after.bottom) / 2.0, h / 2.0, 1.0) << h;
        // Everything inside moves with the frame.
        const Rect boxAfter = Geometry(box->box);
        EXPECT_EQ(boxAfter.left - boxBefore.left, after.left - before.left);
        EXPECT_EQ(boxAfter.top - boxBefore.top, after.top - before.top);
        DestroyPanelWindow(window);
    }
}

TEST_F(Windows, TheSizeDoesNotDependOnTheScreen) {
    Rect sizes[2];
    int k = 0;
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{1024, 768}}) {
        Boot(w, h);
        Seen seen;
        QN_CtrlCheckBox* box = nullptr;
        QN_CtrlButton* button = nullptr;
        PanelWindow* window = Build(seen, &box, &button);
        CenterOnScreen(*window);
        sizes[k++] = Geometry(window->widget);
        DestroyPanelWindow(window);
    }
    EXPECT_EQ(sizes[0].right - sizes[0].left, sizes[1].right - sizes[1].left);
    EXPECT_EQ(sizes[0].top - sizes[0].bottom, sizes[1].top - sizes[1].bottom);
}

TEST_F(Windows, TheOwnerSeesTheSendingElementFirst) {
    Seen seen;
    QN_CtrlCheckBox* box = nullptr;
    QN_CtrlButton* button = nullptr;
    Build(seen, &box, &button);
    seen.messages.clear();
    seen.elements.clear();
    ASSERT_TRUE(simhost::ClickWidget(Id(button->widget)));
    ASSERT_FALSE(seen.messages.empty());
    EXPECT_EQ(seen.messages.back(), xpMsg_PushButtonPressed);
    EXPECT_EQ(seen.elements.back(), button);

    ASSERT_TRUE(simhost::ClickWidget(Id(box->box)));
    EXPECT_EQ(seen.messages.back(), xpMsg_ButtonStateChanged);
    EXPECT_EQ(seen.elements.back(), box);
    // Not handled by the owner: the box hears of it and keeps the new state.
    EXPECT_TRUE(box->ticked);
    EXPECT_EQ(simhost::WidgetProperty(Id(box->box), xpProperty_ButtonState), 1);
}

TEST_F(Windows, AMessageTheOwnerHandlesNeverReachesTheControls) {
    Seen seen;
    QN_CtrlCheckBox* box = nullptr;
    QN_CtrlButton* button = nullptr;
    Build(seen, &box, &button);
    seen.answer = kHandled;
    ASSERT_TRUE(simhost::ClickWidget(Id(box->box)));
    EXPECT_EQ(seen.messages.back(), xpMsg_ButtonStateChanged);
    EXPECT_FALSE(box->ticked);
}

TEST_F(Windows, AnswerTwoClosesAndDestroysTheWindow) {
    Seen seen;
    QN_CtrlCheckBox* box = nullptr;
    QN_CtrlButton* button = nullptr;
    PanelWindow* window = Build(seen, &box, &button);
    const std::uintptr_t frame = Id(window->widget);
    const std::uintptr_t buttonId = Id(button->widget);
    seen.answer = kHandledClose;
    ASSERT_TRUE(simhost::ClickWidget(buttonId));
    EXPECT_TRUE(OpenPanelWindows().empty());
    for (const simhost::WidgetInfo& w : simhost::Widgets()) {
        EXPECT_NE(w.id, frame);
        EXPECT_NE(w.id, buttonId);
    }
    simhost::RunFrames(2);  // nothing left that could draw a freed element
    EXPECT_EQ(simhost::PluginFaults(), 0);
}

TEST_F(Windows, TheCloseBoxReachesTheOwnerWithoutAnElement) {
    Seen seen;
    QN_CtrlCheckBox* box = nullptr;
    QN_CtrlButton* button = nullptr;
    PanelWindow* window = Build(seen, &box, &button);
    simhost::CloseWidgetWindow(Id(window->widget));
    ASSERT_FALSE(seen.messages.empty());
    EXPECT_EQ(seen.messages.back(), xpMessage_CloseButtonPushed);
    EXPECT_EQ(seen.elements.back(), nullptr);
}

TEST_F(Windows, AWindowWithoutCloseBoxCannotBeClosedThatWay) {
    PanelWindow* window = CreatePanelWindow(200, "No box", false, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(simhost::CloseWidgetWindow(Id(window->widget)));
    EXPECT_EQ(OpenPanelWindows().size(), 1u);
}

TEST_F(Windows, AGrowingChildPanelPushesItsAncestorsDownButNotItsSiblings) {
    PanelWindow* window = CreatePanelWindow(300, "Nest", true, nullptr, nullptr);
    QN_Panel* outer =
        AddChild(*window->rootPanel, std::make_unique<QN_Panel>(false, kAlignLeft), 0);
    QN_Panel* first = AddChild(*outer, std::make_unique<QN_Panel>(false, kAlignLeft), 0);
    AddChild(*first, std::make_unique<QN_CtrlText>("first"), 0);
    QN_Panel* second = AddChild(*outer, std::make_unique<QN_Panel>(false, kAlignLeft), 0);
    const Rect firstBefore = Geometry(first->ownWidget);
    for (int i = 0; i < 3; ++i) AddChild(*second, std::make_unique<QN_CtrlText>("second"), 0);
    const Rect secondNow = Geometry(second->ownWidget);
    // The outer panel and the root reach down to the second panel's bottom...
    EXPECT_LE(Geometry(outer->ownWidget).bottom, secondNow.bottom);
    EXPECT_LE(window->rootPanel->lowestBottom, secondNow.bottom);
    // ...and the first panel keeps its own size.
    EXPECT_EQ(Geometry(first->ownWidget).bottom, firstBefore.bottom);
    FitToContent(*window);
    EXPECT_LT(Geometry(window->widget).bottom, secondNow.bottom);
}

TEST_F(Windows, HiddenPanelsHideTheirBackgroundOnly) {
    PanelWindow* window = CreatePanelWindow(300, "Vis", true, nullptr, nullptr);
    QN_Panel* panel =
        AddChild(*window->rootPanel, std::make_unique<QN_Panel>(false, kAlignLeft), 0);
    auto* button = AddChild(*panel, std::make_unique<QN_CtrlButton>("B", kAlignLeft), 0);
    panel->SetVisible(false);
    EXPECT_FALSE(panel->IsVisible());
    button->SetVisible(false);
    for (const simhost::WidgetInfo& w : simhost::Widgets()) {
        if (w.id == Id(panel->ownWidget) || w.id == Id(button->widget)) {
            EXPECT_FALSE(w.visible);
        }
    }
    // The root panel is never drawn itself.
    for (const simhost::WidgetInfo& w : simhost::Widgets()) {
        if (w.id == Id(window->rootPanel->ownWidget)) {
            EXPECT_FALSE(w.visible);
        }
    }
    button->SetEnabled(false);
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_FALSE(simhost::ClickWidget(Id(button->widget)));
}

}  // namespace
}  // namespace tarvosk::testing
