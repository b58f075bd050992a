// The two clip stacks of a display context, through which block and external-reference
// clipping (spatial filters) reach every viewport. A clip entry names a block reference whose
// spatial filter clips what it draws; a boundary entry holds, for each viewport, the region
// (in device units) its output is clipped to. The bottom boundary entry clips each viewport to
// its own rectangle.
#pragma once

#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/point.h"
#include "toolkit/display/display_context.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct EntityHeader;

// The xclip-active bit of the output hook table's regeneration flags.
inline constexpr uint8_t kRegenXclipActive = 0x02;

// Pushes a boundary entry. With a boundary (3D points; each taken through that viewport's
// matrix when matrices are given) each viewport's region is the boundary cut by the region
// below; without one each viewport is clipped to its own rectangle.
void genPushClipBoundary(DisplayContext& context, const std::vector<Point3>* boundary,
                         const std::vector<Matrix4>* matrices);

// Pops the top boundary entry.
void genPopClipBoundary(DisplayContext& context);

// The spatial filter of a block reference: its extension dictionary's "ACAD_FILTER" dictionary
// and that one's "SPATIAL" entry, a SPATIAL_FILTER. 1 and its handle in `out`, else 0 (and the
// zero handle).
int genReadSpatialFilter(Drawing* drawing, const EntityHeader& header, Handle& out);

// Pushes a clip entry for the filter when it can be read and clips; when the block-reference
// handle is the zero handle its boundary is pushed too, taken through `matrix` (block to world)
// and each viewport's matrix. 1 when an entry was pushed.
int genPushClipEntry(Drawing* drawing, DisplayContext& context, Drawing* filterDrawing, Handle filter,
                     Handle blockReference, const Matrix4& matrix);

// Pops the top clip entry, and the boundary it pushed.
void genPopClipEntry(DisplayContext& context);

// Device units per drawing unit of a world-to-device matrix: the length of the image of
// (1, 1, 1) divided by the square root of 3.
double genMatrixDeviceScale(const Matrix4& m);

} // namespace tracemill
