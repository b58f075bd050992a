#include "toolkit/read/dwg13_record_reader.h"

#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/read/dwg13_entity_common.h"
#include "toolkit/read/dwg13_object_layouts.h"
#include "toolkit/read/dwg13_xrecord_data.h"

namespace tracemill {
namespace {

constexpr int kStreamPageSize = 4096;

// Opens the record of a handle when it holds an object of one of the types.
Dwg13ReadStatus openOfType(const Dwg13Objects& objects, Handle handle, Dwg13Record& record,
                           std::initializer_list<uint16_t> types) {
    if (!objects.open(handle, record)) return Dwg13ReadStatus::Missing;
    for (uint16_t type : types)
        if (record.prologue.type == type && type != 0) return Dwg13ReadStatus::Read;
    return Dwg13ReadStatus::OtherType;
}

// The raw extended data of the prologue into a record's stream.
void keepXData(const Dwg13Record& record, OwnedStream& xdata, uint8_t& hasXData) {
    hasXData = record.prologue.hasXData ? 1 : 0;
    if (!hasXData) return;
    if (PagedStream* stream = xdata.create(kStreamPageSize)) stream->bytes = record.prologue.xdata;
}

// Reads a table record of the types through its layout; the layout fills the record from the
// field stream.
template <class Record, class Layout>
Dwg13ReadStatus readTableRecord(const Dwg13Objects& objects, Handle handle, std::initializer_list<uint16_t> types,
                                Record& out, uint8_t& hasXData, Layout layout) {
    hasXData = 0;
    Dwg13Record record;
    const Dwg13ReadStatus status = openOfType(objects, handle, record, types);
    if (status != Dwg13ReadStatus::Read) return status;
    Dwg13FieldReader io = objects.fields(record);
    out.endOfTable = 0;
    out.handle = record.prologue.handle;
    layout(io, record.prologue.reactorCount, record.prologue.type);
    if (record.bits.overrun()) return Dwg13ReadStatus::Missing;
    keepXData(record, out.xdata, hasXData);
    return Dwg13ReadStatus::Read;
}

} // namespace

Dwg13ReadStatus rdDwg13ReadControl(const Dwg13Objects& objects, Handle handle, uint16_t type,
                                   Dwg13ControlObject& out) {
    Dwg13Record record;
    const Dwg13ReadStatus status = openOfType(objects, handle, record, {type});
    if (status != Dwg13ReadStatus::Read) return status;
    Dwg13FieldReader io = objects.fields(record);
    dwg13ControlObject(io, out, type, record.prologue.reactorCount);
    return record.bits.overrun() ? Dwg13ReadStatus::Missing : Dwg13ReadStatus::Read;
}

Dwg13ReadStatus rdDwg13ReadLayer(const Dwg13Objects& objects, Handle handle, LayerRecord& out, uint8_t& hasXData) {
    return readTableRecord(objects, handle, {kDwgTypeLayer}, out, hasXData, [&](auto& io, uint32_t reactors, uint16_t) {
        Handle xrefBlock;
        dwg13LayerRecord(io, out, reactors, xrefBlock);
    });
}

Dwg13ReadStatus rdDwg13ReadLinetype(const Dwg13Objects& objects, Handle handle, LinetypeRecord& out,
                                    uint8_t& hasXData) {
    return readTableRecord(objects, handle, {kDwgTypeLinetype}, out, hasXData,
                           [&](auto& io, uint32_t reactors, uint16_t) {
                               Handle xrefBlock;
                               dwg13LinetypeRecord(io, out, reactors, xrefBlock);
                           });
}

Dwg13ReadStatus rdDwg13ReadStyle(const Dwg13Objects& objects, Handle handle, StyleRecord& out, uint8_t& hasXData) {
    return readTableRecord(objects, handle, {kDwgTypeStyle}, out, hasXData,
                           [&](auto& io, uint32_t reactors, uint16_t) { dwg13StyleRecord(io, out, reactors); });
}

Dwg13ReadStatus rdDwg13ReadView(const Dwg13Objects& objects, Handle handle, ViewRecord& out, uint8_t& hasXData) {
    return readTableRecord(objects, handle, {kDwgTypeView}, out, hasXData, [&](auto& io, uint32_t reactors, uint16_t) {
        Handle xrefBlock;
        dwg13ViewRecord(io, out, reactors, xrefBlock);
    });
}

Dwg13ReadStatus rdDwg13ReadUcs(const Dwg13Objects& objects, Handle handle, UcsRecord& out, uint8_t& hasXData) {
    return readTableRecord(objects, handle, {kDwgTypeUcs}, out, hasXData, [&](auto& io, uint32_t reactors, uint16_t) {
        Handle xrefBlock;
        Handle namedUcs;
        dwg13UcsRecord(io, out, reactors, xrefBlock, namedUcs);
    });
}

Dwg13ReadStatus rdDwg13ReadVport(const Dwg13Objects& objects, Handle handle, VportRecord& out, uint8_t& hasXData) {
    return readTableRecord(objects, handle, {kDwgTypeVport}, out, hasXData, [&](auto& io, uint32_t reactors, uint16_t) {
        Handle xrefBlock;
        dwg13VportRecord(io, out, reactors, xrefBlock);
    });
}

Dwg13ReadStatus rdDwg13ReadAppId(const Dwg13Objects& objects, Handle handle, uint16_t symbolTableRecordClass,
                                 AppIdRecord& out, uint8_t& hasXData) {
    return readTableRecord(objects, handle, {kDwgTypeAppId, symbolTableRecordClass}, out, hasXData,
                           [&](auto& io, uint32_t reactors, uint16_t type) {
                               Handle xrefBlock;
                               dwg13AppIdRecord(io, out, reactors, xrefBlock, type != kDwgTypeAppId);
                           });
}

Dwg13ReadStatus rdDwg13ReadDimStyle(const Dwg13Objects& objects, Handle handle, DimStyleRecord& out,
                                    Dwg13DimStyleExtras& extras, uint8_t& hasXData) {
    return readTableRecord(objects, handle, {kDwgTypeDimStyle}, out, hasXData,
                           [&](auto& io, uint32_t reactors, uint16_t) {
                               Handle xrefBlock;
                               dwg13DimStyleRecord(io, out, reactors, xrefBlock, extras);
                               if (!io.isR2000()) dwg13SplitDimUnit(extras.unit, out.dimlunit, out.dimfrac);
                           });
}

Dwg13ReadStatus rdDwg13ReadViewportEntityHeader(const Dwg13Objects& objects, Handle handle,
                                                ViewportEntityHeaderRecord& out, uint8_t& hasXData) {
    return readTableRecord(objects, handle, {kDwgTypeViewportEntityHeader}, out, hasXData,
                           [&](auto& io, uint32_t reactors, uint16_t) {
                               Handle xrefBlock;
                               dwg13ViewportEntityHeaderRecord(io, out, reactors, xrefBlock);
                               // A header that names itself as the next one ends the chain.
                               if (out.next == out.handle) out.next = Handle();
                           });
}

namespace {

// The name of a BLOCK entity; empty when the record holds none.
std::string blockEntityName(const Dwg13Objects& objects, Handle handle) {
    Dwg13Record record;
    if (!objects.open(handle, record) || record.prologue.type != kDwgTypeBlockEntity) return std::string();
    Dwg13FieldReader io = objects.fields(record);
    EntityHeader header;
    Dwg13EntityCommon common;
    dwg13EntityCommonData(io, header, common);
    std::string name;
    io.t(name, kDwgNameLimit);
    return record.bits.overrun() ? std::string() : name;
}

} // namespace

Dwg13ReadStatus rdDwg13ReadBlockHeader(const Dwg13Objects& objects, Handle handle, BlockRecord& out,
                                       Dwg13BlockLinks& links, uint8_t& hasXData) {
    const Dwg13ReadStatus status = readTableRecord(objects, handle, {kDwgTypeBlockHeader}, out, hasXData,
                                                   [&](auto& io, uint32_t reactors, uint16_t) {
                                                       Handle xrefBlock;
                                                       HandleList inserts;
                                                       dwg13BlockHeaderRecord(io, out, reactors, xrefBlock, links,
                                                                              inserts);
                                                       out.blockEntity = links.blockEntity;
                                                       out.endBlockEntity = links.endBlockEntity;
                                                   });
    // Files keep the names of anonymous and layout blocks in their records cut to a prefix
    // ("*D", "*Paper_Space"); the block's BLOCK entity has the whole name.
    if (status == Dwg13ReadStatus::Read && !out.name.empty() && out.name[0] == '*') {
        const std::string whole = blockEntityName(objects, links.blockEntity);
        if (whole.size() > out.name.size() && dbEqualsNoCase(std::string_view(whole).substr(0, out.name.size()), out.name))
            out.name = whole;
    }
    return status;
}

uint16_t rdDwg13ObjectKind(const Dwg13Objects& objects, uint16_t fileType, ClassList& classes) {
    switch (fileType) {
    case kDwgTypeDictionary:
        return kObjectDictionary;
    case kDwgTypeGroup:
        return kObjectGroup;
    case kDwgTypeMlineStyle:
        return kObjectMlineStyle;
    case kDwgTypeProxyObject:
        return kObjectOfClassData;
    default:
        break;
    }
    if (fileType == kDwgTypeXrecord && objects.versionIndex() >= kVersionAC1015)
        return dbAddDefaultClass(classes, ClassKind::Xrecord);
    if (fileType >= kFirstClassNumber && !objects.isEntityType(fileType) && dbClassNameByNumber(classes, fileType))
        return fileType;
    return 0;
}

Dwg13ReadStatus rdDwg13ReadObject(const Dwg13Objects& objects, Handle handle, ClassList& classes, ObjectRecord& out,
                                  uint8_t& hasXData) {
    hasXData = 0;
    Dwg13Record record;
    if (!objects.open(handle, record)) return Dwg13ReadStatus::Missing;
    const uint16_t kind = rdDwg13ObjectKind(objects, record.prologue.type, classes);
    if (kind == 0 || record.isEntity) return Dwg13ReadStatus::OtherType;

    Dwg13FieldReader io = objects.fields(record);
    ObjectHeader& h = out.header;
    h = ObjectHeader();
    h.handle = record.prologue.handle;
    h.type = kind;
    const uint32_t reactors = record.prologue.reactorCount;
    ClassKind classKind;
    if (kind == kObjectDictionary) {
        dwg13DictionaryObject(io, h, out.body.emplace<DictionaryBody>(), reactors);
    } else if (kind == kObjectGroup) {
        dwg13GroupObject(io, h, out.body.emplace<GroupBody>(), reactors);
    } else if (kind == kObjectMlineStyle) {
        dwg13MlineStyleObject(io, h, out.body.emplace<MlineStyleBody>(), reactors);
    } else if (dbClassKindByNumber(classes, kind, classKind) && classKind == ClassKind::Xrecord) {
        std::vector<uint8_t> data;
        XrecordBody& body = out.body.emplace<XrecordBody>();
        dwg13XrecordObject(io, h, body, data, reactors);
        if (!data.empty() && body.data.create(kStreamPageSize)) {
            OpenStream* items = dbStreamOpenWrite(body.data.get());
            const int decoded = items && rdDwg13XrecordItems(data, items);
            dbStreamCloseWrite(items);
            if (!decoded) return Dwg13ReadStatus::Missing;
        }
    } else if (!(kind != kObjectOfClassData && dbClassKindByNumber(classes, kind, classKind) &&
                 dwg13ClassObject(io, classKind, h, out.body, reactors))) {
        ProxyObjectBody& body = out.body.emplace<ProxyObjectBody>();
        body.classNumber = kind == kObjectOfClassData ? 0 : kind;
        h.type = kObjectOfClassData;
        dwg13ProxyObject(io, h, body, kind == kObjectOfClassData, reactors);
    }
    if (record.bits.overrun()) return Dwg13ReadStatus::Missing;
    keepXData(record, h.xdata, hasXData);
    return Dwg13ReadStatus::Read;
}

} // namespace tracemill
