// Finding an object's files, the version-7 conversion cache, and the textures each object
// owns, in temporary folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/log.h"
#include "fake_host.h"
#include "image_builders.h"
#include "objformat/obj8_writer.h"
#include "render/placed_object.h"
#include "test_folder.h"

namespace tarvosk {
namespace {

using testing::Bytes;

const char* const kObj8 =
    "I\n800\nOBJ\n\nTEXTURE Tug.png\nPOINT_COUNTS 3 0 0 3\n"
    "VT 0 0 0 0 1 0 0 0\nVT 1 0 0 0 1 0 1 0\nVT 0 1 0 0 1 0 0 1\nIDX 0\nIDX 1\nIDX 2\n"
    "ATTR_LOD 0 1000\nTRIS 0 3\n";

const char* const kOtherObj8 =
    "I\n800\nOBJ\n\nTEXTURE Van.png\nPOINT_COUNTS 4 0 0 6\n"
    "VT 0 0 0 0 1 0 0 0\nVT 2 0 0 0 1 0 1 0\nVT 0 2 0 0 1 0 0 1\nVT 2 2 0 0 1 0 1 1\n"
    "IDX 0\nIDX 1\nIDX 2\nIDX 1\nIDX 3\nIDX 2\nATTR_LOD 0 1000\nTRIS 0 6\n";

const char* const kObj7 =
    "I\n700\nOBJ\n\ntug\nATTR_LOD 0 1000\n"
    "quad\n0 0 0 0 0 1 0 0 1 0 1 1 0 1 1 0 1 0 0 1\n"
    "tri\n0 0 0 0 0 1 0 0 1 0 0 1 0 0 1\nend\n";

class ObjectManagerTest : public ::testing::Test {
  protected:
    std::string dir;

