// Pieces every R13-2000 record layout shares: flag bits kept in a flags field, the reactor
// list, the handles that end every non-graphical object, and the head and handles of a
// symbol-table record.
#pragma once

#include <algorithm>
#include <cstdint>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/handle.h"
#include "toolkit/read/dwg13_field_io.h"

namespace tracemill::dwg13 {

// Handle codes the writer uses (the reader takes any code).
inline constexpr unsigned kSoftOwner = 2;
inline constexpr unsigned kHardOwner = 3;
inline constexpr unsigned kSoftPointer = 4;
inline constexpr unsigned kHardPointer = 5;

// One bit of the file that stands for `mask` in `flags`.
template <class Io, class F> void flagBit(Io& io, F& flags, unsigned mask) {
    uint8_t bit = (unsigned(flags) & mask) ? 1 : 0;
    io.b(bit);
    if constexpr (Io::kReading) flags = F(bit ? (unsigned(flags) | mask) : (unsigned(flags) & ~mask));
}

// A list of `count` handle references (the count is stored elsewhere). The reader stops at the
// end of the data: every handle takes at least a byte, so a count beyond what is left cannot be
// honoured.
template <class Io> void handleList(Io& io, HandleList& list, uint32_t count, unsigned code) {
    if constexpr (Io::kReading) {
        list.clear();
        list.reserve(std::min<uint64_t>(count, io.bits().bitsLeft() / 8));
        for (uint32_t i = 0; i < count && !io.overrun(); ++i) {
            Handle handle;
            io.h(handle, code);
            if (!io.overrun()) list.push_back(handle);
        }
    } else {
        for (Handle& handle : list)
            io.h(handle, code);
    }
}

// The handle references left in the record, each with its kind (a proxy's references).
template <class Io> void remainingReferences(Io& io, std::vector<ObjectReference>& references) {
    if constexpr (Io::kReading) {
        references.clear();
        while (io.handleBitsLeft() >= 8) {
            ObjectReference reference;
            io.href(reference);
            if (io.overrun()) break;
            references.push_back(reference);
        }
    } else {
        for (ObjectReference& reference : references)
            io.href(reference);
    }
}

// The handles that end every object: the owner, the reactors (their count is in the object's
// prologue) and the extension dictionary.
template <class Io> void objectHandles(Io& io, Handle& owner, HandleList& reactors, uint32_t reactorCount,
                                       Handle& extensionDictionary) {
    io.rel(owner, kSoftPointer);
    handleList(io, reactors, reactorCount, kSoftPointer);
    io.h(extensionDictionary, kHardOwner);
}

// The head of a symbol-table record: name, the referenced bit (flag 0x40), the external-
// reference index + 1 and the externally-dependent bit (flag 0x10).
template <class Io, class R> void tableRecordHead(Io& io, R& record) {
    // The flags are the stored bits alone, whatever the record held before.
    if constexpr (Io::kReading) record.flags = 0;
    io.t(record.name, kDwgNameLimit);
    flagBit(io, record.flags, 0x40);
    // The index + 1: 0 for a record that depends on no external reference, as files store it.
    int16_t index = int16_t(record.xrefIndex + 1);
    if constexpr (!Io::kReading) index = std::max<int16_t>(index, 0);
    io.bs(index);
    if constexpr (Io::kReading) record.xrefIndex = int16_t(index - 1);
    flagBit(io, record.flags, 0x10);
}

// The handles of a symbol-table record: the object handles and the external-reference block.
template <class Io, class R> void tableRecordHandles(Io& io, R& record, uint32_t reactorCount, Handle& xrefBlock) {
    objectHandles(io, record.owner, record.reactors, reactorCount, record.extensionDictionary);
    io.h(xrefBlock, kHardPointer);
}

} // namespace tracemill::dwg13
