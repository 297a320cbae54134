// What is the same on every platform about the host's files: the text of paths, and whole
// files read and written through OpenFile (host_platform_*.cpp).
#include <cerrno>
#include <cstring>

#include "simhost/files.h"

namespace simhost {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    // From char8_t: converted as UTF-8 on every platform (from char, Windows takes the ANSI
    // code page).
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool ReadWholeFile(const std::filesystem::path& path, std::string* bytes, std::string* why) {
    std::FILE* file = OpenFile(path, "rb");
    if (!file) {
        if (why) *why = std::strerror(errno);
        return false;
    }
    bytes->clear();
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed && why) *why = std::strerror(error);
    return !failed;
}

bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes, std::string* why) {
    if (path.has_parent_path() && !MakeFolders(path.parent_path(), why)) return false;
    std::FILE* file = OpenFile(path, "wb");
    if (!file) {
        if (why) *why = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (!(written && closed) && why) *why = std::strerror(written ? errno : error);
    return written && closed;
}

}  // namespace simhost
