#include "panels/planner_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tarvosk {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMargin = 8;
constexpr int kRowHeight = 24;
constexpr int kButtonHeight = 22;
constexpr int kCharWidth = 6;
constexpr int kMaxSamples = 96;
constexpr double kDegreesPerSample = 2.5;
constexpr double kLeastView = 60.0;  // metres across, however short the plan

constexpr PlannerColour kBackground{0.10f, 0.13f, 0.11f, 1.0f};
constexpr PlannerColour kGrid{0.30f, 0.34f, 0.31f, 1.0f};
constexpr PlannerColour kBand{1.0f, 0.78f, 0.20f, 0.22f};
constexpr PlannerColour kBandEdge{1.0f, 0.78f, 0.20f, 0.9f};
constexpr PlannerColour kConflict{1.0f, 0.20f, 0.15f, 0.30f};
constexpr PlannerColour kConflictEdge{1.0f, 0.25f, 0.2f, 1.0f};
constexpr PlannerColour kWheelPath{0.35f, 1.0f, 0.45f, 1.0f};
constexpr PlannerColour kAircraft{0.95f, 0.95f, 0.95f, 1.0f};
constexpr PlannerColour kAircraftEnd{0.6f, 0.6f, 0.6f, 1.0f};
constexpr PlannerColour kPushedWheel{1.0f, 0.9f, 0.1f, 1.0f};
constexpr PlannerColour kAircraftNow{0.35f, 0.75f, 1.0f, 1.0f};
constexpr PlannerColour kTraffic{0.45f, 0.7f, 1.0f, 0.35f};
constexpr PlannerColour kTrafficEdge{0.55f, 0.8f, 1.0f, 1.0f};
constexpr PlannerColour kText{0.92f, 0.92f, 0.92f, 1.0f};
constexpr PlannerColour kTextDim{0.65f, 0.7f, 0.65f, 1.0f};
constexpr PlannerColour kField{0.05f, 0.06f, 0.05f, 1.0f};
constexpr PlannerColour kFieldActive{0.12f, 0.16f, 0.30f, 1.0f};
constexpr PlannerColour kButton{0.28f, 0.31f, 0.36f, 1.0f};
constexpr PlannerColour kStartButton{0.18f, 0.45f, 0.22f, 1.0f};

struct Vec {
    double x, y;
};

// World to window: metres relative to the aircraft's reference point, turned so north (or the
// aircraft's nose) points up, scaled and moved onto the map.
struct MapTransform {
    double originX = 0, originZ = 0;
    double cosH = 1, sinH = 0;
    double scale = 1;  // pixels per metre
    double centreX = 0, centreY = 0;
    double midX = 0, midY = 0;  // the view's middle, in turned metres

    Vec Turned(double x, double z) const {
        const double vx = x - originX, vy = -(z - originZ);
        return {vx * cosH - vy * sinH, vx * sinH + vy * cosH};
    }
    Vec Screen(double x, double z) const {
        const Vec t = Turned(x, z);
        return {centreX + (t.x - midX) * scale, centreY + (t.y - midY) * scale};
    }
};

class Emitter {
  public:
    Emitter(PlannerLayout* out, const PlannerRect& clip) : out_(out), clip_(clip) {}

    void Line(Vec a, Vec b, PlannerColour c, float width = 1.0f) {
        if (!ClipLine(&a, &b) || out_->lineCount >= PlannerLayout::kMaxLines) return;
        out_->lines[out_->lineCount++] = {float(a.x), float(a.y), float(b.x), float(b.y), c, width};
    }
    // A convex (or gently bent) polygon of four corners, cut to the map.
    void Quad(const Vec (&corners)[4], PlannerColour c) {
        Vec poly[12];
        int n = ClipPolygon(corners, poly);
        for (int i = 1; i + 1 < n; i += 2) {
            if (out_->quadCount >= PlannerLayout::kMaxQuads) return;
            const Vec& v2 = poly[i + 1];
            const Vec& v3 = i + 2 < n ? poly[i + 2] : poly[i + 1];
            out_->quads[out_->quadCount++] = {
                {float(poly[0].x), float(poly[i].x), float(v2.x), float(v3.x)},
                {float(poly[0].y), float(poly[i].y), float(v2.y), float(v3.y)},
                c};
        }
    }
    void Rect(const PlannerRect& r, PlannerColour c) {
        if (out_->quadCount >= PlannerLayout::kMaxQuads) return;
        const float l = float(r.left), t = float(r.top), rr = float(r.right), b = float(r.bottom);
        out_->quads[out_->quadCount++] = {{l, l, rr, rr}, {b, t, t, b}, c};
    }
    void Text(int x, int y, const char* text, PlannerColour c) {
        if (out_->textCount >= PlannerLayout::kMaxTexts) return;
        PlannerText& t = out_->texts[out_->textCount++];
        t.x = x, t.y = y, t.colour = c;
        // Cut to the room there is; the layout never writes longer texts.
        std::size_t n = 0;
        for (; n + 1 < sizeof t.text && text[n] != '\0'; ++n) t.text[n] = text[n];
        t.text[n] = '\0';
    }

