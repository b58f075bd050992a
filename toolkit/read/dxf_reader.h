// The DXF reader's operations, shared by its parts: the open with the section index and the
// HEADER (dxf_open.cpp), the table records, classes and blocks (dxf_tables.cpp), the entities
// (dxf_entities.cpp) and the objects (dxf_objects.cpp). The driver (dxf_driver.h) reaches them
// through the FormatDriver interface.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/core/format_driver.h"
#include "toolkit/read/dxf_load_state.h"

namespace tracemill {

// Error numbers of the open.
inline constexpr int kErrorDxfOpen = 14;
inline constexpr int kErrorDxfNoEof = 30;
inline constexpr int kErrorDxfHeader = 31;
inline constexpr int kErrorDxfEntities = 32;
inline constexpr int kErrorDxfTables = 33;
inline constexpr int kErrorDxfBlocks = 34;
inline constexpr int kErrorDxfObjects = 35;
inline constexpr int kErrorDxfHeaderEnd = 155;

// --- Groups --------------------------------------------------------------------------------------

// Reads the next group of the state's input (rdDxfReadGroup).
inline int rdDxfNextGroup(DxfLoadState& state) { return rdDxfNextGroupInline(state.reader); }
inline int64_t rdDxfTell(DxfLoadState& state) { return int64_t(state.reader.input.tell()); }
inline void rdDxfSeek(DxfLoadState& state, int64_t position) { state.reader.input.seek(uint64_t(position)); }
// Reads the next group when it has that code; otherwise gives it back (the file is left where
// it was).
inline bool rdDxfExpectGroup(DxfLoadState& state, uint16_t code) {
    const int64_t before = rdDxfTell(state);
    if (rdDxfNextGroup(state) && state.group().code == code) return true;
    rdDxfSeek(state, before);
    return false;
}
inline bool rdDxfIs(const DxfGroup& group, uint16_t code, std::string_view text) {
    return group.code == code && group.text == text;
}

// --- Open, section index, HEADER (dxf_open.cpp) ---------------------------------------------------

int rdDxfOpen(Drawing& drawing);
int rdDxfReadHeader(Drawing& drawing, HeaderBlock& header);

// --- Records (dxf_tables.cpp) --------------------------------------------------------------------

// Appends the group in hand (code 1000 and above) to the record's extended data.
void rdDxfAddXDataItem(DxfLoadState& state, Drawing& drawing);
// Moves the extended data collected for the record into its stream (raw form); false when
// there is none.
bool rdDxfTakeXData(DxfLoadState& state, OwnedStream& xdata);
// With a 102 group in hand: the reactor and extension-dictionary blocks that follow; the
// file is left before the first group after them.
int rdDxfReadOwnerGroups(DxfLoadState& state, HandleList& reactors, Handle& extensionDictionary);
// Reads the next group; groups of code 1000 and above are added to the extended data (and
// `hasXData` set) until one below 1000 is in hand. `position` is where that group starts.
int rdDxfNextRecordGroup(DxfLoadState& state, Drawing& drawing, uint8_t& hasXData, int64_t& position);
// The run of 310 groups from the next group on, as bytes; the file is left before the first
// group that is not 310.
int rdDxfReadBinaryChunks(DxfLoadState& state, OwnedStream& out);

int rdDxfReadLtype(Drawing& drawing, LinetypeRecord& record, uint8_t& hasXData);
int rdDxfReadLayer(Drawing& drawing, LayerRecord& record, LinetypeReference& linetype, uint8_t& hasXData);
int rdDxfReadStyle(Drawing& drawing, StyleRecord& record, uint8_t& hasXData);
int rdDxfReadView(Drawing& drawing, ViewRecord& record, uint8_t& hasXData);
int rdDxfReadVport(Drawing& drawing, VportRecord& record, uint8_t& hasXData);
int rdDxfReadUcs(Drawing& drawing, UcsRecord& record, uint8_t& hasXData);
int rdDxfReadAppId(Drawing& drawing, AppIdRecord& record, uint8_t& hasXData);
int rdDxfReadDimStyle(Drawing& drawing, DimStyleRecord& record, uint8_t& hasXData);
int rdDxfReadBlock(Drawing& drawing, BlockRecord& record, uint8_t& hasXData);
int rdDxfReadClass(Drawing& drawing, ClassEntry& entry);
int rdDxfReadMlineStyle(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData);
int rdDxfReadViewportEntity(Drawing& drawing, ViewportEntityHeaderRecord& record);

// --- Entities (dxf_entities.cpp) -----------------------------------------------------------------

int rdDxfReadEntity(Drawing& drawing, EntityRecord& entity, uint8_t& hasXData);

// --- Objects (dxf_objects.cpp) -------------------------------------------------------------------

uint16_t rdDxfPeekObjectKind(Drawing& drawing);
int rdDxfReadDictionary(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData);
int rdDxfReadGroupObject(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData);
int rdDxfReadObject(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData);

} // namespace tracemill
