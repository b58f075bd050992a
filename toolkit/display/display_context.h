// The display state of one drawing: created by genBeginDisplay, owned by the drawing
// (`Drawing::displayContext`) and freed by dbFreeDisplayContext.
//
// It holds what lasts from one display pass to the next (the viewports and their transforms,
// the view last applied, the extents collected by the last pass and the view that shows them)
// and the state of the pass that is running (progress, the clip stacks, the current layer and
// linetype, the colour and line width last sent, the linetype states). The database core reads
// and changes a few of its fields between passes (lineweights, plot style tables, the
// paper-space switch, external-reference layers).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/object_record.h"
#include "toolkit/core/plot_style_table.h"
#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/clip/loop_set.h"
#include "toolkit/display/deferred_reference.h"
#include "toolkit/display/display_list.h"
#include "toolkit/display/linetype_state.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/point_symbol.h"
#include "toolkit/core/view_block.h"
#include "toolkit/display/wide_polyline_state.h"

namespace tracemill {

struct Drawing;

// At most this many viewports are shown; record 0 is the model-space view or the sheet.
inline constexpr int kMaxViewports = 49;

// A rectangle in device units: x0, y0 the corner the host calls left and top, x1, y1 the
// opposite one.
struct DeviceRect {
    double x0 = 0.0;
    double y0 = 0.0;
    double x1 = 0.0;
    double y1 = 0.0;
    friend bool operator==(const DeviceRect&, const DeviceRect&) = default;
};

// The rectangle a host gives a pass, in device integers {left, top, right, bottom}.
struct HostRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const HostRect&, const HostRect&) = default;
};

// One viewport: its view into the drawing and where it lies on the device.
struct ViewportRecord {
    Point4 target{0.0, 0.0, 0.0, 1.0};
    Point4 direction{0.0, 0.0, 1.0, 0.0};
    Point4 up{0.0, 1.0, 0.0, 0.0};
    Point3 sheetCentre;        // the viewport's centre on the sheet
    double sheetHeight = 0.0;  // its size on the sheet
    double sheetWidth = 0.0;
    Point2 viewCentre;         // the view's centre, the offset of its view matrix
    double viewHeight = 1.0;
    double twist = 0.0;
    double lensLength = 50.0;
    int16_t viewMode = 0;
    DeviceRect clampedRect;  // the device rectangle limited to the host's rectangle
    DeviceRect deviceRect;
    double deviceScale = 1.0;      // device units per drawing unit
    double baseDeviceScale = 1.0;  // the same at the start of the list being drawn
    Matrix4 viewMatrix = kIdentityMatrix4;
    Matrix4 worldToDevice = kIdentityMatrix4;
    // A non-rectangular clip boundary: points on the sheet at the viewport's z.
    std::vector<Point2> clipBoundary;
    double clipBoundaryZ = 0.0;
    bool hasClipBoundary = false;
};

// An entry of the clip-entry stack: a block reference whose spatial filter clips what it draws.
struct ClipEntry {
    Drawing* filterDrawing = nullptr;
    Handle filter;          // the SPATIAL_FILTER
    Handle blockReference;  // the reference that holds the clip; zero when the entry pushed a boundary
    Matrix4 matrix = kIdentityMatrix4;
};

// An entry of the clip-boundary stack: for each viewport, the region its output is clipped to
// (in device units).
struct ClipBoundaryEntry {
    std::vector<LoopSet> regions;
};

// A vertex of a polyline being drawn: its point, the bulge and the widths of the segment that
// starts at it.
struct PolylineVertex {
    Point3 point;
    double bulge = 0.0;
    double startWidth = 0.0;
    double endWidth = 0.0;
};

// The entity being drawn, as the drawers below the vectoriser see it.
struct DrawnEntity {
    uint16_t kind = 0;  // the header's type, or what a drawer treats it as for a while
    uint8_t flags = 0;  // the header's flags
    double thickness = 0.0;
    Point3 extrusion{0.0, 0.0, 1.0};
    double linetypeScale = 1.0;
    Matrix4 objectMatrix = kIdentityMatrix4;  // its object coordinate system, when it has one
};

struct DisplayContext {
    // The drawing whose pass this context serves: the drawing itself, or for the context of an
    // external reference the host drawing that draws it.
    Drawing* ownerDrawing = nullptr;
    // The external-reference block being drawn (the context of a reference): the prefix its
    // layers and linetypes take while they are drawn inside the host.
    std::string xrefBlockName;
    // The reference's handle while a reference context draws it.
    Handle referenceHandle;

    // The paper-space switch: on while the current layout is a paper-space layout.
    uint8_t paperSpace = 0;
    // Viewports in use, and the count the paper-space viewport setup found.
    int16_t viewportCount = 1;
    int16_t paperSpaceViewportCount = 1;
    // Drawing units per paper unit of the current layout, for lineweights in paper space.
    double paperScale = 1.0;

    // The LAYOUT of the current space and the plot style table it names, while one is attached.
    LayoutBody layout;
    std::unique_ptr<PlotStyleTable> plotStyleTable;
    // The table the pass uses: the context's own, or the host's for an external reference.
    const PlotStyleTable* passPlotStyleTable = nullptr;

    uint8_t displayListMode = 0;  // copied from the output hook table when the context is made
    uint8_t sourceFormat = 0;     // of the drawing: 0 DWG, 1 ASCII DXF, 2 binary DXF
    std::array<double, 2> scalePair{1.0, 1.0};
    Handle currentBlock{~uint64_t(0)};

