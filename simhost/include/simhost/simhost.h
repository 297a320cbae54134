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

// An airport of the host's navigation database (XPLMFindNavAid, XPLMGetNavAidInfo).
struct AirportInfo {
    std::string id, name;                // at most 7 and 79 characters
    double latitude = 0, longitude = 0;  // degrees, north and east positive
    double elevation = 0;                // metres above sea level
};
// The default airport; local (0, 0, 0) lies on its reference point unless a scenario moves it.
inline const AirportInfo kDefaultAirport{"XSIM", "Simhost International", 47.4582, 8.5481, 432.0};

// Where LoadPlugin installs a plug-in in the sandbox: beside its data folder
// (plugins/Tarvosk.xpl), or inside it in a platform folder (plugins/Tarvosk/lin_x64/Tarvosk.xpl).
enum class PluginLayout { Flat, Fat };

struct HostConfig {
    std::filesystem::path sandbox;  // run folder, laid out like an X-Plane installation; created
    int xplaneVersion = 12100;      // first result of XPLMGetVersions
    int xplmVersion = 411;
    double framesPerSecond = 30.0;
    int screenWidth = 1920;  // XPLMGetScreenSize
    int screenHeight = 1080;
    std::vector<std::string> omitDatarefs;  // simulator datarefs left out of the registry
    std::filesystem::path aircraftFile;     // empty: the default airliner shipped with the host
    // "modern" (Vulkan or Metal: the 3-D phases 0 to 30 are never called, objects show as
    // instances), "opengl" (phases called; refused from 12000 on), or empty: by the version.
    std::string driver;
    PluginLayout layout = PluginLayout::Flat;
    // Where local (0, 0, 0) lies on the earth (XPLMLocalToWorld), and the airports the
    // navigation database holds besides the default one (which `defaultAirport` false drops).
    double originLatitude = kDefaultAirport.latitude, originLongitude = kDefaultAirport.longitude;
    double originElevation = kDefaultAirport.elevation;
    std::vector<AirportInfo> airports;
    bool defaultAirport = true;
};

// The first version that draws only with Vulkan or Metal, and why it refuses OpenGL.
inline constexpr int kFirstVulkanOnlyVersion = 12000;
inline constexpr const char* kOpenGlRefusal =
    "driver opengl is impossible from version 12000 on: X-Plane 12 draws only with Vulkan or "
    "Metal";

// Fresh process-wide host at time 0 (unloads every plug-in first).
SIMHOST_API bool Reset(const HostConfig& config, std::string* error);
// Unloads every plug-in and ends the host, closing its files (Log.txt) so that its sandbox can
// be emptied: Windows removes no file that is open.
SIMHOST_API void Shutdown();
SIMHOST_API const HostConfig& Config();

// Plug-ins. LoadPlugin copies the .xpl to <sandbox>/Resources/plugins/<name>.xpl (flat layout)
// or <sandbox>/Resources/plugins/<name>/lin_x64/<name>.xpl (fat layout), unless it already lies
// there, and opens it with dlopen(RTLD_NOW | RTLD_LOCAL); returns an id > 0, or -1 with *error set.
SIMHOST_API std::filesystem::path PluginInstallPath(const std::filesystem::path& xpl);
// True when `xpl` is a file that can be a plug-in (a shared library); else false, *why saying
// what it is instead. LoadPlugin checks it first; the program checks --plugin before a run.
SIMHOST_API bool CheckPluginFile(const std::filesystem::path& xpl, std::string* why);
// The platform folder of the fat layout on this host: "lin_x64", or "win_x64" on Windows.
SIMHOST_API const char* PlatformFolder();
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
SIMHOST_API double FramesPerSecond();

// Host -> plug-in message (toPlugin -1 = every enabled plug-in).
SIMHOST_API void SendMessageFromHost(int toPlugin, int message, void* param);

// Datarefs, bypassing write protection (test set-up); false if unknown.
SIMHOST_API bool SetDataref(const std::string& name, double value);
SIMHOST_API bool SetDatarefArray(const std::string& name, const std::vector<float>& values,
                                 int offset = 0);
