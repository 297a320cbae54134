// Reads a whole file into one buffer with one open and one read loop.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <string>

namespace tarvosk {

// Whole cache lines: the kernel copies a file into a buffer that starts on one a third faster
// than into one that starts 16 bytes in, as a plain allocation does.
inline constexpr std::align_val_t kFileBufferAlignment{64};

struct AlignedBytesDelete {
    void operator()(char* bytes) const { ::operator delete[](bytes, kFileBufferAlignment); }
};

struct FileBuffer {
    std::unique_ptr<char[], AlignedBytesDelete> bytes;
    size_t size = 0;
    size_t capacity = 0;  // bytes allocated; a later read of a file that fits reuses them
    const char* begin() const { return bytes.get(); }
    const char* end() const { return bytes.get() + size; }
};

// False with a message in `error` (when given) when the file cannot be opened, is not a
// regular file, cannot be held in memory or delivers fewer bytes than its size. The type is
// checked before anything is read, so a FIFO or device never blocks the caller. A buffer that
// already holds enough room is reused: no allocation and no fresh pages to fault in.
bool readWholeFile(const std::string& path, FileBuffer& buffer, std::string* error);

}  // namespace tarvosk
