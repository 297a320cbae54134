// A plug-in that breaks the loading rule: it finds a dataref from a static initialiser, while
// its library loads and before the host has called XPluginStart.
#include <cstring>

#include "xplm/host.h"

namespace {

XPLMDataRef g_early = XPLMFindDataRef("sim/time/total_running_time_sec");

void CopyOut(char* to, const char* text) {
    std::strncpy(to, text, 255);
    to[255] = '\0';
}

}  // namespace

TARVOSK_PLUGIN_API int XPluginStart(char* name, char* signature, char* description) {
    CopyOut(name, "EagerTest");
    CopyOut(signature, "tarvosk.eagertest");
    CopyOut(description, g_early != nullptr ? "found early" : "found nothing early");
    return 1;
}
TARVOSK_PLUGIN_API int XPluginEnable(void) {
    return 1;
}
TARVOSK_PLUGIN_API void XPluginDisable(void) {}
TARVOSK_PLUGIN_API void XPluginStop(void) {}
TARVOSK_PLUGIN_API void XPluginReceiveMessage(XPLMPluginID, int, void*) {}
