// The entity vectoriser: turns one entity list (of a layout, a block or an external drawing)
// into primitives. It walks the list in draw order, decides each entity's visibility from its
// space, layer and viewports, resolves its colour, linetype and lineweight (BYLAYER, BYBLOCK,
// DEFAULT), announces it to the host (output hook slot 15), sets the host's colour and line
// width and draws its geometry through the linetype drawer. A block reference draws its
// block's list by a nested call; an external reference is queued on the pass's display
// context and drawn by the entity walk after the list.
//
// This is the vectoriser's first cut: it draws LINE, 3DLINE and the straight segments of
// LWPOLYLINE and POLYLINE entities, and block references; other kinds pass every step but
// their drawing.
#pragma once

#include <cstdint>

#include "toolkit/core/entity_record.h"
#include "toolkit/core/plot_style_table.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/draw_order.h"
#include "toolkit/display/matrix4.h"
#include "toolkit/display/reference_chain.h"

namespace tracemill {

struct Drawing;

// Error numbers of the vectoriser's work records.
inline constexpr int kErrorVectoriserLinetypeRecord = 234;
inline constexpr int kErrorVectoriserMatrices = 236;
inline constexpr int kErrorBlockReferenceRecord = 243;
// A referenced drawing cannot be found or opened.
inline constexpr int kErrorXrefMissing = 20;

// Draws the list from its cursor to its end or its ENDBLK. `transform` takes the list's
// coordinates to the world; `colour`, `linetype`, `plotStyle` and `lineweight` are what BYBLOCK
// entities take; `depth` is 0 for a layout's own list and one more per block reference,
// `xrefDepth` 0 in the host drawing and one more per external drawing; bit i of `hiddenMask`
// keeps the list out of viewport i; `chain` holds the external drawings being drawn; entities
// go in the order of `sortTable` when given. 1, or 0 when a work record cannot be made.
int genVectoriseEntityList(Drawing* drawing, EntityList* list, const Matrix4& transform, uint16_t colour,
                           const LinetypeRecord* linetype, const PlotStyle* plotStyle, int16_t lineweight,
                           int16_t depth, int16_t xrefDepth, uint64_t hiddenMask, const ReferenceChain& chain,
                           const DrawOrderTable* sortTable);

} // namespace tracemill
