// What the SDK's modern windows, the host's drawing of their decoration and the user's mouse
// share: the decoration's size and which window shows where.
#pragma once

#include "control/host_state.h"

namespace simhost::detail {

// The decoration X-Plane draws around the client area of a round-rectangle window: a title
// bar above it and a frame on the other sides, all outside the geometry the plug-in sets.
inline constexpr int kTitleBarHeight = 22;
inline constexpr int kFrameWidth = 4;

inline bool HasTitleBar(const Window& w) {
    return w.modern.on && w.modern.decoration == xplm_WindowDecorationRoundRectangle;
}
inline bool UserResizable(const Window& w) {
    return w.modern.on && (w.modern.decoration == xplm_WindowDecorationRoundRectangle ||
                           w.modern.decoration == xplm_WindowDecorationSelfDecoratedResizable);
}
// Popped-out and VR windows live outside the simulator's screen.
inline bool OnMainScreen(const Window& w) {
    return w.modern.positioning != xplm_WindowPopOut && w.modern.positioning != xplm_WindowVR;
}
// The outer bounds on the screen, decoration included.
inline void OuterBounds(const Window& w, int* left, int* top, int* right, int* bottom) {
    const int frame = HasTitleBar(w) ? kFrameWidth : 0;
    *left = w.left - frame;
    *right = w.right + frame;
    *bottom = w.bottom - frame;
    *top = w.top + (HasTitleBar(w) ? kTitleBarHeight : 0);
}

Window* LiveWindow(std::uintptr_t id);

}  // namespace simhost::detail
