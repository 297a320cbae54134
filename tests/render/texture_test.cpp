// The decoders, the colour key, the upload's size rule and the quad drawing, on pictures made
// in memory and in temporary files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "fake_host.h"
#include "image_builders.h"
#include "render/lighting.h"
#include "render/texture.h"
#include "test_folder.h"

namespace tarvosk {
namespace {

using testing::Bytes;

class TempFiles {
  public:
    TempFiles() : path_(testing::FreshFolder().string()) {}
    std::string write(const std::string& name, const Bytes& bytes) const {
        const std::string path = path_ + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

  private:
    std::string path_;
};

class TextureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        ResolveLightingDatarefs();  // the plug-in does it at start
    }
};

// ---- PNG -----------------------------------------------------------------------------------

TEST_F(TextureTest, PngRowsLandBottomUpWithTheirOwnChannels) {
    const Bytes rgb = testing::pattern(5, 3, 3);
    ImageBuffer image;
    const Bytes png = testing::makeNeutralPng(5, 3, 3, rgb);
    ASSERT_TRUE(DecodePng(png.data(), png.size(), image));
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.height, 3u);
    EXPECT_EQ(image.channels, 3);
    EXPECT_EQ(image.rowPadding, 0u);
    EXPECT_EQ(image.pixels, testing::flipRows(rgb, 5, 3, 3));

    const Bytes rgba = testing::pattern(4, 2, 4);
    const Bytes png4 = testing::makeNeutralPng(4, 2, 4, rgba);
    ASSERT_TRUE(DecodePng(png4.data(), png4.size(), image));
    EXPECT_EQ(image.channels, 4);
    EXPECT_EQ(image.pixels, testing::flipRows(rgba, 4, 2, 4));
}

TEST_F(TextureTest, PngWithoutGammaChunkIsCorrectedFromGamma1Point8To2Point2) {
    const Bytes grey = {0, 128, 255};
    const Bytes png = testing::makePng(3, 1, PNG_COLOR_TYPE_GRAY, 8, grey);
    ImageBuffer image;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), image));
    ASSERT_EQ(image.channels, 3);  // grey becomes RGB
    EXPECT_EQ(image.pixels, (Bytes{0, 0, 0, 145, 145, 145, 255, 255, 255}));
}

TEST_F(TextureTest, PalettePngWithTransparencyDecodesToRgbaWithTheChunksAlpha) {
    const Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    const Bytes indices = {0, 1, 2, 1};
    const Bytes png = testing::makePng(4, 1, PNG_COLOR_TYPE_PALETTE, 8, indices, 1.0 / 2.2, palette,
                                       Bytes{0, 128});
    ImageBuffer image;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), image));
    ASSERT_EQ(image.channels, 4);
    EXPECT_EQ(image.pixels, (Bytes{255, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 255, 0, 255, 0, 128}));
}

TEST_F(TextureTest, SixteenBitRgbaPngIsStrippedToEightBits) {
    Bytes rows;
    for (int i = 0; i < 2; ++i) {
        for (uint8_t v : {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF, 0x80, 0x00}) rows.push_back(v);
    }
    const Bytes png = testing::makePng(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, rows, 1.0 / 2.2);
    ImageBuffer image;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), image));
    ASSERT_EQ(image.channels, 4);
    EXPECT_EQ(image.pixels, (Bytes{0x12, 0xAB, 0xFF, 0x80, 0x12, 0xAB, 0xFF, 0x80}));
}

TEST_F(TextureTest, TruncatedOrForeignPngIsRefusedAndTheTextureIsUnchanged) {
    const Bytes png = testing::makeNeutralPng(16, 16, 3, testing::pattern(16, 16, 3));
    ImageBuffer image;
    for (size_t cut :
         {size_t{0}, size_t{7}, size_t{8}, size_t{33}, png.size() / 2, png.size() - 13}) {
        EXPECT_FALSE(DecodePng(png.data(), cut, image)) << "cut at " << cut;
    }
    EXPECT_TRUE(image.pixels.empty());
    Bytes notPng = png;
    notPng[1] = 'Q';
    EXPECT_FALSE(DecodePng(notPng.data(), notPng.size(), image));

    TempFiles files;
    const std::string path = files.write("cut.png", Bytes(png.begin(), png.begin() + 60));
    Texture texture;
    texture.uploadOnLoad = true;
    texture.textureNumber = 42;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadPngTexture(texture, path));
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("PNG Read Error, overran end of buffer!"), std::string::npos) << errors;
    EXPECT_EQ(texture.textureNumber, 42);
    EXPECT_EQ(texture.width, 0u);
    EXPECT_TRUE(fake::host().liveTextures.empty());
}

