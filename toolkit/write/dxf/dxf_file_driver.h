// The DXF file driver: the sections and tables of a DXF file in the order of the target
// version, the record lists of the drawing walked in that order, progress reported, the file
// ended and put in place of the target.
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// The output mode that writes no section before ENTITIES (the system context's dxfOutputMode).
inline constexpr int16_t kDxfEntitiesOnly = 4;

// "AC1002" to "AC1009" (version index 0 to 4) and "AC1012" to "AC1015" (5 to 7). The number
// settings come from the save call; `oldDxfFlag` lets an "AC1009" header carry the variables of
// the later release. 1 when the file is complete and in place of the target; 0 with the error
// number on the first failure (the file is then discarded with the context).
int WriteDxfOld(Drawing& drawing, OutputContext& output, uint8_t oldDxfFlag, int16_t realSwitch,
                int16_t decimalPlaces, int16_t entitySwitch);
int WriteDxfR13(Drawing& drawing, OutputContext& output, int16_t realSwitch, int16_t decimalPlaces,
                int16_t entitySwitch);

// Writes one entity for the target version (an LWPOLYLINE before "AC1014" as POLYLINE, VERTEX
// and SEQEND): 1, or 0 on failure. Entities the version cannot hold are passed over with 1.
int wrDxfEntity(const Drawing& drawing, OutputContext& output, const EntityRecord& entity);

} // namespace tracemill
