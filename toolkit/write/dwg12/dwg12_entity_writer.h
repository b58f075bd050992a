// Entity records of DWG files before R13: the record head (kind, flags, length, layer, option
// word, extended data, colour, linetype, elevation, thickness, handle, paper-space word), the
// body through the shared layouts (toolkit/read/dwg12_entity_layouts.h) and in "AC1009" the
// record's CRC; around it the entity step of the file writer, which decides what is written.
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"
#include "toolkit/write/dwg12/dwg12_write_state.h"

namespace tracemill {

// The kinds this writer has a body for in a version (LINE ... VIEWPORT: 3DLINE, 3DFACE and
// DIMENSION from "AC1003", VIEWPORT in "AC1009").
bool wrDwg12KindWritten(uint16_t kind, int versionIndex);

// Writes one entity as one record at the file's position (wrDwgEntityR12): its references as
// positions in the written tables (66 layer, 67 linetype, 68 text style, 69 dimension style, 75
// block: a reference that names no record of the table), in "AC1009" its extended data. The
// record is built whole before it is written. 1, or 0 with the error number (397 for a value
// that does not fit its field, 27 for a failed write).
int wrDwgEntityR12(Dwg12WriteState& state, const EntityRecord& entity);

// The entity step of the entities and blocks sections: a SHAPE whose shape does not resolve to
// a number of its file is left out (warning 95); an entity the version cannot hold is left out
// (wrEntityWritable); an LWPOLYLINE is written as POLYLINE, VERTEX and SEQEND records with
// handles from the run reserved for the save; every other entity through wrDwgEntityR12.
int wrDwg12EntityStep(Dwg12WriteState& state, const EntityRecord& entity);

// The stand-in block of a deleted block record at `position` of the BLOCK table: a BLOCK named
// "FAKE" and the position, with default values, and an ENDBLK; in "AC1009" drawings that hand
// out handles each takes one from the run reserved for the save.
int wrDwg12FakeBlock(Dwg12WriteState& state, int32_t position);

} // namespace tracemill
