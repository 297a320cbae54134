#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>  // the file-size limit of the failed-write test
#endif

#include <cmath>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "objformat/obj7_convert.h"
#include "objformat/obj7_reader.h"
#include "objformat/obj8_reader.h"
#include "objformat/obj8_writer.h"
#include "test_files.h"

namespace tarvosk {
namespace {

using C = CommandCode;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

size_t countPrefix(const std::string& text, const std::string& prefix) {
    size_t n = 0;
    for (const std::string& line : linesOf(text)) n += line.rfind(prefix, 0) == 0;
    return n;
}

ObjectModel modelWithIndices(size_t count) {
    ObjectModel model;
    resetModel(model);
    model.lods.emplace_back();
    for (size_t i = 0; i < count; ++i) model.indices.push_back(static_cast<int32_t>(i));
    return model;
}

ModelCommand command(C code, int32_t first = 0, int32_t count = 0) {
    ModelCommand c;
    c.code = code;
    c.first = first;
    c.count = count;
    return c;
}

TEST(Obj8Writer, HeaderTextureAndCountsLines) {
    ObjectModel model = modelWithIndices(0);
    const float vertex[8] = {1, 2, 3, 0, 1, 0, 0.5f, 0.25f};
    model.meshVertices.append(vertex);
    const std::vector<std::string> lines = linesOf(writeObj8ToString(model));
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[0], "I");
    EXPECT_EQ(lines[1], "800");
    EXPECT_EQ(lines[2], "OBJ");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "TEXTURE ");  // written even when empty
    EXPECT_EQ(lines[5], "POINT_COUNTS 1 0 0 0");
    EXPECT_EQ(lines[6],
              "VT 1.000000 2.000000 3.000000 0.000000 1.000000 0.000000 0.500000 0.250000");
}

TEST(Obj8Writer, IndicesGoInFullGroupsOfTenThenOneLineEach) {
    const std::string text23 = writeObj8ToString(modelWithIndices(23));
    EXPECT_EQ(countPrefix(text23, "IDX10 "), 2u);
    EXPECT_EQ(countPrefix(text23, "IDX "), 3u);
    EXPECT_NE(text23.find("IDX10 10 11 12 13 14 15 16 17 18 19\nIDX 20\nIDX 21\nIDX 22\n"),
              std::string::npos);
    const std::string text10 = writeObj8ToString(modelWithIndices(10));
    EXPECT_EQ(countPrefix(text10, "IDX10 "), 1u);
    EXPECT_EQ(countPrefix(text10, "IDX "), 0u);
    EXPECT_EQ(countPrefix(writeObj8ToString(modelWithIndices(0)), "IDX"), 0u);
}

TEST(Obj8Writer, LitTextureLineOnlyWhenNamed) {
    ObjectModel model = modelWithIndices(0);
    EXPECT_EQ(countPrefix(writeObj8ToString(model), "TEXTURE_LIT"), 0u);
    Obj7Object object;
    object.textureName = "gpu";
    ASSERT_TRUE(convertObj7(object, model));
    EXPECT_NE(writeObj8ToString(model).find("TEXTURE gpu.png\nTEXTURE_LIT gpu_LIT.png\n"),
              std::string::npos);
}

TEST(Obj8Writer, AFirstRangeWithoutDistancesWritesNoLodLine) {
    ObjectModel model = modelWithIndices(1);
    model.lods[0].commands.push_back(command(C::ATTR_cull));
    EXPECT_NE(writeObj8ToString(model).find("IDX 0\nATTR_cull\n"), std::string::npos);
    EXPECT_EQ(countPrefix(writeObj8ToString(model), "ATTR_LOD"), 0u);
}

TEST(Obj8Writer, ALaterRangeWithoutDistancesJoinsTheOneBeforeOnReading) {
    ObjectModel model = modelWithIndices(0);
    model.lods[0].farDistance = 100;
    model.lods[0].commands.push_back(command(C::ATTR_cull));
    model.lods.emplace_back();
    model.lods[1].nearDistance = 100;
    model.lods[1].farDistance = 300;
    model.lods[1].commands.push_back(command(C::ATTR_no_cull));
    model.lods.emplace_back();  // far 0: no ATTR_LOD line
    model.lods[2].commands.push_back(command(C::ATTR_hard));
    const std::string text = writeObj8ToString(model);
    EXPECT_EQ(countPrefix(text, "ATTR_LOD"), 2u);
    EXPECT_NE(text.find("ATTR_LOD 100.000000 300.000000\nATTR_no_cull\nATTR_hard\n"),
              std::string::npos);
    ObjectModel back;
    ASSERT_TRUE(readObj8FromBuffer(text.data(), text.size(), back));
    ASSERT_EQ(back.lods.size(), 2u);
    EXPECT_EQ(back.lods[1].commands.size(), 2u);
}

