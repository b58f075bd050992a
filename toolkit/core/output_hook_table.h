// The output hook table: every primitive, colour change, progress report and file request of
// display generation leaves the toolkit through one of its 35 slots, and the same record holds
// the display settings the host can change.
//
// One table per process, created by dbInitToolkit and freed by dbTermToolkit
// (`gOutputHookTable`). The host fills the slots through the setters before a display pass.
// Every hook but slot 34 receives, as its last argument, the host word of the drawing being
// displayed (what the host stored with dbSetHostContext). An empty slot is never called: the
// toolkit goes on without that output.
//
// Slots 21 to 29 keep the host's own hooks of slots 0, 1, 23, 24, 5, 17, 18, 19 and 33. The
// display-list cache puts its recorders into slots 0-3, 5, 17-19 and 33 while it records, and
// forwards to (and on replay calls) the host's hooks through the copies; when it stops, the
// host's hooks go back from the copies. A host changes a hook through its setter, which keeps
// the copy in step.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/device_point.h"
#include "toolkit/core/point.h"

namespace tracemill {

struct Drawing;
struct EntityRecord;
struct PagedStream;
// Records of display generation handed to the host; the code that fills them defines them.
struct EntityBeginInfo;
struct RasterImageInfo;
struct RasterImageData;
struct PictureRecord;
struct FillRecord;
struct XrefReference;
struct OleObjectInfo;
struct GlyphRequest;
struct SolidHookParameters;

// Bit 0 of `OutputHookTable::regenFlags`: a raster image's rows are being sent.
inline constexpr uint8_t kRegenRasterImage = 0x01;

// The drawing's host word: an opaque value of the host.
using HostWord = void*;

// A range of point indices {first, last}, both included.
struct PointRange {
    int32_t first = 0;
    int32_t last = 0;
};

// Slots 0, 1, 21, 22: start a stroke at / draw to a device point.
using PointHook = void (*)(int32_t x, int32_t y, HostWord host);
// Slots 2, 23: fill the polygon of points[first..last].
using PolygonHook = void (*)(PointRange range, const DevicePoint* points, HostWord host);
// Slots 3, 24: fill polygons with holes (alternate fill); counts[i] points per polygon.
using PolyPolygonHook = void (*)(const DevicePoint* points, const int32_t* counts, int32_t polygonCount,
                                 HostWord host);
// Slot 4: fill a triangle strip.
using TriangleStripHook = void (*)(const DevicePoint* points, int32_t count, HostWord host);
// Slots 5, 25: set the colour index 0..255 of what follows.
using ColorHook = int16_t (*)(int16_t colour, HostWord host);
// Slot 6: progress of a pass in per cent, 0 to 100.
using ProgressHook = void (*)(int32_t percent, HostWord host);
// Slot 7: periodic refresh while long output runs, so that the host can show partial output.
using RefreshHook = void (*)(HostWord host);
// Slot 8: a referenced drawing could not be opened (error 20 is set first).
using XrefMissingHook = void (*)(const char* fileName, HostWord host);
// Slots 9, 10, 32: find a file named by an entity, an external reference or a plot style
// table; the path to open goes to outPath, 1 when found.
using FileFinderHook = int (*)(const char* name, std::string& outPath, HostWord host);
// Slot 11: before an external reference is opened; the host may change the file name.
using XrefOpenHook = void (*)(std::string& fileName, const XrefReference& reference, HostWord host);
// Slots 12, 13: the reference's drawing has been opened / has been drawn.
using XrefDrawingHook = void (*)(Drawing* reference, HostWord host);
// Slot 14: an entity fetched for display; the host may look at it and change it.
using EntityFetchHook = void (*)(EntityRecord& entity, HostWord host);
// Slot 15: before the vectoriser draws an entity (its lineweight in hundredths of a mm and the
// vectoriser's further values).
using EntityBeginHook = void (*)(const EntityBeginInfo& entity, HostWord host);
// Slot 16: the picture of a raster image, asked for by the name its image definition holds.
// The host leaves in `picture` a stream (dbStreamCreate) holding a whole BMP file image, which
// the toolkit keeps with the entity from then on, or leaves it null.
using RasterImageHook = void (*)(const char* fileName, PagedStream*& picture, HostWord host);
// Slots 17, 26: a raster image's rows as a block of tagged items (raster_data_block.h) of
// `byteCount` bytes.
using RasterDataHook = void (*)(const uint8_t* block, uint32_t byteCount, HostWord host);
// Slots 18, 27: a picture inside a polygon boundary.
using PictureHook = void (*)(const PictureRecord& picture, HostWord host);
// Slots 19, 28: a boundary fill of the second kind.
using FillRecordHook = void (*)(const FillRecord& fill, HostWord host);
// Slot 20: a raster image with a clip boundary.
using ClippedImageHook = void (*)(const RasterImageInfo& image, const RasterImageData& data, HostWord host);
// Slot 30: an embedded object's data (without its frame header); the host may hand back a
// picture of it in `object`.
using OleDataHook = void (*)(PagedStream* objectData, OleObjectInfo& object, HostWord host);
// Slot 31: the outline of one TrueType character; 0 when the request was answered (the
// outline is empty when the glyph was not found), nonzero for no glyph.
using GlyphOutlineHook = int (*)(GlyphRequest& request, HostWord host);
// Slots 33, 29: the width of the current entity changed.
using LineWidthHook = void (*)(int32_t width, HostWord host);
// Slot 34: draws an ACIS solid, region or body (no host word); the caller keeps the result.
using SolidHook = int (*)(SolidHookParameters& parameters);

// Colour index to output colour, 256 entries.
using ColorIndexMap = std::array<int16_t, 256>;

// The 64 x 64 grid of the display-list cache: for two leaf cells a and b, entry a x 64 + b is
// the smallest quadtree cell holding both.
using CellCodeGrid = std::array<uint8_t, 4096>;

// The pen position the polygon wrappers leave, and what a pass starts from so that its first
// move is always sent.
inline constexpr int32_t kPenPositionUnset = -2000000000;

struct OutputHookTable {
    OutputHookTable();

