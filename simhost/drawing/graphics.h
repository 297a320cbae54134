// The host's graphics: a real OpenGL context (EGL on Mesa, no window), the frame's drawing
// passes, the host's own scene, 2-D drawing for windows and widgets, and pictures.
//
// Ordinary frames call the plug-ins' draw callbacks into a tiny off-screen target, so they run
// as in the simulator but cost next to nothing. Only a frame that a picture or an animation
// asks for draws the scene at full size and reads it back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace simhost::detail {

// The context, made once per process and current from then on. False where no EGL display
// can be had; the reason is logged once.
bool GraphicsUp();
const std::string& GraphicsProblem();
void GraphicsNewHost();  // a new host: deletes the textures the old one handed out
unsigned NewTextureName();
bool TextureAlive(int number);  // a GL texture of that number exists now

// A frame's drawing: Begin binds the target (and, on a picture frame, draws nothing yet);
// RunDrawCallbacks calls the phases; End reads a picture frame back. Between them, on a
// picture frame, PictureFrame() is true and the host draws its windows and text for real.
void BeginFrameGraphics();
void EndFrameGraphics();
bool PictureFrame();

// Host drawing inside the phases of a picture frame (called by the scheduler).
void HostDrawPhase(int phase);
void Begin2D();  // screen coordinates: origin at the lower left, pixels of the screen
// The host's own cockpit lamps over a scene picture (the external-power annunciator).
void DrawCockpitLamps();

// The simulated screen, in the coordinates windows and widgets use, is the host's screen size
// (HostConfig::screenWidth and screenHeight, what XPLMGetScreenSize answers).

// 2-D drawing for host UI, in screen coordinates (origin lower left). They draw only on a
// picture frame (PictureFrame()) and do nothing otherwise, so callers need not check.
void FillRect2D(int left, int top, int right, int bottom, const float rgba[4]);
void OutlineRect2D(int left, int top, int right, int bottom, const float rgba[4]);
// The built-in bitmap font: 6 pixels per character, 10 pixels per line; (x, y) is the left end
// of the baseline, as XPLMDrawString takes it. '\n' is not special.
void DrawText2D(int x, int y, const std::string& text, const float rgb[3]);
constexpr int kCharWidth = 6;
int TextWidth(const std::string& text);
// The window frame of XPDrawWindow (a panel with a title strip), in screen coordinates.
void DrawWindowFrame2D(int left, int top, int right, int bottom, int style);
// Around a modern window's drawing (window_decoration.cpp): its decoration first; a window
// off the main screen (popped out, in VR) draws between Begin and End into nothing.
struct Window;
void DrawWindowDecoration(const Window& w);
void BeginOffScreenWindow(const Window& w);
void EndOffScreenWindow(const Window& w);

// The 5x7 glyph of a character in a 6x10 cell: bit 4 of row 0 is the top left dot. Unknown
// characters draw as a box. Also used to label contact sheets.
const std::array<std::uint8_t, 7>& Glyph(unsigned char c);
int GlyphDrop(unsigned char c);  // dots below the baseline: 2 for g, p, q and y

}  // namespace simhost::detail
