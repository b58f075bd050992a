// The DWG writer of the byte-oriented files before R13 ("AC1002" to "AC1009"): the header block
// at offset 0, the entities of paper and then model space, the tables (BLOCK, LAYER, STYLE,
// LTYPE, VIEW; from "AC1006" UCS and VPORT; in "AC1009" APPID, DIMSTYLE and the viewport
// entity headers), the blocks section, and in "AC1009" the sentinels around every part, the
// checksums and the trailer. The layouts are the reader's (toolkit/read/dwg12_*_layout*.h).
//
// The file is written front to back; what is known only at the end (the section offsets and
// table heads of the header block, the offset of each block's entities in its BLOCK record,
// the links of the viewport chain) is filled in when the file is finished.
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"
#include "toolkit/read/dwg12_header_layout.h"
#include "toolkit/write/dwg12/dwg12_table_plan.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// Errors of the writer.
inline constexpr int kErrorDwg12HeaderWrite = 58;   // the header block cannot be written
inline constexpr int kErrorDwg12NoLayer = 59;       // the header's current layer names no layer
inline constexpr int kErrorDwg12NoLinetype = 60;    // ... linetype
inline constexpr int kErrorDwg12NoDimStyle = 61;    // ... dimension style
inline constexpr int kErrorDwg12NoUcs = 62;         // ... UCS
inline constexpr int kErrorDwg12NoPaperUcs = 63;    // ... paper-space UCS
inline constexpr int kErrorDwg12NoTextStyle = 64;   // ... text style
inline constexpr int kErrorDwg12NoEntityList = 74;  // a block record without entity list

// Writes the drawing as a DWG file of the output's version index (0 to 4) into the output's
// file and finishes the file. 1 when the file is complete and in place of the target; 0 with
// the error number on the first failure (the file is then discarded with the context). The
// drawing is not changed: handles given for the save (stand-in blocks of deleted block records,
// LWPOLYLINEs written as POLYLINEs) come from a copy of its handle seed.
int WriteDwgOld(const Drawing& drawing, OutputContext& output);

// The entity-offset field of a BLOCK record whose block starts `offset` bytes into the blocks
// section: the offset, in "AC1009" with the flag 0x40000000. False when the offset needs more
// than the field's 26 bits.
bool wrDwg12BlockOffsetField(uint64_t offset, int versionIndex, uint32_t& field);

// The positions of the header's current entries in the written tables: the layer (59 when it
// names no layer; none: the first), the linetype (60; BYLAYER and BYBLOCK as their codes, none:
// BYLAYER), the dimension style (61), the UCS (62) and paper-space UCS (63), these three -1 for
// none, and the text style (64; none: the first). 1, or 0 with the error number.
int wrResolveHeaderIndexes(const HeaderBlock& header, const Dwg12TablePlan& plan, Dwg12CurrentEntries& out);

} // namespace tracemill
