#include <windows.h>
// After windows.h:
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/files.h"

namespace tarvosk::platform {

namespace {

// The wide form of a UTF-8 path; empty for bytes that are not UTF-8, which then name no file.
std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        wide.data(), length);
    return wide;
}

std::string Narrow(const wchar_t* text, int length) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length > 0 ? Narrow(text, static_cast<int>(length)) : std::string();
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "Windows error " + std::to_string(error) : message;
}

// The absolute, long-path form of a path ("\\?\C:\...", "\\?\UNC\server\..."), which the
// wide calls take beyond MAX_PATH; empty when it has none.
std::wstring LongForm(const std::wstring& path) {
    if (path.empty()) return {};
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return {};
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) return {};
    full.resize(written);
    if (full.rfind(L"\\\\?\\", 0) == 0) return full;
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// A UTF-8 path for the wide calls: as it is, or beyond MAX_PATH in the long-path form, which
// Windows takes without the machine-wide long-path setting most installations lack.
std::wstring WidePath(const std::string& path) {
    std::wstring wide = Widen(path);
    if (wide.size() < MAX_PATH) return wide;
    std::wstring longForm = LongForm(wide);
    return longForm.empty() ? wide : longForm;
}

}  // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    std::wstring wideMode;
    for (const char* c = mode; *c; ++c) wideMode.push_back(static_cast<wchar_t>(*c));
    return _wfopen(wide.c_str(), wideMode.c_str());
}

std::FILE* CreateNewFile(const std::string& path) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    const int fd = _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                          _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        const int reason = errno;
        _close(fd);
        errno = reason;
    }
    return file;
}

bool SyncFile(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool AtomicReplace(const std::string& source, const std::string& target, std::string* error) {
    // A plain rename refuses an existing target on Windows; this replaces it in one step and
    // returns only once the move is on the disk.
    if (MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (error) *error = SystemMessage(GetLastError());
    return false;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileW(WidePath(path).c_str()) != 0;
}

bool ListFolder(const std::string& folder, std::vector<std::string>* names) {
    std::wstring pattern = LongForm(Widen(folder));
    if (pattern.empty()) return false;
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names->push_back(Narrow(name.c_str(), static_cast<int>(name.size())));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

std::filesystem::path FsPath(const std::string& path) {
    // From UTF-8 explicitly: a plain std::string would be read in the ANSI code page.
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

ReadOnlyFile::~ReadOnlyFile() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool ReadOnlyFile::Open(const std::string& path, std::string* error) {
    HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD reason = GetLastError();
        // A folder cannot be opened this way at all; say what it is, as on POSIX.
        const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
        if (error && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            *error = path + " is not a regular file";
        } else if (error) {
            *error = "cannot open " + path + ": " + SystemMessage(reason);
        }
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        if (error) *error = path + " is not a regular file";
        return false;
    }
    size_ = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    return true;
}

int ReadOnlyFile::ReadRange(char* into, size_t from, size_t to) const {
    HANDLE file = reinterpret_cast<HANDLE>(handle_);
    while (from < to) {
        // ReadFile takes at most a DWORD of bytes; the offset rides in the OVERLAPPED, so two
        // threads can read different parts of the same handle.
        const DWORD want = static_cast<DWORD>(std::min<size_t>(to - from, size_t{1} << 30));
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(uint64_t{from} & 0xffffffffu);
        at.OffsetHigh = static_cast<DWORD>(uint64_t{from} >> 32);
        DWORD got = 0;
        if (!ReadFile(file, into + from, want, &got, &at)) {
            const DWORD error = GetLastError();
            return error == ERROR_HANDLE_EOF ? kShortRead : static_cast<int>(error);
        }
        if (got == 0) return kShortRead;
        from += got;
    }
    return 0;
}

std::string ReadOnlyFile::ErrorText(int error) {
    return SystemMessage(static_cast<DWORD>(error));
}

}  // namespace tarvosk::platform