// Text into a byte dataref: from `offset` (one field of many) with its terminator.
SIMHOST_API bool SetDatarefBytes(const std::string& name, const std::string& bytes, int offset = 0);
SIMHOST_API double GetDataref(const std::string& name, int index = 0);  // NaN if unknown
SIMHOST_API std::string GetDatarefBytes(const std::string& name);       // empty if unknown
SIMHOST_API bool DatarefExists(const std::string& name);
// Why no value can be written to a dataref from here: "read only" (a plug-in's, registered
// without a setter), "its plug-in is disabled", "its plug-in unregistered it" or "unknown
// dataref"; empty when a value of its type and within its size would be taken.
SIMHOST_API std::string DatarefWriteRefusal(const std::string& name);
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
// How often plug-ins looked `name` up with XPLMFindDataRef, found or not.
SIMHOST_API int DatarefLookups(const std::string& name);

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
// Modern windows, found by their title, used as the user does (window_input.cpp). Points are
// offsets from the client area's top-left corner, y downwards; above it (y < 0) lies the
// title bar of a decorated window. A mouse path is pressed at its first point, dragged
// through the others (a frame runs after each) and released at the last; the click goes to
// the frontmost window there, as the simulator's would. False with *why when the window
// is absent, hidden, covered at that point, or refused the press.
struct ModernWindowInfo {
    std::uintptr_t id = 0;
    std::string title;
    bool modern = false;  // false: a legacy window
    int decoration = 0, layer = 0, positioning = 0;
    bool poppedOut = false, inVr = false, inFront = false, hasKeyboardFocus = false;
};
SIMHOST_API std::uintptr_t FindWindowByTitle(const std::string& title);  // 0 if none
SIMHOST_API ModernWindowInfo WindowDetails(std::uintptr_t id);
SIMHOST_API bool MouseInWindow(std::uintptr_t id, const std::vector<std::pair<int, int>>& path,
                               bool rightButton, std::string* why);
// Text typed on the keyboard while the window has the keyboard focus (each character a key
// down and up, through the key sniffers first); false when it lacks the focus.
SIMHOST_API bool TypeInWindow(std::uintptr_t id, const std::string& text, std::string* why);
// The user drags the window's edge: the client area becomes width x height within the
// window's resizing limits, its top-left corner staying. Only resizable decorations.
SIMHOST_API bool ResizeWindowByUser(std::uintptr_t id, int width, int height, std::string* why);
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
SIMHOST_API std::vector<WidgetInfo> Widgets();    // in drawing order: the front root's tree last
SIMHOST_API bool ClickWidget(std::uintptr_t id);  // mouse down and up on its centre
SIMHOST_API bool CloseWidgetWindow(std::uintptr_t id);  // the close box of a main window
// The widget a user clicks for `descriptor`: the widget itself, or for a check box's label
// the box beside it; 0 when nothing visible has that descriptor.
SIMHOST_API std::uintptr_t FindWidgetToClick(const std::string& descriptor);
// The visible slider (scroll bar) in the row of the caption `label`, or the first visible one
// when `label` is empty; 0 when none.
SIMHOST_API std::uintptr_t FindSlider(const std::string& label);
// Drags a slider's thumb to `value` (clamped to its range), one position at a time, each
// reported up the chain as the host's widgets do. False for a hidden or disabled bar.
SIMHOST_API bool DragSlider(std::uintptr_t id, int value);
SIMHOST_API std::intptr_t WidgetProperty(std::uintptr_t id, int property);
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
SIMHOST_API std::filesystem::path Sandbox();  // absolute; empty before Reset
// Commands (XPLMCreateCommand). phase: 0 begin, 2 end, -1 once (begin and end).
struct CommandInfo {
    std::string name, description;
    int handlers;  // registered and not removed
};
SIMHOST_API std::vector<CommandInfo> Commands();
SIMHOST_API bool RunCommand(const std::string& name, int phase);  // false if unknown

