// Fallback message box: a plain host window that shows the title and the lines of
// messageText. The text is copied when the box opens, because messageText is shared and may
// be rewritten while the box is still on screen.
#include "panels/message_box.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/log.h"
#include "xplm/host.h"

namespace tarvosk {

char messageText[256] = {};

namespace {

constexpr int kCharWidth = 6;  // host text is estimated at 6 pixels per character
constexpr int kLineHeight = 14;
constexpr int kMargin = 15;
constexpr int kCentreX = 512;
constexpr int kTop = 568;

struct MessageBox {
    XPLMWindowID window = nullptr;
    std::string title;
    std::vector<std::string> lines;
};

MessageBox gBox;

std::vector<std::string> SplitLines(const char* text, std::size_t length) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == ';') {
            lines.emplace_back();
        } else {
            lines.back().push_back(text[i]);
        }
    }
    return lines;
}

void DrawBox(XPLMWindowID window, void*) {
    try {
        int left = 0, top = 0, right = 0, bottom = 0;
        XPLMGetWindowGeometry(window, &left, &top, &right, &bottom);
        XPDrawWindow(left, bottom, right, top, xpWindow_MainWindow);
        float white[3] = {1.0f, 1.0f, 1.0f};
        int y = top - kMargin - 8;
        XPLMDrawString(white, left + kMargin, y, gBox.title.data(), nullptr, xplmFont_Basic);
        y -= kLineHeight + 4;
        for (std::string& line : gBox.lines) {
            XPLMDrawString(white, left + kMargin, y, line.data(), nullptr, xplmFont_Basic);
            y -= kLineHeight;
        }
    } catch (...) {
        // Nothing may escape into the host; a box that fails to draw stays closable.
    }
}

void IgnoreKey(XPLMWindowID, char, XPLMKeyFlags, char, void*, int) {}

int ClickBox(XPLMWindowID window, int, int, XPLMMouseStatus status, void*) {
    // Hide now, destroy later: the host is still inside this window's callback.
    if (status == xplm_MouseDown) XPLMSetWindowIsVisible(window, 0);
    return 1;
}

}  // namespace

void CloseMessageBox() {
    if (gBox.window != nullptr) XPLMDestroyWindow(gBox.window);
    gBox = MessageBox{};
}

void OpenMessageBox(const char* title) {
    CloseMessageBox();
    gBox.title = title != nullptr ? title : "";
    gBox.lines = SplitLines(messageText, strnlen(messageText, sizeof messageText - 1));

    std::size_t longest = gBox.title.size();
    for (const std::string& line : gBox.lines) longest = std::max(longest, line.size());
    const int width = kCharWidth * static_cast<int>(longest) + 2 * kMargin;
    const int height =
        2 * kMargin + kLineHeight + 4 + kLineHeight * static_cast<int>(gBox.lines.size());
    const int left = kCentreX - width / 2;
    gBox.window = XPLMCreateWindow(left, kTop, left + width, kTop - height, 1, DrawBox, IgnoreKey,
                                   ClickBox, nullptr);
    if (gBox.window == nullptr) {
        Log("[WRNG] Could not open the message box \"" + gBox.title + "\"\n");
        gBox = MessageBox{};
    }
}

}  // namespace tarvosk
