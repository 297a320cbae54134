// Object paths that are not files: a folder, a symbolic link loop, a FIFO with no writer.
// Each read fails at once with a message naming the path, and never blocks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "objformat/file_buffer.h"
#include "objformat/obj7_reader.h"
#include "objformat/obj8_reader.h"
#include "test_files.h"

namespace tarvosk {
namespace {

using testing::TempDir;
using testing::writeFile;

class HostilePaths : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        ASSERT_EQ(::mkdir(dir.file("folder.obj").c_str(), 0755), 0);
        ASSERT_EQ(::symlink("loop-b.obj", dir.file("loop-a.obj").c_str()), 0);
        ASSERT_EQ(::symlink("loop-a.obj", dir.file("loop-b.obj").c_str()), 0);
        ASSERT_EQ(::mkfifo(dir.file("fifo.obj").c_str(), 0644), 0);
    }
    TempDir dir;
};

TEST_F(HostilePaths, EveryReaderRefusesAtOnceWithAReason) {
    for (const char* name : {"folder.obj", "loop-a.obj", "fifo.obj"}) {
        const std::string path = dir.file(name);
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        ObjectModel model;
        EXPECT_FALSE(readObj8(path, model, &error)) << name;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        Obj7Object old;
        std::string error7;
        EXPECT_FALSE(readObj7(path, old, &error7)) << name;
        EXPECT_NE(error7.find(path), std::string::npos) << error7;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << name;
    }
    std::string error;
    ObjectModel model;
    readObj8(dir.file("fifo.obj"), model, &error);
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    readObj8(dir.file("loop-a.obj"), model, &error);
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

// The reader keeps its buffer between files: a short file after a long one reads only its own
// bytes, and a failed read leaves nothing of the earlier file behind.
TEST_F(HostilePaths, AReusedBufferHoldsOnlyTheFileJustRead) {
    std::string longText = "I\n800\nOBJ\n\nTEXTURE long.png\nPOINT_COUNTS 3 0 0 3\n";
    for (int k = 0; k < 3; ++k) longText += "VT 1 2 3 0 1 0 0.5 0.5\n";
    longText += "IDX10 0 1 2 0 1 2 0 1 2 0\nTRIS 0 3\n" + std::string(5000, '#') + "\n";
    writeFile(dir.file("long.obj"), longText);
    writeFile(dir.file("short.obj"), "I\n800\nOBJ\n\nTEXTURE short.png\nPOINT_COUNTS 0 0 0 0\n");
    ObjectModel model;
    ASSERT_TRUE(readObj8(dir.file("long.obj"), model));
    EXPECT_EQ(model.meshVertices.count(), 3u);
    ASSERT_TRUE(readObj8(dir.file("short.obj"), model));
    EXPECT_EQ(model.textureName, "short.png");
    EXPECT_EQ(model.meshVertices.count(), 0u);
    EXPECT_FALSE(readObj8(dir.file("fifo.obj"), model));
    EXPECT_TRUE(model.textureName.empty());

    FileBuffer buffer;
    ASSERT_TRUE(readWholeFile(dir.file("long.obj"), buffer, nullptr));
    const char* first = buffer.begin();
    ASSERT_TRUE(readWholeFile(dir.file("short.obj"), buffer, nullptr));
    EXPECT_EQ(buffer.begin(), first);  // no new allocation
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()),
              "I\n800\nOBJ\n\nTEXTURE short.png\nPOINT_COUNTS 0 0 0 0\n");
}

// A file large enough to be read in two halves at once comes back byte for byte, with the
// halves in their places, and a read of it into the same buffer again does not grow it.
TEST_F(HostilePaths, ALargeFileIsReadWholeInItsPlaces) {
    std::string text(9u << 20, '\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
    writeFile(dir.file("large.bin"), text);
    FileBuffer buffer;
    std::string error;
    ASSERT_TRUE(readWholeFile(dir.file("large.bin"), buffer, &error)) << error;
    ASSERT_EQ(buffer.size, text.size());
    EXPECT_TRUE(std::equal(text.begin(), text.end(), buffer.begin()));
    const size_t capacity = buffer.capacity;
    ASSERT_TRUE(readWholeFile(dir.file("large.bin"), buffer, &error)) << error;
    EXPECT_EQ(buffer.capacity, capacity);
    EXPECT_TRUE(std::equal(text.begin(), text.end(), buffer.begin()));
}

}  // namespace
}  // namespace tarvosk
