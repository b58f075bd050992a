#include "toolkit/core/output_hook_table.h"

#include <algorithm>

#include "toolkit/core/file_finder.h"
#include "toolkit/core/memory_services.h"

namespace tracemill {

OutputHookTable* gOutputHookTable = nullptr;

namespace {

constexpr int kCurveResolutionMax = 50;
// Colour indices above this map to it (a host with a full palette sets the identity).
constexpr int16_t kLastMappedColour = 16;
constexpr int16_t kColourForUnmapped = 15;

// Stores the hook into the slot of the table, when there is one.
template <class Hook> void setSlot(Hook OutputHookTable::*slot, Hook hook) {
    if (gOutputHookTable) gOutputHookTable->*slot = hook;
}

// Stores the hook into its slot and into the slot's host copy.
template <class Hook> void setSlotAndCopy(Hook OutputHookTable::*slot, Hook OutputHookTable::*copy, Hook hook) {
    if (!gOutputHookTable) return;
    gOutputHookTable->*slot = hook;
    gOutputHookTable->*copy = hook;
}

constexpr std::string_view kSlotNames[kOutputHookSlotCount] = {
    "moveTo",       "lineTo",       "polygon",         "polyPolygon",    "triangleStrip", "color",
    "progress",     "refresh",      "xrefMissing",     "imageFileFinder", "xrefLoad",     "xrefOpen",
    "xrefOpened",   "xrefDone",     "entityFetch",     "entityBegin",    "rasterImage",   "rasterData",
    "picture",      "fillRecord",   "clippedImage",    "hostMoveTo",     "hostLineTo",    "hostPolygon",
    "hostPolyPolygon", "hostColor", "hostRasterData",  "hostPicture",    "hostFillRecord", "hostLineWidth",
    "oleData",      "glyphOutline", "plotStyleFile",   "lineWidth",      "solid"};

} // namespace

std::string_view dbHookSlotName(int slot) {
    return slot >= 0 && slot < kOutputHookSlotCount ? kSlotNames[slot] : std::string_view();
}

OutputHookTable::OutputHookTable()
    : polygon(dbPolygonWrapper), polyPolygon(dbPolyPolygonWrapper), color(dbDefaultColorHook),
      imageFileFinder(dbDefaultFileFinder), xrefLoad(dbDefaultFileFinder), hostColor(dbDefaultColorHook) {
    for (size_t i = 0; i < colorIndexMap.size(); ++i)
        colorIndexMap[i] = int16_t(i) <= kLastMappedColour ? int16_t(i) : kColourForUnmapped;
}

int dbCreateOutputHookTable() {
    if (gOutputHookTable) return 1;
    gOutputHookTable = dbNewObject<OutputHookTable>().release();
    return gOutputHookTable ? 1 : 0;
}

void dbDestroyOutputHookTable() {
    delete gOutputHookTable;
    gOutputHookTable = nullptr;
}

void dbSetMoveToHook(PointHook hook) {
    setSlotAndCopy(&OutputHookTable::moveTo, &OutputHookTable::hostMoveTo, hook);
}
void dbSetLineToHook(PointHook hook) {
    setSlotAndCopy(&OutputHookTable::lineTo, &OutputHookTable::hostLineTo, hook);
}
void dbSetPolygonHook(PolygonHook hook) {
    setSlot(&OutputHookTable::hostPolygon, hook);
    setSlot(&OutputHookTable::polygon, PolygonHook(dbPolygonWrapper));
}
void dbSetPolyPolygonHook(PolyPolygonHook hook) {
    setSlot(&OutputHookTable::hostPolyPolygon, hook);
    setSlot(&OutputHookTable::polyPolygon, PolyPolygonHook(dbPolyPolygonWrapper));
}
void dbSetTriangleStripHook(TriangleStripHook hook) { setSlot(&OutputHookTable::triangleStrip, hook); }
void dbSetColorHook(ColorHook hook) { setSlotAndCopy(&OutputHookTable::color, &OutputHookTable::hostColor, hook); }
void dbSetProgressHook(ProgressHook hook) { setSlot(&OutputHookTable::progress, hook); }
void dbSetRefreshHook(RefreshHook hook) { setSlot(&OutputHookTable::refresh, hook); }
void dbSetXrefMissingHook(XrefMissingHook hook) { setSlot(&OutputHookTable::xrefMissing, hook); }
void dbSetImageFileFinder(FileFinderHook hook) { setSlot(&OutputHookTable::imageFileFinder, hook); }
void dbSetXrefLoadHook(FileFinderHook hook) { setSlot(&OutputHookTable::xrefLoad, hook); }
void dbSetXrefOpenHook(XrefOpenHook hook) { setSlot(&OutputHookTable::xrefOpen, hook); }
void dbSetXrefOpenedHook(XrefDrawingHook hook) { setSlot(&OutputHookTable::xrefOpened, hook); }
void dbSetXrefDoneHook(XrefDrawingHook hook) { setSlot(&OutputHookTable::xrefDone, hook); }
void dbSetEntityFetchHook(EntityFetchHook hook) { setSlot(&OutputHookTable::entityFetch, hook); }
void dbSetEntityBeginHook(EntityBeginHook hook) { setSlot(&OutputHookTable::entityBegin, hook); }
void dbSetRasterImageHook(RasterImageHook hook) { setSlot(&OutputHookTable::rasterImage, hook); }
void dbSetHook17(RasterDataHook hook) {
    setSlotAndCopy(&OutputHookTable::rasterData, &OutputHookTable::hostRasterData, hook);
}
void dbSetPictureHook(PictureHook hook) {
    setSlotAndCopy(&OutputHookTable::picture, &OutputHookTable::hostPicture, hook);
}
void dbSetFillRecordHook(FillRecordHook hook) {
    setSlotAndCopy(&OutputHookTable::fillRecord, &OutputHookTable::hostFillRecord, hook);
}
void dbSetClippedImageHook(ClippedImageHook hook) { setSlot(&OutputHookTable::clippedImage, hook); }
void dbSetOleDataHook(OleDataHook hook) { setSlot(&OutputHookTable::oleData, hook); }
void dbSetGlyphOutlineHook(GlyphOutlineHook hook) { setSlot(&OutputHookTable::glyphOutline, hook); }
void dbSetPlotStyleFileHook(FileFinderHook hook) { setSlot(&OutputHookTable::plotStyleFile, hook); }
void dbSetLineWidthHook(LineWidthHook hook) {
    setSlotAndCopy(&OutputHookTable::lineWidth, &OutputHookTable::hostLineWidth, hook);
}
void dbSetSolidHook(SolidHook hook) { setSlot(&OutputHookTable::solid, hook); }

int16_t dbDefaultColorHook(int16_t colour, HostWord) { return colour; }

void dbPolygonWrapper(PointRange range, const DevicePoint* points, HostWord host) {
    OutputHookTable* table = gOutputHookTable;
    if (!table) return;
    if (table->hostPolygon) table->hostPolygon(range, points, host);
    if (points && range.first >= 0 && range.first <= range.last) table->penPosition = points[range.first];
}

void dbPolyPolygonWrapper(const DevicePoint* points, const int32_t* counts, int32_t polygonCount, HostWord host) {
    OutputHookTable* table = gOutputHookTable;
    if (!table) return;
    if (table->hostPolyPolygon) table->hostPolyPolygon(points, counts, polygonCount, host);
    if (points && counts && polygonCount > 0 && counts[0] > 0) table->penPosition = points[0];
}

void dbSendTriangleStrip(const DevicePoint* points, int32_t count, HostWord host) {
    OutputHookTable* table = gOutputHookTable;
    if (!table || !points || count < 3) return;
    if (table->triangleStrip) {
        table->triangleStrip(points, count, host);
        return;
    }
    if (!table->polygon) return;
    for (int32_t i = 0; i + 2 < count; ++i) table->polygon(PointRange{i, i + 2}, points, host);
}

void dbInstallRecordingHooks(const RecordingHookSet& recorders) {
    OutputHookTable* table = gOutputHookTable;
    if (!table) return;
    table->moveTo = recorders.moveTo;
    table->lineTo = recorders.lineTo;
    table->polygon = recorders.polygon;
    table->polyPolygon = recorders.polyPolygon;
    table->color = recorders.color;
    table->rasterData = recorders.rasterData;
    table->picture = recorders.picture;
    table->fillRecord = recorders.fillRecord;
    table->lineWidth = recorders.lineWidth;
}

void dbRestoreHostHooks() {
    OutputHookTable* table = gOutputHookTable;
    if (!table) return;
    table->moveTo = table->hostMoveTo;
    table->lineTo = table->hostLineTo;
    table->polygon = dbPolygonWrapper;
    table->polyPolygon = dbPolyPolygonWrapper;
    table->color = table->hostColor;
    table->rasterData = table->hostRasterData;
    table->picture = table->hostPicture;
    table->fillRecord = table->hostFillRecord;
    table->lineWidth = table->hostLineWidth;
}

void dbSetDisplayListMode(int on) { setSlot(&OutputHookTable::displayListMode, uint8_t(on ? 1 : 0)); }
void dbSetDefaultLineweight(int32_t value) { setSlot(&OutputHookTable::defaultLineweight, value); }
void dbSetLineweightScale(double value) { setSlot(&OutputHookTable::lineweightScale, value); }
void dbSetLineweightUnitScale(double value) { setSlot(&OutputHookTable::lineweightUnitScale, value); }
void dbSetAlignTextFlag(int32_t value) { setSlot(&OutputHookTable::alignTextFlag, value); }

void dbSetCurveResolutionAlt(int32_t n) {
    setSlot(&OutputHookTable::curveResolutionAlt, std::clamp(n, 1, kCurveResolutionMax));
}
int32_t dbGetCurveResolutionAlt() { return gOutputHookTable ? gOutputHookTable->curveResolutionAlt : 0; }

void dbSetCurveResolution(int32_t n) {
    setSlot(&OutputHookTable::curveResolution, std::clamp(n, 0, kCurveResolutionMax));
}
int32_t dbGetCurveResolution() { return gOutputHookTable ? gOutputHookTable->curveResolution : 0; }

void dbSetUserValue(int32_t value) { setSlot(&OutputHookTable::userValue, value); }
int32_t dbGetUserValue() { return gOutputHookTable ? gOutputHookTable->userValue : 0; }
int32_t dbGetDisplayValue() { return gOutputHookTable ? gOutputHookTable->displayValue : 0; }

ColorIndexMap* dbGetColorIndexMap() { return gOutputHookTable ? &gOutputHookTable->colorIndexMap : nullptr; }

} // namespace tracemill
