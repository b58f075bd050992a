// The display-list cache of a drawing's display context: while the host's display-list mode
// is on, a pass maps the view onto an integer grid (32,000 units along the longer side of the
// device), records every primitive it sends to the host in the byte code of
// display_list_code.h, sorted into the quadtree cells of display_list_cells.h, and a later
// pass whose view only pans or zooms inside the grid replays the cells the view touches
// instead of walking the database.
//
// The grid is laid by genPrepareView (display_list_view.h), recorded by the recorders that a
// pass swaps into the output hook table (display_list_recorder.h) and replayed by
// genDlistReplay (display_list_replay.h). The list belongs to the context and goes with it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/core/device_point.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/point.h"
#include "toolkit/display/display_list_cells.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/core/view_block.h"

namespace tracemill {

struct Drawing;
struct OpenStream;
struct PagedStream;

// A cell's last point before its first record of a pass: a first move or line is always
// written in full.
inline constexpr int32_t kDlistNoPoint = -10000;
// A cell's colour and width before its first record: the first record states both.
inline constexpr int32_t kDlistNoState = -32000;

struct DisplayListCell {
    PagedStream* stream = nullptr; // its records; null until the cell receives its first one
    OpenStream* writer = nullptr;  // open for appending while a pass records into the cell
    int32_t lastX = kDlistNoPoint; // the last grid point written into the cell
    int32_t lastY = kDlistNoPoint;
    int32_t lastColour = kDlistNoState; // the colour and width last written into the cell
    int32_t lastWidth = kDlistNoState;
    bool refused = false; // the cell could not take a record: it takes none for the rest of the pass
};

// Work memory of the list's output: a fill's loops on their way to the host, a host record's
// points and picture.
struct DisplayListScratch {
    std::vector<Point2> loop;          // one loop on the device
    std::vector<DevicePoint> clipped;  // that loop clipped to the device rectangle
    std::vector<DevicePoint> points;   // the loops of a fill, one after the other
    std::vector<int32_t> counts;       // the points of each
    std::vector<DevicePoint> replayed; // a fill's grid points as a replay reads them back
    std::vector<int32_t> replayedCounts;
    std::vector<uint8_t> encoded;   // a host record as the recorder writes it
    std::vector<uint8_t> block;     // a raster block taken to the device
    PagedStream* picture = nullptr; // a picture handed to the host
};

struct DisplayListRasterState {
    int32_t format = 0;           // the pixel format of the last image header
    uint64_t pixelBytesLeft = 0;  // bytes of a row piece's pixels still to come
};

struct DisplayList {
    DisplayList() = default;
    ~DisplayList();
    DisplayList(const DisplayList&) = delete;
    DisplayList& operator=(const DisplayList&) = delete;

    std::array<DisplayListCell, kDlistCellCount> cells;

    // The grid: the viewports map the view onto it while `active` (display-list mode is on and
    // the device has a usable size); otherwise the passes draw straight onto the device.
    bool active = false;
    int32_t gridWidth = 0;
    int32_t gridHeight = 0;
    ViewBlock recordedView;                    // the view the grid was laid with
    Matrix4 recordedMatrix = kIdentityMatrix4; // world to grid of that view (viewport 0)

    // The device rectangle of the view shown, and the window: the part of the grid it shows,
    // in grid units. A grid point g lands on the device at g x scale + offset per axis (the
    // device value as the view transform gives it, before the output truncates it).
    int32_t deviceLeft = 0;
    int32_t deviceTop = 0;
    int32_t deviceRight = 0;
    int32_t deviceBottom = 0;
    double windowX0 = 0.0;
    double windowY0 = 0.0;
    double windowWidth = 0.0;
    double windowHeight = 0.0;
    double scaleX = 1.0;
    double scaleY = 1.0;
    double offsetX = 0.0;
    double offsetY = 0.0;

    // The pass that records.
    bool recording = false;
    DisplayList* outer = nullptr; // the list that recorded when this one started, if any
    int32_t colour = 0;           // the colour and width of what is drawn now
    int32_t width = 0;
    int32_t penX = 0; // the pen, in grid units
    int32_t penY = 0;
    // Set when a primitive could not be kept (off the grid, a cell that could not be written):
    // the pass still reaches the host, but the list is not kept as valid.
    bool incomplete = false;
    // Set while a host hook runs: what it sends back through the table goes to the host.
    bool forwarding = false;
    // The last point the host's move and line hooks received.
    DevicePoint hostPen{kPenPositionUnset, kPenPositionUnset};
    // The raster data being sent: its image header may come in an earlier block than its rows,
    // and the pixels of a row piece may run on into the next block.
    DisplayListRasterState raster;

    DisplayListScratch scratch;
};

// Destroys the 85 cell streams and clears the cell records.
void genDlistResetCells(Drawing* drawing);
// Sets each cell's last colour and width to -32000 (a stream a cell holds stays: releasing it is
// the reset's).
void genDlistInitCells(Drawing* drawing);
// Both.
void genDlistClear(Drawing* drawing);

// The display list of the drawing's display context, or null without one.
DisplayList* genDisplayListOf(Drawing* drawing);
const DisplayList* genDisplayListOf(const Drawing* drawing);

} // namespace tracemill
