// The HEADER section of a DXF file: the drawing's header variables in the order and with the
// groups of the target version.
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// Writes the section from the context's header copy (a binary file first gets its sentinel).
// `releaseSwitch` adds the variables of the later release of "AC1009". The header extent of
// the system context limits the section: 1 $ACADVER, $EXTMIN and $EXTMAX, 2 the extents only.
int DxfHeaderWriter(const Drawing& drawing, OutputContext& output, int16_t releaseSwitch);

// The 22 bytes that begin a binary DXF file.
inline constexpr char kDxfBinarySentinel[] = "AutoCAD Binary DXF\r\n\x1a";  // and a zero byte
inline constexpr size_t kDxfBinarySentinelSize = 22;

} // namespace tracemill
