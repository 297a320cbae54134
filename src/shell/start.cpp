// XPluginStart: log, settings, content scan, menu, callbacks, datarefs, host data lookup.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "config/log.h"
#include "config/settings.h"
#include "config/version.h"
#include "panels/message_box.h"
#include "platform/files.h"
#include "pushback/gpu.h"
#include "pushback/host_data.h"
#include "pushback/pushback.h"
#include "pushback/scene_instances.h"
#include "pushback/stand_memory.h"
#include "render/lighting.h"
#include "shell/commands.h"
#include "shell/diagnostics.h"
#include "shell/lifecycle.h"
#include "shell/menu.h"
#include "shell/paths.h"
#include "shell/published_datarefs.h"
#include "shell/shell_state.h"

namespace tarvosk {

ShellSession gSession;

namespace {

// More trucks than this are left out of the menu (the first ones by name stay).
constexpr std::size_t kMaxTruckMenuItems = 100;

// The host's Start buffers are 256 bytes by convention; never write more.
constexpr std::size_t kStartBuffer = 256;

void CopyOut(char* out, const char* text) {
    if (out == nullptr) return;
    std::snprintf(out, kStartBuffer, "%s", text);
}

void LogObjectList(const char* heading, const std::vector<std::string>& names) {
    Log(std::string(heading) + "\n");
    for (const std::string& name : names) Log(name + ".obj\n");
}

constexpr const char* kIncompatible =
    "This version of Tarvosk is not compatible ; with this version of X-Plane.";

}  // namespace

bool PropertiesFileExists() {
    std::FILE* file = platform::OpenFile(gSession.prefsFilePath, "r");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

int StartPlugin(char* outName, char* outSignature, char* outDescription) {
    CopyOut(outName, "Tarvosk");
    CopyOut(outSignature, "Quorren.Tarvosk");
    const std::string description = std::string("A plugIn enabling airplane push back. Tarvosk ") +
                                    kTarvoskVersion + ", (c) Quorren; free to use.";
    CopyOut(outDescription, description.c_str());

    int xplmVersion = 0;
    XPLMHostApplicationID hostId = 0;
    XPLMGetVersions(&gXplaneVersion, &xplmVersion, &hostId);

    // Without a data folder nothing is written relative to the host's working folder: the log
    // stays closed and the scans find nothing.
    const std::string dataFolder = GetPath(PluginDataFolder);
    const std::string logPath = dataFolder.empty() ? std::string() : dataFolder + "Tarvosk.log";
    if (!OpenLog(logPath) && !logPath.empty()) {
        // The user can still read the simulator's own log.
        const std::string note = "Tarvosk: cannot write its log " + logPath + " (" +
                                 std::strerror(errno) + "); carrying on without it\n";
        XPLMDebugString(note.c_str());
    }
    Log("--- Starting Tarvosk ---\n");
    Log("-Running on XPlane v" + std::to_string(gXplaneVersion) + "\n");

    gSession.prefsFilePath =
        (gXplaneVersion >= 700 ? GetPath(PrefsFolder) : dataFolder) + "Quorren.Tarvosk.prf";
    if (!PropertiesFileExists()) ApplyDefaultSettings();
    gSession.properties = std::make_unique<QN_Properties>(gSession.prefsFilePath, &LogStream());
    Log("-Plugin configuration:\n");
    gSession.properties->Dump(LogStream());
    Log("\n");
    LoadStandPlans(
        (gXplaneVersion >= 700 ? GetPath(PrefsFolder) : dataFolder) + "Quorren.Tarvosk.stands",
        &LogStream());

    gTrucksFolder = dataFolder;
    gTruckList.clear();
    ScanObjectFolder(gTrucksFolder, gTruckList);
    LogObjectList("-Available trucks:", gTruckList);
    if (gTruckList.size() > kMaxTruckMenuItems) {
        // A menu of thousands of items cannot be used and takes the host long to build.
        Log("[WRNG] " + std::to_string(gTruckList.size()) +
            " trucks found; the Trucks menu shows the first " + std::to_string(kMaxTruckMenuItems) +
            "\n");
        gTruckList.resize(kMaxTruckMenuItems);
    }

    gGroundServicesFolder =
        dataFolder.empty() ? std::string() : dataFolder + "GroundServices" + DirectorySeparator();
    gGroundServiceList.clear();
    ScanObjectFolder(gGroundServicesFolder, gGroundServiceList);
    LogObjectList("-Available Ground services:", gGroundServiceList);

    BuildMenu(gTruckList);
    SetGpuChangeListener(CheckGpuMenuItem);
    CreateCommands();

    XPLMRegisterFlightLoopCallback(PushbackSequenceLoop, 1.0f, nullptr);
    MarkSequenceLoopRegistered();  // StopPushback reschedules it from now on
    XPLMRegisterFlightLoopCallback(TextRestoreLoop, 1.0f, nullptr);
    XPLMRegisterFlightLoopCallback(PushMotionLoop, 1.0f, nullptr);

    // Vulkan and Metal never call the aircraft drawing phase: there the tug and the cart are
    // host instances posed every frame instead.
    if (ChooseInstancedDrawing()) {
        XPLMRegisterFlightLoopCallback(SceneInstancesLoop, -1.0f, nullptr);
    } else {
        XPLMRegisterDrawCallback(DrawTruck, xplm_Phase_Airplanes, 0, nullptr);
        XPLMRegisterDrawCallback(DrawGpu, xplm_Phase_Airplanes, 0, nullptr);
    }

    RegisterPublishedDatarefs();
    RegisterDiagnosticDatarefs();

    RestartElapsedSeconds();
    ResolveLightingDatarefs();
    LookupExternalPower();
    if (!LookupHostDatarefs()) {
        std::snprintf(messageText, sizeof messageText, "%s", kIncompatible);
        ShowMessageBox("Tarvosk");
        Log("Data refs initialisation problems\n");
    }
    // Also after a failed lookup: the plug-in stays loaded and its menu usable.
    return 1;
}

}  // namespace tarvosk
