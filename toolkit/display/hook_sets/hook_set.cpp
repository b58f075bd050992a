#include "toolkit/display/hook_sets/hook_set.h"

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"

namespace tracemill {

std::string dbHookKindName(const EntityRecord& entity) {
    const Drawing* drawing = gOutputHookTable ? gOutputHookTable->currentDrawing : nullptr;
    uint16_t type = entity.header.type;
    if (const auto* proxy = entity.body.getIf<ProxyEntityBody>(); proxy && type == kEntityOfClassData)
        type = proxy->classNumber;
    if (drawing) return dbEntityKindName(drawing->classes, type);
    const std::string_view fixed = dbEntityTypeName(type);
    return fixed.empty() ? std::to_string(type) : std::string(fixed);
}

void dbInstallHookSet(const HookSetFunctions& set) {
    dbSetMoveToHook(set.moveTo);
    dbSetLineToHook(set.lineTo);
    dbSetPolygonHook(set.polygon);
    dbSetPolyPolygonHook(set.polyPolygon);
    dbSetTriangleStripHook(set.triangleStrip);
    dbSetColorHook(set.color ? set.color : dbDefaultColorHook);
    dbSetProgressHook(set.progress);
    dbSetRefreshHook(set.refresh);
    dbSetXrefMissingHook(set.xrefMissing);
    dbSetXrefOpenHook(set.xrefOpen);
    dbSetXrefOpenedHook(set.xrefOpened);
    dbSetXrefDoneHook(set.xrefDone);
    dbSetEntityBeginHook(set.entityBegin);
    dbSetRasterImageHook(set.rasterImage);
    dbSetHook17(set.rasterData);
    dbSetPictureHook(set.picture);
    dbSetFillRecordHook(set.fillRecord);
    dbSetClippedImageHook(set.clippedImage);
    dbSetOleDataHook(set.oleData);
    dbSetLineWidthHook(set.lineWidth);
}

void dbRemoveHookSet() { dbInstallHookSet(HookSetFunctions{}); }

} // namespace tracemill
