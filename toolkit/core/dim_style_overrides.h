// The dimension-style overrides an entity carries in its extended data: under the application
// "ACAD", the text "DSTYLE" and, between the braces that follow, pairs of a 1070 item holding
// a DIMSTYLE group code and the item holding that variable's value.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/core/xdata_items.h"

namespace tracemill {

struct DimStyleOverride {
    int16_t code = 0;  // the DIMSTYLE group code (40 DIMSCALE, 41 DIMASZ ...)
    XDataItem value;
    friend bool operator==(const DimStyleOverride&, const DimStyleOverride&) = default;
};

// The overrides in the order the extended data holds them; none when the drawing has no APPID
// "ACAD" or the data holds no "DSTYLE" section. A section without its closing brace ends with
// the data, and a code without a value item is dropped.
std::vector<DimStyleOverride> dbReadDimStyleOverrides(Drawing* drawing, const OwnedStream& xdata);

} // namespace tracemill