  private:
    // Liang-Barsky.
    bool ClipLine(Vec* a, Vec* b) const {
        double t0 = 0, t1 = 1;
        const double dx = b->x - a->x, dy = b->y - a->y;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {a->x - clip_.left, clip_.right - a->x, a->y - clip_.bottom,
                             clip_.top - a->y};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0) return false;
                continue;
            }
            const double r = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
            if (t0 > t1) return false;
        }
        const Vec start = *a;
        *a = {start.x + t0 * dx, start.y + t0 * dy};
        *b = {start.x + t1 * dx, start.y + t1 * dy};
        return true;
    }
    // Sutherland-Hodgman against the four sides; at most 8 corners come out of 4.
    int ClipPolygon(const Vec (&in)[4], Vec* out) const {
        Vec a[12], b[12];
        int n = 4;
        std::copy(in, in + 4, a);
        for (int side = 0; side < 4 && n > 0; ++side) {
            auto inside = [&](const Vec& v) {
                switch (side) {
                    case 0:
                        return v.x >= clip_.left;
                    case 1:
                        return v.x <= clip_.right;
                    case 2:
                        return v.y >= clip_.bottom;
                    default:
                        return v.y <= clip_.top;
                }
            };
            auto cross = [&](const Vec& p, const Vec& q) {
                double t = 0;
                switch (side) {
                    case 0:
                        t = (clip_.left - p.x) / (q.x - p.x);
                        break;
                    case 1:
                        t = (clip_.right - p.x) / (q.x - p.x);
                        break;
                    case 2:
                        t = (clip_.bottom - p.y) / (q.y - p.y);
                        break;
                    default:
                        t = (clip_.top - p.y) / (q.y - p.y);
                        break;
                }
                return Vec{p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)};
            };
            int m = 0;
            for (int i = 0; i < n && m < 10; ++i) {
                const Vec& p = a[i];
                const Vec& q = a[(i + 1) % n];
                if (inside(p)) b[m++] = p;
                if (inside(p) != inside(q)) b[m++] = cross(p, q);
            }
            n = m;
            std::copy(b, b + m, a);
        }
        std::copy(a, a + n, out);
        return n;
    }

    PlannerLayout* out_;
    PlannerRect clip_;
};

PlannerRect Box(int left, int top, int width, int height) {
    return {left, top, left + width, top - height};
}

void Button(Emitter& e, PlannerLayout* out, PlannerControl c, const PlannerRect& r,
            const char* label, PlannerColour colour) {
    out->controlRects[static_cast<int>(c)] = r;
    e.Rect(r, colour);
    const int width = static_cast<int>(std::strlen(label)) * kCharWidth;
    e.Text((r.left + r.right - width) / 2, r.bottom + 7, label, kText);
}

