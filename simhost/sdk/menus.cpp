// Menus as a tree under the menu bar, chosen by path ("Plugins/Tarvosk/Push straight back").
#include <sstream>

#include "control/host_state.h"

using namespace simhost::detail;

namespace {

Menu* CheckMenu(XPLMMenuID id) {
    if (!HostReady() || !id) return nullptr;
    for (auto& m : H().menus)
        if (m.get() == id && !m->removed) return m.get();
    return nullptr;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(path);
    while (std::getline(in, part, '/'))
        if (!part.empty()) parts.push_back(part);
    return parts;
}

// The menu bar holds top-level menus (parent == nullptr); the rest hang off items.
Menu* TopMenu(const std::string& name) {
    for (auto& m : H().menus)
        if (!m->parent && !m->removed && m->name == name) return m.get();
    return nullptr;
}

struct Found {
    Menu* menu = nullptr;  // the menu holding the item (or the menu itself when item < 0)
    int item = -1;
};

// Item names may hold a slash ("Pause / resume pushback"): at each level the whole rest of
// the path is tried as a name before it is taken as a name and a deeper path.
Found Resolve(const std::string& path) {
    Found f;
    if (!HostReady()) return f;
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return f;
    Menu* menu = TopMenu(parts[0]);
    if (!menu) return f;
    std::string rest = path.substr(path.find(parts[0]) + parts[0].size());
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    while (!rest.empty()) {
        int index = -1;
        std::size_t used = 0;
        for (std::size_t i = 0; i < menu->items.size() && index < 0; ++i) {
            const MenuItem& item = menu->items[i];
            if (item.separator || item.name.empty()) continue;
            if (rest == item.name) {
                return {menu, static_cast<int>(i)};
            }
            if (rest.size() > item.name.size() &&
                rest.compare(0, item.name.size(), item.name) == 0 &&
                rest[item.name.size()] == '/') {
                index = static_cast<int>(i);
                used = item.name.size() + 1;
            }
        }
        if (index < 0) return {};
        rest.erase(0, used);
        while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
        menu = menu->items[index].submenu;
        if (!menu) return {};
        if (rest.empty()) return {menu, -1};
    }
    return {menu, -1};
}

}  // namespace

namespace simhost::detail {

void InitMenus() {
    auto plugins = std::make_unique<Menu>();
    plugins->name = "Plugins";
    H().menus.push_back(std::move(plugins));
}

}  // namespace simhost::detail

XPLMMenuID XPLMFindPluginsMenu(void) {
    return HostReady() ? H().menus.front().get() : nullptr;
}

XPLMMenuID XPLMCreateMenu(const char* name, XPLMMenuID parentMenu, int parentItem,
                          XPLMMenuHandler_f handler, void* menuRef) {
    if (!HostReady() || !name || !*name) return nullptr;
    Menu* parent = nullptr;
    if (parentMenu) {
        parent = CheckMenu(parentMenu);
        if (!parent || parentItem < 0 || parentItem >= static_cast<int>(parent->items.size()) ||
            parent->items[parentItem].separator || parent->items[parentItem].submenu)
            return nullptr;
    }
    auto m = std::make_unique<Menu>();
    m->name = name;
    m->parent = parent;
    m->parentItem = parentItem;
    m->handler = handler;
    m->menuRef = menuRef;
    m->owner = CurrentPlugin();
    Menu* raw = m.get();
    H().menus.push_back(std::move(m));
    if (parent) parent->items[parentItem].submenu = raw;
    return raw;
}

int XPLMAppendMenuItem(XPLMMenuID menu, const char* itemName, void* itemRef, int) {
    Menu* m = CheckMenu(menu);
    if (!m || !itemName) return -1;
    MenuItem item;
    item.name = itemName;
    item.itemRef = itemRef;
    item.owner = CurrentPlugin();
    m->items.push_back(item);
    return static_cast<int>(m->items.size()) - 1;
}

void XPLMAppendMenuSeparator(XPLMMenuID menu) {
    Menu* m = CheckMenu(menu);
    if (!m) return;
    MenuItem item;
    item.name = "-";
    item.separator = true;
    item.owner = CurrentPlugin();
    m->items.push_back(item);
}

void XPLMCheckMenuItem(XPLMMenuID menu, int index, XPLMMenuCheck check) {
    Menu* m = CheckMenu(menu);
    if (!m || index < 0 || index >= static_cast<int>(m->items.size())) return;
    m->items[index].check = check;
}

void XPLMEnableMenuItem(XPLMMenuID menu, int index, int enabled) {
    Menu* m = CheckMenu(menu);
    if (!m || index < 0 || index >= static_cast<int>(m->items.size())) return;
    m->items[index].enabled = enabled != 0;
}

namespace simhost {

bool ChooseMenuItem(const std::string& path) {
    Found f = Resolve(path);
    if (!f.menu || f.item < 0) return false;
    const MenuItem& item = f.menu->items[f.item];
    if (!item.enabled || item.separator || item.submenu) return false;
    if (!PluginIsEnabled(f.menu->owner)) return false;
    Event("menu: " + path);
    if (f.menu->handler) {
        XPLMMenuHandler_f handler = f.menu->handler;
        void* menuRef = f.menu->menuRef;
        void* itemRef = item.itemRef;
        PluginScope scope(f.menu->owner);
        handler(menuRef, itemRef);
    }
    return true;
}

int MenuItemCheck(const std::string& path) {
    Found f = Resolve(path);
    if (!f.menu || f.item < 0) return -1;
    return f.menu->items[f.item].check;
}

int MenuItemEnabled(const std::string& path) {
    Found f = Resolve(path);
    if (!f.menu || f.item < 0) return -1;
    return f.menu->items[f.item].enabled ? 1 : 0;
}

std::vector<std::string> MenuItemNames(const std::string& path) {
    Found f = Resolve(path);
    Menu* m = f.menu;
    if (m && f.item >= 0) m = m->items[f.item].submenu;
    std::vector<std::string> names;
    if (!m) return names;
    for (const MenuItem& it : m->items) names.push_back(it.name);
    return names;
}

}  // namespace simhost
