// Plays a Windows metafile onto a device context: pens, brushes, the polygon fill mode, the
// window origin and extent, lines, polylines, polygons, poly-polygons, rectangles, ellipses
// and device-independent bitmaps; every other record is skipped. The metafile's window is
// mapped onto a frame in the device context's logical coordinates, its origin onto the
// frame's left and top, so the picture lands upright whatever mapping the context has.
//
// The bytes are untrusted: a record that does not fit the bytes ends the play, counts and
// bitmaps are checked against their record, and nothing is read outside the buffer.
#pragma once

#include <cstdint>
#include <span>

#include "platform/gdi/device_context.h"

namespace tracemill::ole {

// True when the bytes start with a metafile header (after a placeable header, when one is
// there): what PlayMetafile plays.
bool IsMetafile(std::span<const uint8_t> metafile);

// false (nothing drawn) when the bytes do not start with a metafile header, with or without
// a placeable header before it. The context's pen, brush and modes are put back afterwards.
bool PlayMetafile(gdi::DeviceContext& dc, std::span<const uint8_t> metafile, const gdi::Rect& frame);

} // namespace tracemill::ole
