// The object records of an R13 to 2000 DWG file held in memory: found by handle through the
// object map, and opened through their prologue for a layout to read.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/core/class_list.h"
#include "toolkit/core/handle.h"
#include "toolkit/read/dwg13_field_io.h"
#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit/read/dwg_object_map.h"
#include "toolkit/read/dwg_object_prologue.h"

namespace tracemill {

// Fixed object types of entities that the drawing's classes may also number, and the generic
// proxies.
inline constexpr uint16_t kDwgTypeBlockEntity = 4;
inline constexpr uint16_t kDwgTypeOle2Frame = 74;
inline constexpr uint16_t kDwgTypeLwpolyline = 77;
inline constexpr uint16_t kDwgTypeHatch = 78;
inline constexpr uint16_t kDwgTypeXrecord = 79;
inline constexpr uint16_t kDwgTypeProxyEntity = 498;
inline constexpr uint16_t kDwgTypeProxyObject = 499;

// One object record opened for reading.
struct Dwg13Record {
    ObjectPrologue prologue;
    BitReader bits; // on the record's data, after the prologue
    bool isEntity = false;
};

class Dwg13Objects {
  public:
    // The file stays with the caller and must outlive this. `classes` tells which class numbers
    // are entities.
    void reset(std::span<const uint8_t> file, int versionIndex);
    void setClasses(const std::vector<ClassEntry>& classes);

    std::span<const uint8_t> file() const { return file_; }
    int versionIndex() const { return version_; }
    ObjectMap& map() { return map_; }
    const ObjectMap& map() const { return map_; }

    // True for the object types of entities.
    bool isEntityType(uint16_t type) const;
    // The type of the record at a position, without reading its prologue; 0 when there is no
    // record there.
    uint16_t peekType(uint64_t position) const;

    // Opens the record of a handle: false when the map does not know the handle or the record is
    // damaged (then `out.prologue.status` says how).
    bool open(Handle handle, Dwg13Record& out) const;
    bool openAt(uint64_t position, Dwg13Record& out) const;

    // A field stream on an opened record, resolving handles against its own handle and knowing
    // where its handle references start.
    Dwg13FieldReader fields(Dwg13Record& record) const;

    // Records read through `fields` whose fields did not end where their handles start.
    uint32_t fieldMismatches() const { return mismatches_; }

  private:
    std::span<const uint8_t> file_;
    int version_ = 0;
    ObjectMap map_;
    std::vector<uint8_t> classIsEntity_; // by class number - 500
    mutable uint32_t mismatches_ = 0;
};

} // namespace tracemill
