// The one process-wide simulated host: everything the SDK functions and the control API share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sdk/datarefs.h"
#include "simhost/simhost.h"
#include "world/aircraft.h"
#include "world/external_power.h"
#include "world/traffic.h"

namespace simhost::detail {

using StartFn = int (*)(char*, char*, char*);
using VoidFn = void (*)();
using EnableFn = int (*)();
using ReceiveFn = void (*)(XPLMPluginID, int, void*);

enum class PluginState { Loaded, Started, Enabled, Stopped };

struct Plugin {
    int id = 0;
    std::string name, signature, description;
    std::filesystem::path path;  // where the host says the plug-in lives
    void* handle = nullptr;      // dlopen handle; null for in-process identities
    bool inProcess = false;
    PluginState state = PluginState::Loaded;
    StartFn start = nullptr;
    VoidFn stop = nullptr;
    EnableFn enable = nullptr;
    VoidFn disable = nullptr;
    ReceiveFn receive = nullptr;
    bool unloaded = false;
};

struct FlightLoop {
    XPLMFlightLoop_f callback;
    void* refcon;
    int owner;
    bool active = false;  // scheduled at all (interval 0 makes it inactive)
    bool byFrames = false;
    double dueTime = 0;      // when !byFrames
    long long dueFrame = 0;  // when byFrames
    double lastCall = 0;     // time of the last call, or of the registration
    bool removed = false;
};

struct DrawCallback {
    XPLMDrawCallback_f callback;
    XPLMDrawingPhase phase;
    int before;
    void* refcon;
    int owner;
    bool removed = false;
};

// What a modern window has beyond a legacy one. Legacy windows (XPLMCreateWindow, or
// XPLMCreateWindowEx with a 2.x struct or on a simulator before 11) keep the defaults.
struct ModernWindow {
    bool on = false;
    int decoration = 0;   // XPLMWindowDecoration
    int layer = 0;        // XPLMWindowLayer; legacy windows lie in the flight overlay
    int positioning = 0;  // XPLMWindowPositioningMode
    std::string title;
    int minWidth = 0, minHeight = 0, maxWidth = 1 << 20, maxHeight = 1 << 20;
    XPLMHandleCursor_f cursor = nullptr;
    XPLMHandleMouseWheel_f wheel = nullptr;
    XPLMHandleMouseClick_f rightClick = nullptr;
};

struct Window {
    std::uintptr_t id;
    int left, top, right, bottom;
    bool visible;
    XPLMDrawWindow_f draw;
    XPLMHandleKey_f key;
    XPLMHandleMouseClick_f mouse;
    void* refcon;
    int owner;
    bool destroyed = false;
    std::vector<std::string> textThisFrame, textLastFrame;
    ModernWindow modern;  // what XPLMCreateWindowEx with the 3.x struct adds (modern_windows.cpp)
};

struct MenuItem {
    std::string name;  // "-" for a separator
    void* itemRef = nullptr;
    int check = xplm_Menu_NoCheck;
    bool enabled = true;
    bool separator = false;
    struct Menu* submenu = nullptr;
    int owner = 0;  // the plug-in that appended it
};

struct Menu {
    std::string name;
    Menu* parent = nullptr;
    int parentItem = -1;
    XPLMMenuHandler_f handler = nullptr;
    void* menuRef = nullptr;
    int owner = 0;
    bool removed = false;
    std::vector<MenuItem> items;
};

struct HotKey {
    int vkey;
    int flags;
    std::string description;
    XPLMHotKey_f callback;
    void* refcon;
    int owner;
    bool removed = false;
};

struct KeySniffer {
    XPLMKeySniffer_f callback;
    int beforeWindows;
    void* refcon;
    int owner;
    bool removed = false;
};

struct Widget;

struct CommandHandler {
    XPLMCommandCallback_f callback;
    int before;
    void* refcon;
    int owner;
    bool removed = false;
};

struct Command {
    std::string name, description;
    int creator = 0;  // 0: the simulator
    std::vector<CommandHandler> handlers;
    // The simulator's own action, between the handlers before it and those after it.
    XPLMCommandCallback_f simHandler = nullptr;
    void* simRefcon = nullptr;
    bool held = false;  // between begin and end: handlers get the continue phase every frame
};

// An object file loaded through XPLMLoadObject: one per path, reference-counted.
struct SceneObject {
    std::filesystem::path path;  // absolute, as opened
    int owner = 0;
    int loads = 0;                            // loads not yet balanced by an unload
    std::shared_ptr<const void> model;        // the host's drawable copy (instances.cpp)
    bool texturesLoaded = false;              // tried, on the first picture that shows it
    unsigned dayTexture = 0, litTexture = 0;  // GL names; 0: none
};

struct Instance {
    SceneObject* object = nullptr;
    int owner = 0;
    std::vector<std::string> datarefs;
    bool positioned = false;
    XPLMDrawInfo_t pose{};
    std::vector<float> data;
    bool destroyed = false;
};

struct Host {
    HostConfig config;
    std::filesystem::path sandbox;  // absolute
    double now = 0;
    long long frame = 0;
    double baseTime = 0;      // time and frame at the last frame-rate change, so that
    long long baseFrame = 0;  // now = baseTime + (frame - baseFrame) / fps stays exact
    int badAccesses = 0;
    int readOnlyWrites = 0;
    int doubleRegistrations = 0;
    int faults = 0;

    DatarefRegistry data;
    std::map<std::string, int> lookups;  // XPLMFindDataRef calls by name
    Aircraft aircraft;
    AircraftRefs refs;  // the model's own entries (listed or not)
    ExternalPowerRefs power;
    Traffic traffic;    // other aircraft
    DatarefEntry* clockRef = nullptr;
    DatarefEntry* viewExternal = nullptr;

