#include "pushback/crew_messages.h"

#include "config/settings.h"
#include "pushback/host_data.h"
#include "pushback/pushback.h"

namespace tarvosk {

namespace {

struct TextRestore {
    float at = 0.0f;  // ElapsedSeconds time, held as 32-bit
    bool pending = false;
};
TextRestore gTextRestore;

}  // namespace

void SpeakCrewMessage(const char* text) {
    if (!gSettings.AURAL_CREW_MESSAGE) return;
    // Otherwise the host prints what it speaks on top of our window.
    XPLMSetDatai(gHostData.textOut, 0);
    XPLMSpeakString(text);
}

void SayCrewMessage(const char* text, int seconds, int kind) {
    SpeakCrewMessage(text);
    ShowCrewText(text, seconds, kind);
}

void ScheduleTextRestore() {
    gTextRestore.at = static_cast<float>(ElapsedSeconds() + 15.0L);
    gTextRestore.pending = true;
}

float TextRestoreLoop(float, float, int, void*) {
    if (gTextRestore.pending && ElapsedSeconds() > gTextRestore.at) {
        gTextRestore.pending = false;
        if (XPLMGetDatai(gHostData.textOut) != 1) XPLMSetDatai(gHostData.textOut, 1);
    }
    return -1.0f;
}

}  // namespace tarvosk
