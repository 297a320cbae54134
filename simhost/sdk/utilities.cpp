// SDK plug-in identity, messages, paths, versions, speech, keys' names and command buttons.
#include <cstdio>
#include <cstring>

#include "control/host_platform.h"
#include "control/host_state.h"

using namespace simhost::detail;

namespace {

// Copies into a host-sized buffer (the SDK promises 256 or 512 bytes), always terminated.
void CopyOut(char* out, std::size_t size, const std::string& text) {
    if (!out) return;
    std::snprintf(out, size, "%s", text.c_str());
}

std::string Hex(int message) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(message));
    return buf;
}

}  // namespace

void XPLMGetVersions(int* xplaneVersion, int* xplmVersion, XPLMHostApplicationID* hostId) {
    const simhost::HostConfig& c = H().config;
    if (xplaneVersion) *xplaneVersion = c.xplaneVersion;
    if (xplmVersion) *xplmVersion = c.xplmVersion;
    if (hostId) *hostId = xplm_Host_XPlane;
}

XPLMPluginID XPLMGetMyID(void) {
    int id = CurrentPlugin();
    return id > 0 ? id : XPLM_NO_PLUGIN_ID;
}

void XPLMGetPluginInfo(XPLMPluginID plugin, char* outName, char* outFilePath, char* outSignature,
                       char* outDescription) {
    if (plugin == XPLM_PLUGIN_XPLANE) {
        CopyOut(outName, 256, "X-Plane");
        CopyOut(outFilePath, 256, SdkPath(H().sandbox / "X-Plane"));
        CopyOut(outSignature, 256, "xplanesdk.xplane");
        CopyOut(outDescription, 256, "The simulator");
        return;
    }
    Plugin* p = FindPlugin(plugin);
    CopyOut(outName, 256, p ? p->name : "");
    CopyOut(outFilePath, 256, p ? SdkPath(p->path) : "");
    CopyOut(outSignature, 256, p ? p->signature : "");
    CopyOut(outDescription, 256, p ? p->description : "");
}

XPLMPluginID XPLMFindPluginBySignature(const char* signature) {
    if (!HostReady() || !signature) return XPLM_NO_PLUGIN_ID;
    if (std::strcmp(signature, "xplanesdk.xplane") == 0) return XPLM_PLUGIN_XPLANE;
    // Only plug-ins that have started have told the host their signature.
    for (const auto& p : H().plugins) {
        if (!p->unloaded && p->state != PluginState::Loaded && p->signature == signature)
            return p->id;
    }
    return XPLM_NO_PLUGIN_ID;
}

void XPLMSendMessageToPlugin(XPLMPluginID plugin, int message, void* param) {
    if (!HostReady()) return;
    Host& h = H();
    int from = CurrentPlugin();
    h.messages.push_back({h.now, from, plugin, message, reinterpret_cast<std::intptr_t>(param)});
    Event("message " + Hex(message) + " from " + PluginLabel(from) + " to " + PluginLabel(plugin));
    // Plug-ins that answer broadcasts with broadcasts would recurse without end.
    if (h.messageDepth >= 16) {
        Fault("messages nested 16 deep; " + Hex(message) + " not delivered");
        return;
    }
    ++h.messageDepth;
    for (std::size_t k = 0; k < h.plugins.size(); ++k) {
        Plugin& p = *h.plugins[k];
        if (p.unloaded || !p.receive || p.state != PluginState::Enabled) continue;
        if (plugin != XPLM_NO_PLUGIN_ID && plugin != p.id) continue;
        PluginScope scope(p.id);
        p.receive(from, message, param);
    }
    --h.messageDepth;
}

void XPLMGetSystemPath(char* outSystemPath) {
    CopyOut(outSystemPath, 512, SdkPath(H().sandbox) + kDirectorySeparator);
}

void XPLMGetPrefsPath(char* outPrefsPath) {
    CopyOut(outPrefsPath, 512, SdkPath(H().sandbox / "Output" / "preferences" / "X-Plane.prf"));
}

const char* XPLMGetDirectorySeparator(void) {
    return kDirectorySeparator;
}

void XPLMGetNthAircraftModel(int index, char* outFileName, char* outPath) {
    if (index != 0 || !HostReady()) {
        CopyOut(outFileName, 256, "");
        CopyOut(outPath, 512, "");
        return;
    }
    const std::string& name = H().aircraft.name;
    CopyOut(outFileName, 256, name + ".acf");
    CopyOut(outPath, 512, SdkPath(H().sandbox / "Aircraft" / name / (name + ".acf")));
}

void XPLMSpeakString(const char* text) {
    if (!HostReady() || !text) return;
    Host& h = H();
    h.speech.push_back({h.now, text});
    Event(std::string("speech: ") + text);
}

const char* XPLMGetVirtualKeyDescription(char virtualKey) {
    static char names[256][8];
    static bool filled = false;
    if (!filled) {
        for (int k = 0; k < 256; ++k) names[k][0] = '\0';
        for (int k = '0'; k <= '9'; ++k) std::snprintf(names[k], 8, "%c", k);
        for (int k = 'A'; k <= 'Z'; ++k) std::snprintf(names[k], 8, "%c", k);
        for (int k = 0; k < 24; ++k) std::snprintf(names[0x70 + k], 8, "F%d", k + 1);
        for (int k = 0; k < 10; ++k) std::snprintf(names[0x60 + k], 8, "NUM %d", k);
        const struct {
            int code;
            const char* name;
        } named[] = {{0x08, "BACK"},  {0x09, "TAB"},    {0x0D, "RETURN"}, {0x1B, "ESC"},
                     {0x20, "SPACE"}, {0x21, "PGUP"},   {0x22, "PGDN"},   {0x23, "END"},
                     {0x24, "HOME"},  {0x25, "LEFT"},   {0x26, "UP"},     {0x27, "RIGHT"},
                     {0x28, "DOWN"},  {0x2D, "INS"},    {0x2E, "DEL"},    {0xBB, "ENTER"},
                     {0xB0, "="},     {0xBC, "NUM ENT"}};
        for (const auto& n : named) std::snprintf(names[n.code], 8, "%s", n.name);
        filled = true;
    }
    return names[static_cast<unsigned char>(virtualKey)];
}

void XPLMDebugString(const char* text) {
    if (!HostReady() || !text) return;
    Log(std::string("[debug] ") + text);
}

void XPLMCommandButtonPress(XPLMCommandButtonID button) {
    if (!HostReady()) return;
    if (button == xplm_joy_v_spo) {
        OutsideView("command button 46 from " + PluginLabel(CurrentPlugin()));
        return;
    }
    Log("command button " + std::to_string(button) + " pressed");
}

void XPLMCommandButtonRelease(XPLMCommandButtonID button) {
    if (!HostReady()) return;
    if (button != xplm_joy_v_spo) Log("command button " + std::to_string(button) + " released");
}
