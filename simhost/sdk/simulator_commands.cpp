// The simulator's own commands: each family of commands the host acts on registers its action
// here, run after the plug-ins' handlers "before" and only when none of them stopped it.
#include "control/host_state.h"

namespace simhost::detail {

Command* AddSimulatorCommand(const std::string& name, const std::string& description,
                             XPLMCommandCallback_f handler, void* refcon) {
    PluginScope simulator(0);
    auto* c = static_cast<Command*>(XPLMCreateCommand(name.c_str(), description.c_str()));
    if (!c) return nullptr;
    c->simHandler = handler;
    c->simRefcon = refcon;
    return c;
}

}  // namespace simhost::detail
