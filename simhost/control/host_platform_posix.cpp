#include <dlfcn.h>

#include "control/host_platform.h"
#include "simhost/files.h"

namespace simhost::detail {

const char* const kDirectorySeparator = "/";
const char* const kPlatformFolder = "lin_x64";

void* OpenPluginLibrary(const std::filesystem::path& path, std::string* why) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        *why = std::string("dlopen failed: ") + (reason ? reason : "unknown error");
    }
    return library;
}

void* PluginSymbol(void* library, const char* name) {
    return dlsym(library, name);
}

void ClosePluginLibrary(void* library) {
    dlclose(library);
}

bool PluginLibraryStillLoaded(const std::filesystem::path& path) {
    void* still = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (still) dlclose(still);
    return still != nullptr;
}

bool KeepMappedCopy(const std::filesystem::path&) {
    return false;
}

void UseSimulatorFloatingPoint() {}

std::string SdkPath(const std::filesystem::path& path) {
    return path.string();
}

}  // namespace simhost::detail

namespace simhost {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

bool MakeFolders(const std::filesystem::path& folder, std::string* why) {
    std::error_code ec, again;
    if (folder.empty() || std::filesystem::create_directories(folder, ec) ||
        std::filesystem::is_directory(folder, again))
        return true;
    if (why)
        *why = "cannot make the folder " + folder.string() + ": " +
               (ec ? ec.message() : "a file of that name is there");
    return false;
}

}  // namespace simhost
