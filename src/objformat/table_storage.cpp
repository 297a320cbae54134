#include "objformat/table_storage.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tarvosk {

namespace {

constexpr size_t kLargePage = size_t{2} << 20;

}  // namespace

void adviseLargePages(void* start, size_t bytes) {
#if defined(__linux__)
    const auto first = reinterpret_cast<uintptr_t>(start);
    const uintptr_t from = (first + kLargePage - 1) & ~uintptr_t{kLargePage - 1};
    const uintptr_t to = (first + bytes) & ~uintptr_t{kLargePage - 1};
    // Only advice: where the system declines, the pages stay small.
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    (void)start;
    (void)bytes;
#endif
}

void* allocateTable(size_t bytes) {
    if (bytes < kLargeTableBytes) return ::operator new(bytes);
    void* table = ::operator new (bytes, std::align_val_t{kLargePage});
    adviseLargePages(table, bytes);
    return table;
}

void releaseTable(void* table, size_t bytes) noexcept {
    if (bytes < kLargeTableBytes) {
        ::operator delete(table);
    } else {
        ::operator delete (table, std::align_val_t{kLargePage});
    }
}

}  // namespace tarvosk
