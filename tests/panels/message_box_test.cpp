// The message box: its lines from the shared text, its size and its place on the screen.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "panel_host.h"
#include "panels/message_box.h"

namespace tarvosk::testing {
namespace {

TEST(MessageText, SemicolonsStartNewLinesAndAreNotShown) {
    EXPECT_EQ(MessageLines("one line"), (std::vector<std::string>{"one line"}));
    EXPECT_EQ(MessageLines("first ; second"), (std::vector<std::string>{"first ", " second"}));
    EXPECT_EQ(MessageLines("ends;"), (std::vector<std::string>{"ends", ""}));
    EXPECT_EQ(MessageLines(""), (std::vector<std::string>{""}));
}

TEST(MessageText, NeverReadsPastTheBuffersLastCharacter) {
    char text[300];
    std::memset(text, 'x', sizeof text);  // no terminator within 255 characters
    text[299] = '\0';
    const auto lines = MessageLines(text);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 255u);
}

class MessageBoxes : public PanelHost {
  protected:
    static std::vector<simhost::WidgetInfo> Boxes() {
        std::vector<simhost::WidgetInfo> boxes;
        for (const auto& w : simhost::Widgets()) {
            if (w.isRoot && w.visible) boxes.push_back(w);
        }
        return boxes;
    }
};

TEST_F(MessageBoxes, AsWideAsTheLongestLineAndPlacedBelowTheScreensTop) {
    std::snprintf(messageText, sizeof messageText, "%s", "short;a much longer second line;x");
    ShowMessageBox("Title");
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].right - boxes[0].left, 6 * 25 + 30);  // "a much longer second line"
    EXPECT_EQ(boxes[0].top, 1080 - 200);
    EXPECT_NEAR((boxes[0].left + boxes[0].right) / 2.0, 960, 1);
    // Three text lines and the button: the box grows with its lines.
    std::snprintf(messageText, sizeof messageText, "%s", "short");
    ShowMessageBox("Title");
    const auto both = Boxes();
    ASSERT_EQ(both.size(), 2u);
    EXPECT_GT(both[0].top - both[0].bottom, both[1].top - both[1].bottom);
    EXPECT_EQ(both[1].right - both[1].left, 6 * 5 + 30);
    CloseAllMessageBoxes();
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(MessageBoxes, TheBoxKeepsItsOwnCopyOfTheText) {
    std::snprintf(messageText, sizeof messageText, "%s", "kept");
    ShowMessageBox("Title");
    std::snprintf(messageText, sizeof messageText, "%s", "rewritten");
    simhost::RunFrames(1);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    const auto& text = boxes[0].textLastFrame;
    EXPECT_NE(std::find(text.begin(), text.end(), "kept"), text.end());
    EXPECT_EQ(std::find(text.begin(), text.end(), "rewritten"), text.end());
    CloseAllMessageBoxes();
}

}  // namespace
}  // namespace tarvosk::testing
