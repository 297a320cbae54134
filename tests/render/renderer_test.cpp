// The renderer's GL call sequence for chosen models, against the recording fake.
#include <gtest/gtest.h>

#include <initializer_list>

#include "fake_host.h"
#include "objformat/obj8_reader.h"
#include "render/lighting.h"
#include "render/object_renderer.h"

namespace tarvosk {
namespace {

using Calls = std::vector<std::string>;

ModelCommand Cmd(CommandCode code, int32_t first = 0, int32_t count = 0,
                 std::array<float, 4> params = {}) {
    ModelCommand c;
    c.code = code;
    c.first = first;
    c.count = count;
    c.params = params;
    return c;
}

ModelCommand Attr(CommandCode code, std::array<float, 4> params = {}) {
    return Cmd(code, 0, 0, params);
}

// Three mesh vertices, two line vertices, one light, six indices; one range 0..1000.
ObjectModel Model(std::initializer_list<ModelCommand> commands) {
    ObjectModel m;
    m.meshVertices.clear(8);
    m.meshVertices.resize(3);
    m.lineVertices.clear(6);
    m.lineVertices.resize(2);
    m.lightVertices.clear(6);
    m.lightVertices.resize(1);
    m.indices = {0, 1, 2, 0, 1, 2};
    m.lods.push_back(LodRange{0.0f, 1000.0f, commands});
    return m;
}

class RendererTest : public ::testing::Test {
  protected:
    void SetUp() override { fake::reset(); }

    void Render(const ObjectModel& m, float distance = MODEL_VIEW_DISTANCE) {
        fake::host().bases = {{"mesh", m.meshVertices.floats.data()},
                              {"lines", m.lineVertices.floats.data()},
                              {"lights", m.lightVertices.floats.data()},
                              {"idx", m.indices.data()}};
        RenderModel(m, distance);
    }

