#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace tarvosk::platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::FILE* CreateNewFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int reason = errno;
        ::close(fd);
        errno = reason;
    }
    return file;
}

bool SyncFile(std::FILE* file) {
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool AtomicReplace(const std::string& source, const std::string& target, std::string* error) {
    if (::rename(source.c_str(), target.c_str()) == 0) return true;
    if (error) *error = std::strerror(errno);
    return false;
}

bool RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool ListFolder(const std::string& folder, std::vector<std::string>* names) {
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    if (error) return false;
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error))
        names->push_back(entry->path().filename().string());
    return true;
}

std::filesystem::path FsPath(const std::string& path) {
    return std::filesystem::path(path);
}

std::string Utf8(const std::filesystem::path& path) {
    return path.string();
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(::getpid());
}

ReadOnlyFile::~ReadOnlyFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool ReadOnlyFile::Open(const std::string& path, std::string* error) {
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (error) *error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    handle_ = fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        if (error) *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        if (error) *error = path + " is not a regular file";
        return false;
    }
    size_ = static_cast<uint64_t>(info.st_size);
    return true;
}

int ReadOnlyFile::ReadRange(char* into, size_t from, size_t to) const {
    const int fd = static_cast<int>(handle_);
    while (from < to) {
        const ssize_t got = ::pread(fd, into + from, to - from, static_cast<off_t>(from));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return kShortRead;
        from += static_cast<size_t>(got);
    }
    return 0;
}

std::string ReadOnlyFile::ErrorText(int error) {
    return std::strerror(error);
}

}  // namespace tarvosk::platform
