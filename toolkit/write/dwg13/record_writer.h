// One object record of an R13-2000 DWG file written through its layout: the framing, the
// layout's fields (a function of the writing field stream), the start of the handle references
// the layout marks, the end of the record and its entry in the object map.
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/core/handle.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/write/dwg13/field_writer.h"
#include "toolkit/write/dwg13/object_framing.h"
#include "toolkit/write/dwg13/object_map_writer.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// The field stream of the record being written (own handle for relative references).
inline Dwg13FieldWriter wrDwgFields(OutputContext& output, Handle ownHandle) {
    Dwg13WriteState& s = *output.dwg13;
    return Dwg13FieldWriter(s.bits, s.versionIndex, ownHandle, s.codePage);
}

// Ends the record whose layout ran through `io` and enters it in the object map. 1 or 0.
inline int wrDwgFinishRecord(OutputContext& output, Handle handle, const Dwg13FieldWriter& io) {
    wrNoteHandleStreamAt(output, io.handleStreamStart());
    const uint32_t position = uint32_t(output.dwg13->recordStart);
    return wrEndObject(output) && wrMapRecord(output, handle, position);
}

// A non-graphical record (table control, table record, object): the framing, BL the reactor
// count, the fields written by `fields(io)`.
template <class Fields>
int wrDwgObjectRecord(OutputContext& output, uint16_t type, Handle handle, const OwnedStream* xdata,
                      uint32_t reactorCount, Fields&& fields) {
    if (!wrBeginObject(output, type, handle, 0, xdata, nullptr, false)) return 0;
    wrPutBitLong(output.dwg13->bits, int32_t(reactorCount));
    Dwg13FieldWriter io = wrDwgFields(output, handle);
    fields(io);
    return wrDwgFinishRecord(output, handle, io);
}

} // namespace tracemill
