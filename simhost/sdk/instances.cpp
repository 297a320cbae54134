// Scenery objects and instances, and XPLMFindSymbol, through which plug-ins find them.
//
// Objects are read with the project's object library as the simulator would read them, so a
// malformed file fails to load. Faults a real simulator punishes with a crash or a silent
// nothing are counted: a NULL dataref list, an instance of an object not loaded, a position
// set from inside a draw callback, loads left unbalanced when the plug-in goes away.
#include <cstring>
#include <system_error>

#include "control/host_state.h"
#include "objformat/obj8_reader.h"
#include "simhost/files.h"

using namespace simhost::detail;
using simhost::PathFromUtf8;
using simhost::Utf8;

namespace {

std::string Ptr(const void* p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", p);
    return buf;
}

SceneObject* LiveObject(XPLMObjectRef ref) {
    if (!HostReady() || ref == nullptr) return nullptr;
    for (auto& o : H().objects)
        if (o.get() == ref && o->loads > 0) return o.get();
    return nullptr;
}

Instance* LiveInstance(XPLMInstanceRef ref) {
    if (!HostReady() || ref == nullptr) return nullptr;
    for (auto& i : H().instances)
        if (i.get() == ref && !i->destroyed) return i.get();
    return nullptr;
}

// A plug-in's path is UTF-8, absolute or relative to the simulator's folder.
std::filesystem::path Resolve(const char* path) {
    std::filesystem::path p = PathFromUtf8(path);
    if (!p.is_absolute()) p = H().sandbox / p;
    return p.lexically_normal();
}

}  // namespace

namespace simhost::detail {

void ForgetInstancesOf(int id) {
    Host& h = H();
    for (auto& i : h.instances)
        if (i->owner == id && !i->destroyed) {
            i->destroyed = true;
            Log("instance " + Ptr(i.get()) + " left by " + PluginLabel(id));
        }
    for (auto& o : h.objects)
        if (o->owner == id && o->loads > 0) {
            Fault("object " + Utf8(o->path) + " loaded " + std::to_string(o->loads) +
                  " more time(s) than unloaded by " + PluginLabel(id));
            o->loads = 0;
        }
}

}  // namespace simhost::detail

void* XPLMFindSymbol(const char* name) {
    if (!HostReady() || name == nullptr) return nullptr;
    struct Entry {
        const char* name;
        void* address;
        int sinceXplm;              // the XPLM version that brought it
        bool modernWindow = false;  // also needs a simulator with modern windows (11 on)
    };
    static const Entry kSymbols[] = {
        {"XPLMLoadObject", reinterpret_cast<void*>(&XPLMLoadObject), 200},
        {"XPLMUnloadObject", reinterpret_cast<void*>(&XPLMUnloadObject), 200},
        {"XPLMCreateInstance", reinterpret_cast<void*>(&XPLMCreateInstance), 300},
        {"XPLMDestroyInstance", reinterpret_cast<void*>(&XPLMDestroyInstance), 300},
        {"XPLMInstanceSetPosition", reinterpret_cast<void*>(&XPLMInstanceSetPosition), 300},
        {"XPLMCreateCommand", reinterpret_cast<void*>(&XPLMCreateCommand), 200},
        {"XPLMFindCommand", reinterpret_cast<void*>(&XPLMFindCommand), 200},
        {"XPLMFindDataRef", reinterpret_cast<void*>(&XPLMFindDataRef), 100},
        {"XPLMCreateWindowEx", reinterpret_cast<void*>(&XPLMCreateWindowEx), 200},
        {"XPLMGetScreenBoundsGlobal", reinterpret_cast<void*>(&XPLMGetScreenBoundsGlobal), 300,
         true},
        {"XPLMWindowIsPoppedOut", reinterpret_cast<void*>(&XPLMWindowIsPoppedOut), 300, true},
        {"XPLMWindowIsInVR", reinterpret_cast<void*>(&XPLMWindowIsInVR), 301, true},
        {"XPLMSetWindowResizingLimits", reinterpret_cast<void*>(&XPLMSetWindowResizingLimits), 300,
         true},
        {"XPLMSetWindowPositioningMode", reinterpret_cast<void*>(&XPLMSetWindowPositioningMode),
         300, true},
        {"XPLMSetWindowTitle", reinterpret_cast<void*>(&XPLMSetWindowTitle), 300, true},
        {"XPLMHasKeyboardFocus", reinterpret_cast<void*>(&XPLMHasKeyboardFocus), 300, true},
    };
    for (const Entry& e : kSymbols)
        if (std::strcmp(e.name, name) == 0)
            return H().config.xplmVersion >= e.sinceXplm &&
                           (!e.modernWindow || ModernWindowsOffered())
                       ? e.address
                       : nullptr;
    return nullptr;
}

