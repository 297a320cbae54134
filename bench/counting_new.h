// Counts heap allocations while `gCounting` is set, for benchmarks whose measured work must
// make none. Include it in exactly one file of a benchmark program: it replaces the global
// operator new and delete.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
bool gCounting = false;
long long gAllocations = 0;
}  // namespace

// Out of line, so the compiler does not pair an inlined malloc with the library's delete.
__attribute__((noinline)) void* operator new(std::size_t size) {
    if (gCounting) ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept {
    std::free(p);
}
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
