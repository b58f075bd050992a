#include "toolkit/read/dwg12_reader.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/viewport_index.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dwg12_field_reader.h"
#include "toolkit/read/dwg12_table_layouts.h"
#include "toolkit/read/dwg_file_check.h"
#include "toolkit/read/file_recognition.h"
#include "toolkit/read/load_session.h"
#include "toolkit/read/xdata_refs.h"

namespace tracemill {
namespace {

inline constexpr int kErrorUnknownVersion = 8;
// The viewport entity header chain: indexes beyond this are damage.
inline constexpr int32_t kMaxViewportHeaderIndex = 2000;
// The first viewport numbers a viewport entity header can report.
inline constexpr size_t kViewportChainLength = 16;
inline constexpr int kErrorReasonBadChain = 6;
// TREEDEPTH of files that do not give one.
inline constexpr int16_t kDefaultTreedepth = 3020;

// The bare name ("*D", "*U", "*X") under which these files store every anonymous block.
bool isBareAnonymousName(const std::string& name) {
    return name.size() == 2 && name[0] == '*';
}

// Records the table passes do not keep: the linetypes BYLAYER and BYBLOCK (the drawing has
// its own) and a block record of model space.
bool keptByPass(Dwg12Table table, const std::string& name) {
    if (table == kDwg12Linetype) return !dbEqualsNoCase(name, "BYLAYER") && !dbEqualsNoCase(name, "BYBLOCK");
    if (table == kDwg12Block) return !dbEqualsNoCase(name, "*MODEL_SPACE");
    return true;
}

template <class List>
void listHandles(const List& list, std::vector<Handle>& out, Handle skipA = Handle(),
                 Handle skipB = Handle()) {
    out.clear();
    for (const auto& node : list) {
        const Handle handle = node.record.handle;
        if (!handle.isNull() && (handle == skipA || handle == skipB)) continue;
        out.push_back(handle);
    }
}

void setTextStyle(EntityBody& body, Handle style) {
    if (TextFields* text = body.getIf<TextBody>())
        text->style = style;
    else if (TextFields* attrib = body.getIf<AttributeBody>())
        attrib->style = style;
    else if (TextFields* attdef = body.getIf<AttributeDefinitionBody>())
        attdef->style = style;
    else if (ShapeBody* shape = body.getIf<ShapeBody>())
        shape->style = style;
}

} // namespace

// --- Open

int Dwg12Reader::openHeader(Drawing& drawing) {
    if (rdCheckDwgFile(file_, kDwgCheckLight) == 1) return 0;
    const int version = rdDwgVersionIndex(file_, false);
    if (version == kVersionUnknown) return 0;
    if (version > kVersionAC1009) return dbSetError(kErrorUnknownVersion);
    if (!rdReadDwg12FileHead(file_, version, head_)) return 0;
    const uint32_t headerSize = head_.headerSize();
    if (headerSize > file_.size()) return 0;

    versionIndex_ = version;
    drawing.versionIndex = int16_t(version);
    drawing.sourceFormat = SourceFormat::Dwg;
    if (!drawing.header) drawing.header = std::make_unique<HeaderBlock>();
    HeaderBlock& header = *drawing.header;
    dbInitHeader(header);
    current_ = Dwg12CurrentEntries{};
    rdReadR12Header(file_.first(headerSize), version, header, current_);
    header.acadver = std::string(kVersionSignatures[size_t(version)]);
    // Only "AC1009" gives a tree depth: in the file head's 16-bit value at 0x12 when that is
    // not 0, else in the header variables at 0x158 when that is not 0.
    if (version == kVersionAC1009 && head_.treedepthWord != 0)
        header.treedepth = int16_t(head_.treedepthWord);
    else if (version < kVersionAC1009 || header.treedepth == 0)
        header.treedepth = kDefaultTreedepth;
    handlesEnabled_ = version >= kVersionAC1006 && header.handling != 0;
    if (LoadSession* session = rdLoadSession(drawing)) session->handlesEnabled = handlesEnabled_;

    AnnouncedCounts& counts = drawing.announced;
    auto count = [&](Dwg12Table table) {
        return int32_t(std::min<uint32_t>(head_.tables[table].count, INT32_MAX));
    };
    counts.blocks = count(kDwg12Block);
    counts.layers = count(kDwg12Layer);
    counts.styles = count(kDwg12Style);
    counts.linetypes = count(kDwg12Linetype);
    counts.views = count(kDwg12View);
    counts.ucss = count(kDwg12Ucs);
    counts.vports = count(kDwg12Vport);
    counts.appIds = count(kDwg12AppId);
    counts.dimStyles = count(kDwg12DimStyle);
    counts.classes = 0;
    counts.objects = 0;
    return 1;
}

// --- Tables

std::span<const uint8_t> Dwg12Reader::tableRecord(Dwg12Table table, uint32_t index) const {
    const Dwg12TableHead& head = head_.tables[table];
    const uint64_t start = uint64_t(head.offset) + uint64_t(index) * head.recordSize;
    if (head.recordSize == 0 || start + head.recordSize > file_.size()) return {};
    return file_.subspan(size_t(start), head.recordSize);
}

// Reads records of the table until one that is not erased; the record marks the end of the
// table when none is left. 0 when a record is not wholly in the file or too short for its
// fields (the table pass then fails with its own error).
template <class Record, class Fields>
int Dwg12Reader::readTableRecord(Dwg12Table table, Record& record, Fields fields) {
    TableRead& read = tables_[table];
    const uint32_t count = dbDwg12HasTable(versionIndex_, table) ? head_.tables[table].count : 0;
    while (read.next < count) {
        const std::span<const uint8_t> bytes = tableRecord(table, read.next++);
        if (bytes.empty()) return 0;
        if (bytes[0] >= kDwg12RecordErased) {
            read.places.push_back(-1);
            continue;
        }
        Dwg12FieldReader io(bytes, versionIndex_);
        dwg12RecordFrame(io, record);
        fields(io, record);
        if (io.overrun()) return 0;
        record.endOfTable = 0;
        read.places.push_back(keptByPass(table, record.name) ? read.handedOut++ : -1);
        return 1;
    }
    record.endOfTable = 1;
    return 1;
}

int Dwg12Reader::seekLinetypes(Drawing&) {
    tables_[kDwg12Linetype] = TableRead{};
    return 1;
}

int Dwg12Reader::readLinetype(Drawing&, LinetypeRecord& record, uint8_t& hasXData) {
    hasXData = 0;
    return readTableRecord(kDwg12Linetype, record,
                           [](Dwg12FieldReader& io, LinetypeRecord& r) { dwg12LinetypeFields(io, r); });
}

int Dwg12Reader::seekLayers(Drawing&) {
    tables_[kDwg12Layer] = TableRead{};
    return 1;
}

int Dwg12Reader::readLayer(Drawing&, LayerRecord& record, LinetypeReference& linetype, uint8_t& hasXData) {
    hasXData = 0;
    int32_t linetypeIndex = -1;
    const int ok = readTableRecord(kDwg12Layer, record, [&](Dwg12FieldReader& io, LayerRecord& r) {
        dwg12LayerFields(io, r, linetypeIndex);
    });
    // The layer names its linetype by position in the file; the pass counts the records it kept.
    linetype.index = placeOf(kDwg12Linetype, linetypeIndex);
    return ok;
}

int Dwg12Reader::seekClasses(Drawing&) {
    return 1;
}
int Dwg12Reader::readClass(Drawing&, ClassEntry&) {
    return 0;
}

int Dwg12Reader::seekVports(Drawing&) {
    tables_[kDwg12Vport] = TableRead{};
    return 1;
}

int Dwg12Reader::readVport(Drawing&, VportRecord& record, uint8_t& hasXData) {
    hasXData = 0;
    return readTableRecord(kDwg12Vport, record, [](Dwg12FieldReader& io, VportRecord& r) {
        r.flags &= 0x7F;
        dwg12VportFields(io, r);
    });
}

int Dwg12Reader::seekUcss(Drawing&) {
    tables_[kDwg12Ucs] = TableRead{};
    return 1;
}

int Dwg12Reader::readUcs(Drawing&, UcsRecord& record, uint8_t& hasXData) {
    hasXData = 0;
    return readTableRecord(kDwg12Ucs, record,
                           [](Dwg12FieldReader& io, UcsRecord& r) { dwg12UcsFields(io, r); });
}

int Dwg12Reader::seekAppIds(Drawing&) {
    tables_[kDwg12AppId] = TableRead{};
    return 1;
}

int Dwg12Reader::readAppId(Drawing&, AppIdRecord& record, uint8_t& hasXData) {
    hasXData = 0;
    return readTableRecord(kDwg12AppId, record, [](Dwg12FieldReader&, AppIdRecord&) {});
}

int Dwg12Reader::seekViews(Drawing&) {
    tables_[kDwg12View] = TableRead{};
    return 1;
}

int Dwg12Reader::readView(Drawing&, ViewRecord& record, uint8_t& hasXData) {
    hasXData = 0;
    record.handle = Handle();
    return readTableRecord(kDwg12View, record,
                           [](Dwg12FieldReader& io, ViewRecord& r) { dwg12ViewFields(io, r); });
}

int Dwg12Reader::seekStyles(Drawing&) {
    tables_[kDwg12Style] = TableRead{};
    return 1;
}

int Dwg12Reader::readStyle(Drawing&, StyleRecord& record, uint8_t& hasXData) {
    hasXData = 0;
    return readTableRecord(kDwg12Style, record,
                           [](Dwg12FieldReader& io, StyleRecord& r) { dwg12StyleFields(io, r); });
}

int Dwg12Reader::seekBlockRecords(Drawing&) {
    tables_[kDwg12Block] = TableRead{};
    blocks_.clear();
    return 1;
}

int Dwg12Reader::readBlockRecord(Drawing& drawing, BlockRecord& record, uint8_t& hasXData) {
    hasXData = 0;
    uint32_t entityOffset = 0;
    const int ok = readTableRecord(kDwg12Block, record, [&](Dwg12FieldReader& io, BlockRecord& r) {
        dwg12BlockFields(io, entityOffset);
        // External references came with "AC1009".
        if (versionIndex_ < kVersionAC1009) r.flags &= uint8_t(~kBlockExternalReference);
    });
    if (!ok || record.endOfTable) return ok;
    // Every anonymous block of a file is stored as "*D", "*U", ...: the block takes its position
    // in the table as its number, as DXF files name it, so that no two blocks share a name.
    if (isBareAnonymousName(record.name)) record.name += std::to_string(tables_[kDwg12Block].next - 1);
    entityOffset &= kDwg12EntityOffsetMask;
    blocks_.push_back(BlockPlace{record.name, entityOffset, keptByPass(kDwg12Block, record.name)});

    // The base point and the external-reference path are the BLOCK entity's.
    Dwg12RecordHead head;
    const uint64_t at = uint64_t(head_.blockStart) + entityOffset;
    if (at < file_.size() && rdR12ReadEntityHead(file_, size_t(at), head) && head.kind == kEntityBlock) {
        EntityRecord block;
        Dwg12EntityRefs refs;
        Dwg12EntityPassState state;
        uint8_t blockXData = 0;
        if (rdR12ReadEntity(drawing, file_.subspan(size_t(at), head.length), versionIndex_, state, block,
                            refs, blockXData)) {
            const BlockBeginBody& begin = block.bodyAs<BlockBeginBody>();
            record.basePoint = begin.basePoint;
            record.xrefPath = begin.xrefPath;
        }
    }
    return 1;
}

int Dwg12Reader::seekDimStyles(Drawing&) {
    tables_[kDwg12DimStyle] = TableRead{};
    return 1;
}

int Dwg12Reader::readDimStyle(Drawing& drawing, DimStyleRecord& record, uint8_t& hasXData) {
    hasXData = 0;
    Dwg12DimStyleArrows arrows;
    const int ok = readTableRecord(kDwg12DimStyle, record, [&](Dwg12FieldReader& io, DimStyleRecord& r) {
        dwg12DimStyleFields(io, r, arrows);
    });
    if (!ok || record.endOfTable) return ok;
    auto block = [&](const std::string& name) {
        Handle handle;
        if (!name.empty()) dbBlockFindByName(&drawing, name, handle);
        return handle;
    };
    record.dimblk = block(arrows.dimblk);
    record.dimblk1 = block(arrows.dimblk1);
    record.dimblk2 = block(arrows.dimblk2);
    return 1;
}

// --- Viewport entity headers ("AC1009")

int Dwg12Reader::seekViewportEntities(Drawing&) {
    TableRead& read = tables_[kDwg12ViewportEntityHeader];
    read = TableRead{};
    const uint32_t count = dbDwg12HasTable(versionIndex_, kDwg12ViewportEntityHeader)
                               ? head_.tables[kDwg12ViewportEntityHeader].count
                               : 0;
    if (count <= 1) return 1;
    // The chain starts at the record the header names, else at the first record's link.
    auto linkOf = [&](uint32_t index, int32_t& link) {
        const std::span<const uint8_t> bytes = tableRecord(kDwg12ViewportEntityHeader, index);
        if (bytes.empty()) return false;
        Dwg12FieldReader io(bytes, versionIndex_);
        ViewportEntityHeaderRecord record;
        dwg12RecordFrame(io, record);
        dwg12ViewportEntityHeaderFields(io, record);
        link = record.nextIndex;
        return !io.overrun();
    };
    int32_t index = 0;
    const std::span<const uint8_t> head = file_.first(head_.headerSize());
    if (head.size() >= kDwg12FirstViewportOffset + 2)
        index = getLe16(head.data() + kDwg12FirstViewportOffset);
    if (index == 0 && !linkOf(0, index)) return 0;
    int32_t previous = -1;
    while (index != 0 && index != previous && read.places.size() < count) {
        if (index < 0 || index > kMaxViewportHeaderIndex || uint32_t(index) >= count) {
            dbNotifyError(kErrorReasonBadChain);
            return 0;
        }
        if (std::find(read.places.begin(), read.places.end(), index) != read.places.end()) break;
        read.places.push_back(index);
        previous = index;
        int32_t next = 0;
        if (!linkOf(uint32_t(index), next)) return 0;
        index = next;
    }
    return 1;
}

// The next record that is not erased; its viewport number is 0 for the first record, else its
// place on the chain counted from 1 (among the first 16), or -1 off the chain.
int Dwg12Reader::readViewportEntity(Drawing&, ViewportEntityHeaderRecord& record) {
    TableRead& read = tables_[kDwg12ViewportEntityHeader];
    const uint32_t count = dbDwg12HasTable(versionIndex_, kDwg12ViewportEntityHeader)
                               ? head_.tables[kDwg12ViewportEntityHeader].count
                               : 0;
    while (read.next < count) {
        const uint32_t index = read.next++;
        const std::span<const uint8_t> bytes = tableRecord(kDwg12ViewportEntityHeader, index);
        if (bytes.empty()) return 0;
        if (bytes[0] >= kDwg12RecordErased) continue;
        Dwg12FieldReader io(bytes, versionIndex_);
        dwg12RecordFrame(io, record);
        dwg12ViewportEntityHeaderFields(io, record);
        if (io.overrun()) return 0;
        record.endOfTable = 0;
        record.on = 1;
        record.viewportNumber = 0;
        if (index != 0) {
            const size_t chained = std::min(read.places.size(), kViewportChainLength);
            const auto found =
                std::find(read.places.begin(), read.places.begin() + ptrdiff_t(chained), int32_t(index));
            record.viewportNumber = found == read.places.begin() + ptrdiff_t(chained)
                                        ? -1
                                        : int16_t(found - read.places.begin() + 1);
        }
        return 1;
    }
    record.endOfTable = 1;
    return 1;
}

int Dwg12Reader::loadViewports(Drawing& drawing) {
    if (!drawing.paperSpace || !dbDwg12HasTable(versionIndex_, kDwg12ViewportEntityHeader)) return 1;
    // The paper-space VIEWPORT entities in the order they were read, beside their file offsets.
    std::vector<EntityNode*> viewports;
    for (EntityNode& node : *drawing.paperSpace) {
        if (node.record.header.type == kEntityViewport) viewports.push_back(&node);
    }
    if (!seekViewportEntities(drawing)) return 0;
    EntityNode* first = nullptr;
    std::vector<EntityNode*> chained;
    for (;;) {
        ViewportEntityHeaderRecord record;
        if (!readViewportEntity(drawing, record)) return 0;
        if (record.endOfTable) break;
        if (record.viewportNumber == 0) continue;
        const uint32_t offset = uint32_t(record.viewportOffset);
        const uint64_t at = (offset & kDwg12ExtraSectionBit)
                                ? uint64_t(head_.extraStart) + (offset & ~kDwg12ExtraSectionBit)
                                : offset;
        const auto found = std::find(viewportOffsets_.begin(), viewportOffsets_.end(), at);
        const size_t place = size_t(found - viewportOffsets_.begin());
        if (found == viewportOffsets_.end() || place >= viewports.size()) {
            return dbSetError(kErrorDwg12ViewportNotInPaperSpace);
        }
        EntityNode* node = viewports[place];
        ViewportBody& body = node->record.bodyAs<ViewportBody>();
        body.status = record.viewportNumber > 0 ? record.viewportNumber : 0;
        if (record.viewportNumber == 1) first = node;
        chained.push_back(node);
    }
    // VIEWPORTs no header names are off.
    for (EntityNode* node : viewports) {
        if (std::find(chained.begin(), chained.end(), node) == chained.end())
            node->record.bodyAs<ViewportBody>().status = 0;
    }
    // The paper-space viewport itself stands first in the viewport index.
    if (first) dbViewportIndexMoveFirst(drawing, first);
    return 1;
}

// --- References by position

void Dwg12Reader::collectHandles(Drawing& drawing) {
    listHandles(drawing.layers, handles_[kDwg12Layer]);
    listHandles(drawing.linetypes, handles_[kDwg12Linetype], drawing.handles.byLayerLinetype,
                drawing.handles.byBlockLinetype);
    listHandles(drawing.styles, handles_[kDwg12Style]);
    listHandles(drawing.views, handles_[kDwg12View]);
    listHandles(drawing.ucss, handles_[kDwg12Ucs]);
    listHandles(drawing.vports, handles_[kDwg12Vport]);
    listHandles(drawing.appIds, handles_[kDwg12AppId]);
    listHandles(drawing.dimStyles, handles_[kDwg12DimStyle]);
    // Block records are known by name: the block table does not keep the order of the file.
    std::vector<Handle>& blocks = handles_[kDwg12Block];
    blocks.clear();
    for (const BlockPlace& place : blocks_) {
        if (!place.kept) continue;
        Handle handle;
        dbBlockFindByName(&drawing, place.name, handle);
        blocks.push_back(handle);
    }
}

int32_t Dwg12Reader::placeOf(Dwg12Table table, int32_t position) const {
    const std::vector<int32_t>& places = tables_[table].places;
    return position >= 0 && size_t(position) < places.size() ? places[size_t(position)] : -1;
}

Handle Dwg12Reader::handleAt(Dwg12Table table, int32_t position) const {
    const int32_t place = placeOf(table, position);
    const std::vector<Handle>& handles = handles_[table];
    return place >= 0 && size_t(place) < handles.size() ? handles[size_t(place)] : Handle();
}

void Dwg12Reader::resolveReferences(Drawing& drawing, EntityRecord& entity,
                                    const Dwg12EntityRefs& refs) const {
    EntityHeader& header = entity.header;
    // A position that names no record gives the first layer, BYLAYER and the first text style.
    header.layer = handleAt(kDwg12Layer, refs.layer);
    if (header.layer.isNull()) header.layer = dbFirstRecordHandle(drawing.layers);
    if (refs.linetype == kDwg12LinetypeByLayer)
        header.linetype = drawing.handles.byLayerLinetype;
    else if (refs.linetype == kDwg12LinetypeByBlock)
        header.linetype = drawing.handles.byBlockLinetype;
    else
        header.linetype = handleAt(kDwg12Linetype, refs.linetype);
    if (header.linetype.isNull()) header.linetype = drawing.handles.byLayerLinetype;

    switch (header.type) {
    case kEntityText:
    case kEntityAttribute:
    case kEntityAttributeDefinition:
    case kEntityShape: {
        Handle style = handleAt(kDwg12Style, refs.textStyle);
        if (style.isNull()) style = dbFirstRecordHandle(drawing.styles);
        setTextStyle(entity.body, style);
        break;
    }
    case kEntityInsert:
        entity.bodyAs<InsertBody>().block = handleAt(kDwg12Block, refs.block);
        break;
    case kEntityDimension: {
        DimensionBody& dimension = entity.bodyAs<DimensionBody>();
        dimension.block = handleAt(kDwg12Block, refs.block);
        dimension.dimensionStyle = handleAt(kDwg12DimStyle, refs.dimStyle);
        break;
    }
    default:
        break;
    }
}

int Dwg12Reader::resolveIndexedHeaderRefs(Drawing& drawing) {
    if (!drawing.header) return 1;
    collectHandles(drawing);
    CurrentEntryHandles& current = drawing.header->current;
    current.clayer = handleAt(kDwg12Layer, current_[Dwg12CurrentEntry::Layer]);
    if (current.clayer.isNull()) current.clayer = dbFirstRecordHandle(drawing.layers);
    const int32_t linetype = current_[Dwg12CurrentEntry::Linetype];
    if (linetype == kDwg12LinetypeByLayer)
        current.celtype = drawing.handles.byLayerLinetype;
    else if (linetype == kDwg12LinetypeByBlock)
        current.celtype = drawing.handles.byBlockLinetype;
    else
        current.celtype = handleAt(kDwg12Linetype, linetype);
    if (current.celtype.isNull()) current.celtype = drawing.handles.byLayerLinetype;
    current.dimstyle = handleAt(kDwg12DimStyle, current_[Dwg12CurrentEntry::DimStyle]);
    current.ucsname = handleAt(kDwg12Ucs, current_[Dwg12CurrentEntry::Ucs]);
    current.pucsname = handleAt(kDwg12Ucs, current_[Dwg12CurrentEntry::PaperUcs]);
    current.textstyle = handleAt(kDwg12Style, current_[Dwg12CurrentEntry::TextStyle]);
    if (current.textstyle.isNull()) current.textstyle = dbFirstRecordHandle(drawing.styles);
    current.dimtxsty = current.textstyle;
    return 1;
}

// --- Entities

int Dwg12Reader::seekSpaceEntities(Drawing& drawing) {
    collectHandles(drawing);
    blockMode_ = false;
    position_ = head_.entityStart;
    regionStart_ = head_.entityStart;
    regionEnd_ = head_.entityEnd;
    recordsRead_ = 0;
    passState_ = Dwg12EntityPassState{};
    viewportOffsets_.clear();
    return 1;
}

int Dwg12Reader::seekBlockEntities(Drawing& drawing) {
    if (LoadSession* session = rdLoadSession(drawing)) currentBlock_ = session->currentBlockName;
    collectHandles(drawing);
    blockMode_ = true;
    regionStart_ = head_.blockStart;
    regionEnd_ = head_.blockEnd();
    recordsRead_ = 0;
    blockEntitiesRead_ = 0;
    passState_ = Dwg12EntityPassState{};
    // A block the file does not place has no entities.
    position_ = regionEnd_;
    for (const BlockPlace& block : blocks_) {
        if (block.name == currentBlock_) {
            position_ = regionStart_ + block.entityOffset;
            break;
        }
    }
    return 1;
}

bool Dwg12Reader::insideEntityRegion(uint64_t position) const {
    if (position >= regionStart_ && position < regionEnd_) return true;
    return head_.extraSize > 0 && position >= head_.extraStart && position < head_.extraEnd();
}

int Dwg12Reader::failEntity(int error) {
    if (error == kErrorDwg12BadJump) return dbReportError(error, kErrorReasonBadChain);
    return dbSetError(error);
}

bool Dwg12Reader::nextEntityRecord(Dwg12RecordHead& head, bool& failed) {
    failed = false;
    // Every record holds at least a jump's bytes: a pass that reads more records than that
    // runs in a loop.
    const uint64_t mostRecords = file_.size() / kDwg12JumpRecordSize + 1;
    for (;;) {
        // The end of the section or of an extra run that did not jump back ends the pass.
        if (!insideEntityRegion(position_)) return false;
        if (++recordsRead_ > mostRecords) {
            failed = true;
            failEntity(kErrorDwg12BadJump);
            return false;
        }
        if (!rdR12ReadEntityHead(file_, size_t(position_), head)) {
            failed = true;
            failEntity(kErrorDwg12RecordDamaged);
            return false;
        }
        if (head.kind == kDwg12KindJump) {
            const uint32_t target = head.jumpTarget;
            const uint64_t offset = target & kDwg12EntityOffsetMask;
            const uint64_t to =
                (target & kDwg12ExtraSectionBit) ? uint64_t(head_.extraStart) + offset : offset;
            if (to >= file_.size() || !insideEntityRegion(to)) {
                failed = true;
                failEntity(kErrorDwg12BadJump);
                return false;
            }
            position_ = to;
            continue;
        }
        if (head.erased || !dbDwg12IsEntityKind(head.kind)) {
            if (!head.erased) ++unplaced_;
            position_ += head.length;
            continue;
        }
        return true;
    }
}

int Dwg12Reader::readEntity(Drawing& drawing, EntityRecord& entity, uint8_t& hasXData) {
    hasXData = 0;
    Dwg12RecordHead head;
    bool failed = false;
    const uint32_t unplacedBefore = unplaced_;
    const bool found = nextEntityRecord(head, failed);
    LoadSession* session = rdLoadSession(drawing);
    if (session) session->unplacedRecords += unplaced_ - unplacedBefore;
    // The entity pass of a load ends as a failure only with the load error set.
    if (failed && session) session->loadError = dbGetError();
    if (!found) return 0;
    // A block whose ENDBLK is lost ends where the next block begins.
    if (blockMode_ && head.kind == kEntityBlock && blockEntitiesRead_ > 0) return 0;
    const uint64_t at = position_;
    const std::span<const uint8_t> record = file_.subspan(size_t(at), head.length);
    Dwg12EntityRefs refs;
    if (!rdR12ReadEntity(drawing, record, versionIndex_, passState_, entity, refs, hasXData)) {
        failEntity(kErrorDwg12RecordDamaged);
        if (session) session->loadError = kErrorDwg12RecordDamaged;
        return 0;
    }
    position_ = at + head.length;
    resolveReferences(drawing, entity, refs);
    if (blockMode_) {
        ++blockEntitiesRead_;
        entity.header.flags &= uint8_t(~kEntityInPaperSpace);
        // Before "AC1009" the BLOCK entity carries no name, and an anonymous block's carries the
        // bare name: it is its record's.
        if (BlockBeginBody* block = entity.body.getIf<BlockBeginBody>();
            block && (block->name.empty() || isBareAnonymousName(block->name))) {
            block->name = currentBlock_;
        }
    } else if (entity.header.type == kEntityViewport && (entity.header.flags & kEntityInPaperSpace)) {
        viewportOffsets_.push_back(at);
    }
    return 1;
}

int Dwg12Reader::attachExtendedData(Drawing& drawing, OwnedStream& xdata) {
    LoadSession* session = rdLoadSession(drawing);
    const size_t before = session ? session->pendingXDataRefs.size() : 0;
    if (!rdConvertXDataRefs(drawing, RawXDataForm::DwgR12, xdata)) return 0;
    if (!session) return 1;
    // The items name applications and layers by their position in the file; the fix-up after
    // the load counts the records the tables kept.
    for (size_t i = before; i < session->pendingXDataRefs.size(); ++i) {
        PendingXDataRef& ref = session->pendingXDataRefs[i];
        ref.index = placeOf(ref.kind == PendingXDataRef::Application ? kDwg12AppId : kDwg12Layer, ref.index);
    }
    return 1;
}

EntityRangePosition Dwg12Reader::entityRangePosition(Drawing&) {
    EntityRangePosition range;
    range.start = head_.entityStart;
    range.end = std::max(head_.entityEnd, head_.entityStart);
    range.position = std::clamp<int64_t>(int64_t(position_), range.start, range.end);
    return range;
}

// --- Objects: files before R13 have none.

int Dwg12Reader::seekObjects(Drawing&) {
    return 1;
}
uint16_t Dwg12Reader::nextObjectCode(Drawing&) {
    return kNoMoreObjects;
}
int Dwg12Reader::readDictionary(Drawing&, ObjectRecord&, uint8_t&) {
    return 0;
}
int Dwg12Reader::readMlineStyle(Drawing&, ObjectRecord&, uint8_t&) {
    return 0;
}
int Dwg12Reader::readGroup(Drawing&, ObjectRecord&, uint8_t&) {
    return 0;
}
int Dwg12Reader::readClassObject(Drawing&, ObjectRecord&, uint8_t&) {
    return 0;
}

} // namespace tracemill
