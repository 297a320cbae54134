// SDK commands: created or found by name, handlers before and after the simulator's own,
// run once, begun and ended; a held command gets the continue phase every frame.
#include <algorithm>

#include "control/host_state.h"

using namespace simhost::detail;

namespace {

Command* Check(XPLMCommandRef ref) {
    if (!HostReady() || ref == nullptr) return nullptr;
    for (auto& c : H().commands)
        if (c.get() == ref) return c.get();
    return nullptr;
}

Command* CheckOrCount(XPLMCommandRef ref, const char* call) {
    Command* c = Check(ref);
    if (!c && HostReady()) {
        ++H().badAccesses;
        Log(std::string(call) + " with an unknown command handle from " +
            PluginLabel(CurrentPlugin()));
    }
    return c;
}

const char* PhaseName(XPLMCommandPhase phase) {
    return phase == xplm_CommandBegin ? "begin" : phase == xplm_CommandEnd ? "end" : "continue";
}

// Before-handlers in registration order, the simulator's own action, then after-handlers; a
// handler returning 0 stops the command there (the simulator's action and later handlers are
// skipped).
void Dispatch(Command& c, XPLMCommandPhase phase) {
    for (int before = 1; before >= 0; --before) {
        if (before == 0 && c.simHandler) {
            PluginScope simulator(0);
            if (c.simHandler(&c, phase, c.simRefcon) == 0) return;
        }
        // By index: a handler may register or unregister handlers.
        for (std::size_t k = 0; k < c.handlers.size(); ++k) {
            const CommandHandler h = c.handlers[k];
            if (h.removed || h.before != before || !PluginIsEnabled(h.owner)) continue;
            int goOn;
            {
                PluginScope scope(h.owner);
                goOn = h.callback(&c, phase, h.refcon);
            }
            if (goOn == 0) return;
        }
    }
}

void Run(Command& c, XPLMCommandPhase phase) {
    if (phase != xplm_CommandContinue)
        Event("command " + c.name + " " + PhaseName(phase) + " by " + PluginLabel(CurrentPlugin()));
    Dispatch(c, phase);
    std::erase_if(c.handlers, [](const CommandHandler& h) { return h.removed; });
}

void Begin(Command& c) {
    if (c.held) return;  // already held: the simulator ignores a second press
    c.held = true;
    Run(c, xplm_CommandBegin);
}

void End(Command& c) {
    if (!c.held) return;
    c.held = false;
    Run(c, xplm_CommandEnd);
}

}  // namespace

namespace simhost::detail {

void RunHeldCommands() {
    Host& h = H();
    for (std::size_t k = 0; k < h.commands.size(); ++k)
        if (h.commands[k]->held) Run(*h.commands[k], xplm_CommandContinue);
}

void ForgetCommandsOf(int id) {
    for (auto& c : H().commands)
        std::erase_if(c->handlers, [id](const CommandHandler& h) { return h.owner == id; });
}

}  // namespace simhost::detail

XPLMCommandRef XPLMCreateCommand(const char* name, const char* description) {
    if (!HostReady() || name == nullptr || *name == '\0') return nullptr;
    if (XPLMCommandRef existing = XPLMFindCommand(name)) return existing;
    auto c = std::make_unique<Command>();
    c->name = name;
    c->description = description ? description : "";
    c->creator = CurrentPlugin();
    H().commands.push_back(std::move(c));
    return H().commands.back().get();
}

XPLMCommandRef XPLMFindCommand(const char* name) {
    if (!HostReady() || name == nullptr) return nullptr;
    for (auto& c : H().commands)
        if (c->name == name) return c.get();
    return nullptr;
}

void XPLMRegisterCommandHandler(XPLMCommandRef command, XPLMCommandCallback_f handler, int before,
                                void* refcon) {
    Command* c = CheckOrCount(command, "XPLMRegisterCommandHandler");
    if (!c || !handler) return;
    c->handlers.push_back({handler, before ? 1 : 0, refcon, CurrentPlugin()});
}

void XPLMUnregisterCommandHandler(XPLMCommandRef command, XPLMCommandCallback_f handler, int before,
                                  void* refcon) {
    Command* c = CheckOrCount(command, "XPLMUnregisterCommandHandler");
    if (!c) return;
    for (CommandHandler& h : c->handlers)
        if (!h.removed && h.callback == handler && h.before == (before ? 1 : 0) &&
            h.refcon == refcon) {
            h.removed = true;
            return;
        }
}

void XPLMCommandOnce(XPLMCommandRef command) {
    if (Command* c = CheckOrCount(command, "XPLMCommandOnce")) {
        Begin(*c);
        End(*c);
    }
}

void XPLMCommandBegin(XPLMCommandRef command) {
    if (Command* c = CheckOrCount(command, "XPLMCommandBegin")) Begin(*c);
}

void XPLMCommandEnd(XPLMCommandRef command) {
    if (Command* c = CheckOrCount(command, "XPLMCommandEnd")) End(*c);
}

namespace simhost {

std::vector<CommandInfo> Commands() {
    std::vector<CommandInfo> out;
    if (!HostReady()) return out;
    for (auto& c : H().commands) {
        int n = 0;
        for (const CommandHandler& h : c->handlers) n += h.removed ? 0 : 1;
        out.push_back({c->name, c->description, n});
    }
    return out;
}

bool RunCommand(const std::string& name, int phase) {
    Command* c = static_cast<Command*>(XPLMFindCommand(name.c_str()));
    if (!c) return false;
    PluginScope scope(0);  // the user, through the simulator
    if (phase == xplm_CommandBegin || phase < 0) Begin(*c);
    if (phase == xplm_CommandEnd || phase < 0) End(*c);
    return true;
}

}  // namespace simhost
