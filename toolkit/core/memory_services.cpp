#include "toolkit/core/memory_services.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace tracemill {

namespace {

long gFailCountdown = -1;

// Live toolkit heap blocks by start address, with their sizes.
struct HeapRegistry {
    std::mutex mutex;
    std::map<uintptr_t, size_t> blocks;
};

HeapRegistry& heap() {
    static HeapRegistry registry;
    return registry;
}

// The live block that holds [address, address + count), or blocks.end().
std::map<uintptr_t, size_t>::iterator findRange(HeapRegistry& h, uintptr_t address, size_t count) {
    auto it = h.blocks.upper_bound(address);
    if (it == h.blocks.begin()) return h.blocks.end();
    --it;
    const uintptr_t start = it->first;
    const size_t size = it->second;
    if (address - start > size || count > size - (address - start)) return h.blocks.end();
    return it;
}

} // namespace

void dbFailAllocationAfter(long after) { gFailCountdown = after < 0 ? -1 : after; }

bool dbAllocationAllowed() {
    if (gFailCountdown < 0) return true;
    if (gFailCountdown == 0) {
        gFailCountdown = -1;
        return false;
    }
    --gFailCountdown;
    return true;
}

void* dbMalloc(size_t size) {
    if (!dbAllocationAllowed()) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void dbFree(void* block) { std::free(block); }

void* dbHeapAlloc(size_t size) {
    if (!dbAllocationAllowed()) return nullptr;
    void* block = std::calloc(size == 0 ? 1 : size, 1);
    if (!block) return nullptr;
    HeapRegistry& h = heap();
    std::lock_guard lock(h.mutex);
    try {
        h.blocks.emplace(reinterpret_cast<uintptr_t>(block), size);
    } catch (const std::bad_alloc&) {
        std::free(block);
        return nullptr;
    }
    return block;
}

namespace {

// Copies count bytes when [block, block + count) lies inside one live block.
int guardedCopy(void* dest, const void* src, const void* block, size_t count) {
    HeapRegistry& h = heap();
    std::lock_guard lock(h.mutex);
    if (!dest || !src || findRange(h, reinterpret_cast<uintptr_t>(block), count) == h.blocks.end()) return 0;
    if (count) std::memcpy(dest, src, count);
    return 1;
}

} // namespace

int dbGuardedRead(void* dest, const void* block, size_t count) { return guardedCopy(dest, block, block, count); }

int dbGuardedWrite(void* block, const void* src, size_t count) { return guardedCopy(block, src, block, count); }

int dbGuardedFree(void* block) {
    HeapRegistry& h = heap();
    std::lock_guard lock(h.mutex);
    auto it = h.blocks.find(reinterpret_cast<uintptr_t>(block));
    if (it == h.blocks.end()) return 0;
    h.blocks.erase(it);
    std::free(block);
    return 1;
}

int dbHeapStartup() { return 1; }

int dbHeapShutdown() {
    HeapRegistry& h = heap();
    std::lock_guard lock(h.mutex);
    for (const auto& [address, size] : h.blocks) std::free(reinterpret_cast<void*>(address));
    h.blocks.clear();
    return 1;
}

size_t dbHeapBlockCount() {
    HeapRegistry& h = heap();
    std::lock_guard lock(h.mutex);
    return h.blocks.size();
}

} // namespace tracemill
