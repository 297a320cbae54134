// Contact sheets put together from pictures already written: `tarvosk-sim --contact-sheet`
// with sections, labels and scenario picture folders, and the index a run writes for it.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "scenario/picture_steps.h"
#include "scenario/scenario.h"
#include "support.h"

namespace {

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // right and bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Found() const { return right > left; }
};

struct Colour {
    std::uint8_t r, g, b;
};

simhost::Picture Solid(int w, int h, Colour c) {
    simhost::Picture p;
    p.width = w;
    p.height = h;
    p.rgba.resize(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t k = 0; k < p.rgba.size(); k += 4) {
        p.rgba[k] = c.r, p.rgba[k + 1] = c.g, p.rgba[k + 2] = c.b, p.rgba[k + 3] = 255;
    }
    return p;
}

// Where the pixels of exactly this colour lie in rows [fromY, toY).
Box Find(const simhost::Picture& p, Colour c, int fromY = 0, int toY = -1) {
    Box b;
    if (toY < 0) toY = p.height;
    for (int y = fromY; y < toY; ++y)
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t* px = &p.rgba[(static_cast<std::size_t>(y) * p.width + x) * 4];
            if (px[0] != c.r || px[1] != c.g || px[2] != c.b) continue;
            b.left = std::min(b.left, x);
            b.top = std::min(b.top, y);
            b.right = std::max(b.right, x + 1);
            b.bottom = std::max(b.bottom, y + 1);
        }
    return b;
}

std::string RunSim(const std::string& args, int* status) {
    return simhost_test::RunShell(simhost_test::SimProgram() + " " + args + " 2>&1", status);
}

std::string Q(const std::filesystem::path& p) {
    return simhost_test::Quote(p);
}

constexpr Colour kRed{200, 30, 30}, kGreen{30, 200, 30}, kBlue{30, 30, 200}, kYellow{210, 210, 20},
    kCyan{20, 210, 210};
constexpr Colour kHeading{240, 190, 90}, kLabel{170, 176, 186};

class ContactSheet : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = simhost_test::SandboxFor();
        std::filesystem::create_directories(dir_ / "run" / "pictures");
        Write(dir_ / "red.png", Solid(160, 90, kRed));
        Write(dir_ / "green.png", Solid(1000, 500, kGreen));  // wider than a column
        Write(dir_ / "blue.png", Solid(100, 300, kBlue));
        // A scenario run's pictures folder: its index gives the order and the labels.
        Write(dir_ / "run" / "pictures" / "b-cyan.png", Solid(120, 60, kCyan));
        Write(dir_ / "run" / "pictures" / "a-yellow.png", Solid(200, 100, kYellow));
        std::ofstream(dir_ / "run" / "pictures" / "index.txt")
            << "a-yellow.png\tYellow first\nb-cyan.png\tCyan\n";
    }

    static void Write(const std::filesystem::path& file, const simhost::Picture& p) {
        std::string error;
        ASSERT_TRUE(simhost::WritePng(file, p, &error)) << error;
    }

    std::filesystem::path dir_;
};

