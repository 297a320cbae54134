#include <gtest/gtest.h>

#include <set>
#include <string>

#include "objformat/keyword_table.h"
#include "objformat/object_model.h"

namespace tarvosk {
namespace {

TEST(KeywordTable, HasFortyFourRowsThenTheEndingRow) {
    EXPECT_EQ(KeywordTable[kKeywordRowCount].code, CommandCode::table_end);
    EXPECT_EQ(KeywordTable[kKeywordRowCount].keyword, nullptr);
    std::set<int> codes;
    for (int i = 0; i < kKeywordRowCount; ++i) {
        ASSERT_NE(KeywordTable[i].keyword, nullptr) << "row " << i;
        codes.insert(static_cast<int>(KeywordTable[i].code));
    }
    // Every command code 0 to 40 has at least one row.
    EXPECT_EQ(codes.size(), 41u);
    EXPECT_EQ(*codes.begin(), 0);
    EXPECT_EQ(*codes.rbegin(), 40);
}

TEST(KeywordTable, OutOfOrderCodesAreKeptAsTabled) {
    EXPECT_EQ(lookupKeyword("quad_cockpit", 7)->code, CommandCode::quad_cockpit);
    EXPECT_EQ(static_cast<int>(lookupKeyword("quad_cockpit", 7)->code), 6);
    EXPECT_EQ(static_cast<int>(lookupKeyword("quad_hard", 7)->code), 5);
    EXPECT_EQ(static_cast<int>(lookupKeyword("ATTR_hard", 8)->code), 35);
    EXPECT_EQ(static_cast<int>(lookupKeyword("ATTR_no_hard", 8)->code), 36);
    EXPECT_EQ(static_cast<int>(lookupKeyword("smoke_black", 8)->code), 26);
    EXPECT_EQ(static_cast<int>(lookupKeyword("quad_movie", 7)->code), 7);
    // Table position 5 holds quad_cockpit, position 6 quad_hard.
    EXPECT_STREQ(KeywordTable[5].keyword, "quad_cockpit");
    EXPECT_STREQ(KeywordTable[6].keyword, "quad_hard");
}

TEST(KeywordTable, MisspeltDiffuseIsReadAndWrittenBackCorrectly) {
    const KeywordRow* row = lookupKeyword("ATTR_difuse_rgb", 8);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->code, CommandCode::ATTR_diffuse_rgb);
    EXPECT_EQ(row->argCount, 3);
    EXPECT_STREQ(lookupCode(CommandCode::ATTR_diffuse_rgb)->keyword, "ATTR_diffuse_rgb");
}

TEST(KeywordTable, VersionFlagsDecideWhatALookupFinds) {
    EXPECT_EQ(lookupKeyword("end", 8), nullptr);
    EXPECT_EQ(lookupKeyword("TRIS", 7), nullptr);
    ASSERT_NE(lookupKeyword("shade_flat", 7), nullptr);
    EXPECT_EQ(lookupKeyword("shade_flat", 7)->code, CommandCode::ATTR_shade_flat);
    EXPECT_EQ(lookupKeyword("shade_flat", 8), nullptr);
    EXPECT_EQ(lookupKeyword("ATTR_LOD", 9), nullptr);
}

TEST(KeywordTable, LookupsAreCaseSensitiveAndWholeToken) {
    EXPECT_EQ(lookupKeyword("tris", 8), nullptr);
    EXPECT_EQ(lookupKeyword("TRI", 8), nullptr);
    EXPECT_EQ(lookupKeyword("TRISX", 8), nullptr);
    EXPECT_EQ(lookupKeyword("", 8), nullptr);
}

TEST(KeywordTable, WriterSpellingsComeFromTheFirstRowWithTheCode) {
    EXPECT_STREQ(lookupCode(CommandCode::ATTR_shade_flat)->keyword, "ATTR_shade_flat");
    EXPECT_STREQ(lookupCode(CommandCode::ATTR_shade_smooth)->keyword, "ATTR_shade_smooth");
    EXPECT_STREQ(lookupCode(CommandCode::end)->keyword, "end");  // whatever its version flags
    EXPECT_EQ(lookupCode(CommandCode::table_end), nullptr);
}

TEST(VertexTable, AppendReturnsTheCountBeforeAndNeverMerges) {
    VertexTable table;
    table.clear(3);
    const float v[3] = {1, 2, 3};
    EXPECT_EQ(table.append(v), 0);
    EXPECT_EQ(table.append(v), 1);
    EXPECT_EQ(table.count(), 2u);
    EXPECT_EQ(table.vertex(1)[2], 3.0f);
}

TEST(VertexTable, ResizeZeroFillsGrowthAndDropsTheTail) {
    VertexTable table;
    table.clear(2);
    const float a[2] = {1, 2};
    const float b[2] = {3, 4};
    table.append(a);
    table.append(b);
    table.resize(4);
    EXPECT_EQ(table.count(), 4u);
    EXPECT_EQ(table.vertex(3)[0], 0.0f);
    EXPECT_EQ(table.vertex(1)[1], 4.0f);
    table.resize(1);
    EXPECT_EQ(table.count(), 1u);
    EXPECT_EQ(table.vertex(0)[1], 2.0f);
    table.set(0, b);
    EXPECT_EQ(table.vertex(0)[0], 3.0f);
}

TEST(ObjectModel, StartsEmptyWithStrideEightEverywhere) {
    ObjectModel model;
    EXPECT_TRUE(model.lods.empty());
    EXPECT_EQ(model.meshVertices.stride, 8u);
    EXPECT_EQ(model.lineVertices.stride, 8u);
    EXPECT_EQ(model.lightVertices.stride, 8u);
}

}  // namespace
}  // namespace tarvosk
