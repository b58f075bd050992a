// The TABLES section of a DXF file: table heads, one group block per record, the table ends;
// and the BLOCK_RECORD records, which follow the same scheme.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// 0 TABLE, 2 the name; from R13 on 5 the table object's handle and 100 "AcDbSymbolTable"; 70
// the count (DIMSTYLE at "AC1015" adds 100 "AcDbDimStyleTable" and 71 0).
int DxfTableHead(OutputContext& output, std::string_view name, Handle tableHandle, int32_t count);
int DxfTableEnd(OutputContext& output);

// The record writers; `number` is the record's number in its table (for converted names).
int DxfLayerRecord(const Drawing& drawing, OutputContext& output, const LayerRecord& record, int32_t number);
int DxfLtypeRecord(const Drawing& drawing, OutputContext& output, const LinetypeRecord& record, int32_t number);
int DxfStyleRecord(const Drawing& drawing, OutputContext& output, const StyleRecord& record, int32_t number);
int DxfViewRecord(const Drawing& drawing, OutputContext& output, const ViewRecord& record, int32_t number);
int DxfUcsRecord(const Drawing& drawing, OutputContext& output, const UcsRecord& record, int32_t number);
int DxfVportRecord(const Drawing& drawing, OutputContext& output, const VportRecord& record, int32_t number);
int DxfAppidRecord(const Drawing& drawing, OutputContext& output, const AppIdRecord& record, int32_t number);
int DxfDimstyleRecord(const Drawing& drawing, OutputContext& output, const DimStyleRecord& record, int32_t number);
// A block record under the name the file gives it.
int DxfBlockRecordRecord(const Drawing& drawing, OutputContext& output, const BlockRecord& record,
                         std::string_view name, int32_t number);

// From R13 on: the handle (under 5, or 105), the owner groups, 100 "AcDbSymbolTableRecord"
// and 100 "AcDb<subclass>TableRecord".
int DxfTableRecordHead(OutputContext& output, const TableRecordCommon& record, int handleCode,
                       std::string_view subclass);
// 102 "{ACAD_XDICTIONARY" 360 ... 102 "}" when the handle is set; 102 "{ACAD_REACTORS" with a 330
// per reactor when there are any.
int DxfOwnerGroups(OutputContext& output, Handle extensionDictionary, const HandleList& reactors);

} // namespace tracemill