TEST(Obj8Writer, AnimationLinesAndKeywordSpellings) {
    ObjectModel model = modelWithIndices(0);
    AnimRecord rotate;
    rotate.datarefName = "sim/a";
    rotate.keyFrom = {0, 1, 0, -10, 0};
    rotate.keyTo = {9, 9, 9, 80, 1};  // the axis is written once, from keyFrom
    AnimRecord trans;
    trans.datarefName = "sim/b";
    trans.keyFrom = {1, 2, 3, 45, 0};  // angles mean nothing for a translation
    trans.keyTo = {4, 5, 6, 45, 2};
    model.animations = {rotate, trans};
    ModelCommand diffuse = command(C::ATTR_diffuse_rgb);
    diffuse.params = {0.5f, 0.25f, 1, 7};
    model.lods[0].commands = {command(C::ANIM_begin),
                              command(C::ANIM_rotate, 0),
                              command(C::ANIM_trans, 1),
                              command(C::ANIM_end),
                              diffuse,
                              command(C::ATTR_shade_flat)};
    const std::vector<std::string> lines = linesOf(writeObj8ToString(model));
    const std::vector<std::string> tail(lines.end() - 6, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "ANIM_begin",
                        "ANIM_rotate 0.000000 1.000000 0.000000 -10.000000 80.000000 0.000000 "
                        "1.000000 sim/a",
                        "ANIM_trans 1.000000 2.000000 3.000000 4.000000 5.000000 6.000000 "
                        "0.000000 2.000000 sim/b",
                        "ANIM_end",
                        "ATTR_diffuse_rgb 0.500000 0.250000 1.000000",
                        "ATTR_shade_flat",
                    }));
}

void expectSameModel(const ObjectModel& a, const ObjectModel& b) {
    EXPECT_EQ(a.textureName, b.textureName);
    EXPECT_EQ(a.litTextureName, b.litTextureName);
    EXPECT_EQ(a.indices, b.indices);
    const VertexTable* tablesA[] = {&a.meshVertices, &a.lineVertices, &a.lightVertices};
    const VertexTable* tablesB[] = {&b.meshVertices, &b.lineVertices, &b.lightVertices};
    for (int t = 0; t < 3; ++t) {
        ASSERT_EQ(tablesA[t]->count(), tablesB[t]->count()) << "table " << t;
        ASSERT_EQ(tablesA[t]->stride, tablesB[t]->stride);
        for (size_t i = 0; i < tablesA[t]->floats.size(); ++i) {
            EXPECT_NEAR(tablesA[t]->floats[i], tablesB[t]->floats[i], 5e-7) << t << " " << i;
        }
    }
    ASSERT_EQ(a.lods.size(), b.lods.size());
    for (size_t l = 0; l < a.lods.size(); ++l) {
        EXPECT_NEAR(a.lods[l].nearDistance, b.lods[l].nearDistance, 5e-7);
        EXPECT_NEAR(a.lods[l].farDistance, b.lods[l].farDistance, 5e-7);
        ASSERT_EQ(a.lods[l].commands.size(), b.lods[l].commands.size());
        for (size_t i = 0; i < a.lods[l].commands.size(); ++i) {
            const ModelCommand& ca = a.lods[l].commands[i];
            const ModelCommand& cb = b.lods[l].commands[i];
            EXPECT_EQ(ca.code, cb.code);
            const int args = std::min(lookupCode(ca.code)->argCount, 4);
            if (ca.code == C::TRIS || ca.code == C::LINES || ca.code == C::LIGHTS ||
                ca.code == C::ANIM_rotate || ca.code == C::ANIM_trans) {
                EXPECT_EQ(ca.first, cb.first);
                if (ca.code != C::ANIM_rotate && ca.code != C::ANIM_trans) {
                    EXPECT_EQ(ca.count, cb.count);
                }
            } else {
                for (int k = 0; k < args; ++k) EXPECT_NEAR(ca.params[k], cb.params[k], 5e-7);
            }
        }
    }
    ASSERT_EQ(a.animations.size(), b.animations.size());
    for (size_t i = 0; i < a.animations.size(); ++i) {
        EXPECT_EQ(a.animations[i].datarefName, b.animations[i].datarefName);
        EXPECT_NEAR(a.animations[i].keyFrom.x, b.animations[i].keyFrom.x, 5e-7);
        EXPECT_NEAR(a.animations[i].keyTo.angle, b.animations[i].keyTo.angle, 5e-7);
        EXPECT_NEAR(a.animations[i].keyTo.value, b.animations[i].keyTo.value, 5e-7);
    }
}