    void SetUp() override {
        fake::reset();
        dir = (testing::FreshFolder() / "").string();
    }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(dir + name, std::ios::binary) << text;
    }
    void Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(dir + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Pictures told apart by their size: the upload records it.
    static Bytes Png(uint32_t w) { return testing::makeNeutralPng(w, 2, 3, Bytes(w * 2 * 3, 9)); }
    static Bytes Tga(uint32_t w) { return testing::makeTga(w, 2, 24, Bytes(w * 2 * 3, 9)); }
    static Bytes Bmp(uint32_t w) {
        return testing::makeBmp(static_cast<int32_t>(w), 2, Bytes(w * 2 * 3, 9));
    }

    static int UploadWidthOf(int texture) {
        for (const fake::Upload& u : fake::host().uploads) {
            if (u.texture == texture) return u.width;
        }
        return -1;
    }
};

TEST_F(ObjectManagerTest, UpperCaseDayPngAndLowerCaseLitPng) {
    Write("Tug.obj", kObj8);
    Write("Tug.PNG", Png(4));
    Write("TugLIT.png", Png(8));
    PlacedObject object;
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    EXPECT_EQ(UploadWidthOf(object.dayTexture), 4);
    EXPECT_EQ(UploadWidthOf(object.litTexture), 8);
    EXPECT_EQ(object.textureSlot.textureNumber, object.litTexture);
    EXPECT_EQ(object.objectPath, dir + "Tug.obj");
    EXPECT_EQ(object.model.indices.size(), 3u);
}

TEST_F(ObjectManagerTest, PngComesBeforeTgaBeforeBmp) {
    Write("Tug.obj", kObj8);
    Write("Tug.bmp", Bmp(16));
    Write("Tug.tga", Tga(8));
    Write("Tug.png", Png(4));
    PlacedObject object;
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    EXPECT_EQ(UploadWidthOf(object.dayTexture), 4);

    std::filesystem::remove(dir + "Tug.png");
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    EXPECT_EQ(UploadWidthOf(object.dayTexture), 8);

    std::filesystem::remove(dir + "Tug.tga");
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    EXPECT_EQ(UploadWidthOf(object.dayTexture), 16);
}

TEST_F(ObjectManagerTest, AnUndecodableCandidateCountsAsMissing) {
    Write("Tug.obj", kObj8);
    Write("Tug.png", std::string("not a picture"));
    Write("Tug.TGA", Tga(8));
    PlacedObject object;
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    EXPECT_EQ(UploadWidthOf(object.dayTexture), 8);
    EXPECT_EQ(fake::host().uploads.size(), 1u);
}

TEST_F(ObjectManagerTest, TheLitTextureIsLookedForOnlyInTheDayTexturesFormat) {
    Write("Tug.obj", kObj8);
    Write("Tug.tga", Tga(4));
    Write("TugLIT.png", Png(8));
    PlacedObject object;
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    EXPECT_EQ(UploadWidthOf(object.dayTexture), 4);
    EXPECT_EQ(object.litTexture, -1);

    Write("TugLIT.TGA", Tga(16));
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    EXPECT_EQ(UploadWidthOf(object.litTexture), 16);

    std::filesystem::remove(dir + "Tug.tga");
    Write("Tug.BMP", Bmp(4));
    Write("TugLIT.bmp", Bmp(32));
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    EXPECT_EQ(UploadWidthOf(object.litTexture), 32);
}

TEST_F(ObjectManagerTest, NoObjectFileMeansNoTextureAtAll) {
    Write("Tug.png", Png(4));
    PlacedObject object;
    std::string reason;
    EXPECT_FALSE(LoadPlacedObject(object, dir + "Tug", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(fake::host().uploads.empty());
    EXPECT_EQ(object.dayTexture, 0);
    EXPECT_EQ(object.litTexture, -1);
    EXPECT_TRUE(object.objectPath.empty());
}

TEST_F(ObjectManagerTest, NoTextureFailsButKeepsTheModelAndTheOldTextures) {
    Write("Tug.obj", kObj8);
    Write("Tug.png", Png(4));
    PlacedObject object;
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    const int day = object.dayTexture;

    Write("Van.obj", kOtherObj8);
    EXPECT_FALSE(LoadPlacedObject(object, dir + "Van"));
    EXPECT_EQ(object.model.indices.size(), 6u);
    EXPECT_EQ(object.dayTexture, day);
    EXPECT_EQ(fake::host().liveTextures, (std::set<int>{day}));  // still drawn, still alive
}

TEST_F(ObjectManagerTest, Version7IsConvertedRewrittenAndReadAsVersion8Next) {
    Write("Tug.obj", kObj7);
    Write("Tug.png", Png(4));
    PlacedObject object;
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    const ObjectModel first = object.model;
    EXPECT_EQ(Read(dir + "Tug.obj").rfind("I\n800\n", 0), 0u);

    PlacedObject again;
    ASSERT_TRUE(LoadPlacedObject(again, dir + "Tug"));
    EXPECT_EQ(again.model.indices, first.indices);
    EXPECT_EQ(again.model.meshVertices.floats, first.meshVertices.floats);
    ASSERT_EQ(again.model.lods.size(), first.lods.size());
    EXPECT_EQ(again.model.lods[0].commands.size(), first.lods[0].commands.size());
    EXPECT_FALSE(first.indices.empty());
}

// A cut object, of either version, is refused with the reason in the log and never
// touched; a whole version-7 object is replaced by its conversion only once that reads back,
// and its original is kept beside it, never over another file of the backup's name.
TEST_F(ObjectManagerTest, CutObjectsAreRefusedAndAConversionKeepsItsOriginal) {
    const std::string v8 = kObj8;
    const std::string v7 = kObj7;
    const std::string bigNumber(40, '9');  // reads as infinity: no text gives it back
    const struct {
        const char* name;
        std::string text;
        const char* logged;  // what the log says after the name's path
    } refused[] = {
        {"CutVt", v8.substr(0, v8.find("VT 0 1 0")),
         ".obj: POINT_COUNTS declares 3 vertices, the file has 2 VT lines"},
        {"CutIdx", v8.substr(0, v8.find("IDX 2")),
         ".obj: POINT_COUNTS declares 3 indices, the file has 2 indices on IDX and IDX10 lines"},
        {"CutV7", v7.substr(0, v7.find("0 1 0 0 1\n")),
         ".obj: line 7: quad declares 4 vertices, the file ends after 3"},
    };
    ASSERT_TRUE(OpenLog(dir + "Tarvosk.log"));
    for (const auto& c : refused) {
        Write(std::string(c.name) + ".obj", c.text);
        Write(std::string(c.name) + ".png", Png(4));
        LoadTruckObject(dir, c.name);
    }
    Write("Tug.obj", v7);
    Write("Tug.png", Png(4));
    LoadTruckObject(dir, "Tug");
    const std::string tugModel = writeObj8ToString(truckObject.model);
    Write("Van.obj", v7);
    Write("Van.obj7.bak", std::string("someone else's file"));
    Write("Van.png", Png(4));
    LoadTruckObject(dir, "Van");
    Write("Inf.obj", "I\n700\nOBJ\n\ninf\ntri\n" + bigNumber + " 0 0 0 0 1 0 0 0 0 0 1 0 0 0\n");
    Write("Inf.png", Png(4));
    LoadTruckObject(dir, "Inf");
    OpenLog("");
    const std::string log = Read(dir + "Tarvosk.log");

    for (const auto& c : refused) {
        const std::string path = dir + c.name;
        EXPECT_NE(log.find("[WRNG] Failed to load object " + path + " (path: " + dir +
                           ")\n[WRNG] " + path + c.logged + "\n"),
                  std::string::npos)
            << log;
        EXPECT_EQ(Read(path + ".obj"), c.text);
    }
    // The conversion: the new file in place, the original beside it, nothing else left.
    EXPECT_EQ(Read(dir + "Tug.obj"), tugModel);
    EXPECT_EQ(Read(dir + "Tug.obj7.bak"), v7);
    EXPECT_NE(log.find("Converted version-7 object " + dir +
                       "Tug.obj to version 8; the original "
                       "is kept as " +
                       dir + "Tug.obj7.bak\n"),
              std::string::npos)
        << log;
    // A backup name already taken: both files stay as they were, the object still loads.
    EXPECT_EQ(Read(dir + "Van.obj"), v7);
    EXPECT_EQ(Read(dir + "Van.obj7.bak"), "someone else's file");
    EXPECT_NE(log.find("Meshes and textures for object " + dir + "Van succesfuly loaded"),
              std::string::npos);
    EXPECT_NE(log.find("[WRNG] Version-7 object " + dir + "Van.obj converted for this load only: " +
                       dir + "Van.obj7.bak already exists and holds another file, which is kept"),
              std::string::npos)
        << log;
    // A conversion that does not read back as written never takes the original's place.
    EXPECT_EQ(Read(dir + "Inf.obj").rfind("I\n700\n", 0), 0u);
    EXPECT_NE(log.find("does not read back as written: the vertices differ"), std::string::npos)
        << log;
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    std::set<std::string> expected{".made-by-tarvosk-sim", "Tarvosk.log", "Tug.obj7.bak",
                                   "Van.obj7.bak"};
    for (const char* name : {"CutVt", "CutIdx", "CutV7", "Tug", "Van", "Inf"}) {
        expected.insert(std::string(name) + ".obj");
        expected.insert(std::string(name) + ".png");
    }
    EXPECT_EQ(names, expected);
    UnloadPlacedObject(truckObject);
}

TEST_F(ObjectManagerTest, ASecondLoadReplacesTheModelAndFreesTheFirstTextures) {
    Write("Tug.obj", kObj8);
    Write("Tug.png", Png(4));
    Write("TugLIT.png", Png(8));
    Write("Van.obj", kOtherObj8);
    Write("Van.png", Png(16));
    PlacedObject object;
    ASSERT_TRUE(LoadPlacedObject(object, dir + "Tug"));
    const std::set<int> tug = fake::host().liveTextures;
    ASSERT_EQ(tug.size(), 2u);

    ASSERT_TRUE(LoadPlacedObject(object, dir + "Van"));
    EXPECT_EQ(object.model.indices.size(), 6u);
    EXPECT_EQ(object.litTexture, -1);
    EXPECT_EQ(fake::host().liveTextures, (std::set<int>{object.dayTexture}));
    EXPECT_EQ(tug.count(object.dayTexture), 0u);  // a new number
    EXPECT_EQ(object.objectPath, dir + "Van.obj");
}

TEST_F(ObjectManagerTest, SwitchingTrucksAHundredTimesLeaksNoTextureAndUnloadFreesAll) {
    Write("Tug.obj", kObj8);
    Write("Tug.png", Png(4));
    Write("TugLIT.png", Png(8));
    Write("Van.obj", kOtherObj8);
    Write("Van.tga", Tga(16));
    fake::host().recording = false;
    PlacedObject object;
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(LoadPlacedObject(object, dir + (i % 2 ? "Van" : "Tug")));
        ASSERT_LE(fake::host().liveTextures.size(), 2u);
    }
    EXPECT_EQ(fake::host().nextTexture, 1 + 50 * 3);
    UnloadPlacedObject(object);
    EXPECT_TRUE(fake::host().liveTextures.empty());
    EXPECT_TRUE(object.model.lods.empty());
    EXPECT_EQ(object.dayTexture, 0);
    EXPECT_EQ(object.litTexture, -1);
    EXPECT_TRUE(object.objectPath.empty());
    UnloadPlacedObject(object);  // twice is harmless
    EXPECT_TRUE(fake::host().liveTextures.empty());
}

TEST_F(ObjectManagerTest, LoadTruckObjectLogsSuccessAndFailureWithTheReadersReason) {
    ASSERT_TRUE(OpenLog(dir + "Tarvosk.log"));
    Write("Tug.obj", kObj8);
    Write("Tug.png", Png(4));
    Write("Bad.obj", std::string("I\n800\nOBJ\n\nPOINT_COUNTS 1 0 0 3\nIDX 0\nTRIS 0 6\n"));
    Write("Bare.obj", kObj8);
    LoadTruckObject(dir, "Tug");
    LoadTruckObject(dir, "Bad");
    LoadTruckObject(dir, "Bare");
    OpenLog("");
    UnloadPlacedObject(truckObject);

    std::istringstream log(Read(dir + "Tarvosk.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 5u) << Read(dir + "Tarvosk.log");
    EXPECT_EQ(lines[0], "Meshes and textures for object " + dir + "Tug succesfuly loaded");
    EXPECT_EQ(lines[1], "[WRNG] Failed to load object " + dir + "Bad (path: " + dir + ")");
    EXPECT_EQ(lines[2].rfind("[WRNG] ", 0), 0u);
    EXPECT_GT(lines[2].size(), 10u);
    // No texture: the reason says so, the object file itself was fine.
    EXPECT_EQ(lines[3], "[WRNG] Failed to load object " + dir + "Bare (path: " + dir + ")");
    EXPECT_EQ(lines[4], "[WRNG] no texture could be read for " + dir +
                            "Bare (.png, .tga or .bmp): none found");
}

}  // namespace
}  // namespace tarvosk
