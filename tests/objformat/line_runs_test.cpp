// Runs of vertex and index lines read whole against the same files read line by line through
// the keyword handlers: the same answer, message and model, whatever the lines around them.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "objformat/line_numbers.h"
#include "objformat/obj8_reader.h"

namespace tarvosk {
namespace {

void expectSameTable(const VertexTable& a, const VertexTable& b, const char* what) {
    ASSERT_EQ(a.stride, b.stride) << what;
    ASSERT_EQ(a.floats.size(), b.floats.size()) << what;
    for (size_t i = 0; i < a.floats.size(); ++i) {
        ASSERT_EQ(std::bit_cast<uint32_t>(a.floats[i]), std::bit_cast<uint32_t>(b.floats[i]))
            << what << " float " << i;
    }
}

// A model that held another object, with every table larger than most files here fill: the
// reader reuses its storage, and nothing of the old object may show through.
ObjectModel usedModel() {
    std::string text = "I\n800\nOBJ\nPOINT_COUNTS 64 64 64 640\n";
    for (const char* line : {"VT 7 7 7 7 7 7 7 7\n", "VLINE 7 7 7 7 7 7\n", "VLIGHT 7 7 7 7 7 7\n",
                             "IDX10 7 7 7 7 7 7 7 7 7 7\n"}) {
        for (int i = 0; i < 64; ++i) text += line;
    }
    ObjectModel model;
    EXPECT_TRUE(readObj8FromBuffer(text.data(), text.size(), model));
    return model;
}

// Both readings of `text` must agree, the fast one into a used model.
void expectSameReading(const std::string& text) {
    ObjectModel fast = usedModel();
    ObjectModel slow;
    std::string fastError, slowError;
    const bool fastOk = readObj8FromBuffer(text.data(), text.size(), fast, &fastError);
    const bool slowOk = readObj8LineByLine(text.data(), text.size(), slow, &slowError);
    ASSERT_EQ(fastOk, slowOk) << fastError << " / " << slowError;
    EXPECT_EQ(fastError, slowError);
    expectSameTable(fast.meshVertices, slow.meshVertices, "VT");
    expectSameTable(fast.lineVertices, slow.lineVertices, "VLINE");
    expectSameTable(fast.lightVertices, slow.lightVertices, "VLIGHT");
    EXPECT_EQ(fast.indices, slow.indices);
    ASSERT_EQ(fast.lods.size(), slow.lods.size());
    for (size_t i = 0; i < fast.lods.size(); ++i) {
        EXPECT_EQ(fast.lods[i].commands.size(), slow.lods[i].commands.size());
    }
}

std::string number(std::mt19937& random) {
    char text[32];
    switch (random() % 6) {
        case 0:
            std::snprintf(text, sizeof text, "%d", static_cast<int>(random() % 100000));
            break;
        case 1:
            std::snprintf(text, sizeof text, "-%lu.%lu", static_cast<unsigned long>(random() % 100),
                          static_cast<unsigned long>(random() % 1000));
            break;
        case 2:
            std::snprintf(text, sizeof text, "%.6f", (random() % 2000000) / 1e4 - 100.0);
            break;
        case 3:
            std::snprintf(text, sizeof text, "123456789");
            break;  // too long for a run
        default:
            std::snprintf(text, sizeof text, "%.3f", (random() % 20000) / 1e3);
            break;
    }
    return text;
}

// What may stand between and after the numbers of a line, and between lines: mostly the
// plain shape, sometimes whatever a hand-edited file holds.
std::string line(std::mt19937& random, const char* keyword, unsigned count) {
    std::string text = keyword;
    const unsigned numbers = random() % 16 == 0 ? count - 1 + random() % 3 : count;
    for (unsigned k = 0; k < numbers; ++k) {
        text += random() % 40 == 0 ? "\t" : random() % 40 == 0 ? "  " : " ";
        text += number(random);
    }
    const char* const endings[] = {"\n",  "\n",         "\n",   "\n",       "\r\n",    "\r",
                                   " \n", "\t# note\n", "\n\n", "\n  \n\t", " 7 8 9\n"};
    return text + endings[random() % std::size(endings)];
}

TEST(LineRuns, RandomFilesReadTheSameAsLineByLine) {
    std::mt19937 random(21);
    for (int file = 0; file < 300; ++file) {
        const unsigned vertices = random() % 40, lines = random() % 6, lights = random() % 6;
        const unsigned indices = random() % 60;
        std::string text = "I\n800\nOBJ\n\nTEXTURE a.png\n";
        // Declared counts below, at or above what the file holds: a full table ends the read.
        const int declaredVertices = std::max(0, static_cast<int>(vertices + random() % 5) - 2);
        text += "POINT_COUNTS " + std::to_string(declaredVertices) + " " + std::to_string(lines) +
                " " + std::to_string(lights) + " " + std::to_string(indices + random() % 12) + "\n";
        for (unsigned i = 0; i < vertices; ++i) {
            text += random() % 30 == 0 ? "ATTR_hard\n" : line(random, "VT", 8);
        }
        for (unsigned i = 0; i < lines; ++i) text += line(random, "VLINE", 6);
        for (unsigned i = 0; i < lights; ++i) text += line(random, "VLIGHT", 6);
        for (unsigned i = 0; i < indices / 10; ++i) text += line(random, "IDX10", 10);
        for (unsigned i = 0; i < indices % 10; ++i) text += line(random, "IDX", 1);
        text += "TRIS 0 " + std::to_string(indices - indices % 3) + "\n";
        // Sometimes the file stops in the middle of a line.
        if (file % 7 == 0) text.resize(text.size() - random() % 200 % text.size());
        SCOPED_TRACE("file " + std::to_string(file));
        expectSameReading(text);
    }
}

TEST(LineRuns, RunsStopAtTheTablesEndAndAtTheBufferEnd) {
    const std::string vt = "VT 1.5 -2 3 0 1 0 0.25 0.75\n";
    // Exactly full, one over, and the last line without its line end.
    expectSameReading("I\n800\nOBJ\nPOINT_COUNTS 3 0 0 0\n" + vt + vt + vt);
    expectSameReading("I\n800\nOBJ\nPOINT_COUNTS 3 0 0 0\n" + vt + vt + vt + vt);
    expectSameReading("I\n800\nOBJ\nPOINT_COUNTS 3 0 0 0\n" + vt + vt + vt.substr(0, 20));
    // The line after a full table ends the read: the indices after it stay unread.
    for (const char* counts : {"2 0 0 3", "3 0 0 3"}) {
        expectSameReading("I\n800\nOBJ\nPOINT_COUNTS " + std::string(counts) + "\n" + vt + vt + vt +
                          vt + "IDX 1\nIDX 2\nIDX 0\n");
    }
    // Twelve indices: the second IDX10 line only half fits.
    const std::string idx = "IDX10 0 1 2 0 1 2 0 1 2 0\n";
    expectSameReading("I\n800\nOBJ\nPOINT_COUNTS 3 0 0 12\n" + vt + vt + vt + idx + idx);
    // A second POINT_COUNTS line cuts the tables below what was already read into them.
    expectSameReading("I\n800\nOBJ\nPOINT_COUNTS 3 0 0 20\n" + vt + vt + idx +
                      "POINT_COUNTS 1 0 0 5\n" + idx + idx + vt + vt);
}

// Runs over more than 8 MB are read in two halves at once. Whatever stands near the middle,
// and wherever the table fills, the halves join into what line by line gives.
TEST(LineRuns, LongRunsReadInHalvesJoinAsOne) {
    constexpr size_t kLines = 160000;  // 10 MB of vertex lines, all of one length
    std::vector<std::string> lines;
    std::mt19937 random(8);
    auto coordinate = [&] { return (random() % 80000) / 1000.0 - 40.0; };
    for (size_t i = 0; i < kLines; ++i) {
        char text[128];
        std::snprintf(text, sizeof text, "VT %+010.6f %+010.6f %+010.6f 0 1 0 %.6f %.6f\n",
                      coordinate(), coordinate(), coordinate(), (random() % 1000) / 1000.0,
                      (random() % 1000) / 1000.0);
        lines.push_back(text);
    }
    auto file = [&](size_t declared, size_t odd, const std::string& oddLine) {
        std::string text = "I\n800\nOBJ\nPOINT_COUNTS " + std::to_string(declared) + " 0 0 3\n";
        text.reserve(kLines * 70);
        for (size_t i = 0; i < kLines; ++i) text += i == odd ? oddLine : lines[i];
        return text + "IDX 0\nIDX 1\nIDX 2\nTRIS 0 3\n";
    };
    const std::string tabbed = "VT\t1 2 3 0 1 0 0.5 0.5\n";  // read by its handler, not a run
    const std::string other = "ATTR_hard\n";
    // No odd line; around the first lines read alone; around the middle of the rest, where
    // this file's run is cut; early, so the helper's half is dropped; late in the second half.
    for (const size_t odd : {kLines, size_t{4095}, size_t{4096}, size_t{82047}, size_t{82048},
                             size_t{82049}, size_t{82050}, kLines / 4, kLines * 3 / 4}) {
        SCOPED_TRACE("odd line " + std::to_string(odd));
        expectSameReading(file(kLines, odd, tabbed));
        expectSameReading(file(kLines, odd, other));
    }
    // The table fills in the first lines, in the first half, in the second half, or holds more
    // than the file.
    for (const size_t declared : {size_t{4096}, kLines / 3, kLines * 3 / 4, kLines + 10}) {
        SCOPED_TRACE("declared " + std::to_string(declared));
        expectSameReading(file(declared, kLines, tabbed));
    }
}

// Numbers at the edges of the rules, in every place of a vertex line, among shorter and longer
// neighbours so that they also straddle the line's 64th byte, in the first, a middle and the last
// line of a run, each file also with a table one line short: run reading and the keyword
// handlers must give the same bits. Numbers without the plain shape stop the run at their line.
TEST(LineRuns, EdgeNumbersReadTheSameWhereverTheyStandInALine) {
    std::istringstream numbers(
        "0 -0 +0 -0.0 +.0 .5 -.5 5. 1. -1. 00000001 -0000000.1 0.0000001 .0000001 16777216 "
        "16777217 -16777219 33554435 167772.17 1.6777217 99999999 -9999999.9 0.33333333 "
        "16777216.5 123456789012345 999999999999999999 0.00000000000000000000000000000000000001 "
        "-0.000000000000000000000000000000000000005 1e5 -1E-5 1.2.3 --1 - . -. 1- "
        "340282356779733661637539395458142568448 0x1p3 1,5");
    const std::string plain = "VT 1.5 -2 3 0 1 0 0.25 0.75\n";
    for (std::string number; numbers >> number;) {
        for (const std::string neighbour : {" 7.25", " -17.1259"}) {
            for (int slot = 0; slot < 8; ++slot) {
                std::string odd = "VT";
                for (int k = 0; k < 8; ++k) odd += k == slot ? " " + number : neighbour;
                odd += "\n";
                for (int at = 0; at < 3; ++at) {
                    std::string body;
                    for (int line = 0; line < 4; ++line) body += line == at ? odd : plain;
                    for (const char* counts : {"4 0 0 0", "3 0 0 0"}) {
                        SCOPED_TRACE(number + " at " + std::to_string(slot) + " among" + neighbour +
                                     ", line " + std::to_string(at) + ", POINT_COUNTS " + counts);
                        expectSameReading("I\n800\nOBJ\nPOINT_COUNTS " + std::string(counts) +
                                          "\n" + body);
                    }
                }
            }
        }
    }
}

TEST(LineRuns, AWrittenObjectIsReadInRunsWhereTheProcessorCan) {
    std::string text = "I\n800\nOBJ\nPOINT_COUNTS 100 0 0 0\n";
    for (int i = 0; i < 100; ++i) text += "VT -33.895336 -21.812874 22.393501 0 1 0 0.5 0.25\n";
    const scan::LineRun run =
        scan::readFloatLines(text.data() + text.find("VT"), text.data() + text.size(), "VT", 8,
                             1000, std::vector<float>(800).data());
    EXPECT_EQ(run.lines, scan::lineNumbersAccelerated() ? 100u : 0u);
    if (run.lines) {
        EXPECT_EQ(run.next, text.data() + text.size());
    }
    expectSameReading(text);
}

}  // namespace
}  // namespace tarvosk
