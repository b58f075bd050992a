#include "toolkit/write/dwg13/table_writer.h"

#include <type_traits>

#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/version_index.h"
#include "toolkit/write/dwg13/record_writer.h"
#include "toolkit/write/dwg13/text_output.h"
#include "toolkit/write/dxf/dxf_group_writer.h"

namespace tracemill {
namespace {

// A table record written through its layout, with the name of the save's version and the
// table's control object as owner. `layout(io, record, reactorCount)` writes the fields.
template <class Record, class Layout>
int tableRecord(const Drawing& drawing, OutputContext& output, uint16_t type, const Record& source, Handle control,
                int32_t number, Layout layout) {
    Record record = source;
    record.name = wrDwgSymbolName(drawing, output, source.name, wrSymbolNameLimit(), number);
    record.owner = control;
    const uint32_t reactors = uint32_t(record.reactors.size());
    if (!record.extensionDictionary.isNull()) wrNoteXdictLink(output, record.handle, record.extensionDictionary);
    return wrDwgObjectRecord(output, type, record.handle, &source.xdata, reactors,
                             [&](Dwg13FieldWriter& io) { layout(io, record, reactors); });
}

// The name of the block a handle names, for the arrow blocks of an R13 or R14 DIMSTYLE.
std::string arrowBlockName(const Drawing& drawing, Handle handle) {
    const BlockNode* node = handle.isNull() ? nullptr : dbLookupBlock(drawing, handle);
    return node ? node->record.name : std::string();
}

// The record type and layout of each table's records.
template <class Record> void recordLayout(Dwg13FieldWriter& io, Record& r, uint32_t reactors) {
    Handle xrefBlock;
    if constexpr (std::is_same_v<Record, LayerRecord>) dwg13LayerRecord(io, r, reactors, xrefBlock);
    if constexpr (std::is_same_v<Record, LinetypeRecord>) dwg13LinetypeRecord(io, r, reactors, xrefBlock);
    if constexpr (std::is_same_v<Record, StyleRecord>) dwg13StyleRecord(io, r, reactors);
    if constexpr (std::is_same_v<Record, ViewRecord>) dwg13ViewRecord(io, r, reactors, xrefBlock);
    if constexpr (std::is_same_v<Record, UcsRecord>) {
        Handle namedUcs;
        dwg13UcsRecord(io, r, reactors, xrefBlock, namedUcs);
    }
    if constexpr (std::is_same_v<Record, VportRecord>) dwg13VportRecord(io, r, reactors, xrefBlock);
    if constexpr (std::is_same_v<Record, AppIdRecord>) dwg13AppIdRecord(io, r, reactors, xrefBlock, false);
}

template <class Record> constexpr uint16_t recordType() {
    if constexpr (std::is_same_v<Record, LayerRecord>) return kDwgTypeLayer;
    if constexpr (std::is_same_v<Record, LinetypeRecord>) return kDwgTypeLinetype;
    if constexpr (std::is_same_v<Record, StyleRecord>) return kDwgTypeStyle;
    if constexpr (std::is_same_v<Record, ViewRecord>) return kDwgTypeView;
    if constexpr (std::is_same_v<Record, UcsRecord>) return kDwgTypeUcs;
    if constexpr (std::is_same_v<Record, VportRecord>) return kDwgTypeVport;
    return kDwgTypeAppId;
}

} // namespace

int wrControlObject(OutputContext& output, uint16_t type, Handle controlHandle, const HandleList& entries,
                    const HandleList& extras) {
    Dwg13ControlObject control;
    control.entries = entries;
    if (type == kDwgTypeVportControl) control.entries.insert(control.entries.begin(), Handle());
    control.count = int32_t(control.entries.size());
    control.extras = extras;
    return wrDwgObjectRecord(output, type, controlHandle, nullptr, 0,
                             [&](Dwg13FieldWriter& io) { dwg13ControlObject(io, control, type, 0); });
}

template <class Record>
int wrDwgTableRecord(const Drawing& drawing, OutputContext& output, const Record& record, Handle control,
                     int32_t number) {
    return tableRecord(drawing, output, recordType<Record>(), record, control, number,
                       [](Dwg13FieldWriter& io, Record& r, uint32_t n) { recordLayout(io, r, n); });
}

template int wrDwgTableRecord(const Drawing&, OutputContext&, const LayerRecord&, Handle, int32_t);
template int wrDwgTableRecord(const Drawing&, OutputContext&, const LinetypeRecord&, Handle, int32_t);
template int wrDwgTableRecord(const Drawing&, OutputContext&, const StyleRecord&, Handle, int32_t);
template int wrDwgTableRecord(const Drawing&, OutputContext&, const ViewRecord&, Handle, int32_t);
template int wrDwgTableRecord(const Drawing&, OutputContext&, const UcsRecord&, Handle, int32_t);
template int wrDwgTableRecord(const Drawing&, OutputContext&, const VportRecord&, Handle, int32_t);
template int wrDwgTableRecord(const Drawing&, OutputContext&, const AppIdRecord&, Handle, int32_t);

int wrDwgDimStyleRecord(const Drawing& drawing, OutputContext& output, const DimStyleRecord& record, Handle control,
                        int32_t number) {
    Dwg13DimStyleExtras extras;
    if (output.versionIndex < kVersionAC1015) {
        extras.unit = dwg13JoinDimUnit(record.dimlunit, record.dimfrac);
        const Handle arrows[3] = {record.dimblk, record.dimblk1, record.dimblk2};
        for (size_t i = 0; i < 3; ++i)
            extras.arrowNames[i] =
                wrDwgSymbolName(drawing, output, arrowBlockName(drawing, arrows[i]), wrSymbolNameLimit(), 0);
    }
    return tableRecord(drawing, output, kDwgTypeDimStyle, record, control, number, [&](auto& io, auto& r, uint32_t n) {
        Handle xrefBlock;
        dwg13DimStyleRecord(io, r, n, xrefBlock, extras);
    });
}

std::string wrDwgBlockRecordName(const Drawing& drawing, const OutputContext& output, const BlockRecord& record,
                                 int32_t number) {
    std::string_view name = record.name;
    const bool layout = dbEqualsNoCase(name, "*MODEL_SPACE") || dbCompareNoCaseN(name, "*PAPER_SPACE", 12) == 0;
    if (name.size() > 2 && name[0] == '*' && !layout) name = name.substr(0, 2);
    return wrDwgSymbolName(drawing, output, name, wrSymbolNameLimit(), number);
}

int wrDwgBlockRecord(const Drawing& drawing, OutputContext& output, const BlockRecord& source, Handle control,
                     const Dwg13BlockLinks& links, int32_t number) {
    BlockRecord record = source;
    record.name = wrDwgBlockRecordName(drawing, output, source, number);
    record.owner = control;
    if (record.overlay) record.flags |= kBlockOverlay;
    const uint32_t reactors = uint32_t(record.reactors.size());
    if (!record.extensionDictionary.isNull()) wrNoteXdictLink(output, record.handle, record.extensionDictionary);
    Dwg13BlockLinks written = links;
    HandleList inserts = record.insertReferences;
    return wrDwgObjectRecord(output, kDwgTypeBlockHeader, record.handle, &source.xdata, reactors,
                             [&](Dwg13FieldWriter& io) {
                                 Handle xrefBlock;
                                 dwg13BlockHeaderRecord(io, record, reactors, xrefBlock, written, inserts);
                             });
}

int wrDwgVpEntHdr(OutputContext& output, Handle header, Handle control, Handle viewport, bool named, bool on) {
    ViewportEntityHeaderRecord record;
    record.handle = header;
    record.owner = control;
    record.name = named ? "1" : "";
    record.on = on ? 1 : 0;
    record.viewport = viewport;
    return wrDwgObjectRecord(output, kDwgTypeViewportEntityHeader, header, nullptr, 0, [&](Dwg13FieldWriter& io) {
        Handle xrefBlock;
        dwg13ViewportEntityHeaderRecord(io, record, 0, xrefBlock);
    });
}

} // namespace tracemill
