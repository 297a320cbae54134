#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>

#include "control/host_platform.h"
#include "simhost/files.h"

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
    return Utf8(native);
}

}  // namespace simhost::detail

namespace simhost {

namespace {

std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message =
        length > 0 ? Utf8(std::filesystem::path(std::wstring(text, length))) : std::string();
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "Windows error " + std::to_string(error) : message;
}

}  // namespace

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
    // The path holds UTF-16 here; the mode is ASCII.
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
}

// One folder at a time with CreateDirectoryW: GCC 12's create_directories on Windows fails
// with "File exists" for a folder that is already there.
bool MakeFolders(const std::filesystem::path& folder, std::string* why) {
    std::error_code ec;
    if (folder.empty() || std::filesystem::is_directory(folder, ec)) return true;
    const std::filesystem::path parent = folder.parent_path();
    if (!parent.empty() && parent != folder && !MakeFolders(parent, why)) return false;
    if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS && std::filesystem::is_directory(folder, ec)) return true;
    if (why)
        *why =
            "cannot make the folder " + Utf8(folder) + ": " +
            (error == ERROR_ALREADY_EXISTS ? "a file of that name is there" : SystemMessage(error));
    return false;
}

}  // namespace simhost
