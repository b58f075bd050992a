// The entities of an R13-2000 DWG file: one object record per entity, through the reader's
// layouts (toolkit/read/dwg13_entity_common.h, dwg13_entity_layouts.h,
// dwg13_dimension_layouts.h, dwg13_class_entity_layouts.h), with what the writer adds: the DWG
// type of the stored kind, the fixed types of 2000, the links to the entities around it that
// the file writer sets in the context's DWG state, and the graphics the framing carries.
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// The DWG object type of a stored entity: its fixed type by kind (INSERT 7 or MINSERT 8,
// VERTEX and POLYLINE by their flags, DIMENSION by the kind in its flags); a class-based kind
// keeps its class number.
uint16_t wrDwgTypeOfKind(const EntityRecord& entity);

// Whether the entity's body is the one the layout of its type writes (damaged input may hold
// another): an entity without one is passed over.
bool wrDwgEntityHasForm(const Drawing& drawing, const EntityRecord& entity);

// Writes one entity with the links of the context's DWG state (mode, owner, the entities before
// and after it, its sub-entities). `sequence` ends a BLOCK name shortened for a file before
// "AC1015". 1, or 0 with the error number.
int wrDwgEntityR13(const Drawing& drawing, OutputContext& output, const EntityRecord& entity, int32_t sequence);

} // namespace tracemill
