// The picture and animation lines of a scenario: how they are read, a run that writes
// pictures, an animation and the contact sheet, and a run on a machine without graphics.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "scenario/scenario.h"
#include "support.h"

namespace {

std::string PictureLineError(const std::string& text) {
    simhost::scenario::Script s;
    std::string error;
    EXPECT_FALSE(simhost::scenario::ParseScript(text, "s.txt", &s, &error)) << text;
    return error;
}

TEST(PictureLines, BadLinesNameTheProblem) {
    EXPECT_EQ(PictureLineError("picture\n"),
              "s.txt:1: 'picture' needs a NAME of letters, digits, '-' and '_'");
    EXPECT_EQ(PictureLineError("picture ../up\n"),
              "s.txt:1: 'picture' needs a NAME of letters, digits, '-' and '_'");
    EXPECT_EQ(PictureLineError("picture a view inside\n"),
              "s.txt:1: view must be outside, top, trail, tug or screen");
    EXPECT_EQ(PictureLineError("animation start a view screen\n"),
              "s.txt:1: view must be outside, top or tug");  // animations show the scene
    EXPECT_EQ(PictureLineError("picture a size 10x10\n"),
              "s.txt:1: size must be WIDTHxHEIGHT, each from 16 to 4096");
    EXPECT_EQ(PictureLineError("picture a size 640x\n"),
              "s.txt:1: size must be WIDTHxHEIGHT, each from 16 to 4096");
    EXPECT_EQ(PictureLineError("picture a every 1s\n"),
              "s.txt:1: unknown word 'every' in 'picture'");
    EXPECT_EQ(PictureLineError("picture a view\n"), "s.txt:1: 'view' needs a value");
    EXPECT_EQ(PictureLineError("animation go\n"),
              "s.txt:1: 'animation' takes start NAME ... or stop");
    EXPECT_EQ(PictureLineError("animation stop now\n"),
              "s.txt:1: 'animation stop' takes nothing more");
    EXPECT_EQ(PictureLineError("animation start a every -1s\n"), "s.txt:1: bad interval '-1s'");
}

TEST(PictureLines, ViewSizeLabelAndIntervalAreRead) {
    simhost::scenario::Script s;
    std::string error;
    ASSERT_TRUE(simhost::scenario::ParseScript(
        "picture one\npicture two view top size 320x200 label \"Two, from above\"\n"
        "animation start film view tug size 64x48 every 250ms\nanimation stop\n",
        "s.txt", &s, &error))
        << error;
    ASSERT_EQ(s.steps.size(), 4u);
    EXPECT_EQ(s.steps[0].view, "outside");
    EXPECT_EQ(s.steps[0].width, 1280);
    EXPECT_EQ(s.steps[0].height, 720);
    EXPECT_EQ(s.steps[1].view, "top");
    EXPECT_EQ(s.steps[1].width, 320);
    EXPECT_EQ(s.steps[1].height, 200);
    EXPECT_EQ(s.steps[1].args, (std::vector<std::string>{"two", "Two, from above"}));
    EXPECT_EQ(s.steps[2].what, "start");
    EXPECT_EQ(s.steps[2].view, "tug");
    EXPECT_DOUBLE_EQ(s.steps[2].interval, 0.25);
    EXPECT_EQ(s.steps[3].what, "stop");
}

TEST(PictureLines, ARunWritesPicturesAnAnimationAndTheContactSheet) {
    std::string why;
    if (!simhost::GraphicsAvailable(&why)) GTEST_SKIP() << "no OpenGL context: " << why;
    const auto out = simhost_test::SandboxFor();
    simhost::scenario::Script s;
    std::string error;
    ASSERT_TRUE(simhost::scenario::ParseScript(
        "animation start film size 64x48 every 1s\npicture a size 160x90\nwait 2s\n"
        "picture b view top size 160x90\nanimation stop\n",
        "s.txt", &s, &error))
        << error;
    simhost::scenario::RunOptions o;
    o.out = out;
    auto r = simhost::scenario::RunScript(s, o);
    ASSERT_TRUE(r.ok) << r.error;
    for (const char* f : {"a.png", "b.png", "film.png", "contact-sheet.png"})
        EXPECT_TRUE(std::filesystem::exists(out / "pictures" / f)) << f;
    simhost::Picture a;
    ASSERT_TRUE(simhost::ReadPng(out / "pictures" / "a.png", &a, &error)) << error;
    EXPECT_EQ(a.width, 160);
    EXPECT_EQ(a.height, 90);
    std::ifstream timeline(out / "timeline.txt");
    std::stringstream all;
    all << timeline.rdbuf();
    EXPECT_NE(all.str().find("picture: b (top, 160x90)"), std::string::npos) << all.str();
    EXPECT_NE(all.str().find("animation written: film.png (3 frames)"), std::string::npos)
        << all.str();
    // With pictures off (timing runs) the same script writes none.
    const auto quiet = simhost_test::SandboxFor("-off");
    o.out = quiet;
    o.pictures = false;
    r = simhost::scenario::RunScript(s, o);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(std::filesystem::exists(quiet / "pictures"));
}

TEST(GraphicsOff, TheHostSaysSoOnceAndRunsTheScenarioWithoutPictures) {
    const auto dir = simhost_test::SandboxFor();
    std::filesystem::create_directories(dir);
    {
        std::ofstream s(dir / "s.txt");
        s << "fresh-sandbox\nwait 1s\npicture one\npicture two view top\nwait 1s\n"
             "assert time > 1.9\n";
    }
    using simhost_test::Quote;
    const simhost_test::ScopedEnvironment noGl("TARVOSK_SIM_NO_GL", "1");
    int status = -1;
    simhost_test::RunShell(simhost_test::SimProgram() + " --out " + Quote(dir / "out") + " " +
                               Quote(dir / "s.txt") + " 2>" + Quote(dir / "err.txt") + " >" +
                               simhost_test::kNullDevice,
                           &status);
    ASSERT_EQ(status, 0);
    std::ifstream err(dir / "err.txt");
    std::stringstream text;
    text << err.rdbuf();
    const std::string e = text.str();
    EXPECT_NE(e.find("no OpenGL"), std::string::npos) << e;
    // Once, however many pictures were asked for.
    EXPECT_EQ(e.find("no pictures"), e.rfind("no pictures")) << e;
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "pictures" / "one.png"));
    std::ifstream log(dir / "out" / "host.log");
    std::stringstream logText;
    logText << log.rdbuf();
    EXPECT_NE(logText.str().find("draw phases are skipped"), std::string::npos);
}

}  // namespace
