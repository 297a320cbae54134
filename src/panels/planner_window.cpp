#include "panels/planner_window.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "panels/planner_editor.h"
#include "xplm/host.h"

namespace tarvosk {

namespace {

// X-Plane's virtual key codes for the keys the editor needs.
constexpr unsigned char kKeyBack = 0x08, kKeyTab = 0x09, kKeyReturn = 0x0D, kKeyEscape = 0x1B,
                        kKeyEnter = 0xBB, kKeyNumpadEnter = 0xBC;

// Built against headers older than X-Plane 11's the window description lacks the modern
// fields: that build offers no planner.
#if TARVOSK_XPLM_WINDOW_STRUCT_3X
constexpr bool kModernStruct = true;
constexpr int kPopOutMode = xplm_WindowPopOut, kVrMode = xplm_WindowVR;
#else
constexpr bool kModernStruct = false;
constexpr int kPopOutMode = 4, kVrMode = 5;
#endif
constexpr int kDefaultWidth = 440, kDefaultHeight = 520;

// The window calls that came with X-Plane 11 (SDK 3.0); looked up so that one binary still
// loads in older versions, where the planner is simply not offered.
struct ModernWindowCalls {
    void (*setPositioningMode)(XPLMWindowID, int, int) = nullptr;
    void (*setTitle)(XPLMWindowID, const char*) = nullptr;
    void (*setResizingLimits)(XPLMWindowID, int, int, int, int) = nullptr;
    void (*screenBoundsGlobal)(int*, int*, int*, int*) = nullptr;
    int (*isPoppedOut)(XPLMWindowID) = nullptr;
    bool looked = false;
    bool Complete() const {
        return setPositioningMode && setTitle && setResizingLimits && screenBoundsGlobal &&
               isPoppedOut;
    }
};

// The one planner: its window, what the pilot is editing, and the owner's hooks.
struct Planner {
    XPLMWindowID window = nullptr;
    PlannerHooks hooks;
    PlannerEditor editor;
    PlannerScene scene;
    PlannerLayout layout;
    bool northUp = true;
    bool keyboard = false;  // the keys come here while the pilot types a value
    ModernWindowCalls calls;
};
Planner gPlanner;

template <typename Fn>
void Look(Fn* slot, const char* name) {
    *slot = reinterpret_cast<Fn>(XPLMFindSymbol(name));
}

const ModernWindowCalls& Calls() {
    ModernWindowCalls& c = gPlanner.calls;
    if (!c.looked) {
        Look(&c.setPositioningMode, "XPLMSetWindowPositioningMode");
        Look(&c.setTitle, "XPLMSetWindowTitle");
        Look(&c.setResizingLimits, "XPLMSetWindowResizingLimits");
        Look(&c.screenBoundsGlobal, "XPLMGetScreenBoundsGlobal");
        Look(&c.isPoppedOut, "XPLMWindowIsPoppedOut");
        c.looked = true;
    }
    return c;
}

// The scene as it is now, with what the editor shows.
void RefreshScene() {
    Planner& p = gPlanner;
    PlannerScene& scene = p.scene;
    scene = PlannerScene{};
    if (p.hooks.fillScene != nullptr) p.hooks.fillScene(&scene);
    p.editor.SetPlan(scene.plan);
    p.editor.Show(&scene);
    scene.northUp = p.northUp;
    scene.poppedOut = p.window != nullptr && Calls().isPoppedOut(p.window) != 0;
}

void Colour(const PlannerColour& c) {
    glColor4f(c.r, c.g, c.b, c.a);
}

void DrawLayout(const PlannerLayout& l) {
    XPLMSetGraphicsState(0, 0, 0, 0, 1, 0, 0);
    glBegin(GL_QUADS);
    for (int i = 0; i < l.quadCount; ++i) {
        const PlannerQuad& q = l.quads[i];
        Colour(q.colour);
        for (int k = 0; k < 4; ++k) glVertex2f(q.x[k], q.y[k]);
    }
    glEnd();
    float width = 0.0f;
    bool open = false;
    for (int i = 0; i < l.lineCount; ++i) {
        const PlannerLine& line = l.lines[i];
        if (line.width != width) {
            if (open) glEnd();
            width = line.width;
            glLineWidth(width);
            glBegin(GL_LINES);
            open = true;
        }
        Colour(line.colour);
        glVertex2f(line.x0, line.y0);
        glVertex2f(line.x1, line.y1);
    }
    if (open) glEnd();
    glLineWidth(1.0f);
    for (int i = 0; i < l.textCount; ++i) {
        const PlannerText& t = l.texts[i];
        float rgb[3] = {t.colour.r, t.colour.g, t.colour.b};
        char text[sizeof t.text];  // older SDK headers take the text as char*
        std::memcpy(text, t.text, sizeof text);
        XPLMDrawString(rgb, t.x, t.y, text, nullptr, xplmFont_Basic);
    }
}

void DrawPlanner(XPLMWindowID window, void*) {
    PlannerRect rect;
    XPLMGetWindowGeometry(window, &rect.left, &rect.top, &rect.right, &rect.bottom);
    RefreshScene();
    LayOutPlanner(gPlanner.scene, rect, &gPlanner.layout);
    DrawLayout(gPlanner.layout);
}

// The keys belong to the window exactly while a value is being typed.
void FollowTyping() {
    Planner& p = gPlanner;
    if (p.editor.Typing() == p.keyboard || p.window == nullptr) return;
    p.keyboard = p.editor.Typing();
    XPLMTakeKeyboardFocus(p.keyboard ? p.window : nullptr);
}

void Act(PlannerAction action) {
    Planner& p = gPlanner;
    const char* word = nullptr;
    switch (action) {
        case PlannerAction::kChanged:
            if (p.hooks.planChanged != nullptr) p.hooks.planChanged(p.editor.Plan());
            break;
        case PlannerAction::kStart:
            if (p.hooks.start != nullptr) word = p.hooks.start();
            break;
        case PlannerAction::kSave:
            if (p.hooks.save != nullptr) word = p.hooks.save();
            break;
        case PlannerAction::kClose:
            ClosePlanner();
            return;
        case PlannerAction::kTurnView:
            p.northUp = !p.northUp;
            break;
        case PlannerAction::kPopOut:
            Calls().setPositioningMode(p.window, kPopOutMode, -1);
            break;
        case PlannerAction::kNone:
            break;
    }
    if (word != nullptr) p.editor.SetStatus(word);
}

int ClickPlanner(XPLMWindowID, int x, int y, XPLMMouseStatus status, void*) {
    Planner& p = gPlanner;
    RefreshScene();
    if (status == xplm_MouseDown) {
        Act(p.editor.MouseDown(p.layout.HitTest(x, y), x));
    } else if (status == xplm_MouseDrag) {
        Act(p.editor.MouseDrag(x));
    } else if (status == xplm_MouseUp) {
        Act(p.editor.MouseUp(x));
    }
    FollowTyping();
    return 1;
}

void KeyPlanner(XPLMWindowID, char key, XPLMKeyFlags flags, char virtualKey, void*, int losing) {
    Planner& p = gPlanner;
    RefreshScene();
    if (losing != 0) {
        p.keyboard = false;  // already gone: not taken back
        Act(p.editor.EndTyping());
        return;
    }
    if ((flags & xplm_DownFlag) == 0) return;
    const auto vk = static_cast<unsigned char>(virtualKey);
    EditKey k = EditKey::kCharacter;
    if (vk == kKeyBack)
        k = EditKey::kBackspace;
    else if (vk == kKeyReturn || vk == kKeyEnter || vk == kKeyNumpadEnter)
        k = EditKey::kEnter;
    else if (vk == kKeyEscape)
        k = EditKey::kEscape;
    else if (vk == kKeyTab)
        k = EditKey::kTab;
    Act(p.editor.Key(k, key));
    FollowTyping();
}

XPLMCursorStatus CursorPlanner(XPLMWindowID, int, int, void*) {
    return xplm_CursorDefault;
}

int WheelPlanner(XPLMWindowID, int, int, int, int, void*) {
    return 1;  // the map does not zoom; the wheel goes no further than this window
}

}  // namespace

bool PlannerAvailable() {
    return kModernStruct && Calls().Complete();
}

void OpenPlanner(const PlannerHooks& hooks, const char* status) {
    Planner& p = gPlanner;
    p.hooks = hooks;
    if (status != nullptr) p.editor.SetStatus(status);
    if (p.window != nullptr) {
        XPLMSetWindowIsVisible(p.window, 1);
        XPLMBringWindowToFront(p.window);
        return;
    }
    if (!PlannerAvailable()) return;
    int left = 0, top = 0, right = 0, bottom = 0;
    Calls().screenBoundsGlobal(&left, &top, &right, &bottom);
    XPLMCreateWindow_t params{};
    params.structSize = sizeof params;
    params.left = left + 60;
    params.top = top - 80;
    params.right = params.left + kDefaultWidth;
    params.bottom = params.top - kDefaultHeight;
    params.visible = 1;
    params.drawWindowFunc = DrawPlanner;
    params.handleMouseClickFunc = ClickPlanner;
    params.handleKeyFunc = KeyPlanner;
    params.handleCursorFunc = CursorPlanner;
    params.handleMouseWheelFunc = WheelPlanner;
#if TARVOSK_XPLM_WINDOW_STRUCT_3X
    params.decorateAsFloatingWindow = xplm_WindowDecorationRoundRectangle;
    params.layer = xplm_WindowLayerFloatingWindows;
    params.handleRightClickFunc = ClickPlanner;
#endif
    p.window = XPLMCreateWindowEx(&params);
    if (p.window == nullptr) return;
    Calls().setTitle(p.window, "Tarvosk pushback planner");
    Calls().setResizingLimits(p.window, kPlannerMinWidth, kPlannerMinHeight, 2000, 2000);
    // In VR a window on the desktop would not be seen.
    static XPLMDataRef vr = XPLMFindDataRef("sim/graphics/VR/enabled");
    if (vr != nullptr && XPLMGetDatai(vr) != 0) {
        Calls().setPositioningMode(p.window, kVrMode, -1);
    }
}

void ClosePlanner() {
    Planner& p = gPlanner;
    if (p.window == nullptr) return;
    if (p.editor.Typing()) p.editor.Key(EditKey::kEscape, 0);
    FollowTyping();
    XPLMDestroyWindow(p.window);
    p.window = nullptr;
}

bool PlannerIsOpen() {
    return gPlanner.window != nullptr && XPLMGetWindowIsVisible(gPlanner.window) != 0;
}

void SetPlannerStatus(const char* status) {
    gPlanner.editor.SetStatus(status != nullptr ? status : "");
}

}  // namespace tarvosk
