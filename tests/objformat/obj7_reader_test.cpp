#include <gtest/gtest.h>

#include <string>

#include "objformat/obj7_reader.h"

namespace tarvosk {
namespace {

bool read7(const std::string& text, Obj7Object& object, std::string* error = nullptr) {
    return readObj7FromBuffer(text.data(), text.size(), object, error);
}

const char* const kHeader700 = "I\n700\nOBJ\n\ntruck\n";

TEST(Obj7Reader, HeaderGivesTheTextureNameUnchanged) {
    Obj7Object object;
    ASSERT_TRUE(read7("A\n700\t// version\nOBJ\n\n  my_texture  // comment\nend\n", object));
    EXPECT_EQ(object.textureName, "my_texture");
    EXPECT_TRUE(object.commands.empty());
}

TEST(Obj7Reader, RefusesOtherVersionsAndA700WithoutObj) {
    Obj7Object object;
    std::string error;
    EXPECT_FALSE(read7("I\n800\nOBJ\n", object, &error));
    EXPECT_NE(error.find("800"), std::string::npos);
    EXPECT_FALSE(read7("I\n700\ntexture\n", object, &error));
    EXPECT_NE(error.find("OBJ"), std::string::npos);
    EXPECT_FALSE(read7("", object));
    EXPECT_FALSE(readObj7("/nonexistent/x.obj", object, &error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(Obj7Reader, VertexLayoutAcrossLinesDoesNotMatter) {
    const std::string perLine =
        std::string(kHeader700) + "tri\n1 2 3 0 0\n4 5 6 1 0\n7 8 9 1 1\nend\n";
    const std::string oneLine =
        std::string(kHeader700) + "tri\n1 2 3 0 0 4 5 6 1 0 7 8 9 1 1\nend\n";
    Obj7Object a, b;
    ASSERT_TRUE(read7(perLine, a));
    ASSERT_TRUE(read7(oneLine, b));
    ASSERT_EQ(a.commands.size(), 1u);
    ASSERT_EQ(b.commands.size(), 1u);
    ASSERT_EQ(a.commands[0].texturedVertices.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(a.commands[0].texturedVertices[i].x, b.commands[0].texturedVertices[i].x);
        EXPECT_EQ(a.commands[0].texturedVertices[i].t, b.commands[0].texturedVertices[i].t);
    }
    EXPECT_EQ(a.commands[0].texturedVertices[2].z, 9.0f);
}

TEST(Obj7Reader, CountedPrimitivesTakeTheirCountFromTheKeywordLine) {
    std::string text = std::string(kHeader700) + "tri_fan 5\n";
    for (int i = 0; i < 5; ++i) text += std::to_string(i) + " 0 0 0 0\n";
    text += "end\n";
    Obj7Object object;
    ASSERT_TRUE(read7(text, object));
    ASSERT_EQ(object.commands.size(), 1u);
    EXPECT_EQ(object.commands[0].code, CommandCode::tri_fan);
    EXPECT_EQ(object.commands[0].kind, 2);
    EXPECT_EQ(object.commands[0].texturedVertices.size(), 5u);
    EXPECT_EQ(object.commands[0].texturedVertices[4].x, 4.0f);
}

TEST(Obj7Reader, ColouredPrimitivesIgnoreTheRestOfTheKeywordLine) {
    const std::string text = std::string(kHeader700) +
                             "light  // red\n1 2 3 10 0 0\n"
                             "line\n0 0 0 5 5 5 1 1 1 5 5 5\nend\n";
    Obj7Object object;
    ASSERT_TRUE(read7(text, object));
    ASSERT_EQ(object.commands.size(), 2u);
    EXPECT_EQ(object.commands[0].colouredVertices.size(), 1u);
    EXPECT_EQ(object.commands[0].colouredVertices[0].r, 10.0f);  // still on the 0..10 scale
    EXPECT_EQ(object.commands[1].colouredVertices.size(), 2u);
}

TEST(Obj7Reader, SpellingVariantsShareACode) {
    const std::string text = std::string(kHeader700) +
                             "shade_flat\nATTR_shade_flat\nATTR_difuse_rgb 1 2 3\n"
                             "ATTR_diffuse_rgb 4 5\nATTR_LOD 0 1000\nend\n";
    Obj7Object object;
    ASSERT_TRUE(read7(text, object));
    ASSERT_EQ(object.commands.size(), 5u);
    EXPECT_EQ(object.commands[0].code, CommandCode::ATTR_shade_flat);
    EXPECT_EQ(object.commands[1].code, CommandCode::ATTR_shade_flat);
    EXPECT_EQ(object.commands[2].code, CommandCode::ATTR_diffuse_rgb);
    EXPECT_EQ(object.commands[3].code, CommandCode::ATTR_diffuse_rgb);
    EXPECT_EQ(object.commands[3].attributes, (std::vector<float>{4, 5, 0}));  // missing is 0
    EXPECT_EQ(object.commands[4].attributes, (std::vector<float>{0, 1000}));
}

TEST(Obj7Reader, VersionEightKeywordsAndCommentsAreSkipped) {
    const std::string text =
        std::string(kHeader700) + "// comment\nTRIS 0 3\nATTR_hard\nsmoke_white 1 2 3 4\n";
    Obj7Object object;
    ASSERT_TRUE(read7(text, object));  // no end marker: the end of the file ends it
    ASSERT_EQ(object.commands.size(), 1u);
    EXPECT_EQ(object.commands[0].code, CommandCode::smoke_white);
}

TEST(Obj7Reader, EverythingAfterEndIsIgnored) {
    const std::string text = std::string(kHeader700) +
                             "quad\n0 0 0 0 0 1 0 0 1 0 1 1 0 1 1 0 1 0 0 1\n"
                             "end\nSome prose.\ntri\n0 0 0 0 0 1 0 0 0 0 1 1 0 0 0\n";
    Obj7Object object;
    ASSERT_TRUE(read7(text, object));
    ASSERT_EQ(object.commands.size(), 1u);
    EXPECT_EQ(object.commands[0].code, CommandCode::quad);
}

// A file cut inside a vertex list would give the rest of it zeros: refused, in both formats,
// while a list that ends exactly with the file is whole.
TEST(Obj7Reader, AVertexListTheFileEndsInsideIsRefused) {
    const struct {
        std::string text;
        const char* reason;  // empty: read
    } cases[] = {
        {std::string(kHeader700) + "quad\n1 2 3",
         "line 6: quad declares 4 vertices, the file ends after 0"},
        {std::string(kHeader700) + "tri_fan 3\n0 0 0 0 0\n1 1 1 1 1\n\n",
         "line 6: tri_fan declares 3 vertices, the file ends after 2"},
        {std::string(kHeader700) + "light\n0 0 0 10 10",
         "line 6: light declares 1 vertices, the file ends after 0"},
        {"I\n2\ntex\n3 0 1 0 1\n0 0 0  1 0 0\n",
         "line 4: type 3 polygon declares 3 vertices, the file ends after 2"},
        {"I\n2\ntex\n2 1 1 1\n0 0 0\n", "line 4: line declares 2 vertices, the file ends after 1"},
        {"I\n2\ntex\n-1\n0 0 0 0 0\n",
         "line 4: quad strip declares 2 vertices, the file ends after 1"},
        {std::string(kHeader700) + "tri\n0 0 0 0 0 1 1 1 1 1 2 2 2 2 2", ""},
        {"I\n2\ntex\n1 1 1 1\n0 0 0", ""},
    };
    for (const auto& c : cases) {
        Obj7Object object;
        std::string error;
        EXPECT_EQ(read7(c.text, object, &error), *c.reason == '\0') << c.text;
        if (*c.reason) {
            EXPECT_EQ(error, c.reason) << c.text;
        }
    }
}

TEST(Obj7Reader, VertexCountsTheFileCannotBackFailCleanly) {
    Obj7Object object;
    std::string error;
    EXPECT_FALSE(
        read7(std::string(kHeader700) + "polygon 2000000000\n0 0 0 0 0\n", object, &error));
    EXPECT_NE(error.find("line 6"), std::string::npos) << error;
    EXPECT_FALSE(read7(std::string(kHeader700) + "tri_strip -4\n", object, &error));
    EXPECT_NE(error.find("negative"), std::string::npos) << error;
    EXPECT_FALSE(read7("I\n2\ntex\n-2000000000\n", object, &error));
}

// Version 2 files do not exist publicly; these are written from the format's rules.
TEST(Obj2Reader, QuadTextureCoordinatesComeFromTheTypeLine) {
    const std::string text = "I\n2\nold_texture\n4 0 1 0 1\n0 0 0  1 0 0  1 1 0  0 1 0\n99\n";
    Obj7Object object;
    ASSERT_TRUE(read7(text, object));
    EXPECT_EQ(object.textureName, "old_texture");
    ASSERT_EQ(object.commands.size(), 1u);
    const auto& v = object.commands[0].texturedVertices;
    ASSERT_EQ(v.size(), 4u);
    const float expected[4][2] = {{1, 1}, {1, 0}, {0, 0}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i].s, expected[i][0]) << i;
        EXPECT_EQ(v[i].t, expected[i][1]) << i;
    }
    EXPECT_EQ(v[2].y, 1.0f);
}

TEST(Obj2Reader, SmokeQuadsAddASmokeCommandAtTheirCentre) {
    const std::string text =
        "I\n2\ntex\n"
        "6 0 1 0 1\n0 0 0 2 0 0 2 2 0 0 2 4\n"
        "7 0 1 0 1\n1 1 1 1 1 1 1 1 1 1 1 1\n"
        "5 0 1 0 1\n0 0 0 0 0 0 0 0 0 0 0 0\n"
        "3 0 1 0 1\n0 0 0 1 0 0 0 1 0\n"
        "99\n";
    Obj7Object object;
    ASSERT_TRUE(read7(text, object));
    ASSERT_EQ(object.commands.size(), 6u);
    EXPECT_EQ(object.commands[0].code, CommandCode::quad);
    EXPECT_EQ(object.commands[1].code, CommandCode::smoke_black);
    EXPECT_EQ(object.commands[1].kind, 3);
    EXPECT_EQ(object.commands[1].attributes, (std::vector<float>{1, 1, 1, 1}));
    EXPECT_EQ(object.commands[2].code, CommandCode::quad);
    EXPECT_EQ(object.commands[3].code, CommandCode::smoke_white);
    EXPECT_EQ(object.commands[4].code, CommandCode::quad_hard);
    EXPECT_EQ(object.commands[5].code, CommandCode::tri);
    EXPECT_EQ(object.commands[5].texturedVertices.size(), 3u);
}

TEST(Obj2Reader, LightsLinesAndQuadStrips) {
    const std::string text =
        "I\n2\ntex\n"
        "1 10 5 0\n1 2 3\n"
        "2 1 1 1\n0 0 0 1 1 1\n"
        "-3\n"
        "0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n1 1 0 1 1\n0 2 0 0 0\n1 2 0 1 0\n"
        "99\n";
    Obj7Object object;
    ASSERT_TRUE(read7(text, object));
    ASSERT_EQ(object.commands.size(), 3u);
    EXPECT_EQ(object.commands[0].code, CommandCode::light);
    EXPECT_EQ(object.commands[0].colouredVertices[0].g, 5.0f);
    EXPECT_EQ(object.commands[0].colouredVertices[0].z, 3.0f);
    EXPECT_EQ(object.commands[1].code, CommandCode::line);
    EXPECT_EQ(object.commands[1].colouredVertices.size(), 2u);
    EXPECT_EQ(object.commands[2].code, CommandCode::quad_strip);
    EXPECT_EQ(object.commands[2].texturedVertices.size(), 6u);
    EXPECT_EQ(object.commands[2].texturedVertices[5].y, 2.0f);
}

TEST(Obj2Reader, UnknownTypesFailTheRead) {
    Obj7Object object;
    std::string error;
    EXPECT_FALSE(read7("I\n2\ntex\n8 0 0 0 0\n", object, &error));
    EXPECT_NE(error.find("type 8"), std::string::npos) << error;
    EXPECT_FALSE(read7("I\n2\ntex\n0\n", object));
    EXPECT_FALSE(read7("I\n2\ntex\n100\n", object));
    EXPECT_TRUE(read7("I\n2\ntex\n99\n8 garbage after the end\n", object));
}

}  // namespace
}  // namespace tarvosk
