// Storage for a model's large number tables (vertices, indices). A large object's tables are
// tens of megabytes that the reader writes whole, element by element.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace tarvosk {

// Asks the system to back the whole large pages inside [start, start + bytes) with large pages
// (Linux only; elsewhere nothing): walking tens of megabytes from end to end on small pages
// costs a page-table walk every four kilobytes.
void adviseLargePages(void* start, size_t bytes);

// Tables of this size or more start on a large page and are advised as above.
inline constexpr size_t kLargeTableBytes = size_t{4} << 20;

void* allocateTable(size_t bytes);
void releaseTable(void* table, size_t bytes) noexcept;

// Allocates as std::allocator does, but resize(n) leaves the added elements unset instead of
// zeroing them: a reader that writes every element need not zero them first. Callers that
// want zeros ask for them (resize(n, 0)).
template <typename T>
struct TableAllocator {
    using value_type = T;

    TableAllocator() = default;
    template <typename U>
    TableAllocator(const TableAllocator<U>&) noexcept {}

    T* allocate(size_t count) {
        if (count > static_cast<size_t>(PTRDIFF_MAX) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(allocateTable(count * sizeof(T)));
    }
    void deallocate(T* table, size_t count) noexcept { releaseTable(table, count * sizeof(T)); }

    template <typename U>
    void construct(U* at) noexcept {
        ::new (static_cast<void*>(at)) U;  // default-initialised: for numbers, unset
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const TableAllocator&, const TableAllocator&) { return true; }
};

template <typename T>
using TableVector = std::vector<T, TableAllocator<T>>;

}  // namespace tarvosk