// Drawing driver and instances.
SIMHOST_API bool ModernDriver();
SIMHOST_API long long SceneDrawCalls();  // draw callbacks called in the 3-D phases 0 to 30
struct InstanceInfo {
    std::uintptr_t id;
    std::filesystem::path objectPath;
    bool positioned;
    float x, y, z, pitch, heading, roll;
};
SIMHOST_API std::vector<InstanceInfo> Instances();
SIMHOST_API int ObjectLoads();    // successful XPLMLoadObject calls
SIMHOST_API int ObjectUnloads();  // XPLMUnloadObject calls that matched a load
SIMHOST_API int ObjectsLoadedNow();

SIMHOST_API void SetAfterFrameHook(std::function<void()> hook);  // runs after every frame
// Pictures show the aircraft's path since the host started as a blue line on the ground.
SIMHOST_API void ShowTrail(bool on);

// Graphics. The host draws with a real OpenGL context (EGL on Mesa, no window). Where none can
// be had, GraphicsAvailable is false (the reason in *why and in the host log), the draw phases
// are skipped, and pictures fail; everything else runs.
SIMHOST_API bool GraphicsAvailable(std::string* why = nullptr);
// A picture of the scene: "outside" (a chase view beside the nose, following the aircraft),
// "top" (from above, north up) or "tug" (the camera as it is, e.g. the plug-in's truck view).
struct PictureRequest {
    std::string view = "outside";  // outside, top, tug, or screen (the 2-D screen alone)
    int width = 1280, height = 720;
    // view screen: the part of the screen shown, 1 pixel per screen pixel, from this lower-left
    // corner; width and height are its size.
    int screenLeft = 0, screenBottom = 0;
};
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;                  // rows from the top, 4 bytes per pixel
    double projection[16] = {}, modelview[16] = {};  // column-major, as OpenGL keeps them
};
// Runs one frame and draws it at full size: the host's scene, every draw phase, the windows
// and widgets. Time advances by that frame.
// Texture numbers XPLMGenerateTextureNumbers handed out since Reset, in order; and whether the
// GL texture of a number still exists (false without OpenGL).
SIMHOST_API std::vector<int> TextureNumbersHandedOut();
SIMHOST_API bool TextureStillExists(int number);
SIMHOST_API bool TakePicture(const PictureRequest& request, Picture* out, std::string* error);
SIMHOST_API bool WritePng(const std::filesystem::path& file, const Picture& picture,
                          std::string* error);
// Where a local-coordinates point lands in the picture (pixels from the left and from the
// top); false when it is behind the camera.
SIMHOST_API bool ProjectToPicture(const Picture& picture, double x, double y, double z, double* px,
                                  double* py);
// An animation: from now on a picture every `interval` simulated seconds, kept in memory until
// StopAnimation writes them as one animated PNG.
SIMHOST_API bool StartAnimation(const PictureRequest& request, double interval, std::string* error);
SIMHOST_API bool AnimationRunning();
SIMHOST_API int AnimationFrames();
SIMHOST_API bool StopAnimation(const std::filesystem::path& file, std::string* error);
// Pictures side by side with a label under each and a title above, written as one PNG.
SIMHOST_API bool WriteContactSheet(const std::filesystem::path& file,
                                   const std::vector<std::filesystem::path>& pictures,
                                   const std::vector<std::string>& labels, int columns,
                                   const std::string& title, std::string* error);
// The same in sections, each under its heading (none when empty) and starting a new row: the
// demo puts the runs of several scenarios on one sheet. Labels default to the files' names.
struct ContactSheetSection {
    std::string heading;
    std::vector<std::filesystem::path> pictures;
    std::vector<std::string> labels;
};
SIMHOST_API bool WriteContactSheet(const std::filesystem::path& file,
                                   const std::vector<ContactSheetSection>& sections, int columns,
                                   const std::string& title, std::string* error);
SIMHOST_API bool ReadPng(const std::filesystem::path& file, Picture* out, std::string* error);
// The picture `width` pixels wide (never wider than it is), each pixel the mean of the box it
// covers; the height keeps the proportions.
SIMHOST_API Picture ShrinkPicture(const Picture& picture, int width);

}  // namespace simhost
