// Control API: resetting the host and driving plug-ins through their life.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "control/host_platform.h"
#include "control/host_state.h"
#include "drawing/graphics.h"
#include "simhost/files.h"
#include "simhost/owned_folder.h"
#include "simhost/simhost.h"

namespace simhost {

using namespace detail;

namespace {

constexpr std::size_t kStartBuffer = 256;
constexpr std::size_t kGuard = 256;
constexpr unsigned char kCanary = 0xA5;

void UnloadAll() {
    if (!HostReady()) return;
    Host& h = H();
    for (std::size_t k = h.plugins.size(); k > 0; --k) {
        Plugin& p = *h.plugins[k - 1];
        if (!p.unloaded) UnloadPlugin(p.id);
    }
}

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

}  // namespace

void Shutdown() {
    UnloadAll();
    NewHost();
}

bool Reset(const HostConfig& config, std::string* error) {
    UnloadAll();
    NewHost();
    UseSimulatorFloatingPoint();
    Host& h = H();
    if (config.sandbox.empty()) return Fail(error, "no sandbox folder given");
    if (!(config.framesPerSecond > 0 && config.framesPerSecond <= 10000))
        return Fail(error, "frames per second must be between 0 and 10000");
    if (config.xplaneVersion <= 0) return Fail(error, "the simulator version must be positive");
    if (!config.driver.empty() && config.driver != "modern" && config.driver != "opengl")
        return Fail(error, "unknown driver '" + config.driver + "' (modern or opengl)");
    if (config.driver == "opengl" && config.xplaneVersion >= kFirstVulkanOnlyVersion)
        return Fail(error, kOpenGlRefusal);

    Aircraft aircraft;
    std::string why;
    if (config.aircraftFile.empty()) {
        std::filesystem::path file = DefaultAircraftFile();
        bool ok =
            std::filesystem::exists(file)
                ? LoadAircraftFile(file, &aircraft, &why)
                : ParseAircraft(DefaultAircraftText(), "default-airliner.acf.txt", &aircraft, &why);
        if (!ok) return Fail(error, why);
    } else if (!LoadAircraftFile(config.aircraftFile, &aircraft, &why)) {
        return Fail(error, why);
    }

    std::error_code ec;
    std::filesystem::path sandbox = std::filesystem::absolute(config.sandbox, ec);
    if (ec) return Fail(error, "bad sandbox path: " + Utf8(config.sandbox));
    sandbox = sandbox.lexically_normal();
    // A sandbox made here is marked, so that a fresh run may empty it again; one that exists
    // (an unzipped package, a folder of the user's) stays unmarked and is never emptied.
    if (!MakeOwnedFolder(sandbox, &why)) return Fail(error, why);
    for (const char* sub : {"Resources/plugins", "Output/preferences"})
        if (!MakeFolders(sandbox / sub, error)) return false;
    const std::filesystem::path acfDir = sandbox / "Aircraft" / PathFromUtf8(aircraft.name);
    if (!MakeFolders(acfDir, error)) return false;
    // The aircraft file the simulator "loaded": a copy of the description.
    const std::filesystem::path acf = acfDir / PathFromUtf8(aircraft.name + ".acf");
    if (!WriteWholeFile(
            acf, "# simulated aircraft " + aircraft.name + " (" + aircraft.tailNumber + ")\n",
            &why))
        return Fail(error, "cannot write " + Utf8(acf) + ": " + why);

    h.config = config;
    h.sandbox = sandbox;
    h.aircraft = aircraft;
    h.log.reset(OpenFile(sandbox / "Log.txt", "wb"));
    if (!h.log)
        return Fail(error,
                    "cannot write " + Utf8(sandbox / "Log.txt") + ": " + std::strerror(errno));

    RegisterSimDatarefs(h.data, aircraft, config.xplaneVersion, config.omitDatarefs, &h.refs);
    RegisterExternalPower(h.data, aircraft, config.xplaneVersion, config.omitDatarefs, &h.power);
    UpdateExternalPower(h.power, h.refs, 0);
    if (config.xplaneVersion >= kFirstGpuGeneratorVersion) {
        static constexpr struct {
            const char* name;
            const char* description;
        } kGpuCommands[] = {{"sim/electrical/GPU_on", "Ground power on."},
                            {"sim/electrical/GPU_off", "Ground power off."},
                            {"sim/electrical/GPU_toggle", "Ground power toggle."}};
        // X-Plane switches its ground power on the press.
        auto gpuCommand = [](XPLMCommandRef, XPLMCommandPhase phase, void* refcon) {
            if (phase == xplm_CommandBegin)
                SwitchExternalPower(H().power, H().refs, static_cast<int>(
                                                             reinterpret_cast<intptr_t>(refcon)));
            return 1;
        };
        for (int k = 0; k < 3; ++k)
            AddSimulatorCommand(kGpuCommands[k].name, kGpuCommands[k].description, gpuCommand,
                                reinterpret_cast<void*>(static_cast<intptr_t>(k)));
    }
    RegisterTrafficDatarefs(h.data, config.xplaneVersion, config.omitDatarefs, &h.traffic);
    RunTraffic(0);
    // The plug-in's clock seam; a test may leave it out to run the plug-in on its own clock.
    const char* const clockName = "simhost/clock/monotonic_seconds";
    const auto& omitted = config.omitDatarefs;
    h.clockRef = std::find(omitted.begin(), omitted.end(), clockName) == omitted.end()
                     ? h.data.AddSim(clockName, xplmType_Double, false)
                     : nullptr;
    h.viewExternal = h.data.FindAny("sim/graphics/view/view_is_external");
    // X-Plane 11.50 brought Vulkan and Metal and this dataref; 12 draws only with them.
    h.modernDriver = config.driver.empty() ? config.xplaneVersion >= kFirstVulkanOnlyVersion
                                           : config.driver == "modern";
    const char* const modernName = "sim/graphics/view/using_modern_driver";
    if (config.xplaneVersion >= 11500 &&
        std::find(omitted.begin(), omitted.end(), modernName) == omitted.end()) {
        if (DatarefEntry* e = h.data.AddSim(modernName, xplmType_Int, false))
            e->i = h.modernDriver ? 1 : 0;
    }
    InitMenus();
    InitGeodesy();
    InitGroundOps();
    InitModernWindows();
    h.cameraPose = {static_cast<float>(aircraft.x),
                    static_cast<float>(aircraft.y),
                    static_cast<float>(aircraft.z),
                    aircraft.pitch,
                    aircraft.heading,
                    aircraft.roll,
                    1.0f};
    h.flightLoops.reserve(64);
    GraphicsNewHost();
    Log("simulated host: X-Plane " + std::to_string(config.xplaneVersion) + ", XPLM " +
        std::to_string(config.xplmVersion) + ", " + std::to_string(config.framesPerSecond) +
        " frames per second, " + (h.modernDriver ? "modern" : "OpenGL") + " driver, aircraft " +
        aircraft.name + " (" + aircraft.tailNumber + ")");
    return true;
}

const HostConfig& Config() {
    return H().config;
}

const char* PlatformFolder() {
    return kPlatformFolder;
}

std::filesystem::path PluginInstallPath(const std::filesystem::path& xpl) {
    const std::filesystem::path plugins = H().sandbox / "Resources" / "plugins";
    if (H().config.layout == PluginLayout::Fat)
        return plugins / xpl.stem() / kPlatformFolder / xpl.filename();
    return plugins / xpl.filename();
}

namespace {

bool SameBytes(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::string x, y;
    return ReadWholeFile(a, &x, nullptr) && ReadWholeFile(b, &y, nullptr) && x == y;
}

}  // namespace

bool CheckPluginFile(const std::filesystem::path& xpl, std::string* why) {
    std::error_code ec;
    if (std::filesystem::is_directory(xpl, ec))
        return Fail(why, Utf8(xpl) + " is a folder, not a plug-in (give its .xpl file)");
    if (!std::filesystem::is_regular_file(xpl, ec))
        return Fail(why, "no plug-in file " + Utf8(xpl));
    // Shared libraries of the three systems: ELF, PE (a DLL) and Mach-O, thin or universal.
    unsigned char magic[4] = {};
    if (std::FILE* file = OpenFile(xpl, "rb")) {
        const std::size_t got = std::fread(magic, 1, sizeof magic, file);
        (void)got;  // a shorter file keeps zeros there, which name no library
        std::fclose(file);
    }
    const bool elf = magic[0] == 0x7F && magic[1] == 'E' && magic[2] == 'L' && magic[3] == 'F';
    const bool pe = magic[0] == 'M' && magic[1] == 'Z';
    const bool machO = (magic[0] == 0xCF || magic[0] == 0xCE || magic[0] == 0xCA) &&
                       magic[1] == 0xFA && magic[2] == 0xED && magic[3] == 0xFE;
    const bool universal =
        magic[0] == 0xCA && magic[1] == 0xFE && magic[2] == 0xBA && magic[3] == 0xBE;
    if (!elf && !pe && !machO && !universal)
        return Fail(why, Utf8(xpl) +
                             " is not a plug-in: not a shared library (a plug-in is the .xpl a "
                             "build makes, e.g. build/release/src/shell/Tarvosk.xpl)");
    return true;
}

int LoadPlugin(const std::filesystem::path& xpl, std::string* error) {
    if (!HostReady()) return Fail(error, "the host has not been reset"), -1;
    Host& h = H();
    std::error_code ec;
    std::string why;
    if (!CheckPluginFile(xpl, error)) return -1;
    const std::filesystem::path dest = PluginInstallPath(xpl);
    for (auto& p : h.plugins)
        if (!p->unloaded && !p->inProcess && p->path == dest)
            return Fail(error, "a plug-in is already loaded from " + Utf8(dest)), -1;
    if (!std::filesystem::equivalent(xpl, dest, ec) && KeepMappedCopy(dest)) {
        if (!SameBytes(xpl, dest))
            return Fail(error, Utf8(dest) +
                                   " is still mapped from an earlier load and cannot be replaced"),
                   -1;
    } else if (!std::filesystem::equivalent(xpl, dest, ec)) {
        // Copied beside and renamed over, never rewritten in place: a library still mapped from
        // an earlier load must not change under the process.
        if (!MakeFolders(dest.parent_path(), &why)) return Fail(error, why), -1;
        std::filesystem::path temporary = dest;
        temporary += ".copying";
        std::filesystem::copy_file(xpl, temporary,
                                   std::filesystem::copy_options::overwrite_existing, ec);
        if (!ec) std::filesystem::rename(temporary, dest, ec);
        if (ec)
            return Fail(error, "cannot copy the plug-in to " + Utf8(dest) + ": " + ec.message()),
                   -1;
    }
    BeginLibraryLoad();
    void* handle = OpenPluginLibrary(dest, &why);
    if (EndLibraryLoad() > 0) {
        // X-Plane is not ready for calls then (on Windows they run inside the loader lock).
        Fault(Utf8(dest.filename()) +
              " called the host while its library was loading, before XPluginStart");
    }
    if (!handle) return Fail(error, why), -1;
    auto p = std::make_unique<Plugin>();
    p->handle = handle;
    p->path = dest;
    p->start = reinterpret_cast<StartFn>(PluginSymbol(handle, "XPluginStart"));
    p->stop = reinterpret_cast<VoidFn>(PluginSymbol(handle, "XPluginStop"));
    p->enable = reinterpret_cast<EnableFn>(PluginSymbol(handle, "XPluginEnable"));
    p->disable = reinterpret_cast<VoidFn>(PluginSymbol(handle, "XPluginDisable"));
    p->receive = reinterpret_cast<ReceiveFn>(PluginSymbol(handle, "XPluginReceiveMessage"));
    if (!p->start || !p->stop || !p->enable || !p->disable) {
        ClosePluginLibrary(handle);
        return Fail(error, Utf8(dest) +
                               " lacks one of XPluginStart, XPluginStop, "
                               "XPluginEnable, XPluginDisable"),
               -1;
    }
    p->id = static_cast<int>(h.plugins.size()) + 1;
    int id = p->id;
    h.plugins.push_back(std::move(p));
    Event("plug-in loaded: " + Utf8(std::filesystem::relative(dest, h.sandbox)));
    return id;
}

bool StartPlugin(int id) {
    Plugin* p = FindPlugin(id);
    if (!p || p->state != PluginState::Loaded) return false;
    if (p->inProcess) {
        p->state = PluginState::Started;
        return true;
    }
    // The context is there before the plug-in registers its drawing or makes textures.
    GraphicsUp();
    // 256-byte buffers as the simulator gives them, each followed by a guard band so that a
    // plug-in writing past the end is caught rather than silently corrupting the host.
    unsigned char buffers[3][kStartBuffer + kGuard];
    std::memset(buffers, 0, sizeof buffers);
    for (auto& b : buffers) std::memset(b + kStartBuffer, kCanary, kGuard);
    int ok;
    {
        PluginScope scope(id);
        ok = p->start(reinterpret_cast<char*>(buffers[0]), reinterpret_cast<char*>(buffers[1]),
                      reinterpret_cast<char*>(buffers[2]));
    }
    const char* which[3] = {"name", "signature", "description"};
    std::string* fields[3] = {&p->name, &p->signature, &p->description};
    for (int k = 0; k < 3; ++k) {
        for (std::size_t g = 0; g < kGuard; ++g)
            if (buffers[k][kStartBuffer + g] != kCanary) {
                Fault(std::string("XPluginStart wrote past the 256-byte ") + which[k] + " buffer");
                break;
            }
        *fields[k] = std::string(reinterpret_cast<char*>(buffers[k]),
                                 strnlen(reinterpret_cast<char*>(buffers[k]), kStartBuffer));
    }
    if (!ok) {
        Event("plug-in refused to start: " + PluginLabel(id));
        return false;
    }
    p->state = PluginState::Started;
    Event("plug-in started: " + PluginLabel(id));
    return true;
}

bool EnablePlugin(int id) {
    Plugin* p = FindPlugin(id);
    if (!p) return false;
    if (p->state == PluginState::Enabled) return true;
    if (p->state != PluginState::Started) return false;
    if (p->inProcess) {
        p->state = PluginState::Enabled;
        return true;
    }
    int ok;
    {
        PluginScope scope(id);
        ok = p->enable();
    }
    if (!ok) {
        Event("plug-in refused to enable: " + PluginLabel(id));
        return false;
    }
    p->state = PluginState::Enabled;
    Event("plug-in enabled: " + PluginLabel(id));
    return true;
}

void DisablePlugin(int id) {
    Plugin* p = FindPlugin(id);
    if (!p || p->state != PluginState::Enabled) return;
    if (!p->inProcess) {
        PluginScope scope(id);
        p->disable();
    }
    p->state = PluginState::Started;
    if (!p->inProcess) Event("plug-in disabled: " + PluginLabel(id));
}

void StopPlugin(int id) {
    Plugin* p = FindPlugin(id);
    if (!p) return;
    DisablePlugin(id);
    if (p->state != PluginState::Started) return;
    if (!p->inProcess) {
        PluginScope scope(id);
        p->stop();
    }
    p->state = PluginState::Stopped;
    if (!p->inProcess) Event("plug-in stopped: " + PluginLabel(id));
}

void UnloadPlugin(int id) {
    Plugin* p = FindPlugin(id);
    if (!p) return;
    StopPlugin(id);
    ForgetPlugin(id);
    if (H().ambientPlugin == id) H().ambientPlugin = 0;
    p->unloaded = true;
    if (!p->handle) return;
    std::string label = PluginLabel(id);
    ClosePluginLibrary(p->handle);
    p->handle = nullptr;
    // A library that stays mapped keeps its statics: a later load would not start afresh.
    if (PluginLibraryStillLoaded(p->path)) {
        Fault(
            "plug-in stayed loaded after dlclose (a thread_local destructor or a unique "
            "symbol pins it): " +
            label);
    } else {
        Event("plug-in unloaded: " + label);
    }
}

bool PluginEnabled(int id) {
    return id > 0 && PluginIsEnabled(id);
}

std::string PluginName(int id) {
    Plugin* p = FindPlugin(id);
    return p ? p->name : std::string();
}

int AttachInProcessPlugin(const std::string& name, const std::filesystem::path& xplPath) {
    Host& h = H();
    auto p = std::make_unique<Plugin>();
    p->id = static_cast<int>(h.plugins.size()) + 1;
    p->name = name;
    p->signature = name;
    p->path = xplPath;
    p->inProcess = true;
    p->state = PluginState::Enabled;
    int id = p->id;
    h.plugins.push_back(std::move(p));
    h.ambientPlugin = id;
    return id;
}

void SendMessageFromHost(int toPlugin, int message, void* param) {
    Host& h = H();
    char code[32];
    std::snprintf(code, sizeof code, message < 0 || message > 0xFFFF ? "0x%08X" : "%d", message);
    Event(std::string("host message ") + code + " to " + PluginLabel(toPlugin));
    for (auto& p : h.plugins) {
        if (p->unloaded || !p->receive || p->state != PluginState::Enabled) continue;
        if (toPlugin != -1 && toPlugin != p->id) continue;
        PluginScope scope(p->id);
        p->receive(XPLM_PLUGIN_XPLANE, message, param);
    }
}

int DatarefLookups(const std::string& name) {
    if (!HostReady()) return 0;
    const auto found = H().lookups.find(name);
    return found == H().lookups.end() ? 0 : found->second;
}

int BadHandleAccesses() {
    return H().badAccesses;
}
int ReadOnlyWrites() {
    return H().readOnlyWrites;
}
int FlightLoopDoubleRegistrations() {
    return H().doubleRegistrations;
}
int PluginFaults() {
    return H().faults;
}
const std::vector<SpeechRecord>& Speech() {
    return H().speech;
}
const std::vector<MessageRecord>& SentMessages() {
    return H().messages;
}
const std::vector<TimelineEvent>& Timeline() {
    return H().timeline;
}
void AddTimelineEvent(const std::string& text) {
    Event(text);
}
void SetAfterFrameHook(std::function<void()> hook) {
    H().afterFrame = std::move(hook);
}
std::filesystem::path Sandbox() {
    return H().sandbox;
}

}  // namespace simhost