    // Slots 0 to 20: what display generation calls.
    PointHook moveTo = nullptr;                // 0  clipped line output: start a stroke
    PointHook lineTo = nullptr;                // 1  clipped line output: draw to the point
    PolygonHook polygon;                       // 2  the polygon wrapper (calls 23, sets the pen)
    PolyPolygonHook polyPolygon;               // 3  the poly-polygon wrapper (calls 24)
    TriangleStripHook triangleStrip = nullptr; // 4  empty: each triangle goes through slot 2
    ColorHook color;                           // 5  identity by default
    ProgressHook progress = nullptr;           // 6
    RefreshHook refresh = nullptr;             // 7
    XrefMissingHook xrefMissing = nullptr;     // 8
    FileFinderHook imageFileFinder;            // 9  dbDefaultFileFinder by default
    FileFinderHook xrefLoad;                   // 10 dbDefaultFileFinder by default
    XrefOpenHook xrefOpen = nullptr;           // 11
    XrefDrawingHook xrefOpened = nullptr;      // 12
    XrefDrawingHook xrefDone = nullptr;        // 13
    EntityFetchHook entityFetch = nullptr;     // 14
    EntityBeginHook entityBegin = nullptr;     // 15
    RasterImageHook rasterImage = nullptr;     // 16
    RasterDataHook rasterData = nullptr;       // 17
    PictureHook picture = nullptr;             // 18
    FillRecordHook fillRecord = nullptr;       // 19
    ClippedImageHook clippedImage = nullptr;   // 20

    // Slots 21 to 29: the host's own hooks, kept while the display-list cache records.
    PointHook hostMoveTo = nullptr;                // 21 of slot 0
    PointHook hostLineTo = nullptr;                // 22 of slot 1
    PolygonHook hostPolygon = nullptr;             // 23 of slot 2, called by the wrapper
    PolyPolygonHook hostPolyPolygon = nullptr;     // 24 of slot 3, called by the wrapper
    ColorHook hostColor;                           // 25 of slot 5
    RasterDataHook hostRasterData = nullptr;       // 26 of slot 17
    PictureHook hostPicture = nullptr;             // 27 of slot 18
    FillRecordHook hostFillRecord = nullptr;       // 28 of slot 19
    LineWidthHook hostLineWidth = nullptr;         // 29 of slot 33