    std::vector<std::unique_ptr<Plugin>> plugins;  // index = id - 1
    std::vector<int> currentStack;                 // plug-ins being called into
    int ambientPlugin = 0;                         // in-process identity outside callbacks
    int messageDepth = 0;

    std::vector<FlightLoop> flightLoops;
    XPLMFlightLoop_f runningCallback = nullptr;
    void* runningRefcon = nullptr;
    bool inFlightLoops = false;
    double lastFlightLoopPass = 0;

    std::vector<DrawCallback> drawCallbacks;
    std::vector<std::unique_ptr<Window>> windows;
    std::uintptr_t nextWindowId = 1;
    Window* drawingWindow = nullptr;
    std::vector<std::uintptr_t> windowOrder;  // back to front within each layer
    std::uintptr_t keyboardFocus = 0;         // window with the keys; 0: the simulator
    std::vector<AirportInfo> airports;        // the navigation database's airports
    DatarefEntry *latitude = nullptr, *longitude = nullptr, *elevation = nullptr;
    std::vector<std::string> screenTextThisFrame, screenTextLastFrame;

    std::vector<std::unique_ptr<Menu>> menus;  // [0] is the menu bar's "Plugins"
    std::vector<std::unique_ptr<HotKey>> hotKeys;
    std::vector<KeySniffer> sniffers;

    bool cameraControlled = false;
    int cameraMode = 0;
    XPLMCameraControl_f cameraCallback = nullptr;
    void* cameraRefcon = nullptr;
    int cameraOwner = 0;
    XPLMCameraPosition_t cameraPose{};

    int nextTexture = 1;
    std::vector<int> texturesHandedOut;  // every number XPLMGenerateTextureNumbers gave
    int graphicsState[7] = {};
    int boundTexture[4] = {};
    long long drawCalls = 0;

    std::vector<std::unique_ptr<Widget>> widgets;

    std::vector<std::unique_ptr<Command>> commands;
    bool modernDriver = false;  // 3-D phases 0 to 30 never called; instances drawn
    bool inDrawCallback = false;
    long long sceneDrawCalls = 0;  // calls into the 3-D phases 0 to 30
    std::vector<std::unique_ptr<SceneObject>> objects;
    std::vector<std::unique_ptr<Instance>> instances;
    int objectLoads = 0, objectUnloads = 0;

    std::vector<SpeechRecord> speech;
    std::vector<MessageRecord> messages;
    std::vector<TimelineEvent> timeline;
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, CloseFile> log;  // the simulator's own log, <sandbox>/Log.txt
    std::function<void()> afterFrame;
    // The aircraft's path on the ground (local x, z), a point every quarter metre; drawn on
    // the apron in pictures when a scenario asks for it.
    std::vector<std::pair<double, double>> trail;
    bool showTrail = false;
};

Host& H();
void NewHost();    // drops the old host entirely
bool HostReady();  // Reset has run

// Around loading a plug-in's library: EndLibraryLoad gives how often the library reached the
// host's state while it loaded (its static initialisers calling SDK functions), which no
// plug-in may do before XPluginStart.
void BeginLibraryLoad();
int EndLibraryLoad();

int CurrentPlugin();
Plugin* FindPlugin(int id);
bool PluginIsEnabled(int id);  // 0 (the simulator) counts as enabled
std::string PluginLabel(int id);

// Runs `fn` with `id` as the current plug-in (XPLMGetMyID inside answers `id`).
class PluginScope {
  public:
    explicit PluginScope(int id) { H().currentStack.push_back(id); }
    ~PluginScope() { H().currentStack.pop_back(); }
    PluginScope(const PluginScope&) = delete;
    PluginScope& operator=(const PluginScope&) = delete;
};

void Log(const std::string& line);    // host log
void Event(const std::string& text);  // timeline (and host log)
void Fault(const std::string& text);  // a plug-in did something the host forbids

// Subsystem hooks used by the frame loop and by unloading.
void RunFlightLoops();
void RunDrawCallbacks();
void RunWindows();
void RunCamera();
void ReleaseCamera(bool notify);
void ForgetPlugin(int id);  // drops every registration the plug-in owns
void ForgetWidgetsOf(int id);
void ClearWidgets();
void InitMenus();
void OutsideView(const std::string& why);
void RunHeldCommands();
void ForgetCommandsOf(int id);
// Makes (or finds) a simulator command whose own action is `handler` (simulator_commands.cpp
// and the files of each command family).
Command* AddSimulatorCommand(const std::string& name, const std::string& description,
                             XPLMCommandCallback_f handler, void* refcon);
void InitGroundOps();  // X-Plane 12's pushback commands and their dataref (ground_ops.cpp)
// Modern windows (modern_windows.cpp): whether this host offers them, the windows in drawing
// order, the window that takes a click at a point, and a key for the focused window.
bool ModernWindowsOffered();
void InitModernWindows();  // the simulator's VR switch (11.20 on)
std::vector<Window*> WindowsBackToFront();
void ForgetWindowOrder();
bool KeyToFocusedWindow(char key, int flags, char virtualKey);
// Latitude and longitude (geodesy.cpp): the aircraft's, kept up to date with its position.
void InitGeodesy();
void UpdateLatLon();
void ForgetInstancesOf(int id);  // also reports loads left unbalanced
void RunTraffic(double dt);      // other aircraft move and are published
// A host-side write for a script: traffic slots it touched become the script's.
void TrafficScriptWrite(const DatarefEntry* e, int offset, int count);

}  // namespace simhost::detail
