#include "simhost/owned_folder.h"

#include <fstream>
#include <system_error>
#include <vector>

namespace simhost {

namespace fs = std::filesystem;

namespace {
// The folder as the user can find it: "." says nothing about which one.
std::string Shown(const fs::path& folder) {
    std::error_code ec;
    fs::path full = fs::absolute(folder, ec).lexically_normal();
    if (ec) return folder.string();
    if (full.filename().empty() && full.has_parent_path()) full = full.parent_path();
    return full.string();
}
}  // namespace

bool MakeOwnedFolder(const fs::path& folder, std::string* why) {
    std::error_code ec;
    if (fs::exists(folder, ec)) {
        if (fs::is_directory(folder, ec)) return true;
        if (why) *why = folder.string() + " exists and is not a folder";
        return false;
    }
    fs::create_directories(folder, ec);
    if (ec) {
        if (why) *why = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    std::ofstream marker(folder / kOwnedFolderMarker, std::ios::binary | std::ios::trunc);
    marker << "Made by tarvosk-sim, which may empty this folder again.\n";
    if (!marker.flush()) {
        if (why) *why = "cannot mark " + folder.string() + " as made by tarvosk-sim";
        return false;
    }
    return true;
}

bool EmptyOwnedFolder(const fs::path& folder, std::string* why) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(folder, ec);
    if (!fs::exists(status)) return true;
    if (!fs::is_directory(fs::status(folder, ec))) {
        if (why) *why = "will not empty " + Shown(folder) + ": it is not a folder";
        return false;
    }
    const bool marked = fs::is_regular_file(folder / kOwnedFolderMarker, ec);
    if (!marked) {
        if (fs::is_empty(folder, ec) && !ec) return true;
        if (why)
            *why = "will not empty " + Shown(folder) +
                   ": it was not made by tarvosk-sim (it has no " + kOwnedFolderMarker +
                   "); give another folder, or empty it yourself";
        return false;
    }
    std::vector<fs::path> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec))
        if (entry.path().filename() != kOwnedFolderMarker) entries.push_back(entry.path());
    for (const fs::path& entry : entries) {
        if (ec) break;
        fs::remove_all(entry, ec);  // a symbolic link goes, not what it points to
    }
    if (ec) {
        if (why) *why = "cannot empty " + folder.string() + ": " + ec.message();
        return false;
    }
    return true;
}

bool RemoveOwnedFolder(const fs::path& folder, std::string* why) {
    if (!EmptyOwnedFolder(folder, why)) return false;
    std::error_code ec;
    fs::remove(folder / kOwnedFolderMarker, ec);
    fs::remove(folder, ec);
    if (ec) {
        if (why) *why = "cannot remove " + folder.string() + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace simhost