void ValueRow(Emitter& e, PlannerLayout* out, const PlannerScene& scene, PlanValue which, int top,
              int left) {
    static constexpr const char* kLabels[] = {"Straight back", "Turn", "After the turn"};
    static constexpr PlannerControl kControls[3][3] = {
        {PlannerControl::kStraightMinus, PlannerControl::kStraightField,
         PlannerControl::kStraightPlus},
        {PlannerControl::kTurnMinus, PlannerControl::kTurnField, PlannerControl::kTurnPlus},
        {PlannerControl::kAfterMinus, PlannerControl::kAfterField, PlannerControl::kAfterPlus}};
    const int i = static_cast<int>(which);
    const double values[] = {scene.plan.straight, scene.plan.turn, scene.plan.after};
    e.Text(left, top - 15, kLabels[i], kTextDim);
    const int x = left + 100;
    Button(e, out, kControls[i][0], Box(x, top - 2, 20, 20), "-", kButton);
    const PlannerRect field = Box(x + 24, top - 2, 140, 20);
    out->controlRects[static_cast<int>(kControls[i][1])] = field;
    const bool active = scene.editing == which && scene.typing;
    e.Rect(field, active ? kFieldActive : kField);
    char text[40];
    if (active) {
        std::snprintf(text, sizeof text, "%s_", scene.typed);
    } else {
        FormatPlanValue(which, values[i], text, sizeof text);
    }
    e.Text(field.left + 6, field.bottom + 6, text, kText);
    Button(e, out, kControls[i][2], Box(x + 168, top - 2, 20, 20), "+", kButton);
}

int GridStep(double metresPerPixel) {
    static constexpr int kSteps[] = {2, 5, 10, 20, 50, 100, 200};
    for (int s : kSteps) {
        if (s / metresPerPixel >= 28.0) return s;
    }
    return 500;
}

}  // namespace

void FormatPlanValue(PlanValue which, double value, char* text, int size) {
    if (which != PlanValue::kTurn) {
        std::snprintf(text, size, "%.1f m", value);
    } else if (value == 0.0) {
        std::snprintf(text, size, "0 deg (straight)");
    } else {
        std::snprintf(text, size, "%.0f deg tail %s", std::fabs(value),
                      value > 0 ? "left" : "right");
    }
}

PlannerControl PlannerLayout::HitTest(int x, int y) const {
    for (int c = static_cast<int>(PlannerControl::kStraightField); c < kMaxControls; ++c) {
        if (controlRects[c].right > controlRects[c].left && controlRects[c].Contains(x, y)) {
            return static_cast<PlannerControl>(c);
        }
    }
    return map.Contains(x, y) ? PlannerControl::kMap : PlannerControl::kNone;
}