TEST_F(TextureTest, PngWiderThan8192IsRefused) {
    const Bytes row(8193, 7);
    const Bytes png = testing::makePng(8193, 1, PNG_COLOR_TYPE_GRAY, 8, row, 1.0 / 2.2);
    ImageBuffer image;
    EXPECT_FALSE(DecodePng(png.data(), png.size(), image));
    const Bytes fits(8192, 7);
    const Bytes png2 = testing::makePng(8192, 1, PNG_COLOR_TYPE_GRAY, 8, fits, 1.0 / 2.2);
    EXPECT_TRUE(DecodePng(png2.data(), png2.size(), image));
}

TEST_F(TextureTest, PngDecodesEachKeepTheirOwnCursor) {
    // Two different pictures one after the other, the second shorter than the first: a shared
    // cursor left over from the first would read past the second's end.
    const Bytes big = testing::makeNeutralPng(64, 64, 4, testing::pattern(64, 64, 4));
    const Bytes small = testing::makeNeutralPng(2, 2, 3, testing::pattern(2, 2, 3));
    ImageBuffer a;
    ImageBuffer b;
    ASSERT_TRUE(DecodePng(big.data(), big.size(), a));
    ASSERT_TRUE(DecodePng(small.data(), small.size(), b));
    EXPECT_EQ(b.pixels, testing::flipRows(testing::pattern(2, 2, 3), 2, 2, 3));
}

// ---- TGA -----------------------------------------------------------------------------------

TEST_F(TextureTest, TgaSwapsToRgbAndKeepsItsOwnAlpha) {
    const Bytes rgb = testing::pattern(3, 2, 3);
    const Bytes tga = testing::makeTga(3, 2, 24, rgb);
    ImageBuffer image;
    ASSERT_TRUE(DecodeTga(tga.data(), tga.size(), image));
    EXPECT_EQ(image.channels, 3);
    EXPECT_EQ(image.pixels, testing::flipRows(rgb, 3, 2, 3));

    const Bytes rgba = testing::pattern(3, 2, 4);
    const Bytes tga32 = testing::makeTga(3, 2, 32, rgba);
    ASSERT_TRUE(DecodeTga(tga32.data(), tga32.size(), image));
    EXPECT_EQ(image.channels, 4);
    EXPECT_EQ(image.pixels, testing::flipRows(rgba, 3, 2, 4));
}

TEST_F(TextureTest, TgaOriginBitIsNotConsultedSoTopDownFilesComeOutUpsideDown) {
    const Bytes rgb = testing::pattern(2, 3, 3);
    Bytes tga = testing::makeTga(2, 3, 24, rgb);
    tga[17] = 0x20;  // top-left origin
    ImageBuffer image;
    ASSERT_TRUE(DecodeTga(tga.data(), tga.size(), image));
    ImageBuffer plain;
    tga[17] = 0;
    ASSERT_TRUE(DecodeTga(tga.data(), tga.size(), plain));
    EXPECT_EQ(image.pixels, plain.pixels);
}

TEST_F(TextureTest, TgaHeadersOtherThanUncompressedTrueColourAreRefused) {
    const Bytes good = testing::makeTga(2, 2, 24, testing::pattern(2, 2, 3));
    ImageBuffer image;
    Bytes idField = good;
    idField[0] = 4;
    EXPECT_FALSE(DecodeTga(idField.data(), idField.size(), image));
    Bytes rle = good;
    rle[2] = 10;
    EXPECT_FALSE(DecodeTga(rle.data(), rle.size(), image));
    Bytes sixteen = good;
    sixteen[16] = 16;
    EXPECT_FALSE(DecodeTga(sixteen.data(), sixteen.size(), image));
    Bytes origin = good;
    origin[10] = 2;  // y origin
    EXPECT_FALSE(DecodeTga(origin.data(), origin.size(), image));
    Bytes zeroWide = good;
    testing::put16(zeroWide, 12, 0);
    EXPECT_FALSE(DecodeTga(zeroWide.data(), zeroWide.size(), image));
    EXPECT_FALSE(DecodeTga(good.data(), 17, image));
    EXPECT_TRUE(image.pixels.empty());
}