TEST_F(ContactSheet, SectionsStartNewRowsUnderTheirHeadings) {
    const auto sheetFile = dir_ / "sheet.png";
    int status = -1;
    const std::string text =
        RunSim("--contact-sheet " + Q(sheetFile) + " --columns 2 --title " + Q("Both runs") +
                   " --section " + Q("One") + " " + Q(dir_ / "red.png") + " --label " +
                   Q("Red one") + " " + Q(dir_ / "green.png") + " " + Q(dir_ / "blue.png") +
                   " --section " + Q("Two") + " " + Q(dir_ / "run" / "pictures"),
               &status);
    ASSERT_EQ(status, 0) << text;
    EXPECT_NE(text.find("5 pictures in 2 sections"), std::string::npos) << text;
    simhost::Picture sheet;
    std::string error;
    ASSERT_TRUE(simhost::ReadPng(sheetFile, &sheet, &error)) << error;

    const Box red = Find(sheet, kRed), green = Find(sheet, kGreen), blue = Find(sheet, kBlue),
              yellow = Find(sheet, kYellow), cyan = Find(sheet, kCyan);
    // Small pictures keep their size; the wide one is shrunk to a column, keeping its shape.
    EXPECT_EQ(red.Width(), 160);
    EXPECT_EQ(red.Height(), 90);
    EXPECT_EQ(blue.Width(), 100);
    EXPECT_EQ(blue.Height(), 300);
    EXPECT_EQ(yellow.Width(), 200);
    EXPECT_EQ(cyan.Width(), 120);
    ASSERT_TRUE(green.Found());
    EXPECT_LT(green.Width(), 1000);
    EXPECT_NEAR(green.Height() * 2, green.Width(), 2);

    // Two columns: red and green side by side, blue under red; the sheet is two columns wide.
    EXPECT_EQ(red.top, green.top);
    EXPECT_GT(green.left, red.right);
    EXPECT_EQ(blue.left, red.left);
    EXPECT_GT(blue.top, std::max(red.bottom, green.bottom));
    EXPECT_GE(sheet.width, green.right);
    EXPECT_LT(sheet.width, green.right + 2 * green.Width());

    // The second section starts a new row below the first, in the index's order.
    EXPECT_EQ(yellow.left, red.left);
    EXPECT_GT(yellow.top, blue.bottom);
    EXPECT_EQ(cyan.top, yellow.top);
    EXPECT_EQ(cyan.left, green.left);
    EXPECT_LT(sheet.height, yellow.bottom + 80);  // ends after the last row and its labels

    // Each heading above its section and not inside it; labels under every row.
    EXPECT_TRUE(Find(sheet, kHeading, 0, red.top).Found());
    EXPECT_TRUE(Find(sheet, kHeading, blue.bottom, yellow.top).Found());
    EXPECT_FALSE(Find(sheet, kHeading, red.top, blue.bottom).Found());
    EXPECT_TRUE(Find(sheet, kLabel, std::max(red.bottom, green.bottom), blue.top).Found());
    EXPECT_TRUE(Find(sheet, kLabel, blue.bottom, yellow.top).Found());
    EXPECT_TRUE(Find(sheet, kLabel, yellow.bottom, sheet.height).Found());
}

TEST_F(ContactSheet, PicturesWithoutASectionGoUnderNoHeading) {
    const auto sheetFile = dir_ / "plain.png";
    int status = -1;
    const std::string text =
        RunSim("--contact-sheet " + Q(sheetFile) + " " + Q(dir_ / "red.png"), &status);
    ASSERT_EQ(status, 0) << text;
    simhost::Picture sheet;
    std::string error;
    ASSERT_TRUE(simhost::ReadPng(sheetFile, &sheet, &error)) << error;
    EXPECT_FALSE(Find(sheet, kHeading).Found());
    EXPECT_EQ(Find(sheet, kRed).Width(), 160);
    EXPECT_TRUE(Find(sheet, kLabel).Found());  // the file's name
}

TEST_F(ContactSheet, RefusesWhatItCannotShowAndWritesNothing) {
    const auto sheetFile = dir_ / "bad.png";
    struct Case {
        std::string args, says;
    };
    std::ofstream(dir_ / "notapng.png") << "not a picture";
    std::filesystem::create_directories(dir_ / "escape");
    std::ofstream(dir_ / "escape" / "index.txt") << "../red.png\tOutside\n";
    const std::vector<Case> cases = {
        {Q(dir_ / "missing.png"), "missing.png"},
        {Q(dir_ / "notapng.png"), "notapng.png"},
        {"--label " + Q("Nothing") + " " + Q(dir_ / "red.png"), "follows no single picture"},
        {"--section " + Q("Empty") + " --section " + Q("Full") + " " + Q(dir_ / "red.png"),
         "Empty"},
        {Q(dir_), "index.txt"},  // a folder without an index
        {Q(dir_ / "escape"), "bad picture name '../red.png'"},
        {"--columns 0 " + Q(dir_ / "red.png"), "--columns"},
        {"", "no pictures"},
    };
    for (const Case& c : cases) {
        int status = -1;
        const std::string text = RunSim("--contact-sheet " + Q(sheetFile) + " " + c.args, &status);
        EXPECT_EQ(status, 1) << c.args << "\n" << text;
        EXPECT_NE(text.find(c.says), std::string::npos) << c.args << "\n" << text;
        EXPECT_FALSE(std::filesystem::exists(sheetFile)) << c.args;
    }
}

