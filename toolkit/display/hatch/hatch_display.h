// HATCH entities in the display: the boundary paths reduced to segments, then either filled
// solid or drawn with the hatch's pattern lines.
#pragma once

#include "toolkit/core/entity_header.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct HatchBody;

// Draws the hatch with the per-viewport world-to-device `matrices` and the entity's linetype
// (null: continuous), curves at the entity's curve resolution. A solid hatch fills its paths
// but its text boxes (paths with flag 0x08); a pattern hatch draws its pattern lines, which
// text boxes interrupt under style 0. 1, or 0 when memory runs out (error callback 2).
int genDrawHatch(Drawing* drawing, const EntityHeader& header, const HatchBody& hatch, const Matrix4* matrices,
                 const LinetypeRecord* linetype);

} // namespace tracemill
