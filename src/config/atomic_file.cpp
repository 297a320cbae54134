#include "config/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace tarvosk {

bool WriteFileAtomically(const std::string& path, std::string_view content, std::string* reason) {
    std::string why;
    auto failed = [&why](const char* step) {
        if (why.empty()) why = std::string(step) + ": " + std::strerror(errno);
    };
    bool ok = false;
    if (path.empty()) {
        why = "no file name";
    } else {
        const std::string temporary = path + ".tmp";
        // Binary: the same bytes (LF line ends) on every platform.
        if (std::FILE* file = platform::OpenFile(temporary, "wb")) {
            ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
            if (!ok) failed("cannot write");
            if (ok && std::fflush(file) != 0) {
                failed("cannot write");
                ok = false;
            }
            // The replacement below must not publish a file whose bytes are still in flight.
            if (ok && !platform::SyncFile(file)) {
                failed("cannot flush to disk");
                ok = false;
            }
            if (std::fclose(file) != 0 && ok) {
                failed("cannot write");
                ok = false;
            }
            std::string error;
            if (ok && !platform::AtomicReplace(temporary, path, &error)) {
                if (why.empty()) why = "cannot replace the old file: " + error;
                ok = false;
            }
            if (!ok) platform::RemoveFile(temporary);
        } else {
            failed("cannot create the temporary file");
        }
    }
    if (reason != nullptr) *reason = why;
    return ok;
}

}  // namespace tarvosk
