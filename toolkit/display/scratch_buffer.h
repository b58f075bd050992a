// Scratch buffers of display generation: vectors that keep their capacity from one primitive
// to the next, grown in steps of 1,024 bytes. A growth that fails leaves the buffer empty and
// usable; the caller then outputs nothing for that primitive.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

#include "toolkit/core/memory_services.h"

namespace tracemill {

namespace detail {

template <class T> bool growScratch(std::vector<T>& buffer, size_t count, bool keep) {
    if (buffer.capacity() >= count) return true;
    constexpr size_t kStep = 1024;
    const size_t bytes = (count * sizeof(T) + kStep - 1) / kStep * kStep;
    if (!keep) buffer.clear();
    if (dbAllocationAllowed()) {
        try {
            buffer.reserve(bytes / sizeof(T));
            return true;
        } catch (const std::bad_alloc&) {
        } catch (const std::length_error&) {
        }
    }
    std::vector<T>().swap(buffer);
    return false;
}

} // namespace detail

// Room for at least `count` elements, the content not kept; null when the growth fails.
template <class T> T* genBufferEnsure(std::vector<T>& buffer, size_t count) {
    return detail::growScratch(buffer, count, false) ? buffer.data() : nullptr;
}

// Room for at least `count` elements, the content kept; null when the growth fails (the
// buffer is then empty).
template <class T> T* genBufferReserve(std::vector<T>& buffer, size_t count) {
    return detail::growScratch(buffer, count, true) ? buffer.data() : nullptr;
}

} // namespace tracemill
