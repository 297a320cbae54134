// The written-message window: one legacy host window near the top left, replaced by every
// new message and hidden once its time is up.
#include <cstdio>
#include <cstring>

#include "config/settings.h"
#include "pushback/crew_messages.h"

namespace tarvosk {

namespace {

constexpr char kTooLong[] = "Text Too long [MAX 100 CHARACTERES]";
constexpr int kCharWidth = 6;
constexpr int kTopMargin = 32;  // from the top of the screen to the top of the window
constexpr int kHeight = 30;

// At most one window exists, so one record serves it; it is rewritten only after the old
// window is gone or about to go, never while a draw callback could see it half-written.
CrewTextRecord gRecord;
XPLMWindowID gWindow = nullptr;

const float* ColourOf(int kind) {
    static const float kColours[3][3] = {
        {0.4f, 0.4f, 0.9f}, {0.4f, 0.9f, 0.4f}, {0.9f, 0.4f, 0.4f}};
    if (kind < 1 || kind > 3) kind = kCrewGreen;
    return kColours[kind - 1];
}

}  // namespace

XPLMWindowID CrewWindow() {
    return gWindow;
}
const CrewTextRecord& CrewRecord() {
    return gRecord;
}

void ShowCrewText(const char* text, int seconds, int kind) {
    if (!gSettings.WRITTEN_CREW_MESSAGE) return;
    if (gWindow != nullptr) {
        XPLMDestroyWindow(gWindow);
        gWindow = nullptr;
    }
    gRecord.colourKind = static_cast<unsigned char>(kind);
    gRecord.expiresAt = static_cast<int>(XPLMGetElapsedTime()) + seconds;
    const char* shown = std::strlen(text) > static_cast<size_t>(kCrewTextMax) ? kTooLong : text;
    std::snprintf(gRecord.text, sizeof gRecord.text, "%s", shown);
    const int n = static_cast<int>(std::strlen(gRecord.text));
    // 32 pixels below the top of the screen, whatever its height (688 on a 720-pixel screen).
    // Top above bottom, so the text drawn 20 pixels above the bottom lies inside the box
    // (given the other way round the box is drawn below its own text).
    int screenWidth = 0, screenHeight = 0;
    XPLMGetScreenSize(&screenWidth, &screenHeight);
    const int top = screenHeight - kTopMargin;
    gWindow = XPLMCreateWindow(10, top, kCharWidth * n + 40, top - kHeight, 1, DrawCrewText,
                               nullptr, nullptr, &gRecord);
}

void DrawCrewText(XPLMWindowID window, void* refcon) {
    auto* record = static_cast<CrewTextRecord*>(refcon);
    if (record == nullptr) return;
    if (XPLMGetElapsedTime() > static_cast<float>(record->expiresAt)) {
        XPLMSetWindowIsVisible(window, 0);  // this frame is still drawn
    }
    const int n = static_cast<int>(std::strlen(record->text));
    int left = 0, top = 0, right = 0, bottom = 0;
    XPLMGetWindowGeometry(window, &left, &top, &right, &bottom);
    XPLMSetWindowGeometry(window, left, top, left + kCharWidth * n + 30, bottom);
    XPLMGetWindowGeometry(window, &left, &top, &right, &bottom);
    XPDrawWindow(left, bottom, right, top, xpWindow_Screen);

    float shadow[3] = {0.1f, 0.1f, 0.1f};
    float colour[3];
    std::memcpy(colour, ColourOf(record->colourKind), sizeof colour);
    XPLMDrawString(shadow, left + 16, bottom + 19, record->text, nullptr, xplmFont_Basic);
    XPLMDrawString(colour, left + 15, bottom + 20, record->text, nullptr, xplmFont_Basic);
    XPLMSetGraphicsState(0, 0, 0, 0, 0, 0, 0);
}

}  // namespace tarvosk
