// The host's graphics: the OpenGL context behind the SDK's texture and state calls, pictures of
// the scene, night, host text in pictures, animations, and one consistent state per frame.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>

#include "scenario/scenario.h"
#include "support.h"

namespace {

using simhost_test::HostTest;

class Graphics : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        ResetHost(11410);  // OpenGL: the 3-D phases are called
        std::string why;
        if (!simhost::GraphicsAvailable(&why))
            GTEST_SKIP() << "no OpenGL context on this machine: " << why;
    }

    simhost::Picture Take(const std::string& view, int w = 320, int h = 180) {
        simhost::Picture p;
        std::string error;
        simhost::PictureRequest r;
        r.view = view;
        r.width = w;
        r.height = h;
        EXPECT_TRUE(simhost::TakePicture(r, &p, &error)) << error;
        return p;
    }
};

struct Rgb {
    int r, g, b;
    int Sum() const { return r + g + b; }
};

Rgb At(const simhost::Picture& p, int x, int y) {
    const std::uint8_t* px = &p.rgba[(static_cast<std::size_t>(y) * p.width + x) * 4];
    return {px[0], px[1], px[2]};
}

TEST_F(Graphics, TextureNumbersAreRealTexturesOfTheContext) {
    int ids[2] = {0, 0};
    XPLMGenerateTextureNumbers(ids, 2);
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(ids[0])) || ids[0] > 0);
    XPLMBindTexture2d(ids[1], 0);
    const unsigned char pixels[4 * 4 * 4] = {};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    GLint width = 0, bound = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(bound, ids[1]);
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(ids[1])));
}

