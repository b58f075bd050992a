// Field tables of DXF records: for a record or body type, the group codes it has and the field
// each carries, sorted by code and found by binary search. One table per kind is the one place
// that names which group carries which field: the reader stores a group through an entry, the
// writer takes the group's value out of a record through the same entry (its `load` side).
#pragma once

#include <algorithm>
#include <cstdint>
#include <numbers>
#include <span>

#include "toolkit/read/dxf_group_reader.h"

namespace tracemill {

template <class Record>
struct DxfField {
    uint16_t code;
    void (*store)(Record&, const DxfGroup&);
    // Puts the field's value into the group as a file holds it (angles in degrees); null for
    // an entry that only the reader uses.
    void (*load)(const Record&, DxfGroup&) = nullptr;
};

// The entry of a code, null when the table has none.
template <class Record>
const DxfField<Record>* dxfFindField(std::span<const DxfField<Record>> table, uint16_t code) {
    auto found = std::lower_bound(table.begin(), table.end(), code,
                                  [](const DxfField<Record>& field, uint16_t c) { return field.code < c; });
    return found != table.end() && found->code == code ? &*found : nullptr;
}

// Stores the group through the table; 1 when the table has its code.
template <class Record>
int dxfStoreField(std::span<const DxfField<Record>> table, Record& record, const DxfGroup& group) {
    const DxfField<Record>* field = dxfFindField(table, group.code);
    if (!field) return 0;
    field->store(record, group);
    return 1;
}

// The group of a code as the record's field gives it (`group.code` set, the value in the field
// of the code's type). False when the table has no entry with a load side for the code.
template <class Record>
bool dxfLoadField(std::span<const DxfField<Record>> table, const Record& record, uint16_t code, DxfGroup& group) {
    const DxfField<Record>* field = dxfFindField(table, code);
    if (!field || !field->load) return false;
    group.code = code;
    field->load(record, group);
    return true;
}

template <class Record>
constexpr bool dxfFieldsSorted(std::span<const DxfField<Record>> table) {
    for (size_t i = 1; i < table.size(); ++i) {
        if (table[i - 1].code >= table[i].code) return false;
    }
    return true;
}

// Values as the storage kinds of the field tables take them from a group.
inline uint8_t dxfByte(const DxfGroup& g) { return uint8_t(g.shortValue); }
inline double dxfAngle(const DxfGroup& g) { return g.real * (std::numbers::pi / 180.0); }
inline double dxfDegrees(double radians) { return radians * (180.0 / std::numbers::pi); }

} // namespace tracemill

// One entry: the group code and the statement that stores the group `g` into the record `r`
// (of the type `R` named where the table is defined).
#define DXF_FIELD(code, ...) \
    ::tracemill::DxfField<R> { code, [](R& r, [[maybe_unused]] const ::tracemill::DxfGroup& g) { __VA_ARGS__; } }

// An entry with both sides: `store` puts the group `g` into the record `r`, `load` puts the
// value of the const record `r` into `g`.
#define DXF_FIELD_RW(code, store, load)                                                          \
    ::tracemill::DxfField<R> {                                                                  \
        code, [](R& r, [[maybe_unused]] const ::tracemill::DxfGroup& g) { store; },             \
            [](const R& r, ::tracemill::DxfGroup& g) { load; }                                   \
    }

// Entries of one field by the value kind of its group: text, real, angle (radians in the
// record, degrees in the file), 16-bit integer, byte (stored from a 16-bit group), 32-bit
// integer, handle.
#define DXF_TEXT(code, field) DXF_FIELD_RW(code, field = g.text, g.text = field)
#define DXF_REAL(code, field) DXF_FIELD_RW(code, field = g.real, g.real = field)
#define DXF_ANGLE(code, field) \
    DXF_FIELD_RW(code, field = ::tracemill::dxfAngle(g), g.real = ::tracemill::dxfDegrees(field))
#define DXF_SHORT(code, field) DXF_FIELD_RW(code, field = g.shortValue, g.shortValue = int16_t(field))
#define DXF_BYTE(code, field) DXF_FIELD_RW(code, field = ::tracemill::dxfByte(g), g.shortValue = int16_t(field))
#define DXF_LONG(code, field) DXF_FIELD_RW(code, field = g.longValue, g.longValue = int32_t(field))
#define DXF_HANDLE(code, field) DXF_FIELD_RW(code, field = g.handle, g.handle = field)
