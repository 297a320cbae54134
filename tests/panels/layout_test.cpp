// Layout arithmetic of panels and controls: columns, stacking, fitting, placement.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "panel_host.h"
#include "panels/QN_Controls.h"

namespace tarvosk::testing {
namespace {

class Layout : public PanelHost {
  protected:
    // A window with one plain panel of `columns` columns in its root.
    QN_Panel* PanelIn(PanelWindow*& window, int columns, int columnWidth) {
        window = CreatePanelWindow(400, "Layout", true, nullptr, nullptr);
        EXPECT_NE(window, nullptr);
        auto panel = std::make_unique<QN_Panel>(false, kAlignLeft);
        panel->columnCount = static_cast<uint8_t>(columns);
        for (int c = 0; c < columns; ++c) panel->columnWidth[c] = columnWidth;
        return AddChild(*window->rootPanel, std::move(panel), 0);
    }
};

TEST_F(Layout, ColumnsOfAFixedWidthStartOneWidthApartAfterTheMargin) {
    PanelWindow* window = nullptr;
    QN_Panel* panel = PanelIn(window, 3, 100);
    auto* first = AddChild(*panel, std::make_unique<QN_CtrlButton>("One", kAlignLeft), 0);
    auto* third = AddChild(*panel, std::make_unique<QN_CtrlButton>("Three", kAlignLeft), 2);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(first->left, panel->left + 5);
    EXPECT_EQ(third->left, panel->left + 205);
    // Both sit at the top of their column, and the room ends one column width further on.
    EXPECT_EQ(first->top, panel->top - 5);
    EXPECT_EQ(third->top, panel->top - 5);
    EXPECT_EQ(third->extentX, third->left + 100);
}

TEST_F(Layout, AColumnWithoutWidthGivesTheRoomUpToThePanelsMargin) {
    PanelWindow* window = nullptr;
    QN_Panel* panel = PanelIn(window, 2, 0);
    auto* a = AddChild(*panel, std::make_unique<QN_CtrlText>("left"), 0);
    auto* b = AddChild(*panel, std::make_unique<QN_CtrlText>("right"), 1);
    EXPECT_EQ(a->left, panel->left + 5);
    EXPECT_EQ(b->left, panel->left + 10);
    EXPECT_EQ(a->extentX, panel->extentX - 5);
}

TEST_F(Layout, AFittedPanelEndsBelowItsLastLine) {
    PanelWindow* window = nullptr;
    QN_Panel* panel = PanelIn(window, 1, 0);
    for (const char* line : {"one", "two", "three"}) {
        AddChild(*panel, std::make_unique<QN_CtrlText>(line), 0);
    }
    // 5 + 3 x (15 + 5) below the panel's top.
    EXPECT_EQ(Geometry(panel->ownWidget).bottom, panel->top - 65);
    EXPECT_EQ(panel->extentY, -70);  // the margin below is part of its height
    // Lines stack 20 pixels apart from just under the top margin.
    EXPECT_EQ(panel->Child(0, 0)->top, panel->top - 5);
    EXPECT_EQ(panel->Child(0, 2)->top, panel->top - 45);
}

TEST_F(Layout, AFittedPanelFollowsItsLongestColumn) {
    PanelWindow* window = nullptr;
    QN_Panel* panel = PanelIn(window, 2, 100);
    AddChild(*panel, std::make_unique<QN_CtrlText>("a"), 0);
    AddChild(*panel, std::make_unique<QN_CtrlText>("b"), 1);
    AddChild(*panel, std::make_unique<QN_CtrlText>("c"), 1);
    EXPECT_EQ(Geometry(panel->ownWidget).bottom, panel->top - 45);
}

TEST_F(Layout, ChildrenBeyondTheColumnsOrAFullColumnAreNotAdded) {
    PanelWindow* window = nullptr;
    QN_Panel* panel = PanelIn(window, 2, 100);
    EXPECT_EQ(AddChild(*panel, std::make_unique<QN_CtrlText>("x"), 2), nullptr);
    EXPECT_EQ(AddChild(*panel, std::make_unique<QN_CtrlText>("x"), -1), nullptr);
    for (int i = 0; i < kMaxChildrenPerColumn; ++i) {
        ASSERT_NE(AddChild(*panel, std::make_unique<QN_CtrlText>("x"), 0), nullptr) << i;
    }
    EXPECT_EQ(AddChild(*panel, std::make_unique<QN_CtrlText>("x"), 0), nullptr);
    EXPECT_EQ(panel->childCount[0], kMaxChildrenPerColumn);
    EXPECT_EQ(panel->childCount[1], 0);
}

TEST_F(Layout, ButtonsAreSixPixelsPerCharacterPlusThirtyAndAlignInTheirRoom) {
    PanelWindow* window = nullptr;
    QN_Panel* row = PanelIn(window, 3, 150);
    auto* left = AddChild(*row, std::make_unique<QN_CtrlButton>("OK", kAlignLeft), 0);
    auto* right = AddChild(*row, std::make_unique<QN_CtrlButton>("OK", kAlignRight), 1);
    auto* centre = AddChild(*row, std::make_unique<QN_CtrlButton>("OK", kAlignCentre), 2);
    const Rect l = Geometry(left->widget), r = Geometry(right->widget),
               c = Geometry(centre->widget);
    EXPECT_EQ(l.right - l.left, 42);
    EXPECT_EQ(l.left, left->left + 5);
    // Right-aligned: ends two margins short of the column's right edge.
    EXPECT_EQ(r.right - r.left, 42);
    EXPECT_EQ(r.right, right->extentX - 10);
    // Centred in the room between the margins.
    EXPECT_EQ((c.left + c.right) / 2, (centre->left + centre->extentX) / 2);
    EXPECT_EQ(l.top, left->top - 5);
    EXPECT_EQ(l.bottom, left->top - 17);
}

TEST_F(Layout, AStretchedButtonFillsTheRoom) {
    const Placement p = PlaceTextControl(100, 5, 300, 2, kAlignStretch);
    EXPECT_EQ(p.x0, 105);
    EXPECT_EQ(p.width, 190);
    EXPECT_EQ(PlaceTextControl(100, 5, 300, 2, kAlignRight).x0, 100 + 190 - 42);
    EXPECT_EQ(PlaceTextControl(100, 5, 300, 2, kAlignCentre).x0, 5 + 100 + 95 - 6 - 15);
}

TEST_F(Layout, ASliderShowsItsPositionWithTheDigitsOfItsMaximum) {
    PanelWindow* window = nullptr;
    QN_Panel* panel = PanelIn(window, 1, 0);
    auto* slider = AddChild(*panel, std::make_unique<QN_CtrlSlider>(5), 0);
    char text[16] = {};
    XPGetWidgetDescriptor(slider->valueCaption, text, sizeof text);
    EXPECT_STREQ(text, "05");
    for (int position : {0, 9, 10, 50}) {
        slider->SetValue(position);
        XPGetWidgetDescriptor(slider->valueCaption, text, sizeof text);
        EXPECT_EQ(std::strlen(text), 2u) << position;
        EXPECT_EQ(std::atoi(text), position);
    }
    // The value caption is 18 pixels wide for a maximum of 50; the bar ends before it.
    const Rect bar = Geometry(slider->bar), value = Geometry(slider->valueCaption);
    EXPECT_EQ(value.right - bar.right, 18);
    EXPECT_EQ(bar.left, slider->left + 66 + 10);  // after "Truck speed" at 6 per character
}

TEST_F(Layout, TheWindowFollowsItsContent) {
    PanelWindow* window = nullptr;
    QN_Panel* panel = PanelIn(window, 1, 0);
    for (int i = 0; i < 4; ++i) AddChild(*panel, std::make_unique<QN_CtrlText>("line"), 0);
    FitToContent(*window);
    const Rect frame = Geometry(window->widget);
    const Rect content = Geometry(panel->ownWidget);
    // Title bar above the root panel; the frame ends a little below the content.
    EXPECT_EQ(frame.top, 768);
    EXPECT_EQ(frame.right - frame.left, 400);
    EXPECT_LT(frame.bottom, content.bottom);
    EXPECT_GT(frame.bottom, content.bottom - 30);
    EXPECT_EQ(window->height, frame.top - frame.bottom);
}

}  // namespace
}  // namespace tarvosk::testing
