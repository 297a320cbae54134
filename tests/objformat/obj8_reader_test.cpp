#include <gtest/gtest.h>

#include <string>

#include "objformat/obj8_reader.h"
#include "test_files.h"

namespace tarvosk {
namespace {

const char* const kHeader = "I\n800\nOBJ\n\n";

bool read8(const std::string& text, ObjectModel& model, std::string* error = nullptr) {
    return readObj8FromBuffer(text.data(), text.size(), model, error);
}

size_t commandCount(const ObjectModel& model) {
    size_t n = 0;
    for (const LodRange& range : model.lods) n += range.commands.size();
    return n;
}

TEST(Obj8ReaderHeader, FirstLineIsSkippedWhateverItHolds) {
    for (const char* first : {"I", "A", "whatever you like", ""}) {
        ObjectModel model;
        EXPECT_TRUE(read8(std::string(first) + "\n800\nOBJ\nTEXTURE a.png\n", model)) << first;
        EXPECT_EQ(model.textureName, "a.png");
        ASSERT_EQ(model.lods.size(), 1u);
        EXPECT_EQ(model.lods[0].farDistance, 0.0f);
        EXPECT_EQ(model.meshVertices.stride, 8u);
        EXPECT_EQ(model.lineVertices.stride, 6u);
        EXPECT_EQ(model.lightVertices.stride, 6u);
    }
}

TEST(Obj8ReaderHeader, BlankLinesMayStandBeforeObjButNothingElse) {
    ObjectModel model;
    EXPECT_TRUE(read8("I\n800\n\n  \nOBJ\n", model));
    std::string error;
    EXPECT_FALSE(read8("I\n800\n// comment\nOBJ\n", model, &error));
    EXPECT_NE(error.find("OBJ"), std::string::npos);
    EXPECT_TRUE(model.lods.empty());
}

TEST(Obj8ReaderHeader, OtherVersionsAreLeftToTheOlderReader) {
    ObjectModel model;
    std::string error;
    EXPECT_FALSE(read8("I\n700\nOBJ\n\nmy_texture\n", model, &error));
    EXPECT_NE(error.find("700"), std::string::npos);
    EXPECT_FALSE(read8("", model));
    EXPECT_FALSE(read8("I\n", model));
}

TEST(Obj8ReaderHeader, MissingFileGivesAMessage) {
    ObjectModel model;
    std::string error;
    EXPECT_FALSE(readObj8("/nonexistent/folder/x.obj", model, &error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(Obj8Reader, TextureWithoutANameIsNotTheKeyword) {
    ObjectModel model;
    ASSERT_TRUE(read8(std::string(kHeader) + "TEXTURE\nTEXTURE_LIT lit.png\n", model));
    EXPECT_EQ(model.textureName, "");
    EXPECT_EQ(model.litTextureName, "lit.png");
}

TEST(Obj8Reader, ReadsVerticesIndicesAndRangesFromIndentedLines) {
    const std::string text = std::string(kHeader) +
                             "TEXTURE tug.png\n"
                             "POINT_COUNTS 3 2 1 5\n"
                             "\tVT 1 2 3 0 1 0 0.25 0.75\n"
                             "  VT -0.5 +3 0 0 0 1 1 1\n"
                             "VT 0 0 0 0 0 0 0 0\n"
                             "VLINE 1 1 1 1 0 0\n"
                             "VLINE 2 2 2 0 1 0\n"
                             "VLIGHT 5 5 5 1 1 1\n"
                             "IDX 2\n"
                             "IDX10 1 0 0 1\n"
                             "TRIS 0 3\n"
                             "LINES 3 2\n"
                             "LIGHTS 0 1\n";
    ObjectModel model;
    std::string error;
    ASSERT_TRUE(read8(text, model, &error)) << error;
    ASSERT_EQ(model.meshVertices.count(), 3u);
    EXPECT_EQ(model.meshVertices.vertex(0)[6], 0.25f);
    EXPECT_EQ(model.meshVertices.vertex(1)[0], -0.5f);
    EXPECT_EQ(model.meshVertices.vertex(1)[1], 3.0f);
    EXPECT_EQ(model.lineVertices.count(), 2u);
    EXPECT_EQ(model.lightVertices.count(), 1u);
    EXPECT_EQ(model.indices, (TableVector<int32_t>{2, 1, 0, 0, 1}));
    ASSERT_EQ(model.lods[0].commands.size(), 3u);
    EXPECT_EQ(model.lods[0].commands[1].code, CommandCode::LINES);
    EXPECT_EQ(model.lods[0].commands[1].first, 3);
    EXPECT_EQ(model.lods[0].commands[1].count, 2);
}

TEST(Obj8Reader, IndicesAreTruncatedTowardZero) {
    ObjectModel model;
    ASSERT_TRUE(read8(std::string(kHeader) + "POINT_COUNTS 0 0 0 2\nIDX 7.9\nIDX -2.5\n", model));
    EXPECT_EQ(model.indices, (TableVector<int32_t>{7, -2}));
}

TEST(Obj8Reader, LodLinesSetTheOpenRangeOrStartANewOne) {
    const std::string text = std::string(kHeader) +
                             "ATTR_no_cull\n"
                             "ATTR_LOD 0 0\n"
                             "ATTR_LOD 0 100\n"
                             "ATTR_cull\n"
                             "ATTR_LOD 100 500\n"
                             "ATTR_hard\n"
                             "ATTR_LOD\n";
    ObjectModel model;
    ASSERT_TRUE(read8(text, model));
    ASSERT_EQ(model.lods.size(), 3u);
    EXPECT_EQ(model.lods[0].farDistance, 100.0f);
    ASSERT_EQ(model.lods[0].commands.size(), 2u);  // the command before the first LOD too
    EXPECT_EQ(model.lods[0].commands[0].code, CommandCode::ATTR_no_cull);
    EXPECT_EQ(model.lods[1].nearDistance, 100.0f);
    EXPECT_EQ(model.lods[1].farDistance, 500.0f);
    // A bare ATTR_LOD at a line end still counts: it starts a range with distances 0, 0.
    EXPECT_EQ(model.lods[2].farDistance, 0.0f);
}

TEST(Obj8Reader, AFullTableEndsTheReadEarlyAndSuccessfully) {
    const std::string text = std::string(kHeader) +
                             "POINT_COUNTS 4 0 0 3\n"
                             "VT 1 0 0 0 0 0 0 0\nVT 2 0 0 0 0 0 0 0\n"
                             "VT 3 0 0 0 0 0 0 0\nVT 4 0 0 0 0 0 0 0\n"
                             "VT 5 0 0 0 0 0 0 0\n"
                             "IDX 0\nIDX 1\nIDX 2\n"
                             "TRIS 0 3\n";
    ObjectModel model;
    Obj8ReadDetails details;
    ASSERT_TRUE(readObj8Unvalidated(text.data(), text.size(), model, nullptr, &details));
    EXPECT_EQ(model.meshVertices.count(), 4u);
    EXPECT_EQ(model.meshVertices.vertex(3)[0], 4.0f);
    EXPECT_EQ(model.indices, (TableVector<int32_t>{0, 0, 0}));  // nothing after the fifth VT
    EXPECT_EQ(commandCount(model), 0u);
    EXPECT_TRUE(details.stoppedEarly);
    EXPECT_EQ(details.stopLine, 10u);
    EXPECT_TRUE(read8(text, model));
}

TEST(Obj8Reader, AnIdx10LinePastTheDeclaredCountNeverStoresBeyondIt) {
    const std::string text = std::string(kHeader) +
                             "POINT_COUNTS 0 0 0 12\n"
                             "IDX10 1 2 3 4 5 6 7 8 9 10\n"
                             "IDX10 11 12 13 14 15 16 17 18 19 20\n"
                             "ATTR_hard\n"
                             "IDX 99\n"
                             "ATTR_cull\n";
    ObjectModel model;
    ASSERT_TRUE(read8(text, model));
    ASSERT_EQ(model.indices.size(), 12u);
    EXPECT_EQ(model.indices[11], 12);
    // The surplus numbers are dropped and reading goes on until the next index line.
    ASSERT_EQ(commandCount(model), 1u);
    EXPECT_EQ(model.lods[0].commands[0].code, CommandCode::ATTR_hard);
}

TEST(Obj8Reader, DeclaredButUnfilledVerticesStayZero) {
    ObjectModel model;
    ASSERT_TRUE(read8(std::string(kHeader) + "POINT_COUNTS 2 0 0 0\nVT 1 1 1 1 1 1 1 1\n", model));
    ASSERT_EQ(model.meshVertices.count(), 2u);
    EXPECT_EQ(model.meshVertices.vertex(1)[0], 0.0f);
}

TEST(Obj8Reader, AnimationLinesEachGiveACommandAndARecord) {
    const std::string text = std::string(kHeader) +
                             "ANIM_begin\n"
                             "ANIM_rotate 0 1 0 -10 80 0 1 sim/wheel\n"
                             "ANIM_trans 1 2 3 4 5 6 0 2 sim/door\n"
                             "ANIM_end \n";
    ObjectModel model;
    ASSERT_TRUE(read8(text, model));
    const auto& commands = model.lods[0].commands;
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands[0].code, CommandCode::ANIM_begin);
    EXPECT_EQ(commands[1].first, 0);
    EXPECT_EQ(commands[2].first, 1);
    EXPECT_EQ(commands[3].code, CommandCode::ANIM_end);
    ASSERT_EQ(model.animations.size(), 2u);
    const AnimRecord& rotate = model.animations[0];
    EXPECT_EQ(rotate.datarefName, "sim/wheel");
    EXPECT_EQ(rotate.keyFrom.y, 1.0f);
    EXPECT_EQ(rotate.keyTo.y, 1.0f);
    EXPECT_EQ(rotate.keyFrom.angle, -10.0f);
    EXPECT_EQ(rotate.keyTo.angle, 80.0f);
    EXPECT_EQ(rotate.keyTo.value, 1.0f);
    const AnimRecord& trans = model.animations[1];
    EXPECT_EQ(trans.keyFrom.z, 3.0f);
    EXPECT_EQ(trans.keyTo.x, 4.0f);
    EXPECT_EQ(trans.keyTo.value, 2.0f);
    EXPECT_EQ(trans.datarefName, "sim/door");
}

TEST(Obj8Reader, AttributesAndSmokeComeThroughTheKeywordTable) {
    const std::string text = std::string(kHeader) +
                             "ATTR_difuse_rgb 0.5 0.25 1\n"
                             "smoke_black 1 2 3 4\n"
                             "# a comment\n"
                             "LIGHT_NAMED airplane_beacon 0 1 0\n"
                             "ATTR_shade_flat\n";
    ObjectModel model;
    ASSERT_TRUE(read8(text, model));
    const auto& commands = model.lods[0].commands;
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].code, CommandCode::ATTR_diffuse_rgb);
    EXPECT_EQ(commands[0].params[1], 0.25f);
    EXPECT_EQ(commands[1].code, CommandCode::smoke_black);
    EXPECT_EQ(commands[1].params[3], 4.0f);
    EXPECT_EQ(commands[2].code, CommandCode::ATTR_shade_flat);
}

TEST(Obj8Reader, RangeAndAnimationKeywordsWithNothingAfterThemAreSkipped) {
    ObjectModel model;
    ASSERT_TRUE(read8(std::string(kHeader) + "TRIS\nLIGHTS\nANIM_rotate\nANIM_trans\n", model));
    EXPECT_EQ(commandCount(model), 0u);
    EXPECT_TRUE(model.animations.empty());
}

TEST(Obj8Reader, CrOnlyAndCrLfFilesReadLikeLfFiles) {
    const std::string lf = std::string(kHeader) +
                           "POINT_COUNTS 3 0 0 3\nVT 1 0 0 0 1 0 0 0\nVT 0 1 0 0 1 0 0 0\n"
                           "VT 0 0 1 0 1 0 0 0\nIDX 0\nIDX 1\nIDX 2\nTRIS 0 3\n";
    std::string cr = lf, crlf;
    for (char& c : cr) c = c == '\n' ? '\r' : c;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& text : {lf, cr, crlf}) {
        ObjectModel model;
        ASSERT_TRUE(read8(text, model));
        EXPECT_EQ(model.meshVertices.count(), 3u);
        EXPECT_EQ(model.indices.size(), 3u);
        EXPECT_EQ(commandCount(model), 1u);
    }
}

TEST(Obj8ReaderCounts, NegativeCountsFailCleanly) {
    ObjectModel model;
    std::string error;
    EXPECT_FALSE(read8(std::string(kHeader) + "POINT_COUNTS 1 -1 0 0\n", model, &error));
    EXPECT_NE(error.find("line 5"), std::string::npos) << error;
    EXPECT_NE(error.find("negative"), std::string::npos) << error;
    EXPECT_TRUE(model.lods.empty());
}

TEST(Obj8ReaderCounts, CountsTheFileCannotHoldFailInsteadOfAllocating) {
    ObjectModel model;
    std::string error;
    EXPECT_FALSE(read8(std::string(kHeader) + "POINT_COUNTS 2000000000 0 0 0\n", model, &error));
    EXPECT_NE(error.find("bytes could hold"), std::string::npos) << error;
    EXPECT_FALSE(read8(std::string(kHeader) + "POINT_COUNTS 0 0 0 1e99\n", model, &error));
    EXPECT_TRUE(model.meshVertices.floats.empty());
    // A count the file's size can back is accepted even when no line fills it.
    EXPECT_TRUE(read8(std::string(kHeader) + "POINT_COUNTS 10 10 10 10\n", model, &error));
}

TEST(Obj8ReaderCounts, CountsAreReadAsIntegersNotThroughAFloat) {
    ObjectModel model;
    std::string error;
    EXPECT_FALSE(read8(std::string(kHeader) + "POINT_COUNTS 99999999999 0 0 0\n", model, &error));
    EXPECT_NE(error.find("POINT_COUNTS declares 99999999999 vertices"), std::string::npos) << error;
    EXPECT_FALSE(read8(std::string(kHeader) + "POINT_COUNTS 0 0 123456789012345678901234567890 0\n",
                       model, &error));
    EXPECT_NE(error.find("declares 123456789012345678901234567890 lights"), std::string::npos)
        << error;
    // 16777217 has no float of its own; read as a float it would be one vertex fewer.
    std::string text = std::string(kHeader) + "POINT_COUNTS 0 0 0 16777217\n";
    text.resize(text.size() + 16777217, '\n');
    ASSERT_TRUE(read8(text, model, &error)) << error;
    EXPECT_EQ(model.indices.size(), 16777217u);
    // Numbers of other shapes keep the format's rule, cut to a whole count.
    ASSERT_TRUE(read8(std::string(kHeader) + "POINT_COUNTS 2.9 +1 0 0\nVT 0 0 0 0 0 0 0 0\n", model,
                      &error))
        << error;
    EXPECT_EQ(model.meshVertices.count(), 2u);
    EXPECT_EQ(model.lineVertices.count(), 1u);
}

TEST(Obj8ReaderValidation, ARangePastTheIndicesRefusesTheModelAndNamesItsLine) {
    const std::string text = std::string(kHeader) +
                             "POINT_COUNTS 3 0 0 3\nVT 0 0 0 0 0 0 0 0\nVT 0 0 0 0 0 0 0 0\n"
                             "VT 0 0 0 0 0 0 0 0\nIDX 0\nIDX 1\nIDX 2\n"
                             "TRIS 0 3\n"
                             "TRIS 3 3\n";
    ObjectModel model;
    std::string error;
    EXPECT_FALSE(read8(text, model, &error));
    EXPECT_EQ(error.rfind("line 13: TRIS 3 3", 0), 0u) << error;
    EXPECT_TRUE(model.lods.empty());
    EXPECT_TRUE(model.indices.empty());
}

TEST(Obj8ReaderValidation, AnIndexPastItsVertexTableRefusesTheModel) {
    const std::string tris =
        std::string(kHeader) + "POINT_COUNTS 3 0 0 3\nIDX 0\nIDX 1\nIDX 3\nTRIS 0 3\n";
    ObjectModel model;
    std::string error;
    EXPECT_FALSE(read8(tris, model, &error));
    EXPECT_NE(error.find("uses index 3"), std::string::npos) << error;

    // Lines index the line vertices, not the mesh.
    const std::string lines =
        std::string(kHeader) + "POINT_COUNTS 3 1 0 2\nIDX 0\nIDX 1\nLINES 0 2\n";
    EXPECT_FALSE(read8(lines, model, &error));
    EXPECT_NE(error.find("line vertices"), std::string::npos) << error;

    const std::string lights = std::string(kHeader) + "POINT_COUNTS 0 0 1 0\nLIGHTS 0 2\n";
    EXPECT_FALSE(read8(lights, model, &error));
    EXPECT_NE(error.find("lights"), std::string::npos) << error;

    const std::string negative = std::string(kHeader) + "POINT_COUNTS 0 0 0 1\nTRIS -1 1\n";
    EXPECT_FALSE(read8(negative, model, &error));
}

TEST(Obj8ReaderValidation, UnvalidatedReadKeepsTheModelForInspection) {
    const std::string text = std::string(kHeader) + "POINT_COUNTS 0 0 0 1\nTRIS 0 6\n";
    ObjectModel model;
    Obj8ReadDetails details;
    ASSERT_TRUE(readObj8Unvalidated(text.data(), text.size(), model, nullptr, &details));
    EXPECT_EQ(model.lods[0].commands.size(), 1u);
    ASSERT_EQ(details.commandLines.size(), 1u);
    EXPECT_EQ(details.commandLines[0], 6u);
    EXPECT_EQ(details.declaredCounts[3], 1);
}

TEST(Obj8Reader, EachReadStartsFromAnEmptyModel) {
    ObjectModel model;
    ASSERT_TRUE(read8(std::string(kHeader) + "TEXTURE a\nATTR_hard\nANIM_trans 0 0 0 0 0 0 0 0 x\n",
                      model));
    ASSERT_TRUE(read8(std::string(kHeader) + "ATTR_cull\n", model));
    EXPECT_EQ(model.textureName, "");
    EXPECT_TRUE(model.animations.empty());
    ASSERT_EQ(model.lods.size(), 1u);
    EXPECT_EQ(model.lods[0].commands.size(), 1u);
}

TEST(Obj8Reader, ReadsFromAFile) {
    testing::TempDir dir;
    testing::writeFile(dir.file("a.obj"), std::string(kHeader) + "TEXTURE from_file.png\n");
    ObjectModel model;
    ASSERT_TRUE(readObj8(dir.file("a.obj"), model));
    EXPECT_EQ(model.textureName, "from_file.png");
    std::string error;
    EXPECT_FALSE(readObj8(dir.path(), model, &error));  // a folder is no object
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

}  // namespace
}  // namespace tarvosk
