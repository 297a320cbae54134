// The decoders over real files: the PngSuite conformance set and the TGA and BMP samples of
// the test corpus (read in place, skipped when the corpus is absent).
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <filesystem>

#include "render/texture.h"

namespace tarvosk {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const std::string kImages = std::string(TARVOSK_CORPUS_DIR) + "/images";

Bytes ReadAll(const fs::path& path) {
    Bytes bytes;
    EXPECT_TRUE(ReadWholeFile(path.string(), bytes)) << path;
    return bytes;
}

uint32_t Be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// What the file's own header says, read straight from its chunks.
struct PngFacts {
    uint32_t width = 0, height = 0;
    int colourType = -1;
    bool transparency = false;
};

PngFacts Facts(const Bytes& file) {
    PngFacts facts;
    size_t at = 8;
    while (at + 8 <= file.size()) {
        const uint32_t length = Be32(&file[at]);
        const std::string type(file.begin() + at + 4, file.begin() + at + 8);
        if (type == "IHDR" && at + 8 + 13 <= file.size()) {
            facts.width = Be32(&file[at + 8]);
            facts.height = Be32(&file[at + 12]);
            facts.colourType = file[at + 17];
        }
        if (type == "tRNS") facts.transparency = true;
        if (type == "IDAT" || type == "IEND") break;
        at += 12 + size_t{length};
    }
    return facts;
}

// A plain libpng decode without any gamma handling, top-down, RGB or RGBA as the file has
// it: the reference the decoder's pixels are compared with.
struct Reference {
    uint32_t width = 0, height = 0;
    int channels = 0;
    double fileGamma = 0;  // 0: no gamma information in the file
    Bytes pixels;
};

struct ReadState {
    const Bytes* file;
    size_t at;
};

bool DecodeReference(const Bytes& file, Reference& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    ReadState state{&file, 0};
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &state, [](png_structp p, png_bytep data, png_size_t length) {
        auto* s = static_cast<ReadState*>(png_get_io_ptr(p));
        if (s->at + length > s->file->size()) png_error(p, "short");
        std::copy_n(s->file->data() + s->at, length, data);
        s->at += length;
    });
    png_read_info(png, info);
    double gamma = 0;
    if (png_get_gAMA(png, info, &gamma)) out.fileGamma = gamma;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.channels = png_get_channels(png, info);
    out.pixels.resize(size_t{out.width} * out.height * out.channels);
    for (uint32_t y = 0; y < out.height; ++y) {
        rows.push_back(out.pixels.data() + size_t{y} * out.width * out.channels);
    }
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// The colour value after the decoder's gamma step (screen 2.2, file gamma or 1/1.8).
int Corrected(uint8_t value, double fileGamma) {
    const double g = fileGamma > 0 ? fileGamma : 1.0 / 1.8;
    if (std::fabs(g * 2.2 - 1.0) < 0.05) return value;  // libpng leaves near-1 alone
    return static_cast<int>(std::lround(255.0 * std::pow(value / 255.0, 1.0 / (g * 2.2))));
}

// Pixel (x, y from the top) of a bottom-up decode.
const uint8_t* At(const ImageBuffer& image, uint32_t x, uint32_t y) {
    const size_t row = size_t{image.width} * image.channels + image.rowPadding;
    return image.pixels.data() + size_t{image.height - 1 - y} * row + size_t{x} * image.channels;
}

// GTEST_SKIP only returns from the function it stands in, so the check must be in the test's
// own body: from a helper, the test would carry on into the missing folder.
#define SKIP_WITHOUT_FOLDER(folder) \
    if (!fs::is_directory(folder)) GTEST_SKIP() << "corpus folder " << (folder) << " not present"

TEST(PngSuite, EveryValidFileDecodesWithItsSizeAndChannelsAndEveryCorruptOneIsRefused) {
    const std::string folder = kImages + "/pngsuite";
    SKIP_WITHOUT_FOLDER(folder);
    int valid = 0;
    int corrupt = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".png") continue;
        const Bytes file = ReadAll(entry.path());
        ImageBuffer image;
        ::testing::internal::CaptureStderr();  // libpng reports what it refuses
        const bool decoded = DecodePng(file.data(), file.size(), image);
        ::testing::internal::GetCapturedStderr();
        if (name[0] == 'x') {
            EXPECT_FALSE(decoded) << name;
            ++corrupt;
            continue;
        }
        ++valid;
        ASSERT_TRUE(decoded) << name;
        const PngFacts facts = Facts(file);
        EXPECT_EQ(image.width, facts.width) << name;
        EXPECT_EQ(image.height, facts.height) << name;
        const bool alpha = facts.colourType == 4 || facts.colourType == 6 || facts.transparency;
        EXPECT_EQ(image.channels, alpha ? 4 : 3) << name;
        EXPECT_EQ(image.pixels.size(), size_t{facts.width} * facts.height * image.channels);
    }
    EXPECT_GT(valid, 100);
    EXPECT_EQ(corrupt, 14);
}

