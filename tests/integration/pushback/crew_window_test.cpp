// The crew's written-message window keeps its place near the top left of the screen, measured
// from the screen's own top, on every screen size.
#include "pushback_host.h"

namespace tarvosk::testing {
namespace {

struct Screen {
    int width, height;
};

class CrewWindowOnScreen : public PushbackHost, public ::testing::WithParamInterface<Screen> {
  protected:
    void Configure(simhost::HostConfig& config) override {
        config.screenWidth = GetParam().width;
        config.screenHeight = GetParam().height;
    }
};

TEST_P(CrewWindowOnScreen, StaysThirtyTwoPixelsBelowTheTop) {
    const std::string text = "Ok, TVK320 we are ready to push back straight. Please remove breaks.";
    ASSERT_TRUE(Choose("Push straight back"));
    simhost::RunFrames(1);
    int shown = 0;
    for (const auto& window : simhost::Windows()) {
        if (window.textLastFrame.empty() || window.textLastFrame.front() != text) continue;
        ++shown;
        // On a 720-pixel screen: top 688, bottom 658, as it always was there.
        EXPECT_EQ(window.left, 10);
        EXPECT_EQ(window.top, GetParam().height - 32);
        EXPECT_EQ(window.bottom, GetParam().height - 62);
    }
    EXPECT_EQ(shown, 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CrewWindowOnScreen,
                         ::testing::Values(Screen{1280, 720}, Screen{1920, 1080},
                                           Screen{2560, 1440}),
                         [](const ::testing::TestParamInfo<Screen>& param) {
                             return std::to_string(param.param.width) + "x" +
                                    std::to_string(param.param.height);
                         });

}  // namespace
}  // namespace tarvosk::testing
