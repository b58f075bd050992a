// The hook sets: each fills the slots of the output hook table for one kind of display pass,
// with one call. A set stays installed until the next installer runs; every special pass ends
// by installing the screen set again.
//
//   screen   InstallScreenHooks   draws on the target device context of the GDI output state
//                                 (a window's back buffer); the resting set
//   null     InstallNullHooks     draws nothing: passes that only settle the view
//   extents  InstallExtentsHooks  collects the bounding box of everything drawn
//   device   InstallDeviceHooks   forwards every primitive to a vector output device, divided by
//                                 the device scale (export); the host word is a DeviceHostContext
//   print    InstallPrintHooks    turns and shifts every primitive onto a printer page, drawn
//                                 only while the print output flag is set
//   DC       SetDcOutputHooks     draws every primitive into the target and, in white, into a
//                                 mask (raster export)
//
// Apart from the device set the host word of a pass is the drawing object (or none).
#pragma once

#include <cstdint>

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

class CDrawingObject;
namespace render {
class COutputDevice;
}
namespace gdi {
class DeviceContext;
}

void InstallScreenHooks();
void InstallNullHooks();
void InstallExtentsHooks();
void InstallDeviceHooks();
void InstallPrintHooks();
// With `enable` and a mask: the DC set, drawing into the target and `maskDc` (which gets the
// white pen and brush). Otherwise the mask is forgotten and the screen set installed.
void SetDcOutputHooks(bool enable, gdi::DeviceContext* maskDc);

// The host word of a pass through the device set.
struct DeviceHostContext {
    CDrawingObject* drawingObject = nullptr;
    render::COutputDevice* device = nullptr;
};

// The drawing object of a pass's host word: the word itself, or while the device set is
// installed the first member of its pair. Null for none.
CDrawingObject* DrawingObjectOfHost(HostWord host);

// What an extents pass collected, in device units. firstPoint stays 1 while nothing was added.
struct ExtentsState {
    uint8_t firstPoint = 1;
    uint8_t pendingMove = 0;
    int32_t pendingX = 0;
    int32_t pendingY = 0;
    int32_t minX = 0;
    int32_t maxX = 0;
    int32_t minY = 0;
    int32_t maxY = 0;
};
const ExtentsState& GetExtentsState();

// The factor by which the device set divides device coordinates: 100 at start.
double GetDeviceScale();
// 100, multiplied by 10 while width and height times the scale both stay below 500,000, so a
// picture of that size is drawn on a virtual device of enough resolution. A size that is not
// positive and finite leaves the scale at 100 and gives false.
bool FitDeviceScale(double width, double height);

} // namespace tracemill