    // The calls with the trailing clean-up (client arrays off) left out.
    static Calls Body() {
        Calls calls = fake::host().calls;
        while (!calls.empty() && calls.back().rfind("glDisableClientState", 0) == 0) {
            calls.pop_back();
        }
        return calls;
    }
};

const Calls kTrisCalls = {"glEnable(GL_TEXTURE_2D)",
                          "glVertexPointer(3,32,mesh+0)",
                          "glNormalPointer(32,mesh+12)",
                          "glTexCoordPointer(2,32,mesh+24)",
                          "glEnableClientState(GL_VERTEX_ARRAY)",
                          "glEnableClientState(GL_NORMAL_ARRAY)",
                          "glEnableClientState(GL_TEXTURE_COORD_ARRAY)",
                          "glDisableClientState(GL_COLOR_ARRAY)",
                          "glColor3fv(1,1,1)",
                          "glDrawElements(GL_TRIANGLES,3,idx+0)"};

TEST_F(RendererTest, OneTrisSetsTexturingArraysColourAndDraws) {
    Render(Model({Cmd(CommandCode::TRIS, 0, 3)}));
    EXPECT_EQ(Body(), kTrisCalls);
}

TEST_F(RendererTest, TrisLinesTrisSwitchesTexturingAndRebindsTheMeshArrays) {
    Render(Model({Cmd(CommandCode::TRIS, 0, 3), Cmd(CommandCode::LINES, 3, 2),
                  Cmd(CommandCode::TRIS, 3, 3)}));
    const Calls calls = Body();
    Calls expected = kTrisCalls;
    for (const char* c :
         {"glDisable(GL_TEXTURE_2D)", "glVertexPointer(3,24,lines+0)",
          "glColorPointer(3,24,lines+12)", "glEnableClientState(GL_VERTEX_ARRAY)",
          "glDisableClientState(GL_NORMAL_ARRAY)", "glDisableClientState(GL_TEXTURE_COORD_ARRAY)",
          "glEnableClientState(GL_COLOR_ARRAY)", "glDrawElements(GL_LINES,2,idx+12)"}) {
        expected.push_back(c);
    }
    Calls second = kTrisCalls;
    second.back() = "glDrawElements(GL_TRIANGLES,3,idx+12)";
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(fake::callsStartingWith("glVertexPointer(3,32").size(), 2u);
}

TEST_F(RendererTest, ConsecutiveTrisKeepTheirArraysAndTexturing) {
    Render(Model({Cmd(CommandCode::TRIS, 0, 3), Cmd(CommandCode::TRIS, 3, 3)}));
    EXPECT_EQ(fake::callsStartingWith("glVertexPointer").size(), 1u);
    EXPECT_EQ(fake::callsStartingWith("glEnable(GL_TEXTURE_2D)").size(), 1u);
    EXPECT_EQ(fake::callsStartingWith("glDrawElements").size(), 2u);
}

TEST_F(RendererTest, CockpitBetweenTwoTrisRunsTheCockpitHookWithoutRebinding) {
    Render(Model({Cmd(CommandCode::TRIS, 0, 3), Attr(CommandCode::ATTR_cockpit),
                  Cmd(CommandCode::TRIS, 3, 3)}));
    EXPECT_EQ(fake::callsStartingWith("glEnable(GL_TEXTURE_2D)").size(), 2u);
    EXPECT_EQ(fake::callsStartingWith("glVertexPointer").size(), 1u);
}

TEST_F(RendererTest, NoCockpitMakesTheNextTrisRunItsTexturingHookAgain) {
    Render(Model({Cmd(CommandCode::TRIS, 0, 3), Attr(CommandCode::ATTR_no_cockpit),
                  Cmd(CommandCode::TRIS, 3, 3)}));
    EXPECT_EQ(fake::callsStartingWith("glEnable(GL_TEXTURE_2D)").size(), 2u);
}

TEST_F(RendererTest, LightsArePointsFromTheLightTable) {
    Render(Model({Cmd(CommandCode::LIGHTS, 0, 1)}));
    EXPECT_EQ(Body(),
              (Calls{"glDisable(GL_TEXTURE_2D)", "glVertexPointer(3,24,lights+0)",
                     "glColorPointer(3,24,lights+12)", "glEnableClientState(GL_VERTEX_ARRAY)",
                     "glDisableClientState(GL_NORMAL_ARRAY)",
                     "glDisableClientState(GL_TEXTURE_COORD_ARRAY)",
                     "glEnableClientState(GL_COLOR_ARRAY)", "glDrawArrays(GL_POINTS,0,1)"}));
}

TEST_F(RendererTest, AttributesBecomeTheirGlState) {
    Render(Model({Attr(CommandCode::ATTR_diffuse_rgb, {0.5f, 0.25f, 1.0f}),
                  Cmd(CommandCode::TRIS, 0, 3), Attr(CommandCode::ATTR_poly_os, {2}),
                  Attr(CommandCode::ATTR_poly_os, {0}), Attr(CommandCode::ATTR_shiny_rat, {0.5f}),
                  Attr(CommandCode::ATTR_reset), Attr(CommandCode::ATTR_shade_flat),
                  Attr(CommandCode::ATTR_no_depth), Attr(CommandCode::ATTR_no_cull),
                  Attr(CommandCode::ATTR_blend), Attr(CommandCode::ATTR_ambient_rgb, {1, 1, 1}),
                  Attr(CommandCode::ATTR_hard), Attr(CommandCode::smoke_black, {1, 2, 3, 4})}));
    const Calls& calls = fake::host().calls;
    EXPECT_EQ(calls[0], "glColor3fv(0.5,0.25,1)");
    EXPECT_GE(fake::findCall("glColor3fv(0.5,0.25,1)", 1), 0);  // the mesh draw's own colour
    const int os = fake::findCall("glEnable(GL_POLYGON_OFFSET_FILL)");
    ASSERT_GE(os, 0);
    EXPECT_EQ(calls[os + 1], "glPolygonOffset(-10,-1)");
    EXPECT_EQ(calls[os + 2], "glDepthMask(0)");
    EXPECT_EQ(calls[os + 3], "glDisable(GL_POLYGON_OFFSET_FILL)");
    EXPECT_EQ(calls[os + 4], "glPolygonOffset(0,0)");
    EXPECT_EQ(calls[os + 5], "glDepthMask(1)");
    EXPECT_EQ(calls[os + 6], "glLightfv(GL_LIGHT0,GL_SPECULAR,0.5,0.5,0.5,1)");
    EXPECT_EQ(calls[os + 7], "glMaterialfv(GL_FRONT,GL_SPECULAR,0.5,0.5,0.5,1)");
    EXPECT_EQ(calls[os + 8], "glMateriali(GL_FRONT,GL_SHININESS,128)");
    EXPECT_EQ(calls[os + 9], "glMaterialfv(GL_FRONT,GL_AMBIENT,0.2,0.2,0.2,1)");
    EXPECT_EQ(calls[os + 13], "glColor3f(1,1,1)");
    EXPECT_EQ(calls[os + 14], "glMateriali(GL_FRONT,GL_SHININESS,0)");
    EXPECT_EQ(calls[os + 15], "glShadeModel(GL_FLAT)");
    EXPECT_EQ(calls[os + 16], "glDisable(GL_DEPTH_TEST)");
    EXPECT_EQ(calls[os + 17], "glDisable(GL_CULL_FACE)");
    EXPECT_EQ(calls[os + 18], "glEnable(GL_BLEND)");
    // Ambient, hard and smoke make no call: only the array clean-up follows.
    for (size_t i = os + 19; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].rfind("glDisableClientState", 0), 0u) << calls[i];
    }
}

