// The object map of an R13 to 2000 DWG file, which gives the file position of every object
// record by its handle, and the lookup by handle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/core/handle.h"

namespace tracemill {

struct ObjectMapEntry {
    Handle handle;
    uint32_t position = 0; // file offset of the record's size field
};

class ObjectMap {
  public:
    void clear();
    // Entries arrive in file order; `finish` makes them searchable.
    void append(Handle handle, uint32_t position) { entries_.push_back({handle, position}); }
    void finish();

    size_t size() const { return entries_.size(); }
    // The entries in file order.
    const std::vector<ObjectMapEntry>& entries() const { return entries_; }
    // The position of a handle; the first entry in file order when a handle occurs twice.
    bool find(Handle handle, uint32_t& position) const;

    // Set when the map ended early on damaged data (what was read before stays usable).
    bool damaged = false;
    // Entries dropped because their position lies outside the file.
    size_t rejected = 0;

  private:
    std::vector<ObjectMapEntry> entries_;
    std::vector<ObjectMapEntry> byHandle_;
};

// Reads the map at `offset` of the file: sections of a big-endian 2-byte size (counting itself
// and the data), pairs of (handle delta as unsigned modular char, position delta as signed
// modular char) from 0 in each section, and 2 CRC bytes (not checked). A section without pairs
// ends the map. A section that does not fit in the file, or a pair cut off or overlong, ends it
// as damaged. Result 0 only when the offset lies outside the file.
int rdReadObjectMap(std::span<const uint8_t> file, uint64_t offset, ObjectMap& map);

// The file position of an object by its handle; 0 for the null handle or a handle that is not
// in the map (the caller treats the object as missing).
int rdLocateObjectByHandle(const ObjectMap& map, Handle handle, uint32_t& position);

} // namespace tracemill
