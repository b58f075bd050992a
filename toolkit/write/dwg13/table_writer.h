// The symbol tables of an R13-2000 DWG file: one control object per table, listing the handles
// of its records, and one object record per table record, each through the reader's layout of
// it (toolkit/read/dwg13_table_layouts.h). Names of files before "AC1015" are converted as every
// writer of those versions converts them; a record's owner is its table's control object.
//
// Every writer returns 1, or 0 with the error number of the failing step.
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"
#include "toolkit/read/dwg13_table_layouts.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// A control object: the count (VPORT: the records + 1 with a null entry first), the entries
// under code 2 and the records it keeps apart (BLOCK: the two layout blocks; LTYPE: BYBLOCK and
// BYLAYER) under code 3, found by handle rather than by their place in the list.
int wrControlObject(OutputContext& output, uint16_t type, Handle controlHandle, const HandleList& entries,
                    const HandleList& extras);

// The records of the tables LAYER, LTYPE, STYLE, VIEW, UCS, VPORT and APPID (one instance per
// record type); `number` is the record's place in its list, which ends a name shortened for a
// file before "AC1015". `control` is the owner written.
template <class Record>
int wrDwgTableRecord(const Drawing& drawing, OutputContext& output, const Record& record, Handle control,
                     int32_t number);
// DIMSTYLE: R13 and R14 name their arrow blocks (the names of the blocks the record's handles
// name) and join DIMLUNIT and DIMFRAC into one unit code.
int wrDwgDimStyleRecord(const Drawing& drawing, OutputContext& output, const DimStyleRecord& record, Handle control,
                        int32_t number);

// The name a block record carries: anonymous blocks are cut to "*" and their letter ("*D",
// "*U", ...); the layout blocks ("*MODEL_SPACE", "*PAPER_SPACE...") keep their names; before
// "AC1015" the name is converted.
std::string wrDwgBlockRecordName(const Drawing& drawing, const OutputContext& output, const BlockRecord& record,
                                 int32_t number);
// A block record with the handles of its BLOCK, first and last entity and ENDBLK.
int wrDwgBlockRecord(const Drawing& drawing, OutputContext& output, const BlockRecord& record, Handle control,
                     const Dwg13BlockLinks& links, int32_t number);

// A VP ENT HDR record: named "1" for the paper-space viewport itself, owned by the control,
// linking `viewport` (zero for the header of no viewport).
int wrDwgVpEntHdr(OutputContext& output, Handle header, Handle control, Handle viewport, bool named, bool on);

} // namespace tracemill
