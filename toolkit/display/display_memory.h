// Work memory of display generation: every block comes from the toolkit's allocator, so the
// failure injection of the tests reaches it, and a block that cannot be had throws
// std::bad_alloc, which the operation's entry point turns into the error callback.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

#include "toolkit/core/memory_services.h"

namespace tracemill {

template <class T> struct DisplayAllocator {
    using value_type = T;
    DisplayAllocator() = default;
    template <class U> DisplayAllocator(const DisplayAllocator<U>&) {}
    T* allocate(size_t count) {
        void* block = dbMalloc(count * sizeof(T));
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, size_t) { dbFree(block); }
    template <class U> friend bool operator==(const DisplayAllocator&, const DisplayAllocator<U>&) {
        return true;
    }
};

template <class T> using DisplayVector = std::vector<T, DisplayAllocator<T>>;

// For memory that comes from the standard allocator (results in plain vectors): consumes one
// allocation of the failure injection, as every toolkit allocation does.
inline void genRequireAllocation() {
    if (!dbAllocationAllowed()) throw std::bad_alloc();
}

} // namespace tracemill