TEST_F(Graphics, GraphicsStateSwitchesTheMatchingCapabilities) {
    XPLMSetGraphicsState(0, 1, 1, 0, 1, 1, 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_FALSE);
    XPLMSetGraphicsState(1, 0, 0, 1, 0, 0, 1);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(Graphics, PictureFileHasTheAskedSizeAndTakesOneFrame) {
    const long long before = simhost::FrameCount();
    simhost::Picture p = Take("outside", 400, 224);
    EXPECT_EQ(simhost::FrameCount(), before + 1);
    ASSERT_EQ(p.width, 400);
    ASSERT_EQ(p.height, 224);
    const auto file = config_.sandbox / "out" / "stand.png";
    std::string error;
    ASSERT_TRUE(simhost::WritePng(file, p, &error)) << error;
    simhost::Picture back;
    ASSERT_TRUE(simhost::ReadPng(file, &back, &error)) << error;
    EXPECT_EQ(back.width, 400);
    EXPECT_EQ(back.height, 224);
    EXPECT_EQ(back.rgba, p.rgba);
}

TEST_F(Graphics, OutsideViewShowsSkyAboveAndGroundBelowWithTheAircraftBetween) {
    simhost::Picture p = Take("outside");
    const Rgb sky = At(p, 5, 3), ground = At(p, 160, 175);
    EXPECT_GT(sky.b, sky.r + 30) << "sky is blue";
    EXPECT_LT(std::abs(ground.r - ground.b), 30) << "apron concrete is grey";
    // The aircraft's white fuselage: some pixels much brighter than the apron.
    int bright = 0;
    for (int y = 40; y < 140; ++y)
        for (int x = 0; x < p.width; ++x) bright += At(p, x, y).Sum() > 640 ? 1 : 0;
    EXPECT_GT(bright, 60);
}

TEST_F(Graphics, TheTrailViewFramesTheAircraftsPathDrawnInBlue) {
    XPLMDataRef x = XPLMFindDataRef("sim/flightmodel/position/local_x");
    XPLMDataRef z = XPLMFindDataRef("sim/flightmodel/position/local_z");
    const double x0 = XPLMGetDatad(x), z0 = XPLMGetDatad(z);
    simhost::ShowTrail(true);
    for (int k = 1; k <= 80; ++k) {  // 40 m south, half a metre a frame
        XPLMSetDatad(z, z0 + 0.5 * k);
        simhost::RunFrames(1);
    }
    const simhost::Picture p = Take("trail", 300, 300);
    double sx = 0, sy = 0, ex = 0, ey = 0;
    ASSERT_TRUE(simhost::ProjectToPicture(p, x0, 0.0, z0, &sx, &sy));
    ASSERT_TRUE(simhost::ProjectToPicture(p, x0, 0.0, z0 + 40, &ex, &ey));
    // North up: the start above the end, both inside the picture.
    EXPECT_LT(sy, ey);
    for (double v : {sx, sy, ex, ey}) {
        EXPECT_GT(v, 0.0);
        EXPECT_LT(v, 300.0);
    }
    // Along the first part of the path, far from the aircraft now: blue, where the same
    // picture without the trail has none.
    auto blueAlongTheStart = [&](const simhost::Picture& picture) {
        int blue = 0;
        for (int k = 0; k < 20; ++k) {
            const double t = 0.02 * k;
            const Rgb c = At(picture, static_cast<int>(sx + t * (ex - sx)),
                             static_cast<int>(sy + t * (ey - sy)));
            blue += c.b > c.r + 60 ? 1 : 0;
        }
        return blue;
    };
    EXPECT_GE(blueAlongTheStart(p), 15);
    simhost::ShowTrail(false);
    EXPECT_EQ(blueAlongTheStart(Take("trail", 300, 300)), 0);
}

TEST_F(Graphics, NightDimsGroundAndSky) {
    simhost::Picture day = Take("outside");
    ASSERT_TRUE(simhost::SetDataref("sim/graphics/scenery/percent_lights_on", 0.9));
    simhost::Picture night = Take("outside");
    for (auto [x, y] : {std::pair{160, 175}, std::pair{5, 3}, std::pair{300, 100}}) {
        EXPECT_LT(At(night, x, y).Sum() * 2, At(day, x, y).Sum()) << x << "," << y;
        EXPECT_GT(At(night, x, y).Sum(), 0) << "dim, not black";
    }
}

// A red mark by the nose, drawn by a phase-25 callback: a square lying on the ground (seen
// from above) and one standing on it (seen from the side).
double g_mark[3];
int DrawMark(XPLMDrawingPhase, int, void*) {
    XPLMSetGraphicsState(0, 0, 0, 0, 0, 1, 1);
    glColor3f(1, 0, 0);
    const double x = g_mark[0], y = g_mark[1], z = g_mark[2];
    glBegin(GL_QUADS);
    glVertex3d(x - 1.5, y + 0.3, z - 1.5);
    glVertex3d(x + 1.5, y + 0.3, z - 1.5);
    glVertex3d(x + 1.5, y + 0.3, z + 1.5);
    glVertex3d(x - 1.5, y + 0.3, z + 1.5);
    glVertex3d(x - 1.5, y, z);
    glVertex3d(x + 1.5, y, z);
    glVertex3d(x + 1.5, y + 2, z);
    glVertex3d(x - 1.5, y + 2, z);
    glEnd();
    return 1;
}

TEST_F(Graphics, ObjectDrawnInAPhaseAppearsWhereTheCameraProjectsIt) {
    // 8 m to the right of the aircraft's axis and 25 m ahead of its reference point.
    const double psi = simhost::GetDataref("sim/flightmodel/position/psi") * std::numbers::pi / 180;
    const double bx = 8, bz = -25;
    g_mark[0] = simhost::GetDataref("sim/flightmodel/position/local_x") + bx * std::cos(psi) -
                bz * std::sin(psi);
    g_mark[1] = 0;
    g_mark[2] = simhost::GetDataref("sim/flightmodel/position/local_z") + bx * std::sin(psi) +
                bz * std::cos(psi);
    simhost::Picture empty = Take("top", 320, 320);
    ASSERT_EQ(XPLMRegisterDrawCallback(DrawMark, xplm_Phase_Airplanes, 0, nullptr), 1);
    for (const char* view : {"outside", "top"}) {
        simhost::Picture p = Take(view, 320, 320);
        const double lift = std::string(view) == "top" ? 0.3 : 1.0;
        double px = 0, py = 0;
        ASSERT_TRUE(simhost::ProjectToPicture(p, g_mark[0], lift, g_mark[2], &px, &py));
        ASSERT_GT(px, 2);
        ASSERT_LT(px, 318);
        ASSERT_GT(py, 2);
        ASSERT_LT(py, 318);
        const Rgb c = At(p, static_cast<int>(px), static_cast<int>(py));
        EXPECT_GT(c.r, 200) << view;
        EXPECT_LT(c.g, 40) << view;
        if (std::string(view) != "top") continue;
        // Nothing red where the empty scene had no red, away from the mark.
        const Rgb before = At(empty, static_cast<int>(px), static_cast<int>(py));
        EXPECT_LT(before.r - before.g, 60);
        EXPECT_EQ(At(p, 10, 10).Sum(), At(empty, 10, 10).Sum());
    }
}

void DrawHello(XPLMWindowID window, void*) {
    int l, t, r, b;
    XPLMGetWindowGeometry(window, &l, &t, &r, &b);
    XPDrawWindow(l, t, r, b, xpWindow_Screen);
    float white[3] = {1, 1, 1};
    char hello[] = "HELLO";  // writable: older SDK releases take char*
    XPLMDrawString(white, l + 10, b + 10, hello, nullptr, xplmFont_Basic);
}

TEST_F(Graphics, WindowsAndTheirTextAreDrawnIntoPicturesWithTheBitmapFont) {
    // A window in the lower left of a 1280x720 screen; the picture has the screen's size.
    config_.screenWidth = 1280;
    config_.screenHeight = 720;
    ResetHost();
    XPLMCreateWindow(100, 140, 300, 100, 1, DrawHello, nullptr, nullptr, nullptr);
    simhost::Picture p = Take("outside", 1280, 720);
    // Text baseline at y 110 (from the bottom): rows 610 to 603 from the top hold the glyphs,
    // 5 characters of 6 pixels from x 110.
    int white = 0, inside = 0;
    for (int y = 720 - 117; y <= 720 - 110; ++y)
        for (int x = 110; x < 140; ++x) {
            const Rgb c = At(p, x, y);
            white += c.Sum() > 700 ? 1 : 0;
            ++inside;
        }
    EXPECT_GT(white, 40);      // "HELLO" has 73 dots
    EXPECT_LT(white, inside);  // and gaps between them
    // Beside the text, the dark screen-style panel of XPDrawWindow.
    const Rgb panel = At(p, 250, 720 - 120);
    EXPECT_LT(panel.Sum(), 120);
    // Ordinary frames keep recording the text as before.
    ASSERT_FALSE(simhost::Windows().empty());
    EXPECT_EQ(simhost::Windows().back().textLastFrame, std::vector<std::string>{"HELLO"});
}

XPLMCameraPosition_t g_seen{};
int ReadCamera(XPLMDrawingPhase, int, void*) {
    XPLMReadCameraPosition(&g_seen);
    return 1;
}

TEST_F(Graphics, DrawCallbacksReadTheCameraThePictureIsDrawnFrom) {
    ASSERT_EQ(XPLMRegisterDrawCallback(ReadCamera, xplm_Phase_Airplanes, 0, nullptr), 1);
    simhost::Picture p = Take("outside");
    // The eye of a model-view matrix: -R^T t.
    const double* m = p.modelview;
    double eye[3];
    for (int r = 0; r < 3; ++r)
        eye[r] = -(m[r * 4 + 0] * m[12] + m[r * 4 + 1] * m[13] + m[r * 4 + 2] * m[14]);
    EXPECT_NEAR(g_seen.x, eye[0], 1e-3);
    EXPECT_NEAR(g_seen.y, eye[1], 1e-3);
    EXPECT_NEAR(g_seen.z, eye[2], 1e-3);
    EXPECT_LT(g_seen.pitch, 0) << "looking down at the nose gear";
    // A point straight ahead of that camera lands in the middle of the picture.
    const double h = g_seen.heading * std::numbers::pi / 180,
                 pt = g_seen.pitch * std::numbers::pi / 180;
    double px = 0, py = 0;
    ASSERT_TRUE(simhost::ProjectToPicture(p, eye[0] + 20 * std::sin(h) * std::cos(pt),
                                          eye[1] + 20 * std::sin(pt),
                                          eye[2] - 20 * std::cos(h) * std::cos(pt), &px, &py));
    EXPECT_NEAR(px, p.width / 2.0, 1.0);
    EXPECT_NEAR(py, p.height / 2.0, 1.0);
    // Ordinary frames read the simulator's camera as before.
    simhost::RunFrames(1);
    EXPECT_FLOAT_EQ(g_seen.x, simhost::CameraPose().x);
}

int g_drawn = 0;
int CountDraws(XPLMDrawingPhase, int, void*) {
    ++g_drawn;
    return 1;
}

TEST_F(Graphics, DrawCallbacksRunEveryFrameNotOnlyOnPictureFrames) {
    g_drawn = 0;
    ASSERT_EQ(XPLMRegisterDrawCallback(CountDraws, xplm_Phase_Airplanes, 0, nullptr), 1);
    simhost::RunFrames(10);
    EXPECT_EQ(g_drawn, 10);
    Take("top");
    EXPECT_EQ(g_drawn, 11);
}

// Reads the chunk types of a PNG file in order.
std::vector<std::string> Chunks(const std::filesystem::path& file, std::vector<std::string>* data) {
    std::ifstream in(file, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> types;
    if (all.size() < 8 || all.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return types;
    std::size_t k = 8;
    auto u32 = [&](std::size_t at) {
        return (static_cast<std::uint32_t>(static_cast<unsigned char>(all[at])) << 24) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(all[at + 1])) << 16) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(all[at + 2])) << 8) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(all[at + 3]));
    };
    while (k + 12 <= all.size()) {
        const std::uint32_t len = u32(k);
        if (k + 12 + len > all.size()) break;
        const std::string type = all.substr(k + 4, 4);
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(all.data() + k + 4), len + 4);
        EXPECT_EQ(crc, u32(k + 8 + len)) << "CRC of chunk " << types.size() << " " << type;
        types.push_back(type);
        data->push_back(all.substr(k + 8, len));
        k += 12 + len;
    }
    return types;
}

