// The slots a hook set of the tools fills (see hook_recorder.h), installed and removed as one.
#pragma once

#include <string>

#include "toolkit/core/entity_record.h"
#include "toolkit/core/output_hook_table.h"

namespace tracemill {

// The slots the hook sets fill, by number.
enum HookSlot : int {
    kMoveTo = 0, kLineTo = 1, kPolygon = 2, kPolyPolygon = 3, kTriangleStrip = 4, kColor = 5, kProgress = 6,
    kRefresh = 7, kXrefMissing = 8, kXrefOpen = 11, kXrefOpened = 12, kXrefDone = 13, kEntityBegin = 15,
    kRasterImage = 16, kRasterData = 17, kPicture = 18, kFillRecord = 19, kClippedImage = 20, kOleData = 30,
    kLineWidth = 33,
};

struct HookSetFunctions {
    PointHook moveTo;
    PointHook lineTo;
    PolygonHook polygon;
    PolyPolygonHook polyPolygon;
    TriangleStripHook triangleStrip;
    ColorHook color;
    ProgressHook progress;
    RefreshHook refresh;
    XrefMissingHook xrefMissing;
    XrefOpenHook xrefOpen;
    XrefDrawingHook xrefOpened;
    XrefDrawingHook xrefDone;
    EntityBeginHook entityBegin;
    RasterImageHook rasterImage;
    RasterDataHook rasterData;
    PictureHook picture;
    FillRecordHook fillRecord;
    ClippedImageHook clippedImage;
    OleDataHook oleData;
    LineWidthHook lineWidth;
};

// The name a hook set gives the kind of an entity of the drawing being drawn: its fixed kind's
// or its class's name; an entity kept as the data of a class without a reader of its own
// takes the name of that class.
std::string dbHookKindName(const EntityRecord& entity);

// Puts the functions into their slots through the setters.
void dbInstallHookSet(const HookSetFunctions& set);
// Empties those slots again; the colour slot gets its default.
void dbRemoveHookSet();

} // namespace tracemill