XPLMObjectRef XPLMLoadObject(const char* path) {
    if (!HostReady() || path == nullptr || *path == '\0') return nullptr;
    Host& h = H();
    const std::filesystem::path file = Resolve(path);
    const int owner = CurrentPlugin();
    for (auto& o : h.objects)
        if (o->path == file && o->owner == owner && o->loads > 0) {
            ++o->loads;
            ++h.objectLoads;
            Event("object loaded again: " + Utf8(file));
            return o.get();
        }
    auto model = std::make_shared<tarvosk::ObjectModel>();
    std::string why;
    if (!tarvosk::readObj8(Utf8(file), *model, &why)) {
        Log("XPLMLoadObject " + Utf8(file) + " failed: " + why);
        return nullptr;
    }
    auto o = std::make_unique<SceneObject>();
    o->path = file;
    o->owner = owner;
    o->loads = 1;
    o->model = model;
    ++h.objectLoads;
    Event("object loaded: " + Utf8(file));
    h.objects.push_back(std::move(o));
    return h.objects.back().get();
}

void XPLMUnloadObject(XPLMObjectRef object) {
    if (!HostReady()) return;
    Host& h = H();
    SceneObject* o = LiveObject(object);
    if (!o) {
        Fault("XPLMUnloadObject of an object not loaded: " + Ptr(object));
        return;
    }
    ++h.objectUnloads;
    if (--o->loads == 0) {
        Event("object unloaded: " + Utf8(o->path));
        for (auto& i : h.instances)
            if (i->object == o && !i->destroyed)
                Fault("object " + Utf8(o->path) + " unloaded while an instance uses it");
    }
}

XPLMInstanceRef XPLMCreateInstance(XPLMObjectRef object, const char** datarefs) {
    if (!HostReady()) return nullptr;
    Host& h = H();
    if (datarefs == nullptr) {
        Fault("XPLMCreateInstance with a NULL dataref list");
        return nullptr;
    }
    SceneObject* o = LiveObject(object);
    if (!o) {
        Fault("XPLMCreateInstance of an object not loaded: " + Ptr(object));
        return nullptr;
    }
    auto i = std::make_unique<Instance>();
    i->object = o;
    i->owner = CurrentPlugin();
    for (const char** d = datarefs; *d != nullptr && i->datarefs.size() < 256; ++d)
        i->datarefs.emplace_back(*d);
    Event("instance created: " + Utf8(o->path.filename()));
    h.instances.push_back(std::move(i));
    return h.instances.back().get();
}

void XPLMDestroyInstance(XPLMInstanceRef instance) {
    if (!HostReady()) return;
    Instance* i = LiveInstance(instance);
    if (!i) {
        ++H().badAccesses;
        Log("XPLMDestroyInstance of an unknown instance " + Ptr(instance));
        return;
    }
    i->destroyed = true;
    Event("instance destroyed: " + Utf8(i->object->path.filename()));
    std::erase_if(H().instances, [](const std::unique_ptr<Instance>& x) { return x->destroyed; });
}

void XPLMInstanceSetPosition(XPLMInstanceRef instance, const XPLMDrawInfo_t* position,
                             const float* data) {
    if (!HostReady()) return;
    Host& h = H();
    if (h.inDrawCallback) {
        Fault("XPLMInstanceSetPosition from inside a draw callback");
        return;
    }
    Instance* i = LiveInstance(instance);
    if (!i || position == nullptr) {
        ++h.badAccesses;
        Log("XPLMInstanceSetPosition of an unknown instance or without a position");
        return;
    }
    if (data == nullptr && (!i->datarefs.empty() || h.config.xplaneVersion < 11500)) {
        Fault("XPLMInstanceSetPosition without a data array");
        return;
    }
    i->pose = *position;
    if (data) i->data.assign(data, data + i->datarefs.size());
    i->positioned = true;
}

namespace simhost {

bool ModernDriver() {
    return HostReady() && H().modernDriver;
}

long long SceneDrawCalls() {
    return H().sceneDrawCalls;
}

std::vector<InstanceInfo> Instances() {
    std::vector<InstanceInfo> out;
    if (!HostReady()) return out;
    for (auto& i : H().instances) {
        if (i->destroyed) continue;
        const XPLMDrawInfo_t& p = i->pose;
        out.push_back({reinterpret_cast<std::uintptr_t>(i.get()), i->object->path, i->positioned,
                       p.x, p.y, p.z, p.pitch, p.heading, p.roll});
    }
    return out;
}

int ObjectLoads() {
    return H().objectLoads;
}

int ObjectUnloads() {
    return H().objectUnloads;
}

int ObjectsLoadedNow() {
    int n = 0;
    for (auto& o : H().objects) n += o->loads;
    return n;
}

}  // namespace simhost
