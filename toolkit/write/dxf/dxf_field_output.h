// Groups written from a record through the field table its reader uses: the table says which
// field a group code carries, the writer says which codes it writes, in which order and when.
#pragma once

#include <span>

#include "toolkit/read/dxf_fields.h"
#include "toolkit/write/dxf/dxf_group_writer.h"

namespace tracemill {

// An entry the writer asks for is missing from a field table (a fault of the program).
inline constexpr int kErrorDxfFieldMissing = 398;

// Writes a group by the value type of its code: reals at the precision setting (16 decimals
// when `full`), 16- and 32-bit integers, handles as hexadecimal text, texts as they are.
int wrDxfGroupValue(OutputContext& output, const DxfGroup& group, bool full = false);

// The group of `code` as the record's field gives it; false with error 398 when the table has
// no such entry.
template <class Record>
bool wrFieldGroup(std::span<const DxfField<Record>> table, const Record& record, uint16_t code, DxfGroup& group) {
    if (dxfLoadField(table, record, code, group)) return true;
    dbSetError(kErrorDxfFieldMissing);
    return false;
}

template <class Record>
int wrDxfField(OutputContext& output, std::span<const DxfField<Record>> table, const Record& record, uint16_t code,
               bool full = false) {
    DxfGroup group;
    return wrFieldGroup(table, record, code, group) && wrDxfGroupValue(output, group, full);
}

// Several codes in order.
template <class Record>
int wrDxfFields(OutputContext& output, std::span<const DxfField<Record>> table, const Record& record,
                std::initializer_list<uint16_t> codes, bool full = false) {
    for (uint16_t code : codes) {
        if (!wrDxfField(output, table, record, code, full)) return 0;
    }
    return 1;
}

// The real of a code, 0.0 when the table has none.
template <class Record>
double wrFieldReal(std::span<const DxfField<Record>> table, const Record& record, uint16_t code) {
    DxfGroup group;
    return dxfLoadField(table, record, code, group) ? group.real : 0.0;
}

} // namespace tracemill