TEST_F(RendererTest, TheLastMatchingLodRangeIsDrawnElseTheLastRange) {
    ObjectModel m = Model({Cmd(CommandCode::TRIS, 0, 3)});
    m.lods.push_back(LodRange{200.0f, 800.0f, {Cmd(CommandCode::TRIS, 3, 3)}});
    Render(m);
    EXPECT_EQ(fake::callsStartingWith("glDrawElements"),
              (Calls{"glDrawElements(GL_TRIANGLES,3,idx+12)"}));

    fake::reset();
    m.lods[0].farDistance = 100.0f;
    m.lods[1].nearDistance = 100.0f;
    m.lods[1].farDistance = 300.0f;
    Render(m);  // neither covers 500: the last is drawn
    EXPECT_EQ(fake::callsStartingWith("glDrawElements"),
              (Calls{"glDrawElements(GL_TRIANGLES,3,idx+12)"}));

    fake::reset();
    Render(m, 50.0f);
    EXPECT_EQ(fake::callsStartingWith("glDrawElements"),
              (Calls{"glDrawElements(GL_TRIANGLES,3,idx+0)"}));
}

TEST_F(RendererTest, AModelWithoutRangesDrawsNothing) {
    ObjectModel m;
    resetModel(m);
    Render(m);
    EXPECT_TRUE(fake::host().calls.empty());
}

TEST_F(RendererTest, ObjectWithoutLodLinesDrawsItsDefaultRange) {
    const std::string text =
        "I\n800\nOBJ\n\nTEXTURE t.png\nPOINT_COUNTS 3 0 0 3\n"
        "VT 0 0 0 0 1 0 0 0\nVT 1 0 0 0 1 0 1 0\nVT 0 1 0 0 1 0 0 1\nIDX 0\nIDX 1\nIDX 2\n"
        "TRIS 0 3\n";
    ObjectModel m;
    ASSERT_TRUE(readObj8FromBuffer(text.data(), text.size(), m));
    Render(m);
    EXPECT_EQ(fake::callsStartingWith("glDrawElements").size(), 1u);
}

// ---- Animation -----------------------------------------------------------------------------

AnimRecord Rotation(const char* dataref, float v1, float a1, float v2, float a2) {
    AnimRecord a;
    a.datarefName = dataref;
    a.keyFrom = {0, 1, 0, a1, v1};
    a.keyTo = {0, 1, 0, a2, v2};
    return a;
}

TEST_F(RendererTest, RotationExtrapolatesBeyondItsKeys) {
    ObjectModel m = Model({Attr(CommandCode::ANIM_begin), Cmd(CommandCode::ANIM_rotate, 0),
                           Attr(CommandCode::ANIM_end)});
    m.animations.push_back(Rotation("tvk/test/door", 0, 0, 1, 90));
    fake::host().floatData["tvk/test/door"] = 2.0f;
    Render(m);
    EXPECT_EQ(fake::callsStartingWith("glRotatef"), (Calls{"glRotatef(180,0,1,0)"}));
}

TEST_F(RendererTest, EqualKeyValuesGiveTheFirstAngleAndUnknownDatarefsReadZero) {
    ObjectModel m = Model({Cmd(CommandCode::ANIM_rotate, 0), Cmd(CommandCode::ANIM_rotate, 1)});
    m.animations.push_back(Rotation("tvk/test/a", 1, 30, 1, 90));
    m.animations.push_back(Rotation("tvk/test/unknown", 1, 10, 2, 20));
    fake::host().floatData["tvk/test/a"] = 5.0f;
    Render(m);
    EXPECT_EQ(fake::callsStartingWith("glRotatef"),
              (Calls{"glRotatef(30,0,1,0)", "glRotatef(0,0,1,0)"}));
}

