// How the ground crew talks: speech through the host, a small written-message window, and the
// host's own text output switched off around speech and given back to the pilot afterwards.
#pragma once

#include "xplm/host.h"

namespace tarvosk {

// Colour kinds of a written message.
enum CrewColour : int { kCrewBlue = 1, kCrewGreen = 2, kCrewRed = 3 };

// Longest text the window shows (98 characters); anything longer is replaced by a notice.
inline constexpr int kCrewTextMax = 98;

// One message per window: the window owns the record it was created with.
struct CrewTextRecord {
    unsigned char colourKind = kCrewGreen;
    char text[103] = {};
    int expiresAt = 0;  // whole seconds of the host's elapsed time
};

// Speaks `text` when AURAL_CREW_MESSAGE is on, muting the host's text output first and
// scheduling the pilot's value to come back 15 seconds later.
void SpeakCrewMessage(const char* text);

// Shows `text` for `seconds` in colour `kind` when WRITTEN_CREW_MESSAGE is on; replaces any
// message on screen.
void ShowCrewText(const char* text, int seconds, int kind);

// Speaks then shows: what every crew message does.
void SayCrewMessage(const char* text, int seconds, int kind);

// Gives the pilot's text output back 15 seconds from now (each spoken message calls it).
void ScheduleTextRestore();

// The window's draw callback; `refcon` is its CrewTextRecord.
void DrawCrewText(XPLMWindowID window, void* refcon);

// The current message window, or null (for tests and diagnostics).
XPLMWindowID CrewWindow();
const CrewTextRecord& CrewRecord();

}  // namespace tarvosk
