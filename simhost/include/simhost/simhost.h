// In-process control of the simulated host.
//
// The host implements the SDK functions declared in src/xplm/tarvosk_xplm.h with C linkage and
// default visibility, so a plug-in loaded with dlopen binds to them. Everything here drives
// that host from tests and from the scenario runner. All of it is single-threaded and runs on
// virtual time: the same calls give the same results on every run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "xplm/host.h"

#if defined(__GNUC__)
#define SIMHOST_API __attribute__((visibility("default")))
#else
#define SIMHOST_API
#endif

namespace simhost {

// Where LoadPlugin installs a plug-in in the sandbox: beside its data folder
// (plugins/Tarvosk.xpl), or inside it in a platform folder (plugins/Tarvosk/lin_x64/Tarvosk.xpl).
enum class PluginLayout { Flat, Fat };

struct HostConfig {
    std::filesystem::path sandbox;  // run folder, laid out like an X-Plane installation; created
    int xplaneVersion = 12100;      // first result of XPLMGetVersions
    int xplmVersion = 411;
    double framesPerSecond = 30.0;
    std::vector<std::string> omitDatarefs;  // simulator datarefs left out of the registry
    std::filesystem::path aircraftFile;     // empty: the default airliner shipped with the host
    PluginLayout layout = PluginLayout::Flat;
};

// Fresh process-wide host at time 0 (unloads every plug-in first).
SIMHOST_API bool Reset(const HostConfig& config, std::string* error);
SIMHOST_API const HostConfig& Config();

// Plug-ins. LoadPlugin copies the .xpl to <sandbox>/Resources/plugins/<name>.xpl (flat layout)
// or <sandbox>/Resources/plugins/<name>/lin_x64/<name>.xpl (fat layout), unless it already lies
// there, and opens it with dlopen(RTLD_NOW | RTLD_LOCAL); returns an id > 0, or -1 with *error set.
SIMHOST_API std::filesystem::path PluginInstallPath(const std::filesystem::path& xpl);
SIMHOST_API int LoadPlugin(const std::filesystem::path& xpl, std::string* error);
SIMHOST_API bool StartPlugin(int id);
SIMHOST_API bool EnablePlugin(int id);
SIMHOST_API void DisablePlugin(int id);
SIMHOST_API void StopPlugin(int id);
SIMHOST_API void UnloadPlugin(int id);  // dlclose; records a warning if it stays loaded
SIMHOST_API bool PluginEnabled(int id);
SIMHOST_API std::string PluginName(int id);  // the name the plug-in gave in XPluginStart

// Unit tests link plug-in code directly instead of loading a .xpl: this registers a plug-in
// identity (XPLMGetMyID and XPLMGetPluginInfo answer for it; callbacks registered while it is
// current belong to it) with the given file path (e.g. <sandbox>/Resources/plugins/Tarvosk.xpl).
// The identity starts enabled and is current until another plug-in is entered.
SIMHOST_API int AttachInProcessPlugin(const std::string& name,
                                      const std::filesystem::path& xplPath);

// Time. Each frame: advance time 1/fps, aircraft model, flight loops, draw callbacks, windows,
// camera callback.
SIMHOST_API void RunFrames(int frames);
SIMHOST_API void RunSeconds(double seconds);  // whole frames
SIMHOST_API double Now();                     // virtual seconds since Reset
SIMHOST_API long long FrameCount();
SIMHOST_API bool SetFramesPerSecond(double fps);  // from the next frame on

// Host -> plug-in message (toPlugin -1 = every enabled plug-in).
SIMHOST_API void SendMessageFromHost(int toPlugin, int message, void* param);

// Datarefs, bypassing write protection (test set-up); false if unknown.
SIMHOST_API bool SetDataref(const std::string& name, double value);
SIMHOST_API bool SetDatarefArray(const std::string& name, const std::vector<float>& values,
                                 int offset = 0);
SIMHOST_API bool SetDatarefBytes(const std::string& name, const std::string& bytes);
SIMHOST_API double GetDataref(const std::string& name, int index = 0);  // NaN if unknown
SIMHOST_API std::string GetDatarefBytes(const std::string& name);       // empty if unknown
SIMHOST_API bool DatarefExists(const std::string& name);
// For reading the same dataref every frame without a name lookup. A handle stays valid until
// the next Reset; reading gives NaN when the dataref's owner is disabled or gone.
using DatarefHandle = const void*;
SIMHOST_API DatarefHandle LookupDataref(const std::string& name);  // nullptr if unknown
SIMHOST_API double ReadDataref(DatarefHandle handle, int index = 0);
// Ground speed and height above ground follow the aircraft's motion unless set from here;
// a set value holds until released.
SIMHOST_API bool ReleaseDataref(const std::string& name);
SIMHOST_API int ReadOnlyWrites();     // plug-in writes to read-only datarefs (ignored)
SIMHOST_API int BadHandleAccesses();  // reads/writes through null, unknown or mismatched handles

// UI
SIMHOST_API bool ChooseMenuItem(const std::string& path);  // "Plugins/Tarvosk/Push straight back"
SIMHOST_API int MenuItemCheck(const std::string& path);    // 0/1/2, or -1 if absent
SIMHOST_API int MenuItemEnabled(const std::string& path);  // 0/1, or -1 if absent
SIMHOST_API std::vector<std::string> MenuItemNames(const std::string& path);  // "-" for separators
SIMHOST_API bool PressKey(int virtualKey,
                          int flags);  // hot keys and key sniffers; true if consumed
struct WindowInfo {
    std::uintptr_t id;
    int left, top, right, bottom;
    bool visible;
    std::vector<std::string> textLastFrame;
};
SIMHOST_API std::vector<WindowInfo> Windows();
SIMHOST_API bool ClickWindow(std::uintptr_t id, int x, int y);  // down then up; true if consumed
// Widgets (roots collect the text drawn inside them)
struct WidgetInfo {
    std::uintptr_t id, parent;
    int widgetClass;  // 0 for custom widgets
    std::string descriptor;
    int left, top, right, bottom;
    bool visible;  // the whole chain up to the root is visible
    bool isRoot;
    std::vector<std::string> textLastFrame;
};
SIMHOST_API std::vector<WidgetInfo> Widgets();
SIMHOST_API bool ClickWidget(std::uintptr_t id);        // mouse down and up on its centre
SIMHOST_API bool CloseWidgetWindow(std::uintptr_t id);  // the close box of a main window
// Sets a property as the user would (e.g. dragging a slider), then sends `notifyMessage`
// (0: none) up the chain with the widget and the value.
SIMHOST_API bool SetWidgetProperty(std::uintptr_t id, int property, std::intptr_t value,
                                   int notifyMessage);
SIMHOST_API std::vector<std::string> ScreenTextLastFrame();  // drawn outside windows and widgets
SIMHOST_API bool CameraControlled();
SIMHOST_API XPLMCameraPosition_t CameraPose();  // pose after the last frame
SIMHOST_API void ChangeView();                  // the user picks another view

// Records
struct SpeechRecord {
    double time;
    std::string text;
};
struct MessageRecord {
    double time;
    int from, to, message;
    std::intptr_t param;
};
struct TimelineEvent {
    double time;
    std::string text;
};
SIMHOST_API const std::vector<SpeechRecord>& Speech();
SIMHOST_API const std::vector<MessageRecord>& SentMessages();  // every XPLMSendMessageToPlugin
SIMHOST_API const std::vector<TimelineEvent>& Timeline();
SIMHOST_API void AddTimelineEvent(const std::string& text);
SIMHOST_API int FlightLoopDoubleRegistrations();
SIMHOST_API int PluginFaults();  // e.g. a flight loop unregistering itself from inside its call
SIMHOST_API std::filesystem::path Sandbox();                     // absolute; empty before Reset
SIMHOST_API void SetAfterFrameHook(std::function<void()> hook);  // runs after every frame

}  // namespace simhost
