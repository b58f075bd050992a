// The toolkit's memory services: the one allocator, the toolkit heap with its checked copies,
// and a switch that makes a chosen allocation fail so that every failure path can be tested.
//
// Toolkit heap blocks are read, written and freed only through the checked operations below.
// The heap keeps a registry of its live blocks, so a copy that names memory outside a live
// block, or a block already freed, is refused with 0 instead of touching that memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace tracemill {

// Plain allocation: null when memory is exhausted (or an injected failure is due).
void* dbMalloc(size_t size);
void dbFree(void* block);

// Toolkit heap blocks (zero-filled); null when memory is exhausted.
void* dbHeapAlloc(size_t size);

// Copies `count` bytes out of (or into) a toolkit heap block; `block` may point anywhere
// inside a live block as long as the whole range lies inside it. 1 on success, 0 when the
// range is not inside one live block (nothing is copied then).
int dbGuardedRead(void* dest, const void* block, size_t count);
int dbGuardedWrite(void* block, const void* src, size_t count);

// Releases a toolkit heap block: 1, or 0 when `block` is not the start of a live block.
int dbGuardedFree(void* block);

// Start and end of the toolkit heap, called by the creation and the destruction of the
// system context. Shutting the heap down releases every block still live. Both return 1.
int dbHeapStartup();
int dbHeapShutdown();

// Number of live toolkit heap blocks.
size_t dbHeapBlockCount();

// Failure injection for tests: the allocation that comes `after` allocations from now fails
// (0: the next one); a negative value switches injection off. Every allocation of the
// toolkit that can fail goes through dbAllocationAllowed.
void dbFailAllocationAfter(long after);

// Consumes one allocation from the injection countdown: false when this allocation is to
// fail.
bool dbAllocationAllowed();

// A new object, or null when memory is exhausted.
template <class T, class... Args>
std::unique_ptr<T> dbNewObject(Args&&... args) {
    if (!dbAllocationAllowed()) return nullptr;
    return std::unique_ptr<T>(new (std::nothrow) T(std::forward<Args>(args)...));
}

// Resizes a vector to `size` zero-initialised elements: false when memory is exhausted (the
// vector then keeps its old contents).
template <class T>
bool dbTryResize(std::vector<T>& v, size_t size) {
    if (!dbAllocationAllowed()) return false;
    try {
        v.resize(size);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

} // namespace tracemill
