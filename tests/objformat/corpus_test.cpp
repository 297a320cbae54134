// Every object file of the real-world corpus, read as the object manager would read it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "objformat/file_buffer.h"
#include "objformat/obj7_convert.h"
#include "objformat/obj7_reader.h"
#include "objformat/obj8_reader.h"
#include "objformat/obj8_writer.h"
#include "test_files.h"

namespace tarvosk {
namespace {

namespace fs = std::filesystem;

struct CorpusFile {
    std::string path;     // absolute
    std::string name;     // as in the manifest
    std::string version;  // "800", "700" or "other"
};

std::vector<CorpusFile> corpusFiles() {
    std::vector<CorpusFile> files;
    const std::string dir = testing::corpusDir() + "/obj";
    std::ifstream manifest(dir + "/MANIFEST.tsv");
    std::string line;
    std::getline(manifest, line);  // column names
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::vector<std::string> columns;
        std::string column;
        while (std::getline(fields, column, '\t')) columns.push_back(column);
        if (columns.size() < 5) continue;
        files.push_back({dir + "/" + columns[0], columns[0], columns[4]});
    }
    return files;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// An independent count of the vertex and index lines, split on LF, CR LF and CR, that also
// plays the rule that a line finding its table full ends the reading.
struct LineCounts {
    long declared[4] = {};
    long lines[4] = {};   // VT, VLINE, VLIGHT lines and indices written in the file
    long stored[4] = {};  // what a reader keeps before a full table stops it
    bool stopped = false;
};

LineCounts countLines(const std::string& text) {
    LineCounts counts;
    std::string normalised = text;
    std::replace(normalised.begin(), normalised.end(), '\r', '\n');
    std::istringstream in(normalised);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "POINT_COUNTS") {
            for (long& declared : counts.declared) words >> declared;
            continue;
        }
        const int table = keyword == "VT"       ? 0
                          : keyword == "VLINE"  ? 1
                          : keyword == "VLIGHT" ? 2
                          : keyword == "IDX"    ? 3
                          : keyword == "IDX10"  ? 3
                                                : -1;
        if (table < 0) continue;
        const long amount = keyword == "IDX10" ? 10 : 1;
        counts.lines[table] += amount;
        if (counts.stopped) continue;
        if (counts.stored[table] >= counts.declared[table]) {
            counts.stopped = true;
        } else {
            counts.stored[table] = std::min(counts.stored[table] + amount, counts.declared[table]);
        }
    }
    return counts;
}

size_t totalCommands(const ObjectModel& model) {
    size_t n = 0;
    for (const LodRange& range : model.lods) n += range.commands.size();
    return n;
}

class Corpus : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(testing::corpusDir() + "/obj/MANIFEST.tsv")) {
            GTEST_SKIP() << "corpus not found at " << testing::corpusDir()
                         << "/obj (set TARVOSK_CORPUS_DIR)";
        }
        files_ = corpusFiles();
        ASSERT_FALSE(files_.empty());
    }
    std::vector<CorpusFile> files_;
};

TEST_F(Corpus, VersionEightFilesAgreeWithTheirVertexAndIndexLines) {
    int checked = 0;
    for (const CorpusFile& file : files_) {
        if (file.version != "800") continue;
        SCOPED_TRACE(file.name);
        FileBuffer buffer;
        ASSERT_TRUE(readWholeFile(file.path, buffer, nullptr));
        const LineCounts counts = countLines(std::string(buffer.begin(), buffer.size));

        ObjectModel model;
        Obj8ReadDetails details;
        ASSERT_TRUE(readObj8Unvalidated(buffer.begin(), buffer.size, model, nullptr, &details));
        std::string error;
        ASSERT_TRUE(readObj8(file.path, model, &error)) << error;

        EXPECT_EQ(static_cast<long>(model.meshVertices.count()), counts.declared[0]);
        EXPECT_EQ(static_cast<long>(model.lineVertices.count()), counts.declared[1]);
        EXPECT_EQ(static_cast<long>(model.lightVertices.count()), counts.declared[2]);
        EXPECT_EQ(static_cast<long>(model.indices.size()), counts.declared[3]);
        for (int t = 0; t < 4; ++t) {
            EXPECT_EQ(static_cast<long>(details.filledCounts[t]), counts.stored[t])
                << "table " << t;
            // A file read to its end holds exactly the lines it declares.
            if (!counts.stopped) {
                EXPECT_EQ(counts.lines[t], counts.declared[t]) << "table " << t;
            }
        }
        EXPECT_EQ(details.stoppedEarly, counts.stopped);
        ++checked;
    }
    EXPECT_GE(checked, 30);
}

TEST_F(Corpus, TheCorruptExportStopsAtItsSecondIndexBlock) {
    const std::string name = "test__animkey.1cbdf3b.obj";
    auto it = std::find_if(files_.begin(), files_.end(),
                           [&](const CorpusFile& f) { return endsWith(f.name, name); });
    ASSERT_NE(it, files_.end());
    FileBuffer buffer;
    ASSERT_TRUE(readWholeFile(it->path, buffer, nullptr));
    ObjectModel model;
    Obj8ReadDetails details;
    ASSERT_TRUE(readObj8Unvalidated(buffer.begin(), buffer.size, model, nullptr, &details));
    // 84 indices declared, 180 written: the first IDX10 of the second block ends the read,
    // after the two TRIS ranges, the attribute and the first animation of the first block.
    EXPECT_TRUE(details.stoppedEarly);
    EXPECT_EQ(details.stopLine, 82u);
    EXPECT_EQ(model.indices.size(), 84u);
    EXPECT_EQ(model.meshVertices.count(), 52u);
    ASSERT_EQ(model.lods.size(), 1u);
    std::vector<CommandCode> codes;
    for (const ModelCommand& c : model.lods[0].commands) codes.push_back(c.code);
    EXPECT_EQ(codes, (std::vector<CommandCode>{CommandCode::TRIS, CommandCode::ATTR_no_cull,
                                               CommandCode::TRIS, CommandCode::ANIM_begin,
                                               CommandCode::ANIM_trans}));
    EXPECT_EQ(model.animations.size(), 1u);
    EXPECT_TRUE(readObj8(it->path, model));  // what was read stays inside its tables
}

