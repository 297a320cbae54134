#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "objformat/model_validation.h"
#include "objformat/obj8_reader.h"

namespace tarvosk {
namespace {

using C = CommandCode;

ObjectModel smallModel() {
    ObjectModel model;
    resetModel(model);
    model.lods.emplace_back();
    model.meshVertices.resize(3);
    model.lineVertices.resize(2);
    model.lightVertices.resize(1);
    model.indices = {0, 1, 2, 0, 1};
    return model;
}

ModelCommand command(C code, int32_t first = 0, int32_t count = 0) {
    ModelCommand c;
    c.code = code;
    c.first = first;
    c.count = count;
    return c;
}

TEST(ModelValidation, AcceptsRangesThatStayInside) {
    ObjectModel model = smallModel();
    model.animations.emplace_back();
    model.lods[0].commands = {command(C::TRIS, 0, 3), command(C::LINES, 3, 2),
                              command(C::LIGHTS, 0, 1), command(C::ANIM_trans, 0),
                              command(C::TRIS, 5, 0)};
    EXPECT_TRUE(validateModel(model));
}

// Long ranges are checked in one pass first; the message still names the first index outside.
TEST(ModelValidation, NamesTheFirstIndexOutsideALongRange) {
    for (const int32_t bad : {-1, 3, INT32_MAX, INT32_MIN}) {
        ObjectModel model = smallModel();
        model.indices.assign(10000, 2);
        model.indices[7777] = bad;
        model.indices[9000] = 5;
        model.lods[0].commands = {command(C::TRIS, 0, 10000)};
        ModelIssue issue;
        ASSERT_FALSE(validateModel(model, &issue));
        EXPECT_NE(issue.message.find("uses index " + std::to_string(bad) + " (position 7777)"),
                  std::string::npos)
            << issue.message;
        model.indices[7777] = 0;
        model.indices[9000] = 2;
        EXPECT_TRUE(validateModel(model));
    }
}

TEST(ModelValidation, ReportsEveryKindOfEscapeWithItsPlace) {
    ObjectModel model = smallModel();
    model.lods.emplace_back();
    model.lods[1].commands = {
        command(C::TRIS, 3, 3),      // past the indices
        command(C::LINES, 0, 3),     // index 2 is no line vertex
        command(C::LIGHTS, 1, 1),    // past the lights
        command(C::ANIM_rotate, 0),  // no animation at all
        command(C::TRIS, 0, -3),     // negative count
        command(C::tri, 0, 0),       // a version-7 primitive has no place in a model
        command(C::ATTR_LOD),        // LOD lines live as ranges, not commands
        command(C::ATTR_hard),
    };
    const std::vector<ModelIssue> issues = findModelIssues(model);
    ASSERT_EQ(issues.size(), 7u);
    for (size_t i = 0; i < issues.size(); ++i) {
        EXPECT_EQ(issues[i].lod, 1u);
        EXPECT_EQ(issues[i].command, i);
    }
    EXPECT_NE(issues[1].message.find("uses index 2"), std::string::npos) << issues[1].message;
    ModelIssue first;
    EXPECT_FALSE(validateModel(model, &first));
    EXPECT_EQ(first.message, issues[0].message);
    EXPECT_EQ(findModelIssues(model, 2).size(), 2u);
}

TEST(ModelValidation, NegativeIndicesAndMissingRangesAreIssues) {
    ObjectModel model = smallModel();
    model.indices[1] = -1;
    model.lods[0].commands = {command(C::TRIS, 0, 3)};
    EXPECT_FALSE(validateModel(model));
    model.lods.clear();
    ASSERT_EQ(findModelIssues(model).size(), 1u);
    EXPECT_EQ(findModelIssues(model)[0].lod, ModelIssue::kWholeModel);
}

TEST(ModelValidation, WrongStridesAreAnIssue) {
    ObjectModel model;  // as the object manager creates it: every stride 8
    model.lods.emplace_back();
    EXPECT_FALSE(validateModel(model));
}

}  // namespace
}  // namespace tarvosk
