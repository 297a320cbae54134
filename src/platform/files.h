// Files named by UTF-8 paths, the one place where the platforms' file interfaces differ.
//
// The host hands the plug-in UTF-8 paths on every platform. POSIX systems take those bytes as
// they are; Windows takes them only through its wide-character calls (the narrow ones read the
// bytes in the user's ANSI code page, so "C:\Users\Jürgen" would not be found). Everything the
// plug-in opens, lists, writes or renames goes through these functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvosk::platform {

// fopen of a UTF-8 path.
std::FILE* OpenFile(const std::string& path, const char* mode);

// A file that did not exist, opened for writing bytes as they are ("wb"); null with errno set
// when the name is taken or the file cannot be made.
std::FILE* CreateNewFile(const std::string& path);

// Flushes a written file through to the disk, so a rename cannot publish it half-written.
bool SyncFile(std::FILE* file);

// Replaces `target` by `source` in one step (a reader sees the old file or the new one, never
// neither): rename on POSIX, MoveFileExW with replace-existing and write-through on Windows,
// which refuses a plain rename over an existing file. False with the reason in `error`.
bool AtomicReplace(const std::string& source, const std::string& target, std::string* error);

// Removes a file; false when it could not be removed.
bool RemoveFile(const std::string& path);

// Appends the UTF-8 names of a folder's entries (without "." and ".."), in the file system's
// order; false when the folder cannot be listed. An entry that fails mid-way ends the listing.
// On Windows through FindFirstFileExW in the long-path form: mingw's directory iterator lists
// nothing at all, and says nothing, in a folder whose path is longer than MAX_PATH.
bool ListFolder(const std::string& folder, std::vector<std::string>* names);

// The std::filesystem path of a UTF-8 path, and a path's name back in UTF-8.
std::filesystem::path FsPath(const std::string& path);
std::string Utf8(const std::filesystem::path& path);

// A number unique to this process, for temporary file names.
unsigned long ProcessId();

// A regular file opened for reading at any offset, from several threads at once.
class ReadOnlyFile {
  public:
    static constexpr int kShortRead = -1;

    ReadOnlyFile() = default;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile();

    // False with the reason in `error` when the file cannot be opened or is not a regular file
    // (checked before anything is read, so a FIFO or device never blocks the caller).
    bool Open(const std::string& path, std::string* error);
    uint64_t Size() const { return size_; }
    // Reads bytes [from, to) into the same place of `into`: 0, kShortRead when the file ends
    // first, or the system's error number.
    int ReadRange(char* into, size_t from, size_t to) const;
    // Text for an error number of ReadRange.
    static std::string ErrorText(int error);

  private:
    std::intptr_t handle_ = -1;
    uint64_t size_ = 0;
};

}  // namespace tarvosk::platform
