// Folders the simulated host, its tools and the tests may empty: only those they made
// themselves (marked when made) or that are empty already. A run must never wipe a folder
// a user pointed it at by mistake ("sandbox ." once emptied the working folder).
#pragma once

#include <filesystem>
#include <string>

namespace simhost {

// The file a folder gets when made here; its presence is the permission to empty it.
inline constexpr const char* kOwnedFolderMarker = ".made-by-tarvosk-sim";

// Makes `folder` (and its parents) and marks it, when it does not exist yet. An existing
// folder is left as it is, unmarked if it was. False with *why when it cannot be made.
bool MakeOwnedFolder(const std::filesystem::path& folder, std::string* why);

// Removes everything in `folder` but the marker. Allowed when the folder does not exist, is
// empty or carries the marker; otherwise nothing is touched and *why names the folder.
bool EmptyOwnedFolder(const std::filesystem::path& folder, std::string* why);

// As EmptyOwnedFolder, then removes the folder itself (marker and all).
bool RemoveOwnedFolder(const std::filesystem::path& folder, std::string* why);

}  // namespace simhost
