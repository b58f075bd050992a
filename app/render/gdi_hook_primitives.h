// What the hook sets that draw on a device context share: the conversion of the toolkit's
// device points, the one-pixel lengthening of lines, the colour selection through the pen
// cache, and the hooks that do nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "app/render/gdi_output_state.h"
#include "toolkit/core/output_hook_table.h"

namespace tracemill {

inline gdi::Point ToGdiPoint(const DevicePoint& p) { return {p.x, p.y}; }

// The points[first..last] of a polygon hook as device-context points in a buffer reused from
// call to call; empty for a range that selects nothing.
std::span<const gdi::Point> PolygonRangePoints(PointRange range, const DevicePoint* points);
// All points of a poly-polygon hook (the sum of the counts, a negative count counting as 0),
// with the counts as the device context takes them.
std::span<const gdi::Point> PolyPolygonPoints(const DevicePoint* points, const int32_t* counts, int32_t polygonCount,
                                              std::vector<int>& countsOut);

// The point a line from `from` to `to` is drawn to so that the device context, which leaves
// out a line's last pixel, draws `to`: one unit further along y when the line is vertical,
// along x when horizontal; otherwise with s = 8 dy / dx (integer division) along both when
// 3 <= |s| <= 19, else along the longer axis.
gdi::Point LengthenedLineEnd(gdi::Point from, gdi::Point to);

// Draws a line from the pen position of the GDI output state to (x, y) on `dc` as the screen
// set does: a zero-length line sets the one pixel in `pixelColour`, any other is drawn to the
// lengthened end and the position left at (x, y). The state's pen position becomes (x, y).
void DrawLengthenedLine(gdi::DeviceContext& dc, int32_t x, int32_t y, gdi::ColorRef pixelColour);

// The colour table the host's drawing object draws with (the colour working table without one).
const ColorTable& PaletteOfHost(HostWord host);
// The colour of the current colour index in that table (the target's pen colour while no
// colour is selected).
gdi::ColorRef CurrentColourOfHost(HostWord host);

// Makes the pen and brush of a rotating pen cache slot for a colour index.
using MakePenCacheSlot = PenCacheSlot (*)(uint16_t index, HostWord host);
// Makes the colour index (0..255) current and selects its slot's pen and brush into the
// target: slot = index for 0 to 7 while no line weight is kept; otherwise the rotating slot
// (8 to 15) made for the index, or, when there is none or a line weight is kept, the next
// rotating slot in turn, made anew by `make`.
void SelectPenCacheSlot(uint16_t index, HostWord host, MakePenCacheSlot make);
// Selects the current slot's pen and brush into a device context.
void SelectCurrentPenCacheSlot(gdi::DeviceContext& dc);

// The colour hook of the screen and DC sets: selects the pen cache slot of the colour index
// (clamped to 0..255) into the target. Returns the index.
int16_t ScreenSetColor(int16_t index, HostWord host);
// The line-width hook of the screen and print sets: with line weights shown, keeps the value
// and selects the current colour again, so its pen is made anew.
void GdiSetLineWeight(int32_t value, HostWord host);

// A point of the toolkit's device turned by the print rotation within the page and shifted by
// the print offset, as the print set draws it.
gdi::Point PrintPagePoint(int32_t x, int32_t y);
// Calls draw(dc, isMask) for the target and then for the mask of the DC set, each turned to
// y-up coordinates for the call.
void DrawInTargetAndMask(const std::function<void(gdi::DeviceContext& dc, bool isMask)>& draw);

// Installs the hooks of the sets that draw no colour and no picture: colour and line width
// ignored, raster images refused, no raster data and no picture hook.
void InstallColourlessPictureHooks();

// Hooks that do nothing, and the raster-image hook that offers no picture.
void IgnorePoint(int32_t x, int32_t y, HostWord host);
void IgnorePolygon(PointRange range, const DevicePoint* points, HostWord host);
void IgnorePolyPolygon(const DevicePoint* points, const int32_t* counts, int32_t polygonCount, HostWord host);
int16_t IgnoreColor(int16_t colour, HostWord host);
void IgnoreLineWidth(int32_t width, HostWord host);
void IgnoreRasterData(const uint8_t* block, uint32_t byteCount, HostWord host);
void RefuseRasterImage(const char* fileName, PagedStream*& picture, HostWord host);

} // namespace tracemill
