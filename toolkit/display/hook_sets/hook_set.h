// The slots a hook set of the tools fills (see hook_recorder.h), installed and removed as one.
#pragma once

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

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

// Puts the functions into their slots through the setters.
void dbInstallHookSet(const HookSetFunctions& set);
// Empties those slots again; the colour slot gets its default.
void dbRemoveHookSet();

} // namespace tracemill