    // The view the host last applied, the viewports and the transforms of the view.
    ViewBlock lastView;
    Matrix4 viewMatrix = kIdentityMatrix4;
    Matrix4 windowMatrix = kIdentityMatrix4;
    std::array<ViewportRecord, kMaxViewports> viewports;
    HostRect hostRect;
    uint8_t paperSpaceWithViewports = 0;  // draw model space in each viewport of the sheet
    Handle layoutBlock;                   // the block whose VIEWPORT entities made the viewports
    Handle paperSpaceDisplayBlock;        // the paper-space block the pass walks

    // Extents collected in device units (viewport 0) by the last pass, and the view of them.
    uint8_t extentsFlag = 0;  // 1 once the collected extents are no longer the reset values
    double extentsMinX = 1e300;
    double extentsMinY = 1e300;
    double extentsMaxX = -1e300;
    double extentsMaxY = -1e300;
    ViewBlock extentsView;

    // The pass.
    uint8_t paperSpacePass = 0;  // 1 while the paper-space block is walked
    double linetypeScale = 1.0;  // LTSCALE at the start of the pass
    int16_t clipWindowX = 32766;
    int16_t clipWindowY = 32767;
    uint8_t viewCacheValid = 0;  // display-list mode: the display list holds a whole pass
    uint8_t xclipFrame = 0;
    uint8_t imageFrame = 1;
    uint8_t wipeoutFrame = 1;
    uint32_t totalEntities = 0;
    uint32_t entitiesDone = 0;
    int16_t lastPercent = 0;
    uint16_t tickCounter = 0;  // outputs since the host's refresh hook was last called
    uint32_t solidCounter = 1;
    uint32_t segmentCounter = 0;  // raised once per line or curve handed to the linetype drawer
    // What the counter rises by before each stroke of a polyline or mesh: 0 while a pattern runs
    // on across the vertices of a polyline, else 1 (each stroke a run of its own).
    uint8_t segmentRunEnd = 1;
    uint32_t linetypeEntityIdentity = 0;
    uint8_t linetypeEnable = 1;
    double minimumElementLength = 0.0;
    uint8_t minimumElementOff = 1;
    std::array<LinetypeState, kMaxViewports> linetypeStates{};

    // The current layer and linetype: the first records of their tables at the start of a list.
    LayerRecord currentLayer;
    LinetypeRecord currentLinetype;
    Handle layerZero;
    Handle defaultLinetype;  // the first LTYPE record: lines of it are drawn plain

    // What was last sent to the host: -1 forces the next colour and width through.
    int32_t colourSent = -1;
    int32_t lineWidthSent = -1;

    // Viewport selection of the entity being drawn: bit i of the hidden mask keeps it out of
    // viewport i, bit i of the visible mask says viewport i is on.
    uint64_t hiddenMask = 0;
    uint64_t visibleMask = ~uint64_t(0);
    uint64_t planMask = 0;
    uint8_t paperSpaceReference = 0;  // set while a paper-space block reference's contents draw
    uint8_t firstViewportSeen = 0;
    // The layer entities on layer "0" take inside a block reference: the reference's own.
    Handle referenceLayer;
    // The entity lists being walked, outermost first: a block that holds a reference to itself,
    // directly or through other blocks, is not drawn again inside itself.
    std::vector<const void*> activeLists;
    // The last layer and linetype records looked up by handle.
    Handle cachedLayerHandle;
    const LayerRecord* cachedLayer = nullptr;
    Handle cachedLinetypeHandle;
    const Drawing* cachedLinetypeDrawing = nullptr;
    const LinetypeRecord* cachedLinetype = nullptr;
    const LinetypeRecord* defaultLinetypeRecord = nullptr;
    std::vector<PolylineVertex> polylineVertices;  // the vertices of the polyline being drawn
    WidePolylineState widePolyline;                // the wide polyline being drawn
    double threeUnitTolerance = 0.0;
    double viewScale = 1.0;  // what a circle's chord count grows with: device units per drawing unit, scaled
    DrawnEntity entity;
    SymbolFrame symbol;  // the point symbol being drawn
    // The MTEXT a leader asked to be framed, and the frame's margin: the handle is cleared when
    // that text has been drawn, and by every leader that asks for no frame.
    Handle framedAnnotation;
    double framedAnnotationMargin = 0.0;
    // Set while the rows of a tolerance frame are laid out and drawn.
    uint8_t insideTolerance = 0;
    // "^J" breaks the rows of a tolerance frame, as a line feed does.
    uint8_t caretLineBreaks = 1;

    // External references met during a list, drawn after it.
    std::vector<DeferredReference> deferredReferences;

    // The clip stacks of block and external-reference clipping, the top at the back.
    std::vector<ClipEntry> clipEntries;
    std::vector<ClipBoundaryEntry> clipBoundaries;

    // The display-list cache (display-list mode, the context of a host's own drawing).
    DisplayList displayList;

    // A pass is running on this context; a free asked for meanwhile waits for its end.
    int passDepth = 0;
    bool freeRequested = false;
};

// A new display context with the routine that frees it, for the drawing to own; null when
// there is no memory for it.
DisplayContextPtr genNewDisplayContext();

} // namespace tracemill
