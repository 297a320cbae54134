// The decoration X-Plane draws around a modern round-rectangle window, on picture frames: a
// dark blue body behind the client area, a title bar above it with the title, a thin frame.
// Windows living outside the main screen (popped out, in VR) draw into nothing here.
#include <GL/gl.h>

#include "drawing/graphics.h"
#include "sdk/modern_windows.h"

namespace simhost::detail {

void DrawWindowDecoration(const Window& w) {
    if (!PictureFrame() || !HasTitleBar(w) || !OnMainScreen(w)) return;
    int left, top, right, bottom;
    OuterBounds(w, &left, &top, &right, &bottom);
    const float frame[4] = {0.11f, 0.19f, 0.33f, 0.97f};
    const float body[4] = {0.07f, 0.12f, 0.21f, 0.94f};
    const float bar[4] = {0.16f, 0.33f, 0.58f, 1};
    const float rim[4] = {0.45f, 0.60f, 0.80f, 1};
    const float title[3] = {0.95f, 0.97f, 1.0f};
    FillRect2D(left, top, right, bottom, frame);
    FillRect2D(w.left, w.top, w.right, w.bottom, body);
    FillRect2D(left, top, right, w.top, bar);
    OutlineRect2D(left, top, right, bottom, rim);
    // The title centred in the bar, cut to what fits.
    const int room = (right - left - 8) / kCharWidth;
    std::string text = w.modern.title;
    if (room <= 0) return;
    if (static_cast<int>(text.size()) > room) text.resize(static_cast<std::size_t>(room));
    const int x = (left + right - TextWidth(text)) / 2;
    DrawText2D(x, w.top + (kTitleBarHeight - 7) / 2, text, title);
}

void BeginOffScreenWindow(const Window& w) {
    if (PictureFrame() && !OnMainScreen(w)) glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
}

void EndOffScreenWindow(const Window& w) {
    if (PictureFrame() && !OnMainScreen(w)) glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

}  // namespace simhost::detail