TEST_F(TextureTest, TgaAskingForMorePixelsThanTheFileHoldsIsRefused) {
    const Bytes good = testing::makeTga(4, 4, 32, testing::pattern(4, 4, 4));
    ImageBuffer image;
    EXPECT_FALSE(DecodeTga(good.data(), good.size() - 1, image));
    Bytes huge = good;
    testing::put16(huge, 12, 0xFFFF);
    testing::put16(huge, 14, 0xFFFF);
    EXPECT_FALSE(DecodeTga(huge.data(), huge.size(), image));
    // Wider than 8192 even with every byte present.
    const Bytes wide = testing::makeTga(8193, 1, 24, Bytes(8193 * 3, 9));
    EXPECT_FALSE(DecodeTga(wide.data(), wide.size(), image));
}

// ---- BMP -----------------------------------------------------------------------------------

TEST_F(TextureTest, BmpRowsKeepTheirPaddingAndSwapToRgb) {
    const Bytes rgb = testing::pattern(5, 3, 3);  // 15-byte rows, padded to 16
    const Bytes bmp = testing::makeBmp(5, 3, rgb);
    ImageBuffer image;
    ASSERT_TRUE(DecodeBmp(bmp.data(), bmp.size(), image));
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.height, 3u);
    EXPECT_EQ(image.rowPadding, 1u);
    ASSERT_EQ(image.pixels.size(), 48u);
    const Bytes bottomUp = testing::flipRows(rgb, 5, 3, 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_TRUE(std::equal(bottomUp.begin() + row * 15, bottomUp.begin() + row * 15 + 15,
                               image.pixels.begin() + row * 16))
            << "row " << row;
    }
}

TEST_F(TextureTest, BmpPixelsAreReadFromTheHeadersOffset) {
    const Bytes rgb = testing::pattern(4, 2, 3);
    const Bytes bmp = testing::makeBmp(4, 2, rgb, 1024);  // a palette-sized gap first
    ImageBuffer image;
    ASSERT_TRUE(DecodeBmp(bmp.data(), bmp.size(), image));
    EXPECT_EQ(image.pixels, testing::flipRows(rgb, 4, 2, 3));
}

TEST_F(TextureTest, BmpWithBadHeadersIsRefusedBeforeAnyAllocation) {
    const Bytes good = testing::makeBmp(4, 4, testing::pattern(4, 4, 3));
    ImageBuffer image;
    Bytes notBm = good;
    notBm[0] = 'X';
    EXPECT_FALSE(DecodeBmp(notBm.data(), notBm.size(), image));
    Bytes eightBit = good;
    testing::put16(eightBit, 28, 8);
    EXPECT_FALSE(DecodeBmp(eightBit.data(), eightBit.size(), image));
    Bytes topDown = testing::makeBmp(4, -4, testing::pattern(4, 4, 3));
    EXPECT_FALSE(DecodeBmp(topDown.data(), topDown.size(), image));
    Bytes sizeField = good;
    testing::put32(sizeField, 2, 54 + 4 * 4 * 3 - 1);
    EXPECT_FALSE(DecodeBmp(sizeField.data(), sizeField.size(), image));
    // A size field that agrees with a huge header, over a small file.
    Bytes huge = good;
    testing::put32(huge, 18, 0x7FFFFFFF);
    testing::put32(huge, 22, 0x7FFFFFFF);
    testing::put32(huge, 2, 0xFFFFFFFF);
    EXPECT_FALSE(DecodeBmp(huge.data(), huge.size(), image));
    Bytes tall = good;
    testing::put32(tall, 22, 8193);
    testing::put32(tall, 2, 0xFFFFFFFF);
    EXPECT_FALSE(DecodeBmp(tall.data(), tall.size(), image));
    EXPECT_FALSE(DecodeBmp(good.data(), good.size() - 1, image));
    EXPECT_FALSE(DecodeBmp(good.data(), 53, image));
    EXPECT_TRUE(image.pixels.empty());
}

// ---- Colour key and loaders ----------------------------------------------------------------

