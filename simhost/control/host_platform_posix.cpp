#include <dlfcn.h>

#include "control/host_platform.h"

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