    // Slots 30 to 34.
    OleDataHook oleData = nullptr;             // 30
    GlyphOutlineHook glyphOutline = nullptr;   // 31 empty: no TrueType fill
    FileFinderHook plotStyleFile = nullptr;    // 32 empty: the name is the path
    LineWidthHook lineWidth = nullptr;         // 33
    SolidHook solid = nullptr;                 // 34 the toolkit's ACIS solid drawer (dbInitToolkit)

    // Settings and state of display generation.
    uint8_t regenFlags = 0;       // bit 1 while an xclip boundary is active, bit 0 (kRegenRasterImage) while a raster image is drawn
    uint8_t displayListMode = 1;  // 1: displays go through the display-list cache
    CellCodeGrid cellCodes{};     // the display-list cache's cells (dbInitToolkit)
    std::string mallocMessage = "Malloc error\n";
    DevicePoint penPosition{kPenPositionUnset, kPenPositionUnset};
    std::vector<DevicePoint> scratchPoints;  // device points on their way to a hook
    std::vector<Point2> clipPieces;     // the visible pieces of a clipped line, {start, end} each
    std::vector<Point2> clipCrossings;  // where a line crosses a clip region
    std::vector<Point2> fillDevicePoints;     // the corners of a fill in device units
    std::vector<DevicePoint> fillPoints;      // a fill's integer polygon (slots 2, 18, 19 point into it)
    std::vector<int32_t> fillCounts;          // the points of each polygon of a poly-polygon
    // 1 when a display pass starts; a host that clears it (genStopDisplay) ends every entity
    // list after its current entity.
    int16_t walkContinue = 1;
    uint8_t xrefPass = 0;              // set while the external references of a list are drawn
    std::string xrefBlockName;         // the external-reference block being drawn
    Drawing* currentDrawing = nullptr; // the drawing whose entities are being drawn
    int32_t defaultLineweight = 25;      // for the default lineweight (-3) and kind 24, 1/100 mm
    double lineweightScale = -1.0;       // applied when not negative and the context does not convert
    double lineweightUnitScale = 1.0;    // for lineweight units other than inches and millimetres
    int32_t alignTextFlag = 0;           // nonzero: justified text is placed from its alignment codes
    int32_t curveResolutionAlt = 10;     // for entities whose header flag 0x10 is set, 1..50
    int32_t curveResolution = 10;        // for flattening arcs and curves, 0..50
    int32_t userValue = 0;               // kept for the host
    int32_t displayValue = 0;            // returned by dbGetDisplayValue, changed by nothing

