#include "objformat/file_buffer.h"

#include <new>
#include <system_error>
#include <thread>

#include "objformat/table_storage.h"
#include "platform/files.h"

namespace tarvosk {

namespace {

bool fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

constexpr size_t kTwoThreadBytes = size_t{8} << 20;

}  // namespace

bool readWholeFile(const std::string& path, FileBuffer& buffer, std::string* error) {
    buffer.size = 0;
    platform::ReadOnlyFile file;
    if (!file.Open(path, error)) return false;
    const auto size = static_cast<size_t>(file.Size());
    if (!buffer.bytes || buffer.capacity < size) {
        buffer.bytes.reset();
        buffer.capacity = 0;
        // No zero-fill: every byte is overwritten by the read.
        std::unique_ptr<char[], AlignedBytesDelete> bytes(
            new (kFileBufferAlignment, std::nothrow) char[size == 0 ? 1 : size]);
        if (!bytes) return fail(error, "not enough memory to read " + path);
        if (size >= kLargeTableBytes) adviseLargePages(bytes.get(), size);
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
                [&] { secondStatus = file.ReadRange(buffer.bytes.get(), middle, size); });
        } catch (const std::system_error&) {
            status = file.ReadRange(buffer.bytes.get(), 0, size);  // no thread to be had
        }
        if (helper.joinable()) {
            status = file.ReadRange(buffer.bytes.get(), 0, middle);
            helper.join();
            if (status == 0) status = secondStatus;
        }
    } else {
        status = file.ReadRange(buffer.bytes.get(), 0, size);
    }
    if (status == platform::ReadOnlyFile::kShortRead) return fail(error, "short read from " + path);
    if (status != 0)
        return fail(error,
                    "cannot read " + path + ": " + platform::ReadOnlyFile::ErrorText(status));
    buffer.size = size;
    return true;
}

}  // namespace tarvosk