TEST_F(Graphics, AnimationTakesAFrameEveryIntervalAndWritesAnAnimatedPng) {
    simhost::PictureRequest r;
    r.view = "top";
    r.width = 96;
    r.height = 64;
    std::string error;
    ASSERT_TRUE(simhost::StartAnimation(r, 0.5, &error)) << error;
    simhost::RunSeconds(2.0);  // frames at 1/30 s, then 0.5, 1.0, 1.5 and 2.0 s
    EXPECT_EQ(simhost::AnimationFrames(), 5);
    const auto file = config_.sandbox / "anim.png";
    ASSERT_TRUE(simhost::StopAnimation(file, &error)) << error;
    EXPECT_FALSE(simhost::AnimationRunning());
    std::vector<std::string> data;
    std::vector<std::string> types = Chunks(file, &data);
    ASSERT_GE(types.size(), 4u);
    EXPECT_EQ(types.front(), "IHDR");
    EXPECT_EQ(types[1], "acTL");
    EXPECT_EQ(static_cast<unsigned char>(data[1][3]), 5);  // number of frames
    int fctl = 0, fdat = 0, idat = 0;
    for (const std::string& t : types) {
        fctl += t == "fcTL";
        fdat += t == "fdAT";
        idat += t == "IDAT";
    }
    EXPECT_EQ(fctl, 5);
    EXPECT_EQ(idat, 1);
    EXPECT_EQ(fdat, 4);
    EXPECT_EQ(types.back(), "IEND");
    // A plain PNG reader sees the first frame.
    simhost::Picture first;
    ASSERT_TRUE(simhost::ReadPng(file, &first, &error)) << error;
    EXPECT_EQ(first.width, 96);
    EXPECT_EQ(first.height, 64);
}

