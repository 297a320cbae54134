#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "panels/planner_editor.h"
#include "panels/planner_view.h"

namespace tarvosk {
namespace {

PlannerScene Airliner(const PushPlan& plan) {
    PlannerScene scene;
    scene.plan = plan;
    scene.start = {100, 200, 30};
    scene.outline = OutlineFromSize(36, 40, 0);
    scene.shape = {{36, 40}, 0};
    scene.pushedWheel = {0, -15};
    return scene;
}

TEST(PlannerView, EveryControlIsWhereTheClickFindsItAndTheBandIsDrawn) {
    PlannerLayout layout;
    const PlannerRect window{0, 520, 440, 0};
    LayOutPlanner(Airliner({35, 60, 10}), window, &layout);
    for (int c = static_cast<int>(PlannerControl::kStraightField);
         c <= static_cast<int>(PlannerControl::kClose); ++c) {
        const PlannerRect& r = layout.controlRects[c];
        ASSERT_GT(r.right, r.left) << c;
        EXPECT_EQ(static_cast<int>(layout.HitTest((r.left + r.right) / 2, (r.top + r.bottom) / 2)),
                  c);
        EXPECT_GE(r.left, window.left);
        EXPECT_LE(r.right, window.right);
    }
    EXPECT_EQ(layout.HitTest(220, 400), PlannerControl::kMap);
    // A band of quads and traces, every vertex on the map.
    EXPECT_GT(layout.quadCount, 40);
    EXPECT_GT(layout.lineCount, 100);
    EXPECT_LT(layout.lineCount, PlannerLayout::kMaxLines);
    for (int i = 0; i < layout.lineCount; ++i) {
        const PlannerLine& l = layout.lines[i];
        for (float x : {l.x0, l.x1})
            EXPECT_TRUE(x >= window.left - 0.01f && x <= window.right + 0.01f);
        for (float y : {l.y0, l.y1})
            EXPECT_TRUE(y >= window.bottom - 0.01f && y <= window.top + 0.01f);
    }
    // The whole sweep fits: a grid of whole metres and a scale bar that says so.
    EXPECT_GT(layout.gridMetres, 0);
    bool scale = false;
    for (int i = 0; i < layout.textCount; ++i) {
        scale =
            scale || std::string(layout.texts[i].text) == std::to_string(layout.gridMetres) + " m";
    }
    EXPECT_TRUE(scale);
}

TEST(PlannerView, AircraftUpTurnsTheViewWithTheNose) {
    PlannerScene scene = Airliner({0, 0, 0});
    scene.start.heading = 90;
    PlannerLayout north, nose;
    LayOutPlanner(scene, {0, 520, 440, 0}, &north);
    scene.northUp = false;
    LayOutPlanner(scene, {0, 520, 440, 0}, &nose);
    // Facing east with north up the aircraft lies level, nose to the right; turned with the
    // aircraft it stands upright, nose up.
    EXPECT_NEAR(north.noseY, north.tailY, 0.5);
    EXPECT_GT(north.noseX - north.tailX, 20);
    EXPECT_NEAR(nose.noseX, nose.tailX, 0.5);
    EXPECT_GT(nose.noseY - nose.tailY, 20);
}

TEST(PlannerEditor, StepsDragsAndTypedValuesAreHeldToTheirRange) {
    PlannerEditor editor;
    editor.SetPlan({35, 0, 0});
    EXPECT_EQ(editor.MouseDown(PlannerControl::kTurnMinus, 0), PlannerAction::kChanged);
    EXPECT_EQ(editor.Plan().turn, -5.0);
    // A drag of 40 pixels to the right on the straight field: 10 m more.
    editor.MouseDown(PlannerControl::kStraightField, 100);
    editor.MouseDrag(120);
    editor.MouseUp(140);
    EXPECT_EQ(editor.Plan().straight, 45.0);
    EXPECT_FALSE(editor.Typing());
    // A click without a drag types; too much is held, and said.
    editor.MouseDown(PlannerControl::kTurnField, 50);
    editor.MouseUp(50);
    ASSERT_TRUE(editor.Typing());
    for (char c : std::string("-250")) editor.Key(EditKey::kCharacter, c);
    EXPECT_EQ(editor.Key(EditKey::kEnter, 0), PlannerAction::kChanged);
    EXPECT_EQ(editor.Plan().turn, -180.0);
    EXPECT_STREQ(editor.Status(), "Turn held to 180 deg tail right");
    // Not a number: the value stays and the status says why; Escape drops what was typed.
    editor.MouseDown(PlannerControl::kAfterField, 0);
    editor.MouseUp(0);
    for (char c : std::string("1.2.3")) editor.Key(EditKey::kCharacter, c);
    editor.Key(EditKey::kEnter, 0);
    EXPECT_EQ(editor.Plan().after, 0.0);
    EXPECT_NE(std::strstr(editor.Status(), "not a number"), nullptr);
    editor.MouseDown(PlannerControl::kAfterField, 0);
    editor.MouseUp(0);
    editor.Key(EditKey::kCharacter, '9');
    editor.Key(EditKey::kEscape, 0);
    EXPECT_EQ(editor.Plan().after, 0.0);
    EXPECT_EQ(editor.MouseDown(PlannerControl::kStart, 0), PlannerAction::kStart);
}

}  // namespace
}  // namespace tarvosk
