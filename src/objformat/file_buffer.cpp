#include "objformat/file_buffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace tarvosk {

namespace {

bool fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

bool readWholeFile(const std::string& path, FileBuffer& buffer, std::string* error) {
    buffer.size = 0;
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return fail(error, "cannot open " + path + ": " + std::strerror(errno));
    FdCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return fail(error, "cannot read " + path + ": " + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) return fail(error, path + " is not a regular file");
    const auto size = static_cast<size_t>(info.st_size);
    if (!buffer.bytes || buffer.capacity < size) {
        buffer.bytes.reset();
        buffer.capacity = 0;
        // No zero-fill: every byte is overwritten by the read.
        std::unique_ptr<char[], AlignedBytesDelete> bytes(
            new (kFileBufferAlignment, std::nothrow) char[size == 0 ? 1 : size]);
        if (!bytes) return fail(error, "not enough memory to read " + path);
        buffer.bytes = std::move(bytes);
        buffer.capacity = size == 0 ? 1 : size;
    }
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, buffer.bytes.get() + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(error, "cannot read " + path + ": " + std::strerror(errno));
        if (got == 0) return fail(error, "short read from " + path);
        done += static_cast<size_t>(got);
    }
    buffer.size = size;
    return true;
}

}  // namespace tarvosk
