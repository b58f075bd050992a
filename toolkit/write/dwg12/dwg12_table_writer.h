// The fixed-size table records of DWG files before R13, built through the shared record
// layouts (toolkit/read/dwg12_table_layouts.h): the flag byte, the name converted for the
// version (wrConvertSymbolName, the record's position as its number), in "AC1009" the record's
// external-reference index, the table's fields, zeros up to the version's record size and in
// "AC1009" the checksum (CRC-16 XOR the table's constant).
//
// A deleted record is its flag byte with 0x80 set and zeros (a VIEW's too: the reader takes a
// flag byte of 0x80 or above as erased in every table, so a VIEW marked 0x01 would come back as
// a paper-space view).
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/write/dwg12/dwg12_table_plan.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// A value of the drawing that does not fit its field in the file (a count, a position, a size,
// an offset, a text beyond its limit): the save fails instead of cutting or wrapping it.
inline constexpr int kErrorDwg12FieldOverflow = 397;

// The writers of the tables: each builds the bytes of one record at `position` into `out`
// (exactly the version's record size). 1, or 0 with the error number (397 for a value that does
// not fit; 67 for a layer's linetype that names no linetype).
int wrDwg12BlockRecord(const Drawing& drawing, const OutputContext& output, const Dwg12TablePlan& plan,
                       const BlockRecord& record, int32_t position, std::vector<uint8_t>& out);
int wrDwg12LayerRecord(const Drawing& drawing, const OutputContext& output, const Dwg12TablePlan& plan,
                       const LayerRecord& record, int32_t position, std::vector<uint8_t>& out);
// STYLE, LTYPE, VIEW, UCS, VPORT and APPID, whose records carry nothing but their layout's
// fields: the table is the record's (StyleRecord ... AppIdRecord).
template <class Record>
int wrDwg12TableRecord(const Drawing& drawing, const OutputContext& output, const Record& record, int32_t position,
                       std::vector<uint8_t>& out);
// The arrow blocks are named as the BLOCK table names them; a block that is not found leaves
// its name empty.
int wrDwg12DimStyleRecord(const Drawing& drawing, const OutputContext& output, const Dwg12TablePlan& plan,
                          const DimStyleRecord& record, int32_t position, std::vector<uint8_t>& out);
// A viewport entity header: its name, the VIEWPORT's file offset and its number (the link of
// the viewport chain once the file is finished).
int wrDwg12ViewportEntityHeader(const OutputContext& output, const std::string& name, uint32_t viewportOffset,
                                int16_t number, std::vector<uint8_t>& out);

// Stores the checksum of an "AC1009" table record (CRC-16 of all but its last two bytes XOR
// the table's constant) in its last two bytes.
void wrDwg12StoreRecordCrc(Dwg12Table table, std::vector<uint8_t>& record);

} // namespace tracemill
