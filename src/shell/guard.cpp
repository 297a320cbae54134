#include "shell/guard.h"

#include <string>

#include "config/log.h"
#include "xplm/host.h"

namespace tarvosk {

void ReportFailure(const char* where, const char* what) noexcept {
    try {
        const std::string line = std::string("[WRNG] ") + where + " failed: " + what + "\n";
        Log(line);
        const std::string hostLine = "Tarvosk: " + line;
        XPLMDebugString(hostLine.c_str());
    } catch (...) {
        // Out of memory while reporting: nothing more can be done safely.
    }
}

}  // namespace tarvosk
