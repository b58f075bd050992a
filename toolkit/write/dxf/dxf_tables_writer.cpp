#include "toolkit/write/dxf/dxf_tables_writer.h"

#include <string>

#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dxf_table_fields.h"
#include "toolkit/write/dxf/dxf_field_output.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/dxf/dxf_names.h"

namespace tracemill {
namespace {

bool fromR13(const OutputContext& output) { return output.versionIndex >= kVersionAC1012; }
bool is2000(const OutputContext& output) { return output.versionIndex >= kVersionAC1015; }

int symbolName(const Drawing& drawing, OutputContext& output, const std::string& name, int32_t number) {
    return wrDxfSymbolName(drawing, output, 2, name, number, wrSymbolNameLimit());
}

// 0 NAME, the head from R13 on, 2 the converted name, 70.
template <class Record>
int recordStart(const Drawing& drawing, OutputContext& output, std::string_view table, std::string_view subclass,
                const Record& record, int32_t number, std::span<const DxfField<Record>> fields) {
    if (!wrDxfString(output, 0, table)) return 0;
    if (fromR13(output) && !DxfTableRecordHead(output, record, 5, subclass)) return 0;
    return symbolName(drawing, output, record.name, number) && wrDxfField(output, fields, record, 70);
}

int ucsGroups(OutputContext& output, const ViewUcs& ucs) {
    return wrDxfPoint3dFull(output, 110, ucs.origin) && wrDxfPoint3dFull(output, 111, ucs.xAxis) &&
           wrDxfPoint3dFull(output, 112, ucs.yAxis);
}

} // namespace

int DxfOwnerGroups(OutputContext& output, Handle extensionDictionary, const HandleList& reactors) {
    if (!extensionDictionary.isNull()) {
        if (!wrDxfString(output, 102, "{ACAD_XDICTIONARY") || !wrDxfHandle(output, 360, extensionDictionary) ||
            !wrDxfString(output, 102, "}")) {
            return 0;
        }
    }
    if (!reactors.empty()) {
        if (!wrDxfString(output, 102, "{ACAD_REACTORS")) return 0;
        for (Handle reactor : reactors) {
            if (!wrDxfHandle(output, 330, reactor)) return 0;
        }
        if (!wrDxfString(output, 102, "}")) return 0;
    }
    return 1;
}

int DxfTableHead(OutputContext& output, std::string_view name, Handle tableHandle, int32_t count) {
    if (!wrDxfString(output, 0, "TABLE") || !wrDxfString(output, 2, name)) return 0;
    if (fromR13(output) && (!wrDxfHandle(output, 5, tableHandle) || !wrDxfString(output, 100, "AcDbSymbolTable")))
        return 0;
    if (!wrDxfInt16(output, 70, int16_t(count))) return 0;
    if (name == "DIMSTYLE" && is2000(output)) {
        return wrDxfString(output, 100, "AcDbDimStyleTable") && wrDxfInt16(output, 71, 0);
    }
    return 1;
}

int DxfTableEnd(OutputContext& output) { return wrDxfString(output, 0, "ENDTAB"); }

int DxfTableRecordHead(OutputContext& output, const TableRecordCommon& record, int handleCode,
                       std::string_view subclass) {
    std::string marker = "AcDb";
    marker += subclass;
    marker += "TableRecord";
    // The owner (330) is kept too, as the files of these versions carry it.
    return wrDxfHandle(output, handleCode, record.handle) &&
           DxfOwnerGroups(output, record.extensionDictionary, record.reactors) &&
           (record.owner.isNull() || wrDxfHandle(output, 330, record.owner)) &&
           wrDxfString(output, 100, "AcDbSymbolTableRecord") && wrDxfString(output, 100, marker);
}

int DxfLayerRecord(const Drawing& drawing, OutputContext& output, const LayerRecord& record, int32_t number) {
    const auto fields = dxfLayerFields();
    if (!wrDxfString(output, 0, "LAYER")) return 0;
    if (fromR13(output) && !DxfTableRecordHead(output, record, 5, "Layer")) return 0;
    if (!symbolName(drawing, output, record.name, number)) return 0;
    if (!wrDxfInt16(output, 70, int16_t(int8_t(record.flags))) || !wrDxfField(output, fields, record, 62)) return 0;
    std::string linetype = "CONTINUOUS";
    if (!record.linetype.isNull()) {
        const auto* node = dbLookupNode(drawing, drawing.linetypes, record.linetype);
        if (!node && record.linetype != drawing.handles.byLayerLinetype &&
            record.linetype != drawing.handles.byBlockLinetype) {
            return dbSetError(kErrorNoSuchLinetype);
        }
        wrLinetypeNameByHandle(drawing, record.linetype, linetype);
    }
    if (!wrDxfSymbolName(drawing, output, 6, linetype, wrRecordPosition(output, record.linetype), wrSymbolNameLimit()))
        return 0;
    ++output.layersWritten;
    if (!is2000(output)) return 1;
    const int16_t plot = dbEqualsNoCase(record.name, "DefPoints") ? int16_t(0) : record.plotFlag;
    return wrDxfInt16(output, 290, plot) && wrDxfField(output, fields, record, 370) &&
           wrDxfField(output, fields, record, 390);
}

int DxfStyleRecord(const Drawing& drawing, OutputContext& output, const StyleRecord& record, int32_t number) {
    const auto fields = dxfStyleFields();
    return recordStart(drawing, output, "STYLE", "TextStyle", record, number, fields) &&
           wrDxfFields(output, fields, record, {40, 41, 50, 71, 42, 3, 4});
}

int DxfLtypeRecord(const Drawing& drawing, OutputContext& output, const LinetypeRecord& record, int32_t number) {
    const auto fields = dxfLinetypeFields();
    if (!recordStart(drawing, output, "LTYPE", "Linetype", record, number, fields)) return 0;
    if (!wrDxfFields(output, fields, record, {3, 72, 73, 40})) return 0;
    const int dashes = std::clamp<int>(record.dashCount, 0, kMaxLinetypeDashes);
    for (int i = 0; i < dashes; ++i) {
        const LinetypeDash& dash = record.dashes[size_t(i)];
        if (!wrDxfDouble(output, 49, dash.length)) return 0;
        if (!fromR13(output)) continue;
        if (!wrDxfInt16(output, 74, dash.complexFlags)) return 0;
        if (dash.complexFlags == 0) continue;
        if (!wrDxfInt16(output, 75, dash.shapeNumber) || !wrDxfHandle(output, 340, dash.style) ||
            !wrDxfDouble(output, 46, dash.scale) || !wrDxfAngle(output, 50, dash.rotation) ||
            !wrDxfDouble(output, 44, dash.offset.x) || !wrDxfDouble(output, 45, dash.offset.y)) {
            return 0;
        }
        if (dash.complexFlags & 2) {
            std::string text;
            if (dash.textPosition < record.textArea.size()) {
                text = record.textArea.c_str() + dash.textPosition;
            }
            if (!wrDxfString(output, 9, text)) return 0;
        }
    }
    return 1;
}

int DxfViewRecord(const Drawing& drawing, OutputContext& output, const ViewRecord& record, int32_t number) {
    const auto fields = dxfViewFields();
    if (!recordStart(drawing, output, "VIEW", "View", record, number, fields)) return 0;
    if (!wrDxfFields(output, fields, record, {40, 10, 20, 41, 11, 21, 31})) return 0;
    if (output.versionIndex >= kVersionAC1006 && !wrDxfFields(output, fields, record, {12, 22, 32, 42, 43, 44, 50, 71}))
        return 0;
    if (!is2000(output)) return 1;
    if (!wrDxfFields(output, fields, record, {281, 72}) || !ucsGroups(output, record.ucs)) return 0;
    if (!record.hasUcs) return 1;
    return wrDxfFields(output, fields, record, {79, 146, 345, 346});
}

int DxfUcsRecord(const Drawing& drawing, OutputContext& output, const UcsRecord& record, int32_t number) {
    const auto fields = dxfUcsFields();
    if (!recordStart(drawing, output, "UCS", "UCS", record, number, fields)) return 0;
    if (!wrDxfPoint3dFull(output, 10, record.origin) || !wrDxfPoint3dFull(output, 11, record.xAxis) ||
        !wrDxfPoint3dFull(output, 12, record.yAxis)) {
        return 0;
    }
    if (!is2000(output)) return 1;
    if (!wrDxfFields(output, fields, record, {79, 146})) return 0;
    if (record.orthographicType == 0) return 1;
    return wrDxfFields(output, fields, record, {346, 71}) && wrDxfPoint3dFull(output, 13, record.orthographicOrigin);
}

int DxfVportRecord(const Drawing& drawing, OutputContext& output, const VportRecord& record, int32_t number) {
    const auto fields = dxfVportFields();
    if (!recordStart(drawing, output, "VPORT", "Viewport", record, number, fields)) return 0;
    if (!wrDxfFields(output, fields, record,
                     {10, 20, 11, 21, 12, 22, 13, 23, 14, 24, 15, 25, 16, 26, 36, 17, 27, 37, 40, 41, 42, 43, 44, 50,
                      51, 71, 72, 73, 74, 75, 76, 77, 78})) {
        return 0;
    }
    if (!is2000(output)) return 1;
    return wrDxfFields(output, fields, record, {281, 65}) && ucsGroups(output, record.ucs) &&
           wrDxfFields(output, fields, record, {345, 346, 79, 146});
}

int DxfAppidRecord(const Drawing&, OutputContext& output, const AppIdRecord& record, int32_t) {
    if (!wrDxfString(output, 0, "APPID")) return 0;
    if (fromR13(output) && !DxfTableRecordHead(output, record, 5, "RegApp")) return 0;
    return wrDxfString(output, 2, record.name) && wrDxfInt16(output, 70, record.flags);
}

int DxfDimstyleRecord(const Drawing& drawing, OutputContext& output, const DimStyleRecord& record, int32_t number) {
    const auto fields = dxfDimStyleFields();
    const int16_t version = output.versionIndex;
    if (!wrDxfString(output, 0, "DIMSTYLE")) return 0;
    if (fromR13(output) && !DxfTableRecordHead(output, record, 105, "DimStyle")) return 0;
    if (!symbolName(drawing, output, record.name, number) || !wrDxfFields(output, fields, record, {70, 3, 4}))
        return 0;
    if (version < kVersionAC1015) {
        const Handle arrows[3] = {record.dimblk, record.dimblk1, record.dimblk2};
        for (int i = 0; i < 3; ++i) {
            if (arrows[i].isNull()) continue;
            const BlockNode* block = dbLookupBlock(drawing, arrows[i]);
            if (!wrDxfString(output, 5 + i, block ? block->record.name : std::string())) return 0;
        }
    }
    if (!wrDxfFields(output, fields, record, {40, 41, 42, 43, 44, 45, 46, 47, 48, 71, 72, 73, 74, 75, 76, 77, 78}))
        return 0;
    if (version >= kVersionAC1015 && !wrDxfField(output, fields, record, 79)) return 0;
    if (!wrDxfFields(output, fields, record, {140, 141, 142, 143, 144, 145, 146, 147})) return 0;
    if (version >= kVersionAC1015 && !wrDxfField(output, fields, record, 148)) return 0;
    if (!wrDxfFields(output, fields, record, {170, 171, 172, 173, 174, 175, 176, 177, 178})) return 0;
    if (version >= kVersionAC1015 && !wrDxfField(output, fields, record, 179)) return 0;
    if (version < kVersionAC1012) return 1;
    if (version < kVersionAC1015 && !wrDxfField(output, fields, record, 270)) return 0;
    if (!wrDxfFields(output, fields, record, {271, 272, 273, 274, 275})) return 0;
    if (version >= kVersionAC1015 && !wrDxfFields(output, fields, record, {276, 277, 278, 279})) return 0;
    if (!wrDxfFields(output, fields, record, {280, 281, 282, 283, 284, 285, 286})) return 0;
    if (version < kVersionAC1015 && !wrDxfField(output, fields, record, 287)) return 0;
    if (!wrDxfFields(output, fields, record, {288, 340})) return 0;
    if (version >= kVersionAC1015 && !wrDxfFields(output, fields, record, {341, 342, 343, 344, 371, 372})) return 0;
    return 1;
}

int DxfBlockRecordRecord(const Drawing& drawing, OutputContext& output, const BlockRecord& record,
                         std::string_view name, int32_t number) {
    if (!wrDxfString(output, 0, "BLOCK_RECORD") || !DxfTableRecordHead(output, record, 5, "Block")) return 0;
    if (!wrDxfSymbolName(drawing, output, 2, name, number, wrSymbolNameLimit())) return 0;
    if (!is2000(output)) return 1;
    if (!wrDxfHandle(output, 340, record.layout)) return 0;
    // The references of the block's inserts are not written: every load rebuilds them from the
    // INSERT entities, in the order it meets them, so they would make a save depend on the load.
    return !record.preview || wrDxfBinaryChunks(output, 310, record.preview.bytes(), 127);
}

} // namespace tracemill
