#include "pushback/scene_instances.h"

#include <cstring>
#include <string>

#include "config/log.h"
#include "config/settings.h"
#include "pushback/scene_placement.h"
#include "render/placed_object.h"
#include "xplm/host.h"

namespace tarvosk {

namespace {

// The host's instancing calls, through pointers: referencing them directly would leave
// undefined symbols that stop the plug-in from loading in X-Plane 9 and 10.
using LoadObjectFn = void* (*)(const char* path);
using UnloadObjectFn = void (*)(void* object);
using CreateInstanceFn = void* (*)(void* object, const char** datarefs);
using DestroyInstanceFn = void (*)(void* instance);
using SetPositionFn = void (*)(void* instance, const XPLMDrawInfo_t* position, const float* data);

struct InstancingCalls {
    LoadObjectFn load = nullptr;
    UnloadObjectFn unload = nullptr;
    CreateInstanceFn create = nullptr;
    DestroyInstanceFn destroy = nullptr;
    SetPositionFn setPosition = nullptr;
};

InstancingCalls gCalls;
bool gInstanced = false;

struct Slot {
    PlacedObject* object;
    const char* what;
    void* hostObject = nullptr;
    std::string loadedPath;
    void* instance = nullptr;
};

Slot gTruckSlot{&truckObject, "tug", nullptr, {}, nullptr};
Slot gGpuSlot{&gpuObject, "GPU", nullptr, {}, nullptr};

template <typename Fn>
Fn Find(const char* name) {
    return reinterpret_cast<Fn>(XPLMFindSymbol(name));
}

// The host reads paths relative to its own folder; ours are absolute under it.
std::string HostPath(const std::string& path) {
    char system[1024] = {};
    XPLMGetSystemPath(system);
    const std::size_t n = std::strlen(system);
    if (n > 0 && path.compare(0, n, system) == 0) return path.substr(n);
    return path;
}

void DestroyInstance(Slot& slot) {
    if (slot.instance == nullptr) return;
    gCalls.destroy(slot.instance);
    slot.instance = nullptr;
}

void UnloadSlot(Slot& slot) {
    DestroyInstance(slot);
    if (slot.hostObject != nullptr) gCalls.unload(slot.hostObject);
    slot.hostObject = nullptr;
    slot.loadedPath.clear();
}

void LoadSlot(Slot& slot, bool force) {
    const std::string& path = slot.object->objectPath;
    if (!force && slot.hostObject != nullptr && path == slot.loadedPath) return;
    UnloadSlot(slot);
    if (path.empty()) return;
    slot.hostObject = gCalls.load(HostPath(path).c_str());
    if (slot.hostObject == nullptr) {
        Log(std::string("[WRNG] The simulator could not load the ") + slot.what + " object " +
            path + "\n");
        return;
    }
    slot.loadedPath = path;
}

void Update(Slot& slot, bool shown) {
    if (!shown || slot.hostObject == nullptr) {
        DestroyInstance(slot);
        return;
    }
    if (slot.instance == nullptr) {
        static const char* noDatarefs[] = {nullptr};
        slot.instance = gCalls.create(slot.hostObject, noDatarefs);
        if (slot.instance == nullptr) return;
    }
    const PlacedObject& o = *slot.object;
    // The instance turns by -heading, then pitch, then -roll: as the renderer does.
    const XPLMDrawInfo_t pose{
        static_cast<int>(sizeof(XPLMDrawInfo_t)), o.x, o.y, o.z, o.pitch, o.heading, o.roll};
    static const float noData[1] = {0.0f};  // never NULL: hosts before 11.50 read it
    gCalls.setPosition(slot.instance, &pose, noData);
}

bool ModernDriver() {
    if (gXplaneVersion >= 12000) return true;  // X-Plane 12 draws only with Vulkan or Metal
    XPLMDataRef modern = XPLMFindDataRef("sim/graphics/view/using_modern_driver");
    return modern != nullptr && XPLMGetDatai(modern) == 1;
}

}  // namespace

bool ChooseInstancedDrawing() {
    gCalls.load = Find<LoadObjectFn>("XPLMLoadObject");
    gCalls.unload = Find<UnloadObjectFn>("XPLMUnloadObject");
    gCalls.create = Find<CreateInstanceFn>("XPLMCreateInstance");
    gCalls.destroy = Find<DestroyInstanceFn>("XPLMDestroyInstance");
    gCalls.setPosition = Find<SetPositionFn>("XPLMInstanceSetPosition");
    const bool offered =
        gCalls.load && gCalls.unload && gCalls.create && gCalls.destroy && gCalls.setPosition;
    gInstanced = offered && ModernDriver();
    if (gInstanced) Log("-Drawing the truck and the GPU as instances (modern driver)\n");
    return gInstanced;
}

bool DrawsWithInstances() {
    return gInstanced;
}

void LoadInstanceObjects(bool reloadTruck) {
    if (!gInstanced) return;
    LoadSlot(gTruckSlot, reloadTruck);
    LoadSlot(gGpuSlot, false);
}

void UnloadInstanceObjects() {
    if (!gInstanced) return;
    UnloadSlot(gTruckSlot);
    UnloadSlot(gGpuSlot);
}

float SceneInstancesLoop(float, float, int, void*) {
    if (!gInstanced) return 0.0f;
    Update(gTruckSlot, PlaceTruckObject());
    Update(gGpuSlot, PlaceGpuObject());
    return -1.0f;
}

}  // namespace tarvosk
