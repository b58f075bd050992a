// REGION, 3DSOLID and BODY entities (and proxy entities with ACIS data): handed with their SAT
// text to output hook slot 34, which draws them.
#pragma once

#include <cstdint>

#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct EntityHeader;
struct PagedStream;

// Calls slot 34 with the solid's SAT text, a new run of the segment counter, the curve
// resolution the entity's flags choose, the list transform, the per-viewport matrices and the
// linetype (null: continuous); the slot's result, or 0 when the slot is empty.
int genDrawAcisEntity(Drawing* drawing, const Matrix4& transform, const Matrix4* matrices,
                      const LinetypeRecord* linetype, const EntityHeader& header, const PagedStream* satText);

} // namespace tracemill