TEST_F(Corpus, NamedAndCustomLightsDoNotCountAsLightVertices) {
    const std::string name = "test__lights_custom.obj";
    auto it = std::find_if(files_.begin(), files_.end(),
                           [&](const CorpusFile& f) { return endsWith(f.name, name); });
    ASSERT_NE(it, files_.end());
    ObjectModel model;
    ASSERT_TRUE(readObj8(it->path, model));
    // POINT_COUNTS says 3 lights while the file has more light lines (LIGHT_NAMED,
    // LIGHT_CUSTOM); only the three VLIGHT lines are lights of the model.
    EXPECT_EQ(model.lightVertices.count(), 3u);
    bool foundLights = false;
    for (const ModelCommand& c : model.lods[0].commands) {
        if (c.code == CommandCode::LIGHTS) {
            foundLights = true;
            EXPECT_EQ(c.first, 0);
            EXPECT_EQ(c.count, 3);
        }
    }
    EXPECT_TRUE(foundLights);
}

TEST_F(Corpus, FilesWithoutAValidHeaderAreRefusedByBothReaders) {
    int checked = 0;
    for (const CorpusFile& file : files_) {
        if (file.version != "other") continue;
        SCOPED_TRACE(file.name);
        ObjectModel model;
        Obj7Object object;
        EXPECT_FALSE(readObj8(file.path, model));
        EXPECT_FALSE(readObj7(file.path, object));
        ++checked;
    }
    EXPECT_GE(checked, 1);
}

void expectConvertsAndReadsBack(const std::string& path, const std::string& folder) {
    Obj7Object object;
    std::string error;
    ASSERT_TRUE(readObj7(path, object, &error)) << error;
    EXPECT_FALSE(object.commands.empty());
    ObjectModel model;
    ASSERT_TRUE(convertObj7(object, model, &error)) << error;
    const std::string written = folder + "/converted.obj";
    ASSERT_TRUE(writeObj8(written, model, &error)) << error;
    ObjectModel back;
    ASSERT_TRUE(readObj8(written, back, &error)) << error;
    EXPECT_EQ(back.meshVertices.count(), model.meshVertices.count());
    EXPECT_EQ(back.lineVertices.count(), model.lineVertices.count());
    EXPECT_EQ(back.lightVertices.count(), model.lightVertices.count());
    EXPECT_EQ(back.indices, model.indices);
    EXPECT_EQ(back.lods.size(), model.lods.size());
    EXPECT_EQ(totalCommands(back), totalCommands(model));
    EXPECT_EQ(back.textureName, model.textureName);
    EXPECT_EQ(back.litTextureName, model.litTextureName);
}

TEST_F(Corpus, VersionSevenFilesConvertWriteAndReadBack) {
    testing::TempDir dir;
    int checked = 0;
    for (const CorpusFile& file : files_) {
        if (file.version != "700") continue;
        SCOPED_TRACE(file.name);
        ObjectModel model;
        EXPECT_FALSE(readObj8(file.path, model));  // the older reader's work
        expectConvertsAndReadsBack(file.path, dir.path());
        ++checked;
    }
    EXPECT_EQ(checked, 2);
}

TEST_F(Corpus, EveryFileReadsWithoutACrash) {
    for (const auto& entry : fs::recursive_directory_iterator(testing::corpusDir() + "/obj")) {
        if (!entry.is_regular_file()) continue;
        ObjectModel model;
        Obj7Object object;
        const bool read8 = readObj8(entry.path().string(), model);
        const bool read7 = readObj7(entry.path().string(), object);
        EXPECT_FALSE(read8 && read7) << entry.path();  // no file is both
    }
}

TEST(HandMadeVersion2, ConvertsWritesAndReadsBack) {
    testing::TempDir dir;
    const std::string path = dir.file("old.obj");
    testing::writeFile(path,
                       "I\n2\nold_tug\n"
                       "1 10 0 0\n0 2 0\n"
                       "2 5 5 5\n0 0 0 1 0 0\n"
                       "3 0 1 0 1\n0 0 0 1 0 0 0 1 0\n"
                       "4 0 1 0 1\n0 0 0 1 0 0 1 1 0 0 1 0\n"
                       "5 0 1 0 1\n0 0 1 1 0 1 1 1 1 0 1 1\n"
                       "6 0 1 0 1\n0 3 0 1 3 0 1 4 0 0 4 0\n"
                       "-2\n0 0 0 0 0 1 0 0 1 0 0 1 1 0 1 1 1 1 1 1\n"
                       "99\n");
    expectConvertsAndReadsBack(path, dir.path());
    Obj7Object object;
    ASSERT_TRUE(readObj7(path, object));
    ObjectModel model;
    ASSERT_TRUE(convertObj7(object, model));
    EXPECT_EQ(model.textureName, "old_tug.png");
    EXPECT_EQ(model.lightVertices.count(), 1u);
    EXPECT_FLOAT_EQ(model.lightVertices.vertex(0)[3], 1.0f);
    EXPECT_EQ(model.lineVertices.count(), 2u);
    // A triangle, three quads and a strip of four: 19 mesh vertices.
    EXPECT_EQ(model.meshVertices.count(), 19u);
}

}  // namespace
}  // namespace tarvosk
