#include "toolkit/read/dwg_object_map.h"

#include <algorithm>

#include "toolkit/read/byte_cursor.h"
#include "toolkit/read/dwg_modular.h"

namespace tracemill {

void ObjectMap::clear() {
    entries_.clear();
    byHandle_.clear();
    damaged = false;
    rejected = 0;
}

void ObjectMap::finish() {
    byHandle_ = entries_;
    std::stable_sort(byHandle_.begin(), byHandle_.end(),
                     [](const ObjectMapEntry& a, const ObjectMapEntry& b) { return a.handle < b.handle; });
}

bool ObjectMap::find(Handle handle, uint32_t& position) const {
    auto it = std::lower_bound(byHandle_.begin(), byHandle_.end(), handle,
                               [](const ObjectMapEntry& e, Handle h) { return e.handle < h; });
    if (it == byHandle_.end() || it->handle != handle) return false;
    position = it->position;
    return true;
}

namespace {

// Reads the pairs of one section's data; false when the data is damaged.
bool readSectionPairs(std::span<const uint8_t> data, uint64_t fileSize, ObjectMap& map, size_t& pairs) {
    ByteCursor cursor(data);
    Handle handle;
    int64_t position = 0;
    pairs = 0;
    while (!cursor.atEnd()) {
        Handle delta;
        int64_t offsetDelta = 0;
        int length = 0;
        if (!rdModularHandle(cursor, delta, length) || !rdModularChar(cursor, offsetDelta, length))
            return false;
        handle = Handle(handle.value + delta.value);
        position += offsetDelta;
        ++pairs;
        if (position < 0 || uint64_t(position) >= fileSize)
            ++map.rejected;
        else
            map.append(handle, uint32_t(position));
    }
    return true;
}

} // namespace

int rdReadObjectMap(std::span<const uint8_t> file, uint64_t offset, ObjectMap& map) {
    map.clear();
    if (offset >= file.size()) {
        map.damaged = true;
        return 0;
    }
    ByteCursor cursor(file, size_t(offset));
    for (;;) {
        const uint16_t sectionSize = cursor.be16();
        // The size counts its own two bytes; the data and 2 CRC bytes follow.
        if (cursor.overrun() || sectionSize < 2 || cursor.remaining() < size_t(sectionSize - 2)) {
            map.damaged = true;
            break;
        }
        std::span<const uint8_t> data = cursor.take(sectionSize - 2);
        cursor.skip(std::min<size_t>(2, cursor.remaining()));
        size_t pairs = 0;
        if (!readSectionPairs(data, file.size(), map, pairs)) {
            map.damaged = true;
            break;
        }
        if (pairs == 0) break;
    }
    map.finish();
    return 1;
}

int rdLocateObjectByHandle(const ObjectMap& map, Handle handle, uint32_t& position) {
    if (handle.isNull()) return 0;
    return map.find(handle, position) ? 1 : 0;
}

} // namespace tracemill
