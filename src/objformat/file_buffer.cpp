#include "objformat/file_buffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

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

constexpr size_t kTwoThreadBytes = size_t{8} << 20;
constexpr int kShortRead = -1;

// Reads bytes [from, to) of the file into the same place of `into`: 0, kShortRead when the
// file ends first, or the errno of a failed read.
int readRange(int fd, char* into, size_t from, size_t to) {
    while (from < to) {
        const ssize_t got = ::pread(fd, into + from, to - from, static_cast<off_t>(from));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return kShortRead;
        from += static_cast<size_t>(got);
    }
    return 0;
}

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
    // A large file is read in two halves at once: one thread alone copies from the page cache
    // at well below what the memory can deliver.
    int status = 0;
    if (size >= kTwoThreadBytes) {
        const size_t middle = size / 2 / 4096 * 4096;
        int secondStatus = 0;
        std::thread helper;
        try {
            helper = std::thread(
                [&] { secondStatus = readRange(fd, buffer.bytes.get(), middle, size); });
        } catch (const std::system_error&) {
            status = readRange(fd, buffer.bytes.get(), 0, size);  // no thread to be had
        }
        if (helper.joinable()) {
            status = readRange(fd, buffer.bytes.get(), 0, middle);
            helper.join();
            if (status == 0) status = secondStatus;
        }
    } else {
        status = readRange(fd, buffer.bytes.get(), 0, size);
    }
    if (status == kShortRead) return fail(error, "short read from " + path);
    if (status != 0) return fail(error, "cannot read " + path + ": " + std::strerror(status));
    buffer.size = size;
    return true;
}

}  // namespace tarvosk
