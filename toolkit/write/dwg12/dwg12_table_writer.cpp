#include "toolkit/write/dwg12/dwg12_table_writer.h"

#include "toolkit/core/name_compare.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dwg12_header_layout.h"
#include "toolkit/read/dwg12_table_layouts.h"
#include "toolkit/write/dwg12/dwg12_field_writer.h"
#include "toolkit/codec/crc16.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/dxf/dxf_names.h"

namespace tracemill {
namespace {

constexpr size_t kCrcSize = 2;

bool hasChecksums(const OutputContext& output) {
    return output.versionIndex >= 4;
}

// The frame, the fields that `fields` writes from a copy of the record named `name`, zeros up
// to the record size and the checksum.
template <class Record, class Fields>
int buildRecord(const OutputContext& output, Dwg12Table table, const Record& record, const std::string& name,
                std::vector<uint8_t>& out, Fields fields) {
    const size_t size = kDwg12Tables[table].recordSize[size_t(output.versionIndex)];
    out.clear();
    Dwg12FieldWriter io(out, output.versionIndex, output.header.dwgcodepage);
    if (record.deleted) {
        uint8_t flags = uint8_t(record.flags | kDwg12RecordErased);
        io.u8(flags);
    } else {
        Record copy = record;
        copy.name = name;
        copy.flags = uint8_t(copy.flags & ~kDwg12RecordErased);
        dwg12RecordFrame(io, copy);
        fields(io, copy);
    }
    const size_t room = size - (hasChecksums(output) ? kCrcSize : 0);
    if (io.overrun() || out.size() > room) return dbSetError(kErrorDwg12FieldOverflow);
    out.resize(size, 0);
    if (hasChecksums(output)) wrDwg12StoreRecordCrc(table, out);
    return 1;
}

std::string convertedName(const Drawing& drawing, const OutputContext& output, const std::string& name,
                          int32_t position) {
    return wrConvertSymbolName(drawing, &output, name, position, wrSymbolNameLimit());
}

} // namespace

void wrDwg12StoreRecordCrc(Dwg12Table table, std::vector<uint8_t>& record) {
    wrStoreCrc(record.data(), record.size(), kDwg12Tables[table].crcXor);
}

int wrDwg12BlockRecord(const Drawing&, const OutputContext& output, const Dwg12TablePlan& plan,
                       const BlockRecord& record, int32_t position, std::vector<uint8_t>& out) {
    BlockRecord flagged;
    flagged.flags = record.flags;
    flagged.deleted = record.deleted;
    flagged.xrefIndex = record.xrefIndex;
    const std::string& name = plan.blockName(position);
    if (!name.empty() && name[0] == '*' && !dbEqualsNoCase(name, "*PAPER_SPACE")) flagged.flags |= kBlockAnonymous;
    if (output.versionIndex < 4) flagged.flags &= uint8_t(~(kTableRecordXrefDependent | 0x20));
    return buildRecord(output, kDwg12Block, flagged, name, out, [](Dwg12FieldWriter& io, BlockRecord&) {
        // The entity offset is filled in when the block's entities are written.
        uint32_t entityOffset = 0;
        dwg12BlockFields(io, entityOffset);
    });
}

int wrDwg12LayerRecord(const Drawing& drawing, const OutputContext& output, const Dwg12TablePlan& plan,
                       const LayerRecord& record, int32_t position, std::vector<uint8_t>& out) {
    int32_t linetype = record.deleted ? kDwg12LinetypeByLayer : plan.linetype(record.linetype);
    if (linetype < 0) return dbSetError(kErrorNoSuchLinetype);
    if (linetype == kDwg12LinetypeByLayer) linetype = output.byLayerLinetypeCode;
    if (linetype == kDwg12LinetypeByBlock) linetype = output.byBlockLinetypeCode;
    return buildRecord(output, kDwg12Layer, record, convertedName(drawing, output, record.name, position), out,
                       [&](Dwg12FieldWriter& io, LayerRecord& r) { dwg12LayerFields(io, r, linetype); });
}

namespace {

// The tables whose records carry nothing but their layout's fields, by record type.
Dwg12Table dwg12PlainTable(const StyleRecord&) { return kDwg12Style; }
Dwg12Table dwg12PlainTable(const LinetypeRecord&) { return kDwg12Linetype; }
Dwg12Table dwg12PlainTable(const ViewRecord&) { return kDwg12View; }
Dwg12Table dwg12PlainTable(const UcsRecord&) { return kDwg12Ucs; }
Dwg12Table dwg12PlainTable(const VportRecord&) { return kDwg12Vport; }
Dwg12Table dwg12PlainTable(const AppIdRecord&) { return kDwg12AppId; }
void dwg12PlainFields(Dwg12FieldWriter& io, StyleRecord& r) { dwg12StyleFields(io, r); }
void dwg12PlainFields(Dwg12FieldWriter& io, LinetypeRecord& r) { dwg12LinetypeFields(io, r); }
void dwg12PlainFields(Dwg12FieldWriter& io, ViewRecord& r) { dwg12ViewFields(io, r); }
void dwg12PlainFields(Dwg12FieldWriter& io, UcsRecord& r) { dwg12UcsFields(io, r); }
void dwg12PlainFields(Dwg12FieldWriter& io, VportRecord& r) { dwg12VportFields(io, r); }
void dwg12PlainFields(Dwg12FieldWriter&, AppIdRecord&) {}

} // namespace

template <class Record>
int wrDwg12TableRecord(const Drawing& drawing, const OutputContext& output, const Record& record, int32_t position,
                       std::vector<uint8_t>& out) {
    return buildRecord(output, dwg12PlainTable(record), record, convertedName(drawing, output, record.name, position),
                       out, [](Dwg12FieldWriter& io, Record& r) { dwg12PlainFields(io, r); });
}

// The record types of those tables.
using Dwg12Bytes = std::vector<uint8_t>;
template int wrDwg12TableRecord(const Drawing&, const OutputContext&, const StyleRecord&, int32_t, Dwg12Bytes&);
template int wrDwg12TableRecord(const Drawing&, const OutputContext&, const LinetypeRecord&, int32_t, Dwg12Bytes&);
template int wrDwg12TableRecord(const Drawing&, const OutputContext&, const ViewRecord&, int32_t, Dwg12Bytes&);
template int wrDwg12TableRecord(const Drawing&, const OutputContext&, const UcsRecord&, int32_t, Dwg12Bytes&);
template int wrDwg12TableRecord(const Drawing&, const OutputContext&, const VportRecord&, int32_t, Dwg12Bytes&);
template int wrDwg12TableRecord(const Drawing&, const OutputContext&, const AppIdRecord&, int32_t, Dwg12Bytes&);

int wrDwg12DimStyleRecord(const Drawing& drawing, const OutputContext& output, const Dwg12TablePlan& plan,
                          const DimStyleRecord& record, int32_t position, std::vector<uint8_t>& out) {
    auto blockName = [&](Handle block) {
        const int32_t at = plan.position(kDwg12Block, block);
        return at < 0 ? std::string() : plan.blockName(at);
    };
    Dwg12DimStyleArrows arrows{blockName(record.dimblk), blockName(record.dimblk1), blockName(record.dimblk2)};
    return buildRecord(output, kDwg12DimStyle, record, convertedName(drawing, output, record.name, position), out,
                       [&](Dwg12FieldWriter& io, DimStyleRecord& r) { dwg12DimStyleFields(io, r, arrows); });
}

int wrDwg12ViewportEntityHeader(const OutputContext& output, const std::string& name, uint32_t viewportOffset,
                                int16_t number, std::vector<uint8_t>& out) {
    ViewportEntityHeaderRecord record;
    record.viewportOffset = int32_t(viewportOffset);
    record.nextIndex = number;
    return buildRecord(output, kDwg12ViewportEntityHeader, record, name, out,
                       [](Dwg12FieldWriter& io, ViewportEntityHeaderRecord& r) {
                           dwg12ViewportEntityHeaderFields(io, r);
                       });
}

} // namespace tracemill