    // Process-wide display values beside the record.
    ColorIndexMap colorIndexMap{};       // 0..16 to themselves, 17..255 to 15
    int16_t circleChordLimit = 0;        // 0: the default of 64
    int16_t refreshInterval = 100;       // outputs between two calls of the refresh hook
    int16_t entityWalkSwitch = 1;
    int16_t linetypeSwitch = 1;
    double vectoriserScale = 2.0;
    double viewportSetupScale = 1.0;
};

// The number of slots, and the name of slot i as the table's field names it ("moveTo" for 0,
// "lineTo" for 1, ... "solid" for 34); empty for a number out of range.
inline constexpr int kOutputHookSlotCount = 35;
std::string_view dbHookSlotName(int slot);

// The one table of the process; null outside dbInitToolkit .. dbTermToolkit.
extern OutputHookTable* gOutputHookTable;

// Allocation and release of the table (called by dbInitToolkit and dbTermToolkit). Create
// returns 1, or 0 when memory is exhausted; a table that exists is kept.
int dbCreateOutputHookTable();
void dbDestroyOutputHookTable();

// --- Slot setters (nothing happens without a table) --------------------------------------------

void dbSetMoveToHook(PointHook hook);            // slots 0 and 21
void dbSetLineToHook(PointHook hook);            // slots 1 and 22
void dbSetPolygonHook(PolygonHook hook);         // slot 23; slot 2 becomes the wrapper
void dbSetPolyPolygonHook(PolyPolygonHook hook); // slot 24; slot 3 becomes the wrapper
void dbSetTriangleStripHook(TriangleStripHook hook);
void dbSetColorHook(ColorHook hook);             // slots 5 and 25
void dbSetProgressHook(ProgressHook hook);
void dbSetRefreshHook(RefreshHook hook);
void dbSetXrefMissingHook(XrefMissingHook hook);
void dbSetImageFileFinder(FileFinderHook hook);
void dbSetXrefLoadHook(FileFinderHook hook);
void dbSetXrefOpenHook(XrefOpenHook hook);
void dbSetXrefOpenedHook(XrefDrawingHook hook);
void dbSetXrefDoneHook(XrefDrawingHook hook);
void dbSetEntityFetchHook(EntityFetchHook hook);
void dbSetEntityBeginHook(EntityBeginHook hook);
void dbSetRasterImageHook(RasterImageHook hook);
void dbSetHook17(RasterDataHook hook);           // slots 17 and 26
void dbSetPictureHook(PictureHook hook);         // slots 18 and 27
void dbSetFillRecordHook(FillRecordHook hook);   // slots 19 and 28
void dbSetClippedImageHook(ClippedImageHook hook);
void dbSetOleDataHook(OleDataHook hook);
void dbSetGlyphOutlineHook(GlyphOutlineHook hook);
void dbSetPlotStyleFileHook(FileFinderHook hook);
void dbSetLineWidthHook(LineWidthHook hook);     // slots 33 and 29
void dbSetSolidHook(SolidHook hook);

// The default of slot 5: returns its argument.
int16_t dbDefaultColorHook(int16_t colour, HostWord host);

// The wrappers in slots 2 and 3: call the host's hook (slot 23 / 24) when set, then leave the
// pen position at the point the primitive started from (points[range.first] / points[0]).
void dbPolygonWrapper(PointRange range, const DevicePoint* points, HostWord host);
void dbPolyPolygonWrapper(const DevicePoint* points, const int32_t* counts, int32_t polygonCount, HostWord host);

// Fills a triangle strip through slot 4, or, when it is empty, each triangle through slot 2
// with the ranges {0, 2}, {1, 3} ... {count - 3, count - 1}.
void dbSendTriangleStrip(const DevicePoint* points, int32_t count, HostWord host);

// The hooks the display-list cache records through while it records.
struct RecordingHookSet {
    PointHook moveTo = nullptr;
    PointHook lineTo = nullptr;
    PolygonHook polygon = nullptr;
    PolyPolygonHook polyPolygon = nullptr;
    ColorHook color = nullptr;
    RasterDataHook rasterData = nullptr;
    PictureHook picture = nullptr;
    FillRecordHook fillRecord = nullptr;
    LineWidthHook lineWidth = nullptr;
};

// Puts the recorders into slots 0-3, 5, 17-19 and 33; the host's hooks stay in 21-29.
void dbInstallRecordingHooks(const RecordingHookSet& recorders);
// Puts the host's hooks back into slots 0, 1, 5, 17, 18, 19 and 33 from their copies and the
// wrappers into slots 2 and 3.
void dbRestoreHostHooks();

// --- Settings ----------------------------------------------------------------------------------

void dbSetDisplayListMode(int on);  // stores 1 for nonzero
void dbSetDefaultLineweight(int32_t value);
void dbSetLineweightScale(double value);
void dbSetLineweightUnitScale(double value);
void dbSetAlignTextFlag(int32_t value);
void dbSetCurveResolutionAlt(int32_t n);  // clamped to 1..50
int32_t dbGetCurveResolutionAlt();
void dbSetCurveResolution(int32_t n);     // clamped to 0..50
int32_t dbGetCurveResolution();
void dbSetUserValue(int32_t value);
int32_t dbGetUserValue();
int32_t dbGetDisplayValue();
// The colour-index map, for hosts that replace it (null without a table).
ColorIndexMap* dbGetColorIndexMap();

} // namespace tracemill
