// The five functions the host looks up in the library; nothing else is exported.
//
// Each one runs its sequence (start.cpp, enable.cpp, stop.cpp, messages.cpp) inside a guard,
// so no exception crosses into the host: a failure is logged and reported as a failure.
#include "shell/guard.h"
#include "shell/lifecycle.h"
#include "xplm/host.h"

TARVOSK_PLUGIN_API int XPluginStart(char* outName, char* outSignature, char* outDescription) {
    return tarvosk::Guarded("XPluginStart", 0, [&] {
        return tarvosk::StartPlugin(outName, outSignature, outDescription);
    });
}

TARVOSK_PLUGIN_API int XPluginEnable(void) {
    return tarvosk::Guarded("XPluginEnable", 0, [] { return tarvosk::EnablePlugin(); });
}

TARVOSK_PLUGIN_API void XPluginDisable(void) {
    tarvosk::Guarded("XPluginDisable", [] { tarvosk::DisablePlugin(); });
}

TARVOSK_PLUGIN_API void XPluginStop(void) {
    tarvosk::Guarded("XPluginStop", [] { tarvosk::StopPlugin(); });
}

TARVOSK_PLUGIN_API void XPluginReceiveMessage(XPLMPluginID from, int message, void* param) {
    tarvosk::Guarded("XPluginReceiveMessage",
                     [&] { tarvosk::ReceiveMessage(from, message, param); });
}