// The README's pictures are smaller copies of the demo's: each pixel the mean of its box.
TEST(Shrink, APictureShrinksToTheWidthGivenKeepingItsProportionsAndColours) {
    const auto dir = simhost_test::SandboxFor();
    simhost::Picture big;
    big.width = 64;
    big.height = 32;
    big.rgba.assign(64 * 32 * 4, 255);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* px = &big.rgba[(static_cast<std::size_t>(y) * 64 + x) * 4];
            const bool left = x < 32;
            px[0] = left ? 200 : 0;
            px[1] = left ? 0 : 100;
            px[2] = (x + y) % 2 ? 60 : 20;  // a fine pattern that averages to 40
        }
    std::string why;
    ASSERT_TRUE(simhost::WritePng(dir / "big.png", big, &why)) << why;
    int status = -1;
    std::string text =
        RunSim("--shrink " + Q(dir / "big.png") + " " + Q(dir / "small.png") + " 16", &status);
    ASSERT_EQ(status, 0) << text;
    simhost::Picture small;
    ASSERT_TRUE(simhost::ReadPng(dir / "small.png", &small, &why)) << why;
    EXPECT_EQ(small.width, 16);
    EXPECT_EQ(small.height, 8);
    const std::uint8_t* leftPixel = &small.rgba[(3 * 16 + 2) * 4];
    const std::uint8_t* rightPixel = &small.rgba[(3 * 16 + 13) * 4];
    EXPECT_EQ(leftPixel[0], 200);
    EXPECT_EQ(leftPixel[1], 0);
    EXPECT_EQ(leftPixel[2], 40);
    EXPECT_EQ(rightPixel[0], 0);
    EXPECT_EQ(rightPixel[1], 100);
    // Never wider than it was; a bad width or file is said.
    text = RunSim("--shrink " + Q(dir / "big.png") + " " + Q(dir / "same.png") + " 200", &status);
    ASSERT_EQ(status, 0) << text;
    ASSERT_TRUE(simhost::ReadPng(dir / "same.png", &small, &why)) << why;
    EXPECT_EQ(small.width, 64);
    text = RunSim("--shrink " + Q(dir / "big.png") + " " + Q(dir / "x.png") + " 0", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(text.find("WIDTH is from 16 to 4096 pixels"), std::string::npos) << text;
    text = RunSim("--shrink " + Q(dir / "none.png") + " " + Q(dir / "x.png") + " 16", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(text.find("cannot read"), std::string::npos) << text;
}

TEST(PictureIndex, ARunListsItsPicturesInTheOrderTakenWithTheirLabels) {
    std::string why;
    if (!simhost::GraphicsAvailable(&why)) GTEST_SKIP() << "no OpenGL context: " << why;
    const auto out = simhost_test::SandboxFor();
    simhost::scenario::Script s;
    std::string error;
    ASSERT_TRUE(simhost::scenario::ParseScript(
        "picture z-first size 64x36 label \"The first\"\npicture a-second view top size 64x36\n",
        "s.txt", &s, &error))
        << error;
    simhost::scenario::RunOptions o;
    o.out = out;
    const auto r = simhost::scenario::RunScript(s, o);
    ASSERT_TRUE(r.ok) << r.error;
    std::vector<std::filesystem::path> pictures;
    std::vector<std::string> labels;
    ASSERT_TRUE(simhost::scenario::ReadPictureIndex(out / "pictures", &pictures, &labels, &error))
        << error;
    EXPECT_EQ(pictures, (std::vector<std::filesystem::path>{out / "pictures" / "z-first.png",
                                                            out / "pictures" / "a-second.png"}));
    EXPECT_EQ(labels, (std::vector<std::string>{"The first", "a-second"}));
}

}  // namespace
