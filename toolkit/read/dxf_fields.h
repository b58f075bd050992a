// Field tables of the DXF reader: for a record or body type, the group codes it reads and what
// each stores, sorted by code and found by binary search. One table per kind is the one place
// that names which group carries which field.
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

} // namespace tracemill

// One entry: the group code and the statement that stores the group `g` into the record `r`
// (of the type `R` named where the table is defined).
#define DXF_FIELD(code, ...) \
    ::tracemill::DxfField<R> { code, [](R& r, [[maybe_unused]] const ::tracemill::DxfGroup& g) { __VA_ARGS__; } }