TEST(PngSuite, ChosenFilesHaveTheReferencePixelsAfterGammaBottomUp) {
    const std::string folder = kImages + "/pngsuite";
    SKIP_WITHOUT_FOLDER(folder);
    for (const char* name :
         {"basn2c08.png", "basn6a08.png", "basn3p08.png", "basn0g08.png", "basi0g04.png",
          "tbrn2c08.png", "tbbn3p08.png", "g03n2c08.png", "g25n2c08.png", "basn2c16.png"}) {
        SCOPED_TRACE(name);
        const Bytes file = ReadAll(folder + "/" + name);
        Reference ref;
        ASSERT_TRUE(DecodeReference(file, ref));
        ImageBuffer image;
        ASSERT_TRUE(DecodePng(file.data(), file.size(), image));
        ASSERT_EQ(image.channels, ref.channels);
        int worst = 0;
        for (uint32_t y = 0; y < ref.height; ++y) {
            for (uint32_t x = 0; x < ref.width; ++x) {
                const uint8_t* want =
                    ref.pixels.data() + (size_t{y} * ref.width + x) * ref.channels;
                const uint8_t* got = At(image, x, y);
                for (int c = 0; c < 3; ++c) {
                    worst = std::max(worst, std::abs(got[c] - Corrected(want[c], ref.fileGamma)));
                }
                if (ref.channels == 4) worst = std::max(worst, std::abs(got[3] - want[3]));
            }
        }
        // 16-bit files are corrected before they are stripped: one step of rounding more.
        EXPECT_LE(worst, 2);
    }
}

// Compares a TGA or BMP decode with a reference PNG: colour channels, and alpha when both
// have it. `flipped`: the decode's first memory row is the reference's last row.
void ExpectMatchesReference(const ImageBuffer& image, const std::string& refPath, bool flipped) {
    Reference ref;
    ASSERT_TRUE(DecodeReference(ReadAll(refPath), ref));
    ASSERT_EQ(image.width, ref.width);
    ASSERT_EQ(image.height, ref.height);
    int differing = 0;
    for (uint32_t y = 0; y < ref.height; ++y) {
        for (uint32_t x = 0; x < ref.width; ++x) {
            const uint8_t* want = ref.pixels.data() + (size_t{y} * ref.width + x) * ref.channels;
            const uint8_t* got = At(image, x, flipped ? y : image.height - 1 - y);
            const int channels = image.channels == 4 && ref.channels == 4 ? 4 : 3;
            differing += !std::equal(want, want + channels, got);
        }
    }
    EXPECT_EQ(differing, 0) << refPath;
}

TEST(CorpusTga, UncompressedTrueColourFilesDecodeAndEverythingElseIsRefused) {
    const std::string folder = kImages + "/tga";
    SKIP_WITHOUT_FOLDER(folder);
    auto decode = [&](const char* name, ImageBuffer& image) {
        const Bytes file = ReadAll(folder + "/" + name);
        return DecodeTga(file.data(), file.size(), image);
    };
    ImageBuffer image;
    ASSERT_TRUE(decode("200x32_rgb_bl_raw.tga", image));
    EXPECT_EQ(image.channels, 3);
    ExpectMatchesReference(image, folder + "/ref/200x32_rgb.png", true);
    ASSERT_TRUE(decode("200x32_rgba_bl_raw.tga", image));
    EXPECT_EQ(image.channels, 4);
    ExpectMatchesReference(image, folder + "/ref/200x32_rgba.png", true);
    ASSERT_TRUE(decode("rgb32_bottom_left.tga", image));
    ExpectMatchesReference(image, folder + "/ref/rgb32.0.png", true);

    for (const char* refused :
         {"utc24.tga", "utc32.tga", "ctc24.tga", "ctc32.tga", "200x32_rgb_tl_raw.tga",
          "rgb24_bottom_left_rle.tga", "rgb32_top_left_rle.tga", "top_left.tga", "bottom_right.tga",
          "utc16.tga", "ucm8.tga", "ubw8.tga",
          // Their writers filled the origin fields, which the 12-byte header test wants zero.
          "rgb24_top_left.tga", "200x32_rgba_tl_raw.tga"}) {
        ImageBuffer none;
        EXPECT_FALSE(decode(refused, none)) << refused;
        EXPECT_TRUE(none.pixels.empty());
    }
}

TEST(CorpusBmp, TwentyFourBitBottomUpFilesDecodeAndEverythingElseIsRefused) {
    const std::string folder = kImages + "/bmp";
    SKIP_WITHOUT_FOLDER(folder);
    auto decode = [&](const char* name, ImageBuffer& image) {
        const Bytes file = ReadAll(folder + "/" + name);
        return DecodeBmp(file.data(), file.size(), image);
    };
    ImageBuffer image;
    ASSERT_TRUE(decode("rgb24.bmp", image));
    EXPECT_EQ(image.rowPadding, 3u);  // 127 pixels: 381-byte rows padded to 384
    ExpectMatchesReference(image, folder + "/ref/rgb24.png", true);
    ASSERT_TRUE(decode("rgb24pal.bmp", image));  // pixels after an unused palette
    ExpectMatchesReference(image, folder + "/ref/rgb24.png", true);
    ASSERT_TRUE(decode("Info_R8_G8_B8.bmp", image));
    EXPECT_EQ(image.width, 6u);
    EXPECT_EQ(image.rowPadding, 2u);
    ASSERT_TRUE(decode("V5_24_Bit.bmp", image));
    EXPECT_EQ(image.width, 435u);
    EXPECT_EQ(image.height, 353u);

    for (const char* refused :
         {"Info_R8_G8_B8_Top_Down.bmp", "pal8.bmp", "pal8topdown.bmp", "rgb32.bmp", "rgb32bf.bmp",
          "rgba32.bmp", "Info_A8_R8_G8_B8_Top_Down.bmp"}) {
        ImageBuffer none;
        EXPECT_FALSE(decode(refused, none)) << refused;
    }
}

}  // namespace
}  // namespace tarvosk
