#include "toolkit/read/dxf_driver.h"

#include <string>

#include "toolkit/core/system_context.h"
#include "toolkit/read/dxf_reader.h"
#include "toolkit/read/xdata_refs.h"

namespace tracemill {
namespace {

std::string upperName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return out;
}

class DxfDriver final : public FormatDriver {
public:
    int openHeader(Drawing& drawing) override {
        if (!rdDxfOpen(drawing)) return 0;
        const DxfSectionIndex& index = dxfState(drawing).index;
        auto count = [&](DxfRecordKind kind) { return index.tables[size_t(kind)].count; };
        AnnouncedCounts& announced = drawing.announced;
        announced.linetypes = count(DxfRecordKind::Ltype);
        announced.layers = count(DxfRecordKind::Layer);
        announced.styles = count(DxfRecordKind::Style);
        announced.views = count(DxfRecordKind::View);
        announced.vports = count(DxfRecordKind::Vport);
        announced.appIds = count(DxfRecordKind::AppId);
        announced.dimStyles = count(DxfRecordKind::DimStyle);
        announced.ucss = count(DxfRecordKind::Ucs);
        announced.blocks = int32_t(index.blocks.size());
        return 1;
    }

    int seekLinetypes(Drawing& drawing) override { return seekTable(drawing, DxfRecordKind::Ltype); }
    int readLinetype(Drawing& drawing, LinetypeRecord& record, uint8_t& hasXData) override {
        return rdDxfReadLtype(drawing, record, hasXData);
    }
    int seekLayers(Drawing& drawing) override { return seekTable(drawing, DxfRecordKind::Layer); }
    int readLayer(Drawing& drawing, LayerRecord& record, LinetypeReference& linetype, uint8_t& hasXData) override {
        return rdDxfReadLayer(drawing, record, linetype, hasXData);
    }
    int seekClasses(Drawing& drawing) override {
        DxfLoadState& state = dxfState(drawing);
        if (state.index.classesStart) rdDxfSeek(state, state.index.classesStart);
        return 1;
    }
    int readClass(Drawing& drawing, ClassEntry& entry) override { return rdDxfReadClass(drawing, entry); }
    int seekVports(Drawing& drawing) override { return seekTable(drawing, DxfRecordKind::Vport); }
    int readVport(Drawing& drawing, VportRecord& record, uint8_t& hasXData) override {
        return rdDxfReadVport(drawing, record, hasXData);
    }
    int seekUcss(Drawing& drawing) override { return seekTable(drawing, DxfRecordKind::Ucs); }
    int readUcs(Drawing& drawing, UcsRecord& record, uint8_t& hasXData) override {
        return rdDxfReadUcs(drawing, record, hasXData);
    }
    int seekAppIds(Drawing& drawing) override { return seekTable(drawing, DxfRecordKind::AppId); }
    int readAppId(Drawing& drawing, AppIdRecord& record, uint8_t& hasXData) override {
        return rdDxfReadAppId(drawing, record, hasXData);
    }
    int seekViews(Drawing& drawing) override { return seekTable(drawing, DxfRecordKind::View); }
    int readView(Drawing& drawing, ViewRecord& record, uint8_t& hasXData) override {
        return rdDxfReadView(drawing, record, hasXData);
    }
    int seekStyles(Drawing& drawing) override { return seekTable(drawing, DxfRecordKind::Style); }
    int readStyle(Drawing& drawing, StyleRecord& record, uint8_t& hasXData) override {
        return rdDxfReadStyle(drawing, record, hasXData);
    }
    int seekBlockRecords(Drawing& drawing) override {
        DxfLoadState& state = dxfState(drawing);
        state.nextBlock = 0;
        if (state.index.blocksStart) rdDxfSeek(state, state.index.blocksStart);
        return 1;
    }
    int readBlockRecord(Drawing& drawing, BlockRecord& record, uint8_t& hasXData) override {
        return rdDxfReadBlock(drawing, record, hasXData);
    }
    int seekDimStyles(Drawing& drawing) override { return seekTable(drawing, DxfRecordKind::DimStyle); }
    int readDimStyle(Drawing& drawing, DimStyleRecord& record, uint8_t& hasXData) override {
        return rdDxfReadDimStyle(drawing, record, hasXData);
    }
    int seekViewportEntities(Drawing& drawing) override {
        dxfState(drawing).nextViewport = 0;
        return 1;
    }
    int readViewportEntity(Drawing& drawing, ViewportEntityHeaderRecord& record) override {
        return rdDxfReadViewportEntity(drawing, record);
    }

    int seekSpaceEntities(Drawing& drawing) override {
        DxfLoadState& state = dxfState(drawing);
        state.blockMode = false;
        state.blockMissing = state.index.entitiesStart == 0;
        if (!state.blockMissing) rdDxfSeek(state, state.index.entitiesStart);
        return 1;
    }
    int seekBlockEntities(Drawing& drawing) override {
        DxfLoadState& state = dxfState(drawing);
        state.blockMode = true;
        auto found = state.blockOffsets.find(upperName(drawing.load->currentBlockName));
        state.blockMissing = found == state.blockOffsets.end();
        if (!state.blockMissing) rdDxfSeek(state, found->second);
        return 1;
    }
    int readEntity(Drawing& drawing, EntityRecord& entity, uint8_t& hasXData) override {
        if (dxfState(drawing).blockMissing) return 0;
        return rdDxfReadEntity(drawing, entity, hasXData);
    }

    int seekObjects(Drawing& drawing) override {
        DxfLoadState& state = dxfState(drawing);
        state.objectsMissing = state.index.objectsStart == 0;
        if (!state.objectsMissing) rdDxfSeek(state, state.index.objectsStart);
        return 1;
    }
    uint16_t nextObjectCode(Drawing& drawing) override {
        if (dxfState(drawing).objectsMissing) return kNoMoreObjects;
        return rdDxfPeekObjectKind(drawing);
    }
    int readDictionary(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) override {
        return rdDxfReadDictionary(drawing, object, hasXData);
    }
    int readMlineStyle(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) override {
        return rdDxfReadMlineStyle(drawing, object, hasXData);
    }
    int readGroup(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) override {
        return rdDxfReadGroupObject(drawing, object, hasXData);
    }
    int readClassObject(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) override {
        return rdDxfReadObject(drawing, object, hasXData);
    }

    EntityRangePosition entityRangePosition(Drawing& drawing) override {
        DxfLoadState& state = dxfState(drawing);
        return {rdDxfTell(state), state.index.entitiesStart, state.index.entitiesEnd};
    }

    int attachExtendedData(Drawing& drawing, OwnedStream& xdata) override {
        return rdConvertXDataRefs(drawing, RawXDataForm::Dxf, xdata);
    }

private:
    static int seekTable(Drawing& drawing, DxfRecordKind kind) {
        DxfLoadState& state = dxfState(drawing);
        const DxfTableIndex& table = state.index.tables[size_t(kind)];
        if (table.count > 0) rdDxfSeek(state, table.firstRecord);
        return 1;
    }
};

} // namespace

FormatDriver& dbDxfDriver() {
    static DxfDriver driver;
    return driver;
}

void dbInstallDxfReaderTable() {
    if (gSystemContext) gSystemContext->dxfDriver = &dbDxfDriver();
}

} // namespace tracemill
