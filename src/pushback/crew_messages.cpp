#include "pushback/crew_messages.h"

#include "config/settings.h"
#include "pushback/host_data.h"
#include "pushback/pushback.h"

namespace tarvosk {

namespace {

// The host's text output is the pilot's setting: we only borrow it while the crew speaks.
struct TextRestore {
    float at = 0.0f;       // ElapsedSeconds time, held as 32-bit
    bool pending = false;  // the pilot's value is owed back
    int pilotValue = 1;    // the pilot's latest own choice
};
TextRestore gTextRestore;

// What the crew writes there while it speaks.
constexpr int kCrewTextOut = 0;

// The value no longer reads what the crew wrote: the pilot has chosen again meanwhile.
bool PilotChangedTextOutput() {
    return XPLMGetDatai(gHostData.textOut) != kCrewTextOut;
}

void GiveTextOutputBack() {
    gTextRestore.pending = false;
    // A choice the pilot made while the crew had it wins; so does a pilot who had it off.
    if (PilotChangedTextOutput()) return;
    if (gTextRestore.pilotValue != kCrewTextOut) {
        XPLMSetDatai(gHostData.textOut, gTextRestore.pilotValue);
    }
}

}  // namespace

void SpeakCrewMessage(const char* text) {
    if (!gSettings.AURAL_CREW_MESSAGE) return;
    // The pilot's value before the first message, or one the pilot chose since; a later
    // message that finds the crew's own value there keeps the one remembered.
    if (!gTextRestore.pending || PilotChangedTextOutput()) {
        gTextRestore.pilotValue = XPLMGetDatai(gHostData.textOut);
    }
    // Otherwise the host prints what it speaks on top of our window.
    XPLMSetDatai(gHostData.textOut, kCrewTextOut);
    XPLMSpeakString(text);
    // Whatever ends the story (a completed or stopped pushback, the GPU alone), the pilot's
    // value comes back 15 seconds after the last thing said.
    ScheduleTextRestore();
}

void SayCrewMessage(const char* text, int seconds, int kind) {
    SpeakCrewMessage(text);
    ShowCrewText(text, seconds, kind);
}

void ScheduleTextRestore() {
    gTextRestore.at = static_cast<float>(ElapsedSeconds() + 15.0L);
    gTextRestore.pending = true;
}

void RestoreTextOutputNow() {
    if (gTextRestore.pending) GiveTextOutputBack();
}

float TextRestoreLoop(float, float, int, void*) {
    if (gTextRestore.pending && ElapsedSeconds() > gTextRestore.at) GiveTextOutputBack();
    return -1.0f;
}

}  // namespace tarvosk