TEST_F(TextureTest, ColourKeyMakesMagentaTransparentAndDropsRowPadding) {
    ImageBuffer image;
    image.width = 2;
    image.height = 2;
    image.channels = 3;
    image.rowPadding = 2;
    image.pixels = {255, 0, 255, 1, 2, 3, 0xEE, 0xEE, 254, 0, 255, 255, 0, 255, 0xEE, 0xEE};
    ApplyColourKey(image);
    EXPECT_EQ(image.channels, 4);
    EXPECT_EQ(image.rowPadding, 0u);
    EXPECT_EQ(image.pixels, (Bytes{0, 0, 0, 0, 1, 2, 3, 255, 254, 0, 255, 255, 0, 0, 0, 0}));
    const Bytes before = image.pixels;
    ApplyColourKey(image);  // four channels: left alone
    EXPECT_EQ(image.pixels, before);
}

TEST_F(TextureTest, MagentaIsTransparentInPngAndBmpButOpaqueInTga) {
    const Bytes magenta = {255, 0, 255, 10, 20, 30};
    TempFiles files;
    Texture png;
    ASSERT_TRUE(
        LoadPngTexture(png, files.write("m.png", testing::makeNeutralPng(2, 1, 3, magenta))));
    EXPECT_EQ(png.bitsPerPixel, 32);
    EXPECT_EQ(png.pixels, (Bytes{0, 0, 0, 0, 10, 20, 30, 255}));
    Texture bmp;
    ASSERT_TRUE(LoadBmpTexture(bmp, files.write("m.bmp", testing::makeBmp(2, 1, magenta))));
    EXPECT_EQ(bmp.pixels, (Bytes{0, 0, 0, 0, 10, 20, 30, 255}));
    Texture tga;
    ASSERT_TRUE(LoadTgaTexture(tga, files.write("m.tga", testing::makeTga(2, 1, 24, magenta))));
    EXPECT_EQ(tga.bitsPerPixel, 24);
    EXPECT_EQ(tga.pixels, magenta);
    // None asked for an upload.
    EXPECT_TRUE(fake::host().uploads.empty());
    EXPECT_EQ(tga.textureNumber, 0);
}

TEST_F(TextureTest, MissingFileFailsWithoutTouchingTheTexture) {
    Texture texture;
    texture.uploadOnLoad = true;
    EXPECT_FALSE(LoadPngTexture(texture, "/nonexistent/x.png"));
    EXPECT_FALSE(LoadTgaTexture(texture, "/nonexistent/x.tga"));
    EXPECT_FALSE(LoadBmpTexture(texture, "/nonexistent/x.bmp"));
    EXPECT_EQ(texture.textureNumber, 0);
    EXPECT_TRUE(fake::host().calls.empty());
}

// ---- Upload --------------------------------------------------------------------------------

Texture Uploaded(uint32_t w, uint32_t h, int channels) {
    Texture texture;
    texture.pixels = testing::flipRows(testing::pattern(w, h, channels), w, h, channels);
    texture.bitsPerPixel = channels * 8;
    texture.width = texture.imageWidth = w;
    texture.height = texture.imageHeight = h;
    UploadTexture(texture);
    return texture;
}

TEST_F(TextureTest, OneSidePowerOfTwoUploadsAtItsOwnSize) {
    const Texture t = Uploaded(256, 100, 4);
    ASSERT_EQ(fake::host().uploads.size(), 1u);
    EXPECT_EQ(fake::host().uploads[0].width, 256);
    EXPECT_EQ(fake::host().uploads[0].height, 100);
    EXPECT_EQ(t.width, 256u);
    EXPECT_EQ(t.height, 100u);
    EXPECT_TRUE(t.pixels.empty());
    EXPECT_EQ(t.textureNumber, 1);
    EXPECT_EQ(fake::host().calls,
              (std::vector<std::string>{
                  "XPLMSetGraphicsState(0,0,0,1,1,0,0)", "XPLMGenerateTextureNumbers(1)",
                  "XPLMBindTexture2d(1,0)", "XPLMBindTexture2d(1,0)", "glTexParameterf(MIN,9729)",
                  "glTexParameterf(MAG,9729)", "glTexImage2D(0,256,100,RGBA)"}));
}

