// Reads a whole file into one buffer with one open and one read loop.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tarvosk {

struct FileBuffer {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
    const char* begin() const { return bytes.get(); }
    const char* end() const { return bytes.get() + size; }
};

// False with a message in `error` (when given) when the file cannot be opened, is not a
// regular file, cannot be held in memory or delivers fewer bytes than its size.
bool readWholeFile(const std::string& path, FileBuffer& buffer, std::string* error);

}  // namespace tarvosk
