// What the pushback planner shows, worked out apart from the host: the stand from above with
// a metre grid and a scale, the aircraft's outline and wheels, the path of the pushed wheel and
// the band the wing tips, nose and tail sweep, other aircraft, the plan's three values and the
// buttons. The window (planner_window.cpp) only draws this list and forwards the mouse and keys.
//
// Screen pixels, y upward, rectangles left, top, right, bottom as everywhere in the panels.
// The lists have fixed room, so laying out a frame allocates nothing.
#pragma once

#include <array>
#include <cstdint>

#include "pushback/push_path.h"
#include "pushback/traffic_geometry.h"

namespace tarvosk {

struct PlannerRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y <= top && y > bottom; }
};

enum class PlannerControl : uint8_t {
    kNone,
    kMap,
    kStraightField,
    kStraightMinus,
    kStraightPlus,
    kTurnField,
    kTurnMinus,
    kTurnPlus,
    kAfterField,
    kAfterMinus,
    kAfterPlus,
    kOrientation,
    kPopOut,
    kStart,
    kSave,
    kClose,
};

// The three values the pilot edits, in the order they are shown.
enum class PlanValue : uint8_t { kStraight, kTurn, kAfter };

struct PlannerColour {
    float r, g, b, a;
};

struct PlannerLine {
    float x0, y0, x1, y1;
    PlannerColour colour;
    float width;
};

struct PlannerQuad {
    float x[4], y[4];
    PlannerColour colour;
};

struct PlannerText {
    int x, y;
    PlannerColour colour;
    char text[64];
};

struct OtherAircraft {
    GroundBox box;
    bool inTheWay = false;
};

// Everything the view needs from the world, filled by the window before each layout.
struct PlannerScene {
    PushPlan plan;
    PathPose start;        // where the plan starts: the aircraft now, or where it was ordered
    bool showNow = false;  // a planned push is under way: `now` is where the aircraft is
    PathPose now;
    AircraftOutline outline;  // nose, tail and wing tips
    OwnShape shape;           // the footprint the traffic check uses
    BodyPoint pushedWheel;    // where the tug pushes
    std::array<BodyPoint, 10> wheels{};
    int wheelCount = 0;
    std::array<OtherAircraft, 16> traffic{};  // the nearest others
    int trafficCount = 0;
    bool northUp = true;
    bool poppedOut = false;     // in a window of its own (or in VR): no pop-out button
    bool planInTheWay = false;  // the swept band touches one of `traffic`
    PlanValue editing = PlanValue::kStraight;
    bool typing = false;  // the edited value shows `typed` instead of the plan
    char typed[12] = {};
    char status[64] = {};  // the crew's or the window's last word
};

struct PlannerLayout {
    static constexpr int kMaxLines = 2048;
    static constexpr int kMaxQuads = 1024;
    static constexpr int kMaxTexts = 32;
    static constexpr int kMaxControls = 16;

    std::array<PlannerLine, kMaxLines> lines;
    std::array<PlannerQuad, kMaxQuads> quads;
    std::array<PlannerText, kMaxTexts> texts;
    int lineCount = 0, quadCount = 0, textCount = 0;

    std::array<PlannerRect, kMaxControls> controlRects{};  // by PlannerControl
    PlannerRect map;
    double metresPerPixel = 1.0;
    int gridMetres = 10;
    // Where the aircraft's nose and tail are drawn now, for hit tests and checks.
    float noseX = 0, noseY = 0, tailX = 0, tailY = 0;

    PlannerControl HitTest(int x, int y) const;
    const PlannerRect& RectOf(PlannerControl c) const { return controlRects[static_cast<int>(c)]; }
};

// The window's smallest size, so every control fits.
inline constexpr int kPlannerMinWidth = 400;
inline constexpr int kPlannerMinHeight = 420;

// Lays out and fills `out` for a window whose inside is `window`.
void LayOutPlanner(const PlannerScene& scene, const PlannerRect& window, PlannerLayout* out);

// The value a field shows: "35 m", "60 deg tail left".
void FormatPlanValue(PlanValue which, double value, char* text, int size);

}  // namespace tarvosk
