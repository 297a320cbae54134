// The host's life: reset, the frame loop, plug-in identities and the records.
#include <cmath>
#include <cstdio>

#include "control/host_state.h"
#include "sdk/widgets.h"
#include "simhost/files.h"

namespace simhost::detail {

namespace {
std::unique_ptr<Host> g_host;
// While a plug-in's library is being loaded, any SDK function reaching the host's state is a
// call made before XPluginStart.
bool g_libraryLoading = false;
int g_callsWhileLoading = 0;
}  // namespace

void NewHost() {
    g_host = std::make_unique<Host>();
}

Host& H() {
    if (g_libraryLoading) ++g_callsWhileLoading;
    if (!g_host) g_host = std::make_unique<Host>();
    return *g_host;
}

bool HostReady() {
    if (g_libraryLoading) ++g_callsWhileLoading;
    return g_host != nullptr && !g_host->sandbox.empty();
}

void BeginLibraryLoad() {
    g_libraryLoading = true;
    g_callsWhileLoading = 0;
}

int EndLibraryLoad() {
    g_libraryLoading = false;
    return g_callsWhileLoading;
}

int CurrentPlugin() {
    Host& h = H();
    return h.currentStack.empty() ? h.ambientPlugin : h.currentStack.back();
}

Plugin* FindPlugin(int id) {
    Host& h = H();
    if (id < 1 || id > static_cast<int>(h.plugins.size())) return nullptr;
    Plugin* p = h.plugins[id - 1].get();
    return p->unloaded ? nullptr : p;
}

bool PluginIsEnabled(int id) {
    if (id == 0) return true;
    Plugin* p = FindPlugin(id);
    return p && p->state == PluginState::Enabled;
}

std::string PluginLabel(int id) {
    if (id == 0) return "X-Plane";
    if (id < 0) return "all";
    Host& h = H();
    if (id <= static_cast<int>(h.plugins.size())) {
        const Plugin& p = *h.plugins[id - 1];
        if (!p.name.empty()) return p.name;
        return Utf8(p.path.stem());
    }
    return "plugin " + std::to_string(id);
}

namespace {
std::string TimeStamp(double t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", t);
    return buf;
}
}  // namespace

void Log(const std::string& line) {
    Host& h = H();
    if (!h.log) return;
    std::string text = TimeStamp(h.now) + ' ' + line;
    if (line.empty() || line.back() != '\n') text += '\n';
    std::fwrite(text.data(), 1, text.size(), h.log.get());
    std::fflush(h.log.get());
}

void Event(const std::string& text) {
    Host& h = H();
    h.timeline.push_back({h.now, text});
    Log(text);
}

void Fault(const std::string& text) {
    ++H().faults;
    Event("plug-in fault: " + text);
}

void ForgetPlugin(int id) {
    Host& h = H();
    for (FlightLoop& f : h.flightLoops)
        if (f.owner == id) f.removed = true;
    if (!h.inFlightLoops)
        std::erase_if(h.flightLoops, [](const FlightLoop& f) { return f.removed; });
    std::erase_if(h.drawCallbacks, [id](const DrawCallback& d) { return d.owner == id; });
    for (auto& w : h.windows)
        if (w->owner == id) w->destroyed = true;
    std::erase_if(h.windows, [](const std::unique_ptr<Window>& w) { return w->destroyed; });
    for (auto& m : h.menus)
        if (m->owner == id && m.get() != h.menus.front().get()) m->removed = true;
    // The plug-in's items in other menus go too, and so do items leading to removed menus.
    for (auto& m : h.menus) {
        if (m->removed) continue;
        std::erase_if(m->items, [id](const MenuItem& it) {
            return it.owner == id || (it.submenu && it.submenu->removed);
        });
    }
    std::erase_if(h.menus, [](const std::unique_ptr<Menu>& m) { return m->removed; });
    std::erase_if(h.hotKeys, [id](const std::unique_ptr<HotKey>& k) { return k->owner == id; });
    std::erase_if(h.sniffers, [id](const KeySniffer& s) { return s.owner == id; });
    if (h.cameraControlled && h.cameraOwner == id) ReleaseCamera(false);
    for (std::size_t k = 0; k < h.data.Size(); ++k) {
        DatarefEntry& e = h.data.At(k);
        if (e.IsAccessor() && e.owner == id) e.orphaned = true;
    }
    ForgetWidgetsOf(id);
    ForgetCommandsOf(id);
    ForgetInstancesOf(id);
}

}  // namespace simhost::detail
