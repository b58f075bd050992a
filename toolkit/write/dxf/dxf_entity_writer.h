// One entity of a drawing as the groups of a DXF entity: the type name, the common groups, the
// groups of its kind with the subclass markers from "AC1012" on, its extended data.
#pragma once

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// The warning the host hears when a SHAPE is left out because its shape cannot be named.
inline constexpr int kWarningShapeWithoutName = 95;

// Whether the target version holds the entity: from "AC1012" on every entity; before it not
// the kinds that came with R13 (ELLIPSE, SPLINE, REGION, 3DSOLID, RAY to MLINE, BODY) nor a
// class-based entity other than LWPOLYLINE (which is then written as a POLYLINE); before
// "AC1009" no VIEWPORT; at "AC1002" no 3DLINE, 3DFACE or DIMENSION. One test for every writer.
int wrEntityWritable(const Drawing& drawing, int16_t versionIndex, const EntityRecord& entity);

// Whether an entity of a file before "AC1012" carries its handle (5): with HANDLING on, in
// "AC1009" everywhere and in "AC1006" outside blocks only (a load gives the entities of blocks
// of such a file new handles, so the file does not claim them). From "AC1012" on every entity
// carries its handle.
bool wrDxfWritesEntityHandle(const OutputContext& output, bool inBlock);

// Writes one entity. 1, or 0 on the first failure (66 a layer, 67 a linetype that names no
// record; 27 a write error). A kind the target cannot hold writes nothing and gives 0.
int DxfEntityWriter(const Drawing& drawing, OutputContext& output, const EntityRecord& entity);

} // namespace tracemill
