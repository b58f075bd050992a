// The entity vectoriser: turns one entity list (of a layout, a block or an external drawing)
// into primitives. It walks the list in draw order, decides each entity's visibility from its
// space, layer and viewports, resolves its colour, linetype, line weight and plot style
// (BYLAYER, BYBLOCK, DEFAULT), announces it to the host (output hook slot 15), sets the host's
// colour and line width (slots 5 and 33) and hands its geometry to the drawer of its kind. A
// block reference draws its block's list by a nested call; an external reference is queued on
// the pass's display context and drawn by the entity walk after the list.
#pragma once

#include <cstdint>

#include "toolkit/core/entity_record.h"
#include "toolkit/core/plot_style_table.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/draw_order.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/reference_chain.h"

namespace tracemill {

struct Drawing;

// Error numbers of the vectoriser's work records (each with the error callback 2; the list
// then ends with result 0): the list's linetype and text-style records, its per-viewport
// matrices, the buffer a POLYLINE outside the space drawn is passed over with, the matrices of
// a POINT in its own coordinate system and of a SHAPE, a polyline's work record, its vertices
// and its closing segment, the record of a block reference and the layer linetype of an MLINE.
inline constexpr int kErrorVectoriserLinetypeRecord = 234;
inline constexpr int kErrorVectoriserStyleRecord = 235;
inline constexpr int kErrorVectoriserMatrices = 236;
inline constexpr int kErrorVectoriserSkipBuffer = 237;
inline constexpr int kErrorPointMatrices = 238;
inline constexpr int kErrorShapeMatrices = 239;
inline constexpr int kErrorPolylineWorkRecord = 240;
inline constexpr int kErrorPolylineVertices = 241;
inline constexpr int kErrorPolylineClosing = 242;
inline constexpr int kErrorBlockReferenceRecord = 243;
inline constexpr int kErrorMlineLinetypeRecord = 256;
// Block references nested deeper than this draw nothing.
inline constexpr int16_t kMaxBlockNesting = 512;
// A referenced drawing cannot be found or opened.
inline constexpr int kErrorXrefMissing = 20;

// Draws the list from its cursor to its end or its ENDBLK. `transform` takes the list's
// coordinates to the world; `colour`, `linetype`, `plotStyle` and `lineweight` are what BYBLOCK
// entities take; `depth` is 0 for a layout's own list and one more per block reference,
// `xrefDepth` 0 in the host drawing and one more per external drawing; bit i of `hiddenMask`
// keeps the list out of viewport i; `chain` holds the external drawings being drawn; entities
// go in the order of `sortTable` when given. 1 (also when the host stopped the walk), or 0 when
// a work record cannot be made. Blocks nested in themselves, directly or through others, are
// not drawn again inside themselves, and nesting deeper than kMaxBlockNesting is not drawn.
int genVectoriseEntityList(Drawing* drawing, EntityList* list, const Matrix4& transform, uint16_t colour,
                           const LinetypeRecord* linetype, const PlotStyle* plotStyle, int16_t lineweight,
                           int16_t depth, int16_t xrefDepth, uint64_t hiddenMask, const ReferenceChain& chain,
                           const DrawOrderTable* sortTable);

} // namespace tracemill