TEST_F(RendererTest, TwoAnimationsFollowTheirOwnDatarefs) {
    ObjectModel m = Model({Cmd(CommandCode::ANIM_rotate, 0), Cmd(CommandCode::ANIM_trans, 1)});
    m.animations.push_back(Rotation("tvk/test/wheel", 0, 0, 1, 360));
    AnimRecord slide;
    slide.datarefName = "tvk/test/slide";
    slide.keyFrom = {0, 0, 0, 0, 0};
    slide.keyTo = {2, 4, -6, 0, 1};
    m.animations.push_back(slide);
    fake::host().floatData["tvk/test/wheel"] = 0.25f;
    fake::host().floatData["tvk/test/slide"] = 0.5f;
    Render(m);
    EXPECT_EQ(fake::callsStartingWith("glRotatef"), (Calls{"glRotatef(90,0,1,0)"}));
    EXPECT_EQ(fake::callsStartingWith("glTranslatef"), (Calls{"glTranslatef(1,2,-3)"}));
    EXPECT_EQ(fake::callsStartingWith("XPLMGetDataf"),
              (Calls{"XPLMGetDataf(tvk/test/wheel)", "XPLMGetDataf(tvk/test/slide)"}));
}

TEST_F(RendererTest, InterpolateKeyIsLinearWithoutClamping) {
    EXPECT_FLOAT_EQ(InterpolateKey(0, 1, 0, 90, 0.5f), 45.0f);
    EXPECT_FLOAT_EQ(InterpolateKey(0, 1, 0, 90, -1.0f), -90.0f);
    EXPECT_FLOAT_EQ(InterpolateKey(2, 2, 7, 9, 100.0f), 7.0f);
    EXPECT_FLOAT_EQ(InterpolateKey(10, 20, 1, 3, 15.0f), 2.0f);
}

TEST_F(RendererTest, AnEndWithoutABeginNeverPopsAMatrixItDidNotPush) {
    fake::host().matrixDepth = 3;  // the host's and the object's own matrices
    Render(Model(
        {Attr(CommandCode::ANIM_end), Attr(CommandCode::ANIM_end), Cmd(CommandCode::TRIS, 0, 3)}));
    EXPECT_TRUE(fake::callsStartingWith("glPopMatrix").empty());
    EXPECT_EQ(fake::host().matrixDepth, 3);
}

TEST_F(RendererTest, BeginsLeftOpenAreClosedAtTheEnd) {
    Render(Model({Attr(CommandCode::ANIM_begin), Attr(CommandCode::ANIM_begin),
                  Attr(CommandCode::ANIM_end), Attr(CommandCode::ANIM_begin),
                  Cmd(CommandCode::TRIS, 0, 3)}));
    EXPECT_EQ(fake::callsStartingWith("glPushMatrix").size(), 3u);
    EXPECT_EQ(fake::callsStartingWith("glPopMatrix").size(), 3u);
    EXPECT_EQ(fake::host().matrixDepth, 1);
    EXPECT_EQ(fake::host().matrixUnderflows, 0);
}

TEST_F(RendererTest, NestingDeeperThanTheStackPushesOnlyWhatFits) {
    fake::host().matrixDepth = 2;
    fake::host().maxMatrixDepth = 5;  // room for three more
    std::initializer_list<ModelCommand> deep = {
        Attr(CommandCode::ANIM_begin), Attr(CommandCode::ANIM_begin), Attr(CommandCode::ANIM_begin),
        Attr(CommandCode::ANIM_begin), Attr(CommandCode::ANIM_begin), Attr(CommandCode::ANIM_end),
        Attr(CommandCode::ANIM_end),   Attr(CommandCode::ANIM_end),   Attr(CommandCode::ANIM_end),
        Attr(CommandCode::ANIM_end),   Attr(CommandCode::ANIM_end)};
    Render(Model(deep));
    EXPECT_EQ(fake::callsStartingWith("glPushMatrix").size(), 3u);
    EXPECT_EQ(fake::callsStartingWith("glPopMatrix").size(), 3u);
    EXPECT_EQ(fake::host().matrixOverflows, 0);
    EXPECT_EQ(fake::host().matrixUnderflows, 0);
    EXPECT_EQ(fake::host().matrixDepth, 2);
}

TEST_F(RendererTest, ClientArraysEnabledByTheModelAreDisabledAfterIt) {
    Render(Model({Cmd(CommandCode::TRIS, 0, 3)}));
    EXPECT_TRUE(fake::host().clientArrays.empty());
    fake::reset();
    Render(Model({Cmd(CommandCode::LINES, 0, 2)}));
    EXPECT_TRUE(fake::host().clientArrays.empty());
}

TEST_F(RendererTest, GlErrorsArePrintedAndTheWalkGoesOn) {
    fake::host().pendingErrors = {GL_INVALID_OPERATION};  // pending from before the call
    ::testing::internal::CaptureStdout();
    Render(Model({Attr(CommandCode::ATTR_shade_smooth), Cmd(CommandCode::TRIS, 0, 3)}));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "GL ERROR: 1282\n");
    EXPECT_EQ(fake::callsStartingWith("glDrawElements").size(), 1u);
}

