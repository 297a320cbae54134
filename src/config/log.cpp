#include "config/log.h"

#include <fstream>

#include "platform/files.h"

namespace tarvosk {
namespace {

std::ofstream gLogStream;

}  // namespace

bool OpenLog(const std::string& path) {
    if (gLogStream.is_open()) gLogStream.close();
    gLogStream.clear();
    // Binary: the same bytes (LF line ends) on every platform.
    gLogStream.open(platform::FsPath(path), std::ios::out | std::ios::trunc | std::ios::binary);
    return gLogStream.is_open();
}

std::ostream& LogStream() {
    return gLogStream;
}

void FlushLog() {
    gLogStream.flush();
}

void Log(std::string_view text) {
    gLogStream << text;
    gLogStream.flush();
}

}  // namespace tarvosk
