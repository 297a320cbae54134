// A tiny plug-in for the simulated host's own tests: it exercises the dlopen path, symbol
// binding, flight loops, a menu, dataref accessors, messages, a hot key, a window and a file
// that survives a restart, independent of the real plug-in.
#include <cstdio>
#include <cstring>
#include <string>

#include "xplm/host.h"

namespace {

int g_loopCalls = 0;
int g_lastMessage = 0;
int g_runs = 0;  // read from and written to runs.txt in the data folder
float g_lastElapsed = 0;
XPLMMenuID g_menu = nullptr;
int g_checkItem = -1;
XPLMDataRef g_counterRef = nullptr;
XPLMDataRef g_messageRef = nullptr;
XPLMDataRef g_runsRef = nullptr;
XPLMDataRef g_elapsedRef = nullptr;
XPLMHotKeyID g_hotKey = nullptr;
XPLMWindowID g_window = nullptr;
std::string g_dataFolder;

float Loop(float sinceLast, float, int, void*) {
    ++g_loopCalls;
    g_lastElapsed = sinceLast;
    return 1.0f;
}

int ReadCounter(void*) {
    return g_loopCalls;
}
void WriteCounter(void*, int v) {
    g_loopCalls = v;
}
int ReadMessage(void*) {
    return g_lastMessage;
}
int ReadRuns(void*) {
    return g_runs;
}
float ReadElapsed(void*) {
    return g_lastElapsed;
}

void Menu(void*, void* item) {
    if (item == reinterpret_cast<void*>(1)) {
        XPLMSendMessageToPlugin(XPLM_NO_PLUGIN_ID, 0x12345678, nullptr);
    } else if (item == reinterpret_cast<void*>(2)) {
        XPLMCheckMenuItem(g_menu, g_checkItem, xplm_Menu_Checked);
    }
}

void HotKey(void*) {
    XPLMSpeakString("simtest hot key");
}

void Draw(XPLMWindowID window, void*) {
    int l, t, r, b;
    XPLMGetWindowGeometry(window, &l, &t, &r, &b);
    float white[3] = {1, 1, 1};
    char text[] = "hello from simtest";  // SDK 2.1.x declares the text without const
    XPLMDrawString(white, l + 5, b + 5, text, nullptr, xplmFont_Basic);
}

void ReadRunsFile() {
    FILE* f = std::fopen((g_dataFolder + "runs.txt").c_str(), "r");
    if (!f) return;
    if (std::fscanf(f, "%d", &g_runs) != 1) g_runs = 0;
    std::fclose(f);
}

void WriteRunsFile() {
    FILE* f = std::fopen((g_dataFolder + "runs.txt").c_str(), "w");
    if (!f) return;
    std::fprintf(f, "%d\n", g_runs);
    std::fclose(f);
}

}  // namespace

TARVOSK_PLUGIN_API int XPluginStart(char* name, char* sig, char* desc) {
    std::strcpy(name, "SimTest");
    std::strcpy(sig, "tarvosk.simtest");
    std::strcpy(desc, "Exercises the simulated host.");
    char path[512];
    XPLMGetPluginInfo(XPLMGetMyID(), nullptr, path, nullptr, nullptr);
    std::string p = path;
    g_dataFolder = p.substr(0, p.size() - 4) + XPLMGetDirectorySeparator();  // ".../SimTest/"
    ReadRunsFile();
    ++g_runs;
    XPLMRegisterFlightLoopCallback(Loop, 1.0f, nullptr);
    XPLMMenuID plugins = XPLMFindPluginsMenu();
    int item = XPLMAppendMenuItem(plugins, "SimTest", nullptr, 1);
    g_menu = XPLMCreateMenu("SimTest", plugins, item, Menu, nullptr);
    XPLMAppendMenuItem(g_menu, "Ping", reinterpret_cast<void*>(1), 1);
    XPLMAppendMenuSeparator(g_menu);
    g_checkItem = XPLMAppendMenuItem(g_menu, "Check me", reinterpret_cast<void*>(2), 1);
    XPLMCheckMenuItem(g_menu, g_checkItem, xplm_Menu_Unchecked);
    g_counterRef = XPLMRegisterDataAccessor(
        "simtest/counter", xplmType_Int, 1, ReadCounter, WriteCounter, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    g_messageRef = XPLMRegisterDataAccessor(
        "simtest/last_message", xplmType_Int, 0, ReadMessage, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    g_runsRef = XPLMRegisterDataAccessor("simtest/runs", xplmType_Int, 0, ReadRuns, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    g_elapsedRef = XPLMRegisterDataAccessor(
        "simtest/since_last_call", xplmType_Float, 0, nullptr, nullptr, ReadElapsed, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    return 1;
}

TARVOSK_PLUGIN_API int XPluginEnable(void) {
    g_hotKey = XPLMRegisterHotKey(static_cast<char>(XPLM_VK_F12), xplm_DownFlag, "SimTest key",
                                  HotKey, nullptr);
    g_window = XPLMCreateWindow(10, 700, 200, 670, 1, Draw, nullptr, nullptr, nullptr);
    return 1;
}

TARVOSK_PLUGIN_API void XPluginDisable(void) {
    XPLMUnregisterHotKey(g_hotKey);
    XPLMDestroyWindow(g_window);
    g_hotKey = nullptr;
    g_window = nullptr;
}

TARVOSK_PLUGIN_API void XPluginStop(void) {
    XPLMUnregisterFlightLoopCallback(Loop, nullptr);
    XPLMUnregisterDataAccessor(g_counterRef);
    XPLMUnregisterDataAccessor(g_messageRef);
    XPLMUnregisterDataAccessor(g_runsRef);
    XPLMUnregisterDataAccessor(g_elapsedRef);
    WriteRunsFile();
}

TARVOSK_PLUGIN_API void XPluginReceiveMessage(XPLMPluginID, int message, void*) {
    g_lastMessage = message;
}