TEST_F(RendererTest, RangesOutsideTheModelsArraysDrawNothing) {
    Render(Model({Cmd(CommandCode::TRIS, 4, 3), Cmd(CommandCode::LINES, -1, 2),
                  Cmd(CommandCode::LIGHTS, 0, 2), Cmd(CommandCode::ANIM_rotate, 3)}));
    EXPECT_TRUE(fake::host().calls.empty());
}

// ---- DrawPlacedObject ----------------------------------------------------------------------

class PlacedDrawTest : public RendererTest {
  protected:
    PlacedObject object;
    void SetUp() override {
        RendererTest::SetUp();
        object.model = Model({Cmd(CommandCode::TRIS, 0, 3)});
        object.x = 100;
        object.y = 2;
        object.z = -50;
        object.heading = 90;
        object.pitch = 5;
        object.roll = 3;
        object.dayTexture = 11;
        object.drawDistance = 3000;
    }
    bool Drawn() {
        fake::host().calls.clear();
        fake::host().bases = {{"mesh", object.model.meshVertices.floats.data()},
                              {"idx", object.model.indices.data()}};
        DrawPlacedObject(object);
        return !fake::callsStartingWith("glDrawElements").empty();
    }
};

TEST_F(PlacedDrawTest, FrameAroundTheModel) {
    fake::host().camera[0] = 100;
    ASSERT_TRUE(Drawn());
    const Calls& calls = fake::host().calls;
    const Calls head(calls.begin(), calls.begin() + 12);
    EXPECT_EQ(head, (Calls{"XPLMReadCameraPosition", "glMatrixMode(GL_MODELVIEW)", "glPushMatrix",
                           "glTranslatef(100,2,-50)", "glRotatef(-90,0,1,0)", "glRotatef(5,1,0,0)",
                           "glRotatef(-3,0,0,1)", "XPLMSetGraphicsState(0,1,1,1,1,1,1)",
                           "XPLMBindTexture2d(11,0)", "glColor4f(1,1,1,0.7)", "glScalef(1,1,1)",
                           "glEnable(GL_TEXTURE_2D)"}));
    EXPECT_EQ(calls[calls.size() - 2], "glEnable(GL_CULL_FACE)");
    EXPECT_EQ(calls.back(), "glPopMatrix");
    EXPECT_EQ(fake::host().matrixDepth, 1);
}

TEST_F(PlacedDrawTest, DrawnUpToExactlyItsDrawDistance) {
    fake::host().camera[0] = 100 + 3000;
    fake::host().camera[1] = 2;
    fake::host().camera[2] = -50;
    EXPECT_TRUE(Drawn());
    fake::host().camera[0] = 100 + 3000.01f;
    EXPECT_FALSE(Drawn());
    EXPECT_EQ(fake::host().calls, (Calls{"XPLMReadCameraPosition"}));  // one camera read only
    object.drawDistance = 0;
    fake::host().camera[0] = 1e7f;
    EXPECT_TRUE(Drawn());
    EXPECT_TRUE(fake::callsStartingWith("XPLMReadCameraPosition").empty());
}

TEST_F(PlacedDrawTest, LitTextureOnlyAboveTheThresholdAndOnlyWhenThereIsOne) {
    const char* lights = "sim/graphics/scenery/percent_lights_on";
    fake::host().floatData[lights] = 0.63f;
    ResolveLightingDatarefs();  // the plug-in does it at start
    ASSERT_TRUE(Drawn());       // no lit texture: day, lighting on
    EXPECT_GE(fake::findCall("XPLMSetGraphicsState(0,1,1,1,1,1,1)"), 0);
    EXPECT_GE(fake::findCall("XPLMBindTexture2d(11,0)"), 0);

    object.litTexture = 12;
    ASSERT_TRUE(Drawn());
    EXPECT_GE(fake::findCall("XPLMSetGraphicsState(0,1,0,1,1,1,1)"), 0);
    EXPECT_GE(fake::findCall("XPLMBindTexture2d(12,0)"), 0);

    fake::host().floatData[lights] = 0.62f;
    ASSERT_TRUE(Drawn());
    EXPECT_GE(fake::findCall("XPLMSetGraphicsState(0,1,1,1,1,1,1)"), 0);
    EXPECT_GE(fake::findCall("XPLMBindTexture2d(11,0)"), 0);
}

}  // namespace
}  // namespace tarvosk
