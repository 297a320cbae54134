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
    int pilotValue = 1;    // what the pilot had before the first message of the story
};
TextRestore gTextRestore;

void GiveTextOutputBack() {
    gTextRestore.pending = false;
    // Written only when it differs: a pilot who had it off never gets it forced on.
    if (XPLMGetDatai(gHostData.textOut) != gTextRestore.pilotValue) {
        XPLMSetDatai(gHostData.textOut, gTextRestore.pilotValue);
    }
}

}  // namespace

void SpeakCrewMessage(const char* text) {
    if (!gSettings.AURAL_CREW_MESSAGE) return;
    // Remembered before the first change only: later messages find our own 0 there.
    if (!gTextRestore.pending) gTextRestore.pilotValue = XPLMGetDatai(gHostData.textOut);
    // Otherwise the host prints what it speaks on top of our window.
    XPLMSetDatai(gHostData.textOut, 0);
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
