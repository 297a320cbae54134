#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objformat/model_validation.h"
#include "objformat/obj7_convert.h"

namespace tarvosk {
namespace {

using C = CommandCode;

Obj7Command textured(C code, int vertexCount) {
    Obj7Command command;
    command.kind = 2;
    command.code = code;
    for (int i = 0; i < vertexCount; ++i) {
        command.texturedVertices.push_back({float(i), float(i * i), float(i % 2), 0.5f, 0.25f});
    }
    return command;
}

Obj7Command attribute(C code, std::vector<float> args = {}) {
    Obj7Command command;
    command.kind = 3;
    command.code = code;
    command.attributes = std::move(args);
    return command;
}

Obj7Command coloured(C code, std::vector<ColouredVertex> vertices) {
    Obj7Command command;
    command.kind = 1;
    command.code = code;
    command.colouredVertices = std::move(vertices);
    return command;
}

ObjectModel convert(std::vector<Obj7Command> commands, const std::string& texture = "tex") {
    Obj7Object object;
    object.textureName = texture;
    object.commands = std::move(commands);
    ObjectModel model;
    std::string error;
    EXPECT_TRUE(convertObj7(object, model, &error)) << error;
    return model;
}

// The commands of the first range as "TRIS 6" / "ATTR_hard" words.
std::vector<std::string> shape(const ObjectModel& model, size_t lod = 0) {
    std::vector<std::string> words;
    for (const ModelCommand& c : model.lods.at(lod).commands) {
        std::string word = lookupCode(c.code)->keyword;
        if (c.code == C::TRIS || c.code == C::LINES || c.code == C::LIGHTS) {
            word.append(" ").append(std::to_string(c.count));
        }
        words.push_back(word);
    }
    return words;
}

std::vector<int32_t> relativeIndices(const ObjectModel& model, const ModelCommand& command) {
    std::vector<int32_t> out;
    const int32_t base = model.indices[static_cast<size_t>(command.first)];
    for (int32_t i = 0; i < command.count; ++i) {
        out.push_back(model.indices[static_cast<size_t>(command.first + i)] - base);
    }
    return out;
}

TEST(Obj7Convert, TextureNamesGetTheirExtensions) {
    const ObjectModel model = convert({}, "truck_body");
    EXPECT_EQ(model.textureName, "truck_body.png");
    EXPECT_EQ(model.litTextureName, "truck_body_LIT.png");
    ASSERT_EQ(model.lods.size(), 1u);
    EXPECT_EQ(model.lineVertices.stride, 6u);
}

TEST(Obj7Convert, ASingleHardQuadIsNotClosedAtTheEnd) {
    const ObjectModel model = convert({textured(C::quad_hard, 4)});
    EXPECT_EQ(shape(model), (std::vector<std::string>{"ATTR_hard", "TRIS 6"}));
    EXPECT_EQ(model.indices, (TableVector<int32_t>{0, 1, 2, 0, 2, 3}));
}

TEST(Obj7Convert, HardQuadRunMergesAndClosesBeforeTheNextPrimitive) {
    const ObjectModel model =
        convert({textured(C::quad_hard, 4), textured(C::quad_hard, 4), textured(C::tri, 3)});
    EXPECT_EQ(shape(model),
              (std::vector<std::string>{"ATTR_hard", "TRIS 12", "ATTR_no_hard", "TRIS 3"}));
}

TEST(Obj7Convert, CockpitAfterPlainQuadSwitchesOnAndStaysOpenAtTheEnd) {
    const ObjectModel model = convert({textured(C::quad, 4), textured(C::quad_cockpit, 4)});
    EXPECT_EQ(shape(model), (std::vector<std::string>{"TRIS 6", "ATTR_cockpit", "TRIS 6"}));
}

TEST(Obj7Convert, HardAfterCockpitSwitchesHardOnFirst) {
    const ObjectModel model = convert({textured(C::quad_cockpit, 4), textured(C::quad_hard, 4)});
    EXPECT_EQ(shape(model), (std::vector<std::string>{"ATTR_cockpit", "TRIS 6", "ATTR_hard",
                                                      "ATTR_no_cockpit", "TRIS 6"}));
}

TEST(Obj7Convert, LookAheadClosesTheRunBeforeALodLine) {
    const ObjectModel model = convert(
        {textured(C::quad_cockpit, 4), attribute(C::ATTR_LOD, {0, 500}), textured(C::quad, 4)});
    ASSERT_EQ(model.lods.size(), 1u);
    EXPECT_EQ(model.lods[0].farDistance, 500.0f);
    EXPECT_EQ(shape(model),
              (std::vector<std::string>{"ATTR_cockpit", "TRIS 6", "ATTR_no_cockpit", "TRIS 6"}));
}

TEST(Obj7Convert, ASecondLodStartsANewRange) {
    const ObjectModel model = convert({attribute(C::ATTR_LOD, {0, 100}), textured(C::tri, 3),
                                       attribute(C::ATTR_LOD, {100, 1000}), textured(C::tri, 3)});
    ASSERT_EQ(model.lods.size(), 2u);
    EXPECT_EQ(model.lods[1].nearDistance, 100.0f);
    EXPECT_EQ(shape(model, 1), (std::vector<std::string>{"TRIS 3"}));
}

TEST(Obj7Convert, StripAndFanIndexPatterns) {
    const ObjectModel triStrip = convert({textured(C::tri_strip, 4)});
    EXPECT_EQ(relativeIndices(triStrip, triStrip.lods[0].commands[0]),
              (std::vector<int32_t>{0, 1, 2, 1, 3, 2}));
    const ObjectModel quadStrip = convert({textured(C::quad_strip, 4)});
    EXPECT_EQ(relativeIndices(quadStrip, quadStrip.lods[0].commands[0]),
              (std::vector<int32_t>{0, 1, 3, 0, 3, 2}));
    const ObjectModel fan = convert({textured(C::tri_fan, 5)});
    EXPECT_EQ(relativeIndices(fan, fan.lods[0].commands[0]),
              (std::vector<int32_t>{0, 1, 2, 0, 2, 3, 0, 3, 4}));
    const ObjectModel polygon = convert({textured(C::polygon, 4)});
    EXPECT_EQ(shape(polygon), (std::vector<std::string>{"TRIS 6"}));
}

TEST(Obj7Convert, DegeneratePrimitivesAreDroppedOrClippedToWholeTriangles) {
    const ObjectModel dropped =
        convert({textured(C::polygon, 2), textured(C::tri_fan, 0), textured(C::tri_strip, 1),
                 textured(C::quad_strip, 3), textured(C::quad_strip, 1), textured(C::tri, 2)});
    EXPECT_TRUE(dropped.lods[0].commands.empty());
    EXPECT_TRUE(dropped.indices.empty());
    EXPECT_EQ(dropped.meshVertices.count(), 0u);

    // A quad strip with an odd count loses its unpaired last vertex.
    const ObjectModel clipped = convert({textured(C::quad_strip, 7)});
    EXPECT_EQ(shape(clipped), (std::vector<std::string>{"TRIS 12"}));
    EXPECT_EQ(clipped.meshVertices.count(), 6u);
    for (int32_t index : clipped.indices) EXPECT_LT(index, 6);
    EXPECT_TRUE(validateModel(clipped));
}

TEST(Obj7Convert, LightsMergeAndColoursAreRescaled) {
    const ObjectModel model = convert(
        {coloured(C::light, {{1, 2, 3, 10, 5, 0}}), coloured(C::light, {{4, 5, 6, 0, 0, 10}})});
    EXPECT_EQ(shape(model), (std::vector<std::string>{"LIGHTS 2"}));
    EXPECT_EQ(model.lods[0].commands[0].first, 0);
    ASSERT_EQ(model.lightVertices.count(), 2u);
    EXPECT_FLOAT_EQ(model.lightVertices.vertex(0)[3], 1.0f);
    EXPECT_FLOAT_EQ(model.lightVertices.vertex(0)[4], 0.5f);
    EXPECT_FLOAT_EQ(model.lightVertices.vertex(0)[5], 0.0f);
    EXPECT_EQ(model.lightVertices.vertex(1)[2], 6.0f);
}

TEST(Obj7Convert, ALineIndexesTwoNewLineVertices) {
    const ObjectModel model = convert(
        {textured(C::tri, 3), coloured(C::line, {{0, 0, 0, 10, 10, 10}, {1, 1, 1, 0, 0, 0}})});
    const ModelCommand& line = model.lods[0].commands[1];
    EXPECT_EQ(line.code, C::LINES);
    EXPECT_EQ(line.first, 3);
    EXPECT_EQ(line.count, 2);
    EXPECT_EQ(model.indices[3], 0);
    EXPECT_EQ(model.indices[4], 1);
    EXPECT_EQ(model.lineVertices.count(), 2u);
}

TEST(Obj7Convert, AttributesBetweenRangesKeepThemApart) {
    const ObjectModel model =
        convert({textured(C::tri, 3), attribute(C::ATTR_shade_flat), textured(C::tri, 3),
                 textured(C::tri, 3), attribute(C::smoke_white, {1, 2, 3, 4})});
    EXPECT_EQ(shape(model),
              (std::vector<std::string>{"TRIS 3", "ATTR_shade_flat", "TRIS 6", "smoke_white"}));
    EXPECT_EQ(model.lods[0].commands[3].params[3], 4.0f);
}

TEST(Obj7Convert, FlatNormalsFollowTheWindingAndDegenerateTrianglesPointUp) {
    Obj7Command tri;
    tri.kind = 2;
    tri.code = C::tri;
    tri.texturedVertices = {{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 0, 1, 0, 1}};
    Obj7Command flat = tri;
    flat.texturedVertices = {{0, 0, 0, 0, 0}, {1, 1, 1, 0, 0}, {2, 2, 2, 0, 0}};
    const ObjectModel model = convert({tri, flat});
    // a = p2 - p0 = (0,0,1), b = p1 - p0 = (1,0,0): a x b = (0,1,0).
    for (size_t i = 0; i < 3; ++i) {
        const float* v = model.meshVertices.vertex(i);
        EXPECT_FLOAT_EQ(v[3], 0.0f);
        EXPECT_FLOAT_EQ(v[4], 1.0f);
        EXPECT_FLOAT_EQ(v[5], 0.0f);
        EXPECT_EQ(v[6], tri.texturedVertices[i].s);
    }
    for (size_t i = 3; i < 6; ++i) EXPECT_EQ(model.meshVertices.vertex(i)[4], 1.0f);

    Obj7Command slanted = tri;
    slanted.texturedVertices = {{0, 0, 0, 0, 0}, {0, 2, 0, 0, 0}, {2, 0, 0, 0, 0}};
    const ObjectModel other = convert({slanted});
    // a = (2,0,0), b = (0,2,0): a x b = (0,0,4), normalised (0,0,1).
    EXPECT_FLOAT_EQ(other.meshVertices.vertex(0)[5], 1.0f);
}

TEST(Obj7Convert, TheModelIsReplacedNotAddedTo) {
    ObjectModel model = convert({textured(C::tri, 3)});
    model.animations.push_back({});
    model.lods.push_back({});
    Obj7Object empty;
    ASSERT_TRUE(convertObj7(empty, model));
    EXPECT_TRUE(model.indices.empty());
    EXPECT_TRUE(model.animations.empty());
    ASSERT_EQ(model.lods.size(), 1u);
    EXPECT_TRUE(model.lods[0].commands.empty());
}

}  // namespace
}  // namespace tarvosk