TEST_F(Graphics, ContactSheetHoldsEveryPictureWithALabel) {
    std::vector<std::filesystem::path> files;
    std::string error;
    for (const char* view : {"outside", "top", "tug"}) {
        simhost::Picture p = Take(view, 640, 360);
        files.push_back(config_.sandbox / (std::string(view) + ".png"));
        ASSERT_TRUE(simhost::WritePng(files.back(), p, &error)) << error;
    }
    const auto sheet = config_.sandbox / "sheet.png";
    ASSERT_TRUE(simhost::WriteContactSheet(sheet, files, {"a", "b", "c"}, 2, "Sheet", &error))
        << error;
    simhost::Picture s;
    ASSERT_TRUE(simhost::ReadPng(sheet, &s, &error)) << error;
    EXPECT_GT(s.width, 2 * 480);
    EXPECT_LT(s.width, 3 * 480);
    EXPECT_GT(s.height, 2 * 270);
}

// The track fix: a frame's records hold the heading the plug-in wrote in that frame.
float TurnTo123(float, float, int, void*) {
    XPLMDataRef q = XPLMFindDataRef("sim/flightmodel/position/q");
    const double h = 123.0 * std::numbers::pi / 360;  // half angle
    float quat[4] = {static_cast<float>(std::cos(h)), 0, 0, static_cast<float>(std::sin(h))};
    XPLMSetDatavf(q, quat, 0, 4);
    XPLMSetDatad(XPLMFindDataRef("sim/flightmodel/position/local_x"), 5.0);
    return 0;
}

TEST_F(Graphics, HeadingFollowsTheQuaternionWrittenInTheSameFrame) {
    XPLMRegisterFlightLoopCallback(TurnTo123, -1.0f, nullptr);
    double seenHeading = 0, seenX = 0;
    simhost::SetAfterFrameHook([&] {
        seenHeading = simhost::GetDataref("sim/flightmodel/position/psi");
        seenX = simhost::GetDataref("sim/flightmodel/position/local_x");
    });
    simhost::RunFrames(1);
    simhost::SetAfterFrameHook(nullptr);
    EXPECT_DOUBLE_EQ(seenX, 5.0);
    EXPECT_NEAR(seenHeading, 123.0, 1e-3);
}

}  // namespace
