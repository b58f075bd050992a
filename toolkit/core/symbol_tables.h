// Access to the symbol tables of a drawing. Every table offers the same pattern, with the
// members its table needs: rewind, read next (copied out, cursor moved on), get by handle,
// find by name (without regard to case; the cursor is kept), update in place, count, and for
// LAYER, LTYPE and BLOCK add (and for LTYPE and BLOCK delete). Records are copied in and out.
//
// Errors of get by handle: 303 the handle is not indexed, 304 it belongs to another table,
// 305 the record cannot be read; of update: 303 (304 when the handle is another table's).
// Counts are 32-bit: a drawing may hold more records than a 16-bit count can number.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/drawing.h"

namespace tracemill {

inline constexpr int kErrorTableRecordUnreadable = 305;
inline constexpr int kErrorLinetypeTableEmpty = 76;
inline constexpr int kErrorLinetypeNotFound = 77;
inline constexpr int kErrorBlockTableEmpty = 92;
inline constexpr int kErrorBlockRecordNotFound = 93;
inline constexpr int kErrorNoMemoryForLinetype = 220;
inline constexpr int kErrorNoMemoryForBlock = 221;

// LTYPE. A linetype named "BYBLOCK" or "BYLAYER" (any case) is added at the end; any other
// goes in front of the trailing run of those two, so that they stay last.
bool dbIsByBlockOrByLayerName(std::string_view name);
int dbLtypeRewind(Drawing* drawing);
int dbLtypeNext(Drawing* drawing, LinetypeRecord& out);
int dbLtypeGet(Drawing* drawing, Handle handle, LinetypeRecord& out);
int dbLtypeFindByName(Drawing* drawing, std::string_view name, Handle& out);
int dbLtypeUpdate(Drawing* drawing, const LinetypeRecord& record);
int32_t dbLtypeCount(Drawing* drawing);
int dbLtypeAdd(Drawing* drawing, const LinetypeRecord& record);
int dbLtypeDelete(Drawing* drawing, Handle handle);

// LAYER. A negative colour is a layer that is off.
int dbLayerRewind(Drawing* drawing);
int dbLayerNext(Drawing* drawing, LayerRecord& out);
int dbLayerGet(Drawing* drawing, Handle handle, LayerRecord& out);
int dbLayerFindByName(Drawing* drawing, std::string_view name, Handle& out);
int dbLayerUpdate(Drawing* drawing, const LayerRecord& record);
int32_t dbLayerCount(Drawing* drawing);
int dbLayerAdd(Drawing* drawing, const LayerRecord& record);
int dbLayerGetState(Drawing* drawing, Handle handle, int16_t& on, int16_t& frozen, int16_t& frozenInNewViewports,
                    int16_t& locked);
// `on` non-zero switches the layer on; each flag sets its bit unless it is 0 or -1.
int dbLayerSetState(Drawing* drawing, Handle handle, int16_t on, int16_t frozen, int16_t frozenInNewViewports,
                    int16_t locked);

// STYLE.
int dbRewindStyles(Drawing* drawing);
int dbReadStyle(Drawing* drawing, StyleRecord& out);
int dbGetStyleByHandle(Drawing* drawing, Handle handle, StyleRecord& out);
int dbFindStyleHandle(Drawing* drawing, std::string_view name, Handle& out);
int32_t dbCountStyles(Drawing* drawing);

// APPID.
int dbRewindAppIds(Drawing* drawing);
int dbReadAppId(Drawing* drawing, AppIdRecord& out);
int dbGetAppIdByHandle(Drawing* drawing, Handle handle, AppIdRecord& out);
int dbFindAppIdHandle(Drawing* drawing, std::string_view name, Handle& out);
int32_t dbCountAppIds(Drawing* drawing);

// DIMSTYLE.
int dbRewindDimStyles(Drawing* drawing);
int dbReadDimStyle(Drawing* drawing, DimStyleRecord& out);
int dbGetDimStyleByHandle(Drawing* drawing, Handle handle, DimStyleRecord& out);
int dbPutDimStyle(Drawing* drawing, const DimStyleRecord& record);
int32_t dbCountDimStyles(Drawing* drawing);

// VPORT.
int dbVportRewind(Drawing* drawing);
int dbVportNext(Drawing* drawing, VportRecord& out);
int dbVportGet(Drawing* drawing, Handle handle, VportRecord& out);
int dbVportUpdate(Drawing* drawing, const VportRecord& record);
int32_t dbVportCount(Drawing* drawing);

// UCS.
int dbRewindUcss(Drawing* drawing);
int dbReadUcs(Drawing* drawing, UcsRecord& out);
int32_t dbCountUcss(Drawing* drawing);

// BLOCK. A copy names the block's stored entity list; an update keeps the stored entity list
// and INSERT references whatever the record says. New blocks go in front of the layout
// blocks, which stand last.
int dbBlockRewind(Drawing* drawing);
int dbBlockNext(Drawing* drawing, BlockRecord& out);
int dbBlockGet(Drawing* drawing, Handle handle, BlockRecord& out);
int dbBlockFindByName(Drawing* drawing, std::string_view name, Handle& out);
int dbBlockUpdate(Drawing* drawing, const BlockRecord& record);
int32_t dbBlockCount(Drawing* drawing);
int dbBlockAdd(Drawing* drawing, const BlockRecord& record);
// Deletes the block record with its entities.
int dbBlockDelete(Drawing* drawing, Handle handle);
// Makes a layout block ("*Paper_Space..." or "*Model_Space") the current one.
int dbMakeLayoutBlockCurrent(Drawing* drawing, Handle block);

// Block-record handles in block-list order, for readers that know blocks by position.
int dbBuildBlockHandleTable(Drawing* drawing);
// The i-th handle, the zero handle when i is not below the count.
Handle dbBlockHandleAt(const Drawing* drawing, int32_t i);

} // namespace tracemill