TEST(Obj8Writer, RoundTripThroughAFileGivesTheSameModel) {
    const std::string source =
        "I\n700\nOBJ\n\nbody\n"
        "ATTR_LOD 0 200\n"
        "quad_hard\n0 0 0 0 0 1 0 0 1 0 1 1 0 1 1 0 1 0 0 1\n"
        "tri_strip 5\n0.1234567 0 0 0 0 1 0 0 0 0 0 1 0 0 0 1 1 0 0 0 2 2 2 0 0\n"
        "ATTR_difuse_rgb 0.3 0.6 0.9\n"
        "light\n1 2 3 10 5 0\n"
        "line\n0 0 0 10 10 10 1 1 1 10 10 10\n"
        "ATTR_LOD 200 2000\n"
        "polygon 6\n0 0 0 0 0 1 0 0 0 0 2 1 0 0 0 2 2 0 0 0 1 3 0 0 0 0 2 0 0 0\n"
        "smoke_black 1 2 3 4\n"
        "end\n";
    Obj7Object object;
    ASSERT_TRUE(readObj7FromBuffer(source.data(), source.size(), object));
    ObjectModel model;
    ASSERT_TRUE(convertObj7(object, model));
    // Animations do not come from version 7; add some so they go round too.
    model.animations.push_back({"sim/rotor", {0, 0, 1, -5.5f, 0.25f}, {0, 0, 1, 720, 1}});
    model.animations.push_back({"sim/door", {1, 2, 3, 0, 0}, {4, 5.123456f, 6, 0, 10}});
    model.lods[1].commands.push_back(command(C::ANIM_begin));
    model.lods[1].commands.push_back(command(C::ANIM_rotate, 0));
    model.lods[1].commands.push_back(command(C::ANIM_trans, 1));
    model.lods[1].commands.push_back(command(C::ANIM_end));

    testing::TempDir dir;
    const std::string path = dir.file("body.obj");
    std::string error;
    ASSERT_TRUE(writeObj8(path, model, &error)) << error;
    ObjectModel back;
    ASSERT_TRUE(readObj8(path, back, &error)) << error;
    expectSameModel(model, back);
    EXPECT_EQ(back.lods[0].commands.size(), 7u);
}

TEST(Obj8WriterFiles, ReplacesTheOldFileAndLeavesNoTemporary) {
    testing::TempDir dir;
    const std::string path = dir.file("tug.obj");
    testing::writeFile(path, "I\n700\nOBJ\n\nold\nend\n");
    ASSERT_TRUE(writeObj8(path, modelWithIndices(3)));
    EXPECT_EQ(testing::readFile(path).rfind("I\n800\nOBJ\n", 0), 0u);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files += entry.path().filename() != simhost::kOwnedFolderMarker;
    EXPECT_EQ(files, 1u);
}

TEST(Obj8WriterFiles, AMissingFolderIsReported) {
    std::string error;
    EXPECT_FALSE(writeObj8("/nonexistent/folder/tug.obj", modelWithIndices(1), &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

TEST(Obj8WriterFiles, AFailedWriteKeepsTheOriginalIntact) {
    testing::TempDir dir;
    const std::string path = dir.file("tug.obj");
    const std::string original = "I\n700\nOBJ\n\nold\nend\n";
    testing::writeFile(path, original);

#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file-size limit to make a write fail part-way";
#else
    // A file-size limit makes the write itself fail part-way, as a full disk would.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = writeObj8(path, modelWithIndices(100000), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(testing::readFile(path), original);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files += entry.path().filename() != simhost::kOwnedFolderMarker;
    EXPECT_EQ(files, 1u);
#endif
}

TEST(Obj8WriterFiles, AnInvalidModelIsNotWritten) {
    testing::TempDir dir;
    ObjectModel model = modelWithIndices(3);
    model.lods[0].commands.push_back(command(C::ANIM_rotate, 4));
    std::string error;
    EXPECT_FALSE(writeObj8(dir.file("x.obj"), model, &error));
    EXPECT_NE(error.find("invalid"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.obj")));
    // The text form skips the record it cannot find rather than reading past the table.
    EXPECT_EQ(countPrefix(writeObj8ToString(model), "ANIM_rotate"), 0u);
}

}  // namespace
}  // namespace tarvosk
