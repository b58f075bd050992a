// What output hook slot 34 is given for a REGION, 3DSOLID or BODY (and a proxy entity that
// carries ACIS data): the solid's SAT text and what drawing it needs.
#pragma once

#include <cstdint>

#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct PagedStream;

struct SolidHookParameters {
    const PagedStream* satText = nullptr;
    Drawing* drawing = nullptr;
    const Matrix4* transform = nullptr;        // the list's coordinates to the world
    const Matrix4* matrices = nullptr;         // per viewport: the list's coordinates to the device
    const LinetypeRecord* linetype = nullptr;  // null: continuous
    uint32_t identity = 0;  // the entity's run of the segment counter: each solid starts its pattern
    int32_t curveResolution = 0;
};

} // namespace tracemill
