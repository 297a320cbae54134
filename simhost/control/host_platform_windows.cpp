#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "control/host_platform.h"

namespace simhost::detail {

const char* const kDirectorySeparator = "\\";
const char* const kPlatformFolder = "win_x64";

void* OpenPluginLibrary(const std::filesystem::path& path, std::string* why) {
    // The plug-in's imports (XPLM_64.dll, XPWidgets_64.dll) bind to the host's own DLLs,
    // already loaded by name.
    HMODULE library = LoadLibraryW(path.wstring().c_str());
    if (!library) *why = "LoadLibrary failed: Windows error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(library);
}

void* PluginSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void ClosePluginLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

bool PluginLibraryStillLoaded(const std::filesystem::path& path) {
    HMODULE still = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path.wstring().c_str(),
                              &still) != 0;
}

bool KeepMappedCopy(const std::filesystem::path& installed) {
    return PluginLibraryStillLoaded(installed);
}

void UseSimulatorFloatingPoint() {
    // Exceptions masked, round to nearest, 53-bit precision: 64-bit Windows's start-up value.
    // (msvcrt's _control87 cannot set the precision on x64.)
    const unsigned short control = 0x27F;
    __asm__ __volatile__("fldcw %0" : : "m"(control) : "memory");
}

std::string SdkPath(const std::filesystem::path& path) {
    std::filesystem::path native = path;
    native.make_preferred();
    const std::u8string text = native.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace simhost::detail
