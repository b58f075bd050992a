// The layer and linetype rows of the drawing-property dialogs, and the linetype access of the
// linetype dialog.
#include <cstdlib>

#include "app/render/drawing_object.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/symbol_tables.h"

namespace tracemill {
namespace {

constexpr size_t kLayerNameLimit = 256;

} // namespace

void CDrawingObject::FillLayerList(std::vector<LayerListRow>* rows) {
    if (!rows) return;
    rows->clear();
    if (!drawing_ || !work_) return;
    LayerRecord& layer = work_->layer;
    dbLayerRewind(drawing_);
    while (dbLayerNext(drawing_, layer)) {
        LayerListRow row;
        row.name = layer.name;
        int16_t on = 1, frozen = 0, frozenNew = 0, locked = 0;
        if (dbLayerGetState(drawing_, layer.handle, on, frozen, frozenNew, locked)) row.on = on != 0;
        else row.on = layer.colour >= 0;
        row.colorIndex = int16_t(std::abs(int(layer.colour)));
        if (dbLtypeGet(drawing_, layer.linetype, work_->linetype)) row.linetype = work_->linetype.name;
        rows->push_back(std::move(row));
    }
}

int32_t CDrawingObject::ApplyLayerList(const std::vector<LayerListRow>& rows) {
    if (!drawing_ || !work_) return 0;
    std::vector<LayerRecord> layers;
    dbLayerRewind(drawing_);
    while (dbLayerNext(drawing_, work_->layer)) layers.push_back(work_->layer);
    for (size_t i = 0; i < layers.size() && i < rows.size(); ++i) {
        LayerRecord& layer = layers[i];
        const LayerListRow& row = rows[i];
        layer.name = row.name.substr(0, kLayerNameLimit);
        layer.colour = int16_t(std::abs(int(row.colorIndex)));
        Handle linetype;
        // A linetype name the drawing does not hold leaves the layer's linetype as it was.
        if (dbLtypeFindByName(drawing_, row.linetype, linetype)) layer.linetype = linetype;
        dbLayerUpdate(drawing_, layer);
        // Switching a layer on or off keeps whether it is frozen or locked.
        int16_t on = 0, frozen = 0, frozenNew = 0, locked = 0;
        dbLayerGetState(drawing_, layer.handle, on, frozen, frozenNew, locked);
        dbLayerSetState(drawing_, layer.handle, row.on ? 1 : 0, frozen ? 1 : 0, frozenNew ? 1 : 0, locked ? 1 : 0);
    }
    return int32_t(layers.size());
}

void CDrawingObject::FillLinetypeList(std::vector<LinetypeListRow>* rows) {
    if (!rows) return;
    rows->clear();
    if (!drawing_ || !work_) return;
    LinetypeRecord& linetype = work_->linetype;
    dbLtypeRewind(drawing_);
    while (dbLtypeNext(drawing_, linetype)) {
        if (dbIsByBlockOrByLayerName(linetype.name)) continue;
        rows->push_back({linetype.name, linetype.description});
    }
}

void CDrawingObject::FillLinetypeCombo(std::vector<std::string>* names, bool withByLayerBlock) {
    if (!names) return;
    names->clear();
    if (!drawing_ || !work_) return;
    LinetypeRecord& linetype = work_->linetype;
    dbLtypeRewind(drawing_);
    while (dbLtypeNext(drawing_, linetype)) {
        if (!withByLayerBlock && dbIsByBlockOrByLayerName(linetype.name)) continue;
        names->push_back(linetype.name);
    }
}

int CDrawingObject::FindLinetypeHandle(const std::string& name, Handle* handle) {
    return handle ? dbLtypeFindByName(drawing_, name, *handle) : 0;
}

int CDrawingObject::GetLinetypeRecord(Handle handle, LinetypeRecord* record) {
    return record ? dbLtypeGet(drawing_, handle, *record) : 0;
}

int CDrawingObject::UpdateLinetypeRecord(const LinetypeRecord& record) { return dbLtypeUpdate(drawing_, record); }

int CDrawingObject::GetCurrentLinetypeHandle(Handle* handle) {
    if (!handle || !header_) return 0;
    *handle = header_->current.celtype;
    return 1;
}

int CDrawingObject::AddLinetypeRecord(const LinetypeRecord& record) { return dbLtypeAdd(drawing_, record); }

} // namespace tracemill