void LayOutPlanner(const PlannerScene& scene, const PlannerRect& window, PlannerLayout* out) {
    out->lineCount = out->quadCount = out->textCount = 0;
    out->controlRects.fill({});
    const int left = window.left + kMargin, right = window.right - kMargin;
    const int bottom = window.bottom + kMargin;
    const int rowsTop = bottom + kButtonHeight + 22 + 3 * kRowHeight;
    out->map = {left, window.top - kMargin, right, rowsTop + 6};
    const PlannerRect& map = out->map;

    // ---- the map ----
    Emitter screen(out, window);
    screen.Rect(map, kBackground);
    Emitter e(out, map);

    const PushPath path = PushPath::FromPlan(scene.plan);
    std::array<PathPose, kMaxSamples + 1> poses;
    // A straight piece sweeps a band whose edges are straight: its two ends are enough. Arcs
    // are cut every few degrees.
    int count = 0;
    poses[count++] = scene.start;
    double along = 0.0;
    for (int k = 0; k < path.SegmentCount(); ++k) {
        const PathSegment& seg = path.Segment(k);
        const double degrees = std::fabs(seg.turnPerMetre * seg.length) * 180.0 / kPi;
        const int pieces = std::clamp(static_cast<int>(std::ceil(degrees / kDegreesPerSample)), 1,
                                      kMaxSamples - count);
        for (int j = 1; j <= pieces && count <= kMaxSamples; ++j) {
            poses[count++] = path.PoseAt(scene.start, along + seg.length * j / pieces);
        }
        along += seg.length;
    }

    MapTransform t;
    t.originX = scene.start.x, t.originZ = scene.start.z;
    const double turn = scene.northUp ? 0.0 : scene.start.heading * kPi / 180.0;
    t.cosH = std::cos(turn), t.sinH = std::sin(turn);
    // The marks every sample needs, in turned metres: one sine and cosine per sample.
    enum Mark { kNose, kTail, kLeft, kRight, kWheel, kMarks };
    const BodyPoint marks[kMarks] = {scene.outline.nose, scene.outline.tail, scene.outline.leftTip,
                                     scene.outline.rightTip, scene.pushedWheel};
    std::array<std::array<Vec, kMarks>, kMaxSamples + 1> turned;
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (int i = 0; i < count; ++i) {
        const double h = poses[i].heading * kPi / 180.0;
        const double sh = std::sin(h), ch = std::cos(h);
        for (int k = 0; k < kMarks; ++k) {
            const BodyPoint& b = marks[k];
            const Vec v = t.Turned(poses[i].x + b.right * ch - b.aft * sh,
                                   poses[i].z + b.right * sh + b.aft * ch);
            turned[i][k] = v;
            if (k == kWheel) continue;
            minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
            minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
        }
    }
    const double spanX = std::max(maxX - minX, kLeastView),
                 spanY = std::max(maxY - minY, kLeastView);
    const double width = map.right - map.left, height = map.top - map.bottom;
    t.scale = std::min(width / (spanX * 1.15), height / (spanY * 1.15));
    t.midX = (minX + maxX) / 2, t.midY = (minY + maxY) / 2;
    t.centreX = (map.left + map.right) / 2.0, t.centreY = (map.top + map.bottom) / 2.0;
    out->metresPerPixel = 1.0 / t.scale;

    // Grid in the view's axes, through the aircraft's reference point.
    const int grid = GridStep(out->metresPerPixel);
    out->gridMetres = grid;
    const Vec o = t.Screen(scene.start.x, scene.start.z);
    const double stepPx = grid * t.scale;
    for (double x = o.x - std::floor((o.x - map.left) / stepPx) * stepPx; x <= map.right;
         x += stepPx) {
        e.Line({x, double(map.bottom)}, {x, double(map.top)}, kGrid);
    }
    for (double y = o.y - std::floor((o.y - map.bottom) / stepPx) * stepPx; y <= map.top;
         y += stepPx) {
        e.Line({double(map.left), y}, {double(map.right), y}, kGrid);
    }

    // Other aircraft.
    for (int i = 0; i < scene.trafficCount; ++i) {
        const OtherAircraft& other = scene.traffic[i];
        const GroundBox& b = other.box;
        const PathPose pose{b.x, b.z, b.heading};
        const BodyPoint c[4] = {{-b.halfSpan, -b.halfLength},
                                {b.halfSpan, -b.halfLength},
                                {b.halfSpan, b.halfLength},
                                {-b.halfSpan, b.halfLength}};
        Vec v[4];
        for (int k = 0; k < 4; ++k) {
            const GroundPoint g = PlaceBodyPoint(pose, c[k]);
            v[k] = t.Screen(g.x, g.z);
        }
        e.Quad(v, other.inTheWay ? kConflict : kTraffic);
        for (int k = 0; k < 4; ++k)
            e.Line(v[k], v[(k + 1) % 4], other.inTheWay ? kConflictEdge : kTrafficEdge);
    }

    // The swept band: wings, then nose to tail, and the four traces.
    const PlannerColour fill = scene.planInTheWay ? kConflict : kBand;
    const PlannerColour edge = scene.planInTheWay ? kConflictEdge : kBandEdge;
    auto at = [&](int i, const BodyPoint& b) {
        const GroundPoint g = PlaceBodyPoint(poses[i], b);
        return t.Screen(g.x, g.z);
    };
    auto mark = [&](int i, Mark k) {
        const Vec& v = turned[i][k];
        return Vec{t.centreX + (v.x - t.midX) * t.scale, t.centreY + (v.y - t.midY) * t.scale};
    };
    for (int i = 0; i + 1 < count; ++i) {
        const Vec wings[4] = {mark(i, kLeft), mark(i, kRight), mark(i + 1, kRight),
                              mark(i + 1, kLeft)};
        e.Quad(wings, fill);
        const Vec body[4] = {mark(i, kNose), mark(i, kTail), mark(i + 1, kTail),
                             mark(i + 1, kNose)};
        e.Quad(body, fill);
        for (int k = kNose; k <= kRight; ++k) {
            e.Line(mark(i, Mark(k)), mark(i + 1, Mark(k)), edge);
        }
        e.Line(mark(i, kWheel), mark(i + 1, kWheel), kWheelPath, 2.0f);
    }

    // The aircraft where it ends (dim) and where it stands now, with its wheels.
    auto outline = [&](int i, PlannerColour c) {
        e.Line(at(i, scene.outline.nose), at(i, scene.outline.tail), c, 2.0f);
        e.Line(at(i, scene.outline.leftTip), at(i, scene.outline.rightTip), c, 2.0f);
    };
    if (count > 1) outline(count - 1, kAircraftEnd);
    outline(0, kAircraft);
    if (scene.showNow) {  // a planned push under way or just ended: where the aircraft is
        auto now = [&](const BodyPoint& b) {
            const GroundPoint g = PlaceBodyPoint(scene.now, b);
            return t.Screen(g.x, g.z);
        };
        e.Line(now(scene.outline.nose), now(scene.outline.tail), kAircraftNow, 2.0f);
        e.Line(now(scene.outline.leftTip), now(scene.outline.rightTip), kAircraftNow, 2.0f);
    }
    const Vec noseNow = at(0, scene.outline.nose), tailNow = at(0, scene.outline.tail);
    out->noseX = float(noseNow.x), out->noseY = float(noseNow.y);
    out->tailX = float(tailNow.x), out->tailY = float(tailNow.y);
    for (int w = 0; w < scene.wheelCount; ++w) {
        const Vec p = at(0, scene.wheels[w]);
        const Vec c[4] = {
            {p.x - 2, p.y - 2}, {p.x - 2, p.y + 2}, {p.x + 2, p.y + 2}, {p.x + 2, p.y - 2}};
        e.Quad(c, kAircraft);
    }
    const Vec pw = at(0, scene.pushedWheel);
    const Vec pc[4] = {
        {pw.x - 3, pw.y - 3}, {pw.x - 3, pw.y + 3}, {pw.x + 3, pw.y + 3}, {pw.x + 3, pw.y - 3}};
    e.Quad(pc, kPushedWheel);

    // Scale bar and north.
    const double barX = map.left + 10, barY = map.bottom + 12;
    e.Line({barX, barY}, {barX + stepPx, barY}, kText, 2.0f);
    e.Line({barX, barY - 3}, {barX, barY + 3}, kText);
    e.Line({barX + stepPx, barY - 3}, {barX + stepPx, barY + 3}, kText);
    char label[24];
    std::snprintf(label, sizeof label, "%d m", grid);
    e.Text(int(barX + stepPx + 6), int(barY - 4), label, kText);
    const Vec north{-t.sinH, t.cosH};  // where north points on the map
    const Vec n0{map.left + 22.0, map.top - 24.0};
    e.Line({n0.x - north.x * 10, n0.y - north.y * 10}, {n0.x + north.x * 10, n0.y + north.y * 10},
           kText, 2.0f);
    e.Text(int(n0.x + north.x * 16 - 3), int(n0.y + north.y * 16 - 4), "N", kText);

    Button(screen, out, PlannerControl::kOrientation, Box(map.right - 96, map.top - 4, 92, 18),
           scene.northUp ? "North up" : "Aircraft up", kButton);
    if (!scene.poppedOut) {
        Button(screen, out, PlannerControl::kPopOut, Box(map.right - 96, map.top - 26, 92, 18),
               "Pop out", kButton);
    }

    // ---- values, status and buttons ----
    int top = rowsTop;
    ValueRow(screen, out, scene, PlanValue::kStraight, top, left);
    ValueRow(screen, out, scene, PlanValue::kTurn, top - kRowHeight, left);
    ValueRow(screen, out, scene, PlanValue::kAfter, top - 2 * kRowHeight, left);
    char length[32];
    std::snprintf(length, sizeof length, "%.0f m in all", path.Length());
    screen.Text(left + 296, top - 15, length, kTextDim);
    if (scene.status[0] != '\0') {
        screen.Text(left, bottom + kButtonHeight + 6, scene.status,
                    scene.planInTheWay ? kConflictEdge : kText);
    }
    const int third = (right - left - 8) / 3;
    Button(screen, out, PlannerControl::kStart,
           Box(left, bottom + kButtonHeight, third, kButtonHeight), "Start", kStartButton);
    Button(screen, out, PlannerControl::kSave,
           Box(left + third + 4, bottom + kButtonHeight, third, kButtonHeight),
           "Save for this stand", kButton);
    Button(screen, out, PlannerControl::kClose,
           Box(left + 2 * third + 8, bottom + kButtonHeight, third, kButtonHeight), "Close",
           kButton);
}

}  // namespace tarvosk