TEST_F(TextureTest, OtherSizesArePaddedIntoAZeroedCanvasWithThePictureTopLeft) {
    const Texture t = Uploaded(300, 100, 4);
    ASSERT_EQ(fake::host().uploads.size(), 1u);
    const fake::Upload& u = fake::host().uploads[0];
    ASSERT_EQ(u.width, 512);
    ASSERT_EQ(u.height, 128);
    EXPECT_EQ(t.width, 512u);
    EXPECT_EQ(t.height, 128u);
    EXPECT_EQ(t.imageWidth, 300u);
    EXPECT_EQ(t.imageHeight, 100u);
    // Memory rows are bottom-up: the picture occupies canvas rows 28..127, columns 0..299.
    const Bytes expected = testing::flipRows(testing::pattern(300, 100, 4), 300, 100, 4);
    size_t wrong = 0;
    for (int row = 0; row < 128; ++row) {
        for (int column = 0; column < 512; ++column) {
            for (int c = 0; c < 4; ++c) {
                const uint8_t got = u.pixels[(size_t(row) * 512 + column) * 4 + c];
                const bool inside = row >= 28 && column < 300;
                const uint8_t want =
                    inside ? expected[(size_t(row - 28) * 300 + column) * 4 + c] : 0;
                wrong += got != want;
            }
        }
    }
    EXPECT_EQ(wrong, 0u);
}

TEST_F(TextureTest, OneByOneIsPaddedToTwoByTwo) {
    const Texture t = Uploaded(1, 1, 4);
    ASSERT_EQ(fake::host().uploads.size(), 1u);
    EXPECT_EQ(fake::host().uploads[0].width, 2);
    EXPECT_EQ(fake::host().uploads[0].height, 2);
    EXPECT_EQ(t.imageWidth, 1u);
    // The picture is the top-left pixel: the last memory row's first pixel.
    Bytes pixel(4);
    testing::patternPixel(0, 0, pixel.data(), 4);
    EXPECT_EQ(Bytes(fake::host().uploads[0].pixels.begin() + 8,
                    fake::host().uploads[0].pixels.begin() + 12),
              pixel);
}

TEST_F(TextureTest, UnalignedRgbRowsAreUploadedWithByteAlignment) {
    // 3 x 4 RGB: 9-byte rows. With GL's default 4-byte alignment GL would read 12 per row.
    Uploaded(3, 4, 3);
    ASSERT_EQ(fake::host().uploads.size(), 1u);
    EXPECT_EQ(fake::host().uploads[0].unpackAlignment, 1);
    EXPECT_EQ(fake::host().uploads[0].pixels,
              testing::flipRows(testing::pattern(3, 4, 3), 3, 4, 3));
    EXPECT_EQ(fake::host().unpackAlignment, 4);  // restored
}

// ---- Quad ----------------------------------------------------------------------------------

TEST_F(TextureTest, QuadUsesTextureSizeForCoordinatesAndDimsOnTransparentPanels) {
    Texture t;
    t.textureNumber = 7;
    t.width = 512;
    t.height = 128;
    DrawTexturedQuad(t, 0, 0, 256, 64, 10, 20, 100, 50, 0.0f);
    EXPECT_EQ(fake::host().calls,
              (std::vector<std::string>{
                  "XPLMSetGraphicsState(0,1,0,0,1,0,0)", "XPLMBindTexture2d(7,0)",
                  "XPLMGetDatai(sim/graphics/settings/transparent_panel)", "glColor4f(1,1,1,1)",
                  "glBegin(GL_QUADS)", "glTexCoord2f(0,0)", "glVertex2f(10,20)",
                  "glTexCoord2f(0,0.5)", "glVertex2f(10,70)", "glTexCoord2f(0.5,0.5)",
                  "glVertex2f(110,70)", "glTexCoord2f(0.5,0)", "glVertex2f(110,20)", "glEnd"}));

    fake::reset();
    fake::host().intData["sim/graphics/settings/transparent_panel"] = 1;
    DrawTexturedQuad(t, 0, 0, 256, 64, 10, 20, 101, 51, 90.0f);
    EXPECT_EQ(fake::findCall("glColor4f(1,1,1,0.4)"), 3);
    const int push = fake::findCall("glPushMatrix");
    ASSERT_GE(push, 0);
    EXPECT_EQ(fake::host().calls[push + 2], "glTranslatef(60,45,0)");  // integer halves
    EXPECT_EQ(fake::host().calls[push + 3], "glRotatef(90,0,0,1)");
    EXPECT_EQ(fake::host().calls[push + 4], "glTranslatef(-60,-45,0)");
    EXPECT_EQ(fake::host().calls.back(), "glPopMatrix");
    EXPECT_EQ(fake::host().matrixDepth, 1);
}

}  // namespace
}  // namespace tarvosk
