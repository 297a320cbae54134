// What differs between the platforms for the simulated host outside graphics: loading a
// plug-in's library, the paths the SDK hands out (UTF-8, with the platform's separator, as
// X-Plane gives them), and opening files and making folders by path (simhost/files.h, defined
// beside these).
#pragma once

#include <filesystem>
#include <string>

namespace simhost::detail {

// dlopen / LoadLibraryW. Null with the system's reason in `why`.
void* OpenPluginLibrary(const std::filesystem::path& path, std::string* why);
void* PluginSymbol(void* library, const char* name);
void ClosePluginLibrary(void* library);
// Whether the library of that path is still mapped after its last close.
bool PluginLibraryStillLoaded(const std::filesystem::path& path);
// Whether an installed copy must stay as it is for the next load: on Windows one still mapped
// from an earlier load, which can be neither replaced nor loaded afresh (a module is known by
// its path). Never on POSIX, where a copy renamed over it is a new file.
bool KeepMappedCopy(const std::filesystem::path& installed);

// The floating-point state plug-ins run with in X-Plane. On 64-bit Windows every process
// starts with the x87 unit at 53-bit precision, and X-Plane keeps it; this program's mingw
// start-up code set 64 bits, which would hide a plug-in's long double that is no wider than a
// double there. Nothing to do on POSIX, where processes start with 64 bits.
void UseSimulatorFloatingPoint();

// A path as the SDK hands it to plug-ins: UTF-8, the platform's separators.
std::string SdkPath(const std::filesystem::path& path);
// XPLMGetDirectorySeparator's answer, and the folder of a plug-in in the fat layout.
extern const char* const kDirectorySeparator;
extern const char* const kPlatformFolder;

}  // namespace simhost::detail
