#include "toolkit/write/dwg13/file_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/lwpolyline_conversion.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dwg13_entity_common.h"
#include "toolkit/read/dwg13_file_layout.h"
#include "toolkit/read/dwg13_header_layout.h"
#include "toolkit/read/dwg13_object_layouts.h"
#include "toolkit/write/byte_output.h"
#include "toolkit/codec/crc16.h"
#include "toolkit/write/dwg13/entity_writer.h"
#include "toolkit/write/dwg13/header_section_writer.h"
#include "toolkit/write/dwg13/object_framing.h"
#include "toolkit/write/dwg13/object_map_writer.h"
#include "toolkit/write/dwg13/object_writer.h"
#include "toolkit/write/dwg13/record_writer.h"
#include "toolkit/write/dwg13/table_writer.h"
#include "toolkit/write/dwg_class_records.h"
#include "toolkit/write/dxf/dxf_entity_writer.h"
#include "toolkit/write/dxf/dxf_names.h"

namespace tracemill {
namespace {

// The block before the object records: the measurement block of R14 and 2000 and its filler.
constexpr size_t kMeasurementBlockSize = 512;
// The descriptor section's constants.
constexpr uint32_t kDescriptorMagic1 = 0x002562A7;
constexpr uint32_t kDescriptorMagic2 = 0x0225AFF6;
constexpr uint32_t kDescriptorSize = 53;
// The image header entry of the preview section.
constexpr uint32_t kImageHeaderSize = 80;
constexpr size_t kImageCopyChunk = 8192;

// The part an entity plays in its list.
enum class Role : uint8_t { TopLevel, Child, SequenceEnd };

// An entity of a list as it is written. The children of a POLYLINE or INSERT follow it at
// once and its SEQEND follows them, so the links of an entity are found next to it in the plan
// (`linksAt`).
struct PlannedEntity {
    const EntityRecord* entity = nullptr;
    Handle own; // its handle (given for the save when it has none)
    Role role = Role::TopLevel;
};

// The links of a planned entity: its neighbours among the entities that are not sub-entities
// or among the sub-entities of its sequence, and for a POLYLINE or INSERT its first and last
// child and its SEQEND.
struct PlannedLinks {
    Handle previous;
    Handle next;
    Handle firstChild;
    Handle lastChild;
    Handle sequenceEnd;
};

// The links of the entity at `i`; `previousTop` is the handle of the last entity before it that
// is not a sub-entity.
PlannedLinks linksAt(const std::vector<PlannedEntity>& planned, size_t i, Handle previousTop) {
    PlannedLinks links;
    const size_t count = planned.size();
    switch (planned[i].role) {
    case Role::TopLevel: {
        links.previous = previousTop;
        size_t j = i + 1;
        if (j < count && planned[j].role == Role::Child) links.firstChild = planned[j].own;
        while (j < count && planned[j].role == Role::Child) links.lastChild = planned[j++].own;
        if (j < count && planned[j].role == Role::SequenceEnd) links.sequenceEnd = planned[j].own;
        while (j < count && planned[j].role != Role::TopLevel) ++j;
        if (j < count) links.next = planned[j].own;
        break;
    }
    case Role::Child:
        if (i > 0 && planned[i - 1].role == Role::Child) links.previous = planned[i - 1].own;
        if (i + 1 < count && planned[i + 1].role == Role::Child) links.next = planned[i + 1].own;
        break;
    case Role::SequenceEnd:
        break;
    }
    return links;
}

class Dwg13FileWriter {
  public:
    Dwg13FileWriter(Drawing& drawing, OutputContext& output)
        : d_(drawing), o_(output), v_(output.versionIndex) {}

    int write();

  private:
    Dwg13WriteState& s() { return *o_.dwg13; }
    bool r13() const { return v_ <= kVersionAC1012; }
    bool r2000() const { return v_ >= kVersionAC1015; }

    int prepare();
    void prepareHandles();
    void prepareViewportHeaders();
    void prepareBlockFrames();
    Handle handleOf(const EntityRecord& entity) const;
    Handle newHandle() { return dbNewHandle(d_); }
    int classesSection();
    int measurementBlock();
    int records();
    int controls();
    int tables();
    int viewportHeaders();
    int objects();
    int block(const BlockNode& node, size_t index, int32_t position);
    std::vector<PlannedEntity> plan(const EntityList* list);
    int entity(const PlannedEntity& planned, const PlannedLinks& plannedLinks, uint8_t mode, Handle owner,
               int32_t sequence);
    int frameEntity(uint16_t type, Handle handle, const BlockRecord& record, uint8_t mode, Handle owner,
                    int32_t sequence);
    int objectMap();
    int descriptor();
    int finish();
    void counted();

    Drawing& d_;
    OutputContext& o_;
    int16_t v_;
    Dwg13HeaderHandles handles_;
    Handle rootDictionary_;
    bool madeRootDictionary_ = false;
    // BLOCK and ENDBLK handles of blocks whose lists lack them, and handles given for the save
    // to entities without one.
    std::unordered_map<uint64_t, std::pair<Handle, Handle>> frames_;
    std::unordered_map<const EntityRecord*, Handle> entityHandles_;
    // The entities each block writes: by the block's place in the block list (none for the
    // layout blocks), and those of model and paper space.
    std::vector<std::vector<PlannedEntity>> blockPlans_;
    std::vector<PlannedEntity> modelPlan_;
    std::vector<PlannedEntity> paperPlan_;
    // Progress: records written, records in all.
    uint64_t written_ = 0;
    uint64_t total_ = 1;
    int reported_ = 0;
    uint64_t nextReport_ = 0; // records written when the next step of 5 % may be reached
};

bool isLayoutBlock(const Drawing& drawing, Handle handle) {
    return handle == drawing.handles.modelSpaceBlock || handle == drawing.handles.paperSpaceBlock;
}

Handle dictionaryEntry(const Drawing& drawing, Handle dictionary, std::string_view name) {
    const ObjectNode* node = dictionary.isNull() ? nullptr : dbLookupNode(drawing, drawing.objects, dictionary);
    const auto* body = node ? node->record.body.getIf<DictionaryBody>() : nullptr;
    if (!body) return Handle();
    for (const DictionaryEntry& entry : body->entries)
        if (entry.name == name) return entry.handle;
    return Handle();
}

void Dwg13FileWriter::counted() {
    ++written_;
    if (written_ < nextReport_) return;
    const int percent = int(std::min<uint64_t>(100, written_ * 100 / total_)) / 5 * 5;
    if (percent > reported_ && percent < 100) {
        reported_ = percent;
        dbReportSaveProgress(percent);
    }
    nextReport_ = percent >= 100 ? UINT64_MAX : ((uint64_t(reported_) + 5) * total_ + 99) / 100;
}

void Dwg13FileWriter::prepareHandles() {
    DrawingHandles& d = d_.handles;
    const std::array<Handle, kDwgControlCount> controls = {
        d.blockControl, d.layerControl, d.styleControl,    d.linetypeControl, d.viewControl,
        d.ucsControl,   d.vportControl, d.appIdControl,    d.dimStyleControl, d.viewportEntityHeaderControl};
    for (size_t i = 0; i < kDwgControlCount; ++i) handles_.controls[i] = controls[i].isNull() ? newHandle() : controls[i];
    rootDictionary_ = d.namedObjectDictionary;
    if (rootDictionary_.isNull() || !dbLookupNode(d_, d_.objects, rootDictionary_)) {
        rootDictionary_ = newHandle();
        madeRootDictionary_ = true;
    }
    handles_.namedObjectDictionary = rootDictionary_;
    handles_.groupDictionary = dictionaryEntry(d_, rootDictionary_, "ACAD_GROUP");
    handles_.mlineStyleDictionary = dictionaryEntry(d_, rootDictionary_, "ACAD_MLINESTYLE");
    handles_.layoutDictionary = dictionaryEntry(d_, rootDictionary_, "ACAD_LAYOUT");
    handles_.plotSettingsDictionary = dictionaryEntry(d_, rootDictionary_, "ACAD_PLOTSETTINGS");
    handles_.plotStyleDictionary = dictionaryEntry(d_, rootDictionary_, "ACAD_PLOTSTYLENAME");
    handles_.modelSpaceBlock = d.modelSpaceBlock;
    handles_.paperSpaceBlock = d.paperSpaceBlock;
    // BYLAYER and BYBLOCK: the drawing's handles, else the linetypes of those names (a drawing
    // read from a DXF file that gives them no handle of their own), so that the LTYPE control
    // names them and the file reads back.
    auto linetypeNamed = [&](std::string_view name) {
        for (const auto& node : d_.linetypes)
            if (dbEqualsNoCase(node.record.name, name)) return node.record.handle;
        return Handle();
    };
    handles_.byLayerLinetype = d.byLayerLinetype.isNull() ? linetypeNamed("BYLAYER") : d.byLayerLinetype;
    handles_.byBlockLinetype = d.byBlockLinetype.isNull() ? linetypeNamed("BYBLOCK") : d.byBlockLinetype;
    // The continuous linetype's place: the first linetype other than BYLAYER and BYBLOCK.
    for (const auto& node : d_.linetypes) {
        if (node.record.handle != handles_.byLayerLinetype && node.record.handle != handles_.byBlockLinetype) {
            handles_.continuousLinetype = node.record.handle;
            break;
        }
    }
}

// The VP ENT HDR records: one of no viewport, then one per paper-space viewport of the index
// (their own when the viewport names one, else a new one). The header of the viewport numbered
// 1 (the paper-space viewport itself) is the header's current one.
void Dwg13FileWriter::prepareViewportHeaders() {
    std::vector<Dwg13ViewportHeaderPair>& pairs = s().viewportHeaders;
    pairs.clear();
    if (d_.viewportIndex.count == 0) return;
    pairs.push_back({Handle(), d_.handles.viewportEntityHeader.isNull() ? newHandle() : d_.handles.viewportEntityHeader});
    for (const auto& node : d_.viewportIndex) {
        const ViewportIndexEntry& entry = node.record;
        if (entry.viewport.isNull()) continue;
        pairs.push_back({entry.viewport, entry.viewportEntityHeader.isNull() ? newHandle() : entry.viewportEntityHeader});
    }
    handles_.viewportEntityHeader = pairs.size() > 1 ? pairs[1].header : Handle();
    for (size_t i = 1; i < pairs.size(); ++i) {
        const EntityNode* node = d_.paperSpace ? dbLookupNode(d_, *d_.paperSpace, pairs[i].viewport) : nullptr;
        const auto* body = node ? node->record.body.getIf<ViewportBody>() : nullptr;
        if (body && body->id == 1) {
            handles_.viewportEntityHeader = pairs[i].header;
            break;
        }
    }
}

// Handles for the BLOCK and ENDBLK of blocks whose lists lack them (layout blocks, blocks read
// from files before R13) and for entities without one, given block by block and then to model
// and paper space; the entities of each list are planned in the same walk.
void Dwg13FileWriter::prepareBlockFrames() {
    const DrawingHandles& d = d_.handles;
    auto given = [&](Handle h) { return h.isNull() ? newHandle() : h; };
    frames_[d.modelSpaceBlock.value] = {given(d.modelSpaceBlockEntity), given(d.modelSpaceEndBlockEntity)};
    frames_[d.paperSpaceBlock.value] = {given(d.paperSpaceBlockEntity), given(d.paperSpaceEndBlockEntity)};
    blockPlans_.clear();
    for (const BlockNode& node : d_.blocks) {
        blockPlans_.emplace_back();
        if (isLayoutBlock(d_, node.record.handle)) continue;
        const EntityList* list = node.entityList.get();
        const auto* first = list && list->first ? static_cast<const EntityNode*>(list->first) : nullptr;
        const auto* last = list && list->last ? static_cast<const EntityNode*>(list->last) : nullptr;
        const bool framed = first && first->record.header.type == kEntityBlock && last != first &&
                            last->record.header.type == kEntityEndBlock;
        if (!framed) {
            Handle begin = node.record.blockEntity;
            Handle end = node.record.endBlockEntity;
            if (begin.isNull()) begin = newHandle();
            if (end.isNull()) end = newHandle();
            frames_[node.record.handle.value] = {begin, end};
        }
        blockPlans_.back() = plan(list);
    }
    modelPlan_ = plan(d_.modelSpace);
    paperPlan_ = plan(d_.paperSpace);
}

Handle Dwg13FileWriter::handleOf(const EntityRecord& entity) const {
    if (!entity.header.handle.isNull()) return entity.header.handle;
    const auto found = entityHandles_.find(&entity);
    return found == entityHandles_.end() ? Handle() : found->second;
}

int Dwg13FileWriter::prepare() {
    wrBitInit(o_, 0);
    wrMapBegin(o_);
    dbClearHeaderNameRefs(&d_);
    wrIndexRecordPositions(d_, o_);
    prepareHandles();
    prepareViewportHeaders();
    prepareBlockFrames();
    if (r13() && dbClassLwpolyline(d_.classes) != 0 && !dbReserveLwpolyHandles(&d_, o_.lwpolyConversion)) return 0;
    o_.header.handseed = d_.handleSeed;

    // The pass over the objects: the extension dictionaries they name.
    for (const ObjectNode& node : d_.objects) {
        const ObjectHeader& h = node.record.header;
        if (!h.extensionDictionary.isNull()) wrNoteXdictLink(o_, h.handle, h.extensionDictionary);
    }
    // The zombie classes of R13 files stand for the generic proxies.
    Dwg13WriteState& state = s();
    for (const ClassEntry& entry : d_.classes.entries) {
        if (entry.className == "AcDbDxfZombieEntity") state.zombieEntityClass = entry.number;
        if (entry.className == "AcDbDxfZombieObject") state.zombieObjectClass = entry.number;
    }
    if (r13()) {
        const uint16_t next = dbNextClassNumber(d_.classes);
        if (state.zombieEntityClass == 0) state.zombieEntityClass = next;
        if (state.zombieObjectClass == 0) state.zombieObjectClass = uint16_t(next + 1);
    }

    total_ = 20 + d_.objects.count + d_.layers.count + d_.linetypes.count + d_.styles.count + d_.views.count +
             d_.ucss.count + d_.vports.count + d_.appIds.count + d_.dimStyles.count + d_.blocks.count;
    for (const BlockNode& node : d_.blocks)
        if (node.entityList) total_ += node.entityList->count;
    return 1;
}

ClassEntry zombieClass(uint16_t number, bool entity) {
    ClassEntry entry;
    entry.number = number;
    entry.applicationName = "\"AutoCAD\"";
    entry.className = entity ? "AcDbDxfZombieEntity" : "AcDbDxfZombieObject";
    entry.dxfName = entity ? "DxfZombieEntity" : "DxfZombieObject";
    entry.itemClassId = entity ? kClassOfEntities : kClassOfObjects;
    return entry;
}

int Dwg13FileWriter::classesSection() {
    BitWriter bits;
    bool entityZombie = false;
    bool objectZombie = false;
    for (const ClassEntry& entry : d_.classes.entries) {
        if (r2000())
            wrDwgClassR2000(bits, entry);
        else
            wrDwgClassR13(bits, entry);
        entityZombie = entityZombie || entry.number == s().zombieEntityClass;
        objectZombie = objectZombie || entry.number == s().zombieObjectClass;
    }
    if (r13()) {
        if (!entityZombie) wrDwgClassR13(bits, wrZombieEntityClass(s().zombieEntityClass));
        if (!objectZombie) wrDwgClassR13(bits, wrZombieObjectClass(s().zombieObjectClass));
    }
    return wrDwgFramedSection(o_, dwg13::kClassesStart.data(), dwg13::kClassesEnd.data(), bits.takeBytes(),
                              s().classesStart, s().classesSize);
}

int Dwg13FileWriter::measurementBlock() {
    std::array<uint8_t, kMeasurementBlockSize> block{};
    if (!r13()) block[2] = uint8_t(o_.header.measurement);
    if (!wrDwgPutFileBytes(o_, block.data(), block.size())) return 0;
    s().recordsStart = uint32_t(s().filePosition);
    return 1;
}

// The entities of a list in the order they are written, each with its place in a sequence
// (the VERTEX or ATTRIB entities of a POLYLINE or INSERT and its SEQEND). BLOCK and ENDBLK
// entities are left out (the block writes its own), and so are entities the version cannot hold
// or that have no form. Every entity of the list without a handle is given one first, in the
// list's order.
std::vector<PlannedEntity> Dwg13FileWriter::plan(const EntityList* list) {
    std::vector<PlannedEntity> planned;
    if (!list) return planned;
    planned.reserve(list->count);
    size_t open = SIZE_MAX; // the POLYLINE or INSERT whose sequence is open
    for (const EntityNode& node : *list) {
        const EntityRecord& entity = node.record;
        if (entity.header.handle.isNull()) entityHandles_[&entity] = newHandle();
        const uint16_t type = entity.header.type;
        if (type == kEntityBlock || type == kEntityEndBlock) continue;
        if (!wrEntityWritable(d_, v_, entity) || !wrDwgEntityHasForm(d_, entity)) continue;
        if (type == kEntityShape) {
            const auto& shape = entity.bodyAs<ShapeBody>();
            if (shape.shapeNumber == 255) {
                dbReportWarning(kWarningShapeWithoutName);
                continue;
            }
        }
        PlannedEntity item;
        item.entity = &entity;
        item.own = handleOf(entity);
        const bool childOfOpen =
            open != SIZE_MAX && ((type == kEntityVertex && planned[open].entity->header.type == kEntityPolyline) ||
                                 (type == kEntityAttribute && planned[open].entity->header.type == kEntityInsert));
        if (childOfOpen) {
            item.role = Role::Child;
        } else if (type == kEntitySequenceEnd && open != SIZE_MAX) {
            item.role = Role::SequenceEnd;
            open = SIZE_MAX;
        } else {
            open = SIZE_MAX;
            const bool opens = type == kEntityPolyline ||
                               (type == kEntityInsert && entity.bodyAs<InsertBody>().attributesFollow != 0);
            if (opens) open = planned.size();
        }
        planned.push_back(item);
    }
    return planned;
}

int Dwg13FileWriter::entity(const PlannedEntity& planned, const PlannedLinks& plannedLinks, uint8_t mode,
                            Handle owner, int32_t sequence) {
    Dwg13RecordLinks& links = s().links;
    const EntityRecord& source = *planned.entity;
    const bool sub = planned.role != Role::TopLevel;
    const Handle parentHandle = owner;
    auto writeOne = [&](const EntityRecord& record) -> int {
        const Handle own = handleOf(record);
        if (record.header.handle.isNull()) {
            EntityRecord copy = record;
            copy.header.handle = own;
            return wrDwgEntityR13(d_, o_, copy, sequence);
        }
        return wrDwgEntityR13(d_, o_, record, sequence);
    };
    links = Dwg13RecordLinks();
    links.mode = sub ? kDwgEntityInBlock : mode;
    links.owner = sub ? parentHandle : owner;
    links.previous = plannedLinks.previous;
    links.next = plannedLinks.next;
    links.firstChild = plannedLinks.firstChild;
    links.lastChild = plannedLinks.lastChild;
    links.sequenceEnd = plannedLinks.sequenceEnd;
    const bool lwpolyline = source.body.holds<LwpolylineBody>() && source.header.type == dbClassLwpolyline(d_.classes);
    if (!r13() || sub || !lwpolyline) {
        if (!writeOne(source)) return 0;
        counted();
        return 1;
    }
    // R13 files know no LWPOLYLINE: it is written as a POLYLINE with its vertices and SEQEND.
    const Handle polyline = handleOf(source);
    size_t index = 0;
    size_t vertices = 0;
    if (const auto* lw = source.body.getIf<LwpolylineBody>()) vertices = lw->vertices.size();
    const int ok = dbWriteLwpolyAsPolyline(&d_, v_, o_.lwpolyConversion, source, [&](const EntityRecord& record) {
        if (index++ > 0) {
            // A VERTEX or the SEQEND of the converted polyline.
            const LwpolyConversion& run = o_.lwpolyConversion;
            const uint64_t at = record.header.handle.value - run.first.value; // 0 .. vertices
            links = Dwg13RecordLinks();
            links.mode = kDwgEntityInBlock;
            links.owner = polyline;
            if (record.header.type == kEntityVertex) {
                if (at > 0) links.previous = Handle(record.header.handle.value - 1);
                if (at + 1 < vertices) links.next = Handle(record.header.handle.value + 1);
            }
        } else {
            const LwpolyConversion& run = o_.lwpolyConversion;
            links.firstChild = vertices > 0 ? run.first : Handle();
            links.lastChild = vertices > 0 ? Handle(run.last.value - 1) : Handle();
            links.sequenceEnd = run.last;
        }
        return writeOne(record);
    });
    if (ok) counted();
    return ok;
}

int Dwg13FileWriter::frameEntity(uint16_t type, Handle handle, const BlockRecord& record, uint8_t mode, Handle owner,
                                 int32_t sequence) {
    EntityRecord frame;
    frame.header.type = type;
    frame.header.handle = handle;
    frame.header.layer = dbFirstRecordHandle(d_.layers);
    frame.header.linetype = handles_.byLayerLinetype;
    if (type == kEntityBlock) frame.body = BlockBeginBody{record.name, record.basePoint, record.xrefPath};
    Dwg13RecordLinks& links = s().links;
    links = Dwg13RecordLinks();
    links.mode = mode;
    links.owner = owner;
    return wrDwgEntityR13(d_, o_, frame, sequence);
}

int Dwg13FileWriter::block(const BlockNode& node, size_t index, int32_t position) {
    const BlockRecord& record = node.record;
    const bool model = record.handle == d_.handles.modelSpaceBlock;
    const bool paper = record.handle == d_.handles.paperSpaceBlock;
    const EntityList* list = model ? d_.modelSpace : paper ? d_.paperSpace : node.entityList.get();
    const uint8_t mode = model ? kDwgEntityInModelSpace : paper ? kDwgEntityInPaperSpace : kDwgEntityInBlock;
    const std::vector<PlannedEntity>& planned = model ? modelPlan_ : paper ? paperPlan_ : blockPlans_[index];

    // The block's own BLOCK and ENDBLK: the first and last entities of its list, or made.
    const EntityRecord* begin = nullptr;
    const EntityRecord* end = nullptr;
    Dwg13BlockLinks links;
    if (const auto frame = frames_.find(record.handle.value); frame != frames_.end()) {
        links.blockEntity = frame->second.first;
        links.endBlockEntity = frame->second.second;
    } else {
        begin = &static_cast<const EntityNode*>(list->first)->record;
        end = &static_cast<const EntityNode*>(list->last)->record;
        links.blockEntity = handleOf(*begin);
        links.endBlockEntity = handleOf(*end);
    }
    for (const PlannedEntity& item : planned) {
        if (item.role != Role::TopLevel) continue;
        if (links.firstEntity.isNull()) links.firstEntity = item.own;
        links.lastEntity = item.own;
    }
    if (!wrDwgBlockRecord(d_, o_, record, handles_.controls[kDwgControlBlock], links, position)) return 0;
    counted();
    const Handle owner = mode == kDwgEntityInBlock ? record.handle : Handle();
    Handle previousTop; // the last entity written that is not a sub-entity: the parent of those that are
    for (size_t i = 0; i < planned.size(); ++i) {
        const PlannedEntity& item = planned[i];
        const PlannedLinks itemLinks = linksAt(planned, i, previousTop);
        if (item.role == Role::TopLevel) previousTop = item.own;
        if (!entity(item, itemLinks, mode, item.role == Role::TopLevel ? owner : previousTop, position)) return 0;
    }
    const uint8_t frameMode = mode;
    if (begin) {
        s().links = Dwg13RecordLinks();
        s().links.mode = frameMode;
        s().links.owner = owner;
        if (!wrDwgEntityR13(d_, o_, *begin, position)) return 0;
        s().links = Dwg13RecordLinks();
        s().links.mode = frameMode;
        s().links.owner = owner;
        return wrDwgEntityR13(d_, o_, *end, position);
    }
    return frameEntity(kEntityBlock, links.blockEntity, record, frameMode, owner, position) &&
           frameEntity(kEntityEndBlock, links.endBlockEntity, record, frameMode, owner, position);
}

int Dwg13FileWriter::controls() {
    const Handle* c = handles_.controls.data();
    auto handlesOf = [](const auto& list, auto keep) {
        HandleList handles;
        for (const auto& node : list)
            if (keep(node.record.handle)) handles.push_back(node.record.handle);
        return handles;
    };
    auto all = [](Handle) { return true; };
    auto control = [&](uint16_t type, size_t index, const HandleList& entries, const HandleList& extras = {}) {
        if (!wrControlObject(o_, type, c[index], entries, extras)) return 0;
        counted();
        return 1;
    };
    const Handle byBlock = handles_.byBlockLinetype;
    const Handle byLayer = handles_.byLayerLinetype;
    auto present = [](std::initializer_list<Handle> handles, auto exists) {
        HandleList kept;
        for (Handle h : handles)
            if (!h.isNull() && exists(h)) kept.push_back(h);
        return kept;
    };
    // BLOCK: the blocks other than the layout blocks, which the control keeps apart.
    const HandleList blocks = handlesOf(d_.blocks, [&](Handle h) { return !isLayoutBlock(d_, h); });
    const HandleList layoutBlocks = present({d_.handles.modelSpaceBlock, d_.handles.paperSpaceBlock},
                                            [&](Handle h) { return dbLookupBlock(d_, h) != nullptr; });
    if (!control(kDwgTypeBlockControl, kDwgControlBlock, blocks, layoutBlocks)) return 0;
    if (r13()) return 1;
    return control(kDwgTypeLayerControl, kDwgControlLayer, handlesOf(d_.layers, all)) &&
           control(kDwgTypeStyleControl, kDwgControlStyle, handlesOf(d_.styles, all)) &&
           control(kDwgTypeLinetypeControl, kDwgControlLinetype,
                   handlesOf(d_.linetypes, [&](Handle h) { return h != byBlock && h != byLayer; }),
                   present({byBlock, byLayer}, [&](Handle h) { return dbLookupNode(d_, d_.linetypes, h) != nullptr; })) &&
           control(kDwgTypeViewControl, kDwgControlView, handlesOf(d_.views, all)) &&
           control(kDwgTypeUcsControl, kDwgControlUcs, handlesOf(d_.ucss, all)) &&
           control(kDwgTypeVportControl, kDwgControlVport, handlesOf(d_.vports, all)) &&
           control(kDwgTypeAppIdControl, kDwgControlAppId, handlesOf(d_.appIds, all)) &&
           control(kDwgTypeDimStyleControl, kDwgControlDimStyle, handlesOf(d_.dimStyles, all)) &&
           viewportHeaders();
}

int Dwg13FileWriter::viewportHeaders() {
    HandleList entries;
    for (const Dwg13ViewportHeaderPair& pair : s().viewportHeaders) entries.push_back(pair.header);
    if (!wrControlObject(o_, kDwgTypeViewportEntityHeaderControl, handles_.controls[kDwgControlViewportEntityHeader],
                         entries, {}))
        return 0;
    counted();
    return 1;
}

int Dwg13FileWriter::tables() {
    const Handle* c = handles_.controls.data();
    auto table = [&](const auto& list, uint16_t controlType, size_t index, auto write) -> int {
        if (r13()) {
            HandleList entries;
            HandleList extras;
            for (const auto& node : list) {
                const Handle h = node.record.handle;
                const bool apart = controlType == kDwgTypeLinetypeControl &&
                                   (h == handles_.byBlockLinetype || h == handles_.byLayerLinetype);
                (apart ? extras : entries).push_back(h);
            }
            if (controlType == kDwgTypeLinetypeControl) {
                extras.clear();
                for (Handle h : {handles_.byBlockLinetype, handles_.byLayerLinetype})
                    if (!h.isNull() && dbLookupNode(d_, d_.linetypes, h)) extras.push_back(h);
            }
            if (!wrControlObject(o_, controlType, c[index], entries, extras)) return 0;
            counted();
        }
        for (const auto& node : list) {
            if (!write(d_, o_, node.record, c[index], wrRecordPosition(o_, node.record.handle))) return 0;
            counted();
        }
        return 1;
    };
    auto record = [](const Drawing& d, OutputContext& o, const auto& r, Handle control, int32_t number) {
        return wrDwgTableRecord(d, o, r, control, number);
    };
    return table(d_.layers, kDwgTypeLayerControl, kDwgControlLayer, record) &&
           table(d_.styles, kDwgTypeStyleControl, kDwgControlStyle, record) &&
           table(d_.linetypes, kDwgTypeLinetypeControl, kDwgControlLinetype, record) &&
           table(d_.views, kDwgTypeViewControl, kDwgControlView, record) &&
           table(d_.ucss, kDwgTypeUcsControl, kDwgControlUcs, record) &&
           table(d_.vports, kDwgTypeVportControl, kDwgControlVport, record) &&
           table(d_.appIds, kDwgTypeAppIdControl, kDwgControlAppId, record) &&
           table(d_.dimStyles, kDwgTypeDimStyleControl, kDwgControlDimStyle, wrDwgDimStyleRecord);
}

int Dwg13FileWriter::objects() {
    const Handle control = handles_.controls[kDwgControlViewportEntityHeader];
    if (r13() && !viewportHeaders()) return 0;
    const std::vector<Dwg13ViewportHeaderPair>& pairs = s().viewportHeaders;
    for (size_t i = 0; i < pairs.size(); ++i) {
        const EntityNode* node = d_.paperSpace ? dbLookupNode(d_, *d_.paperSpace, pairs[i].viewport) : nullptr;
        const auto* body = node ? node->record.body.getIf<ViewportBody>() : nullptr;
        const bool named = i > 0 && pairs[i].header == handles_.viewportEntityHeader;
        const bool on = body && body->status != 0;
        if (!wrDwgVpEntHdr(o_, pairs[i].header, control, pairs[i].viewport, named, on)) return 0;
    }
    // The objects in handle order, the named object dictionary first: the order in which a
    // load lists them, so that a file read back and saved again has its records in place.
    std::vector<const ObjectRecord*> ordered;
    ordered.reserve(d_.objects.count);
    for (const ObjectNode& node : d_.objects) ordered.push_back(&node.record);
    std::stable_sort(ordered.begin(), ordered.end(), [&](const ObjectRecord* a, const ObjectRecord* b) {
        const bool aRoot = a->header.handle == rootDictionary_;
        const bool bRoot = b->header.handle == rootDictionary_;
        if (aRoot != bRoot) return aRoot;
        return a->header.handle < b->header.handle;
    });
    const std::unordered_set<uint64_t> leftOut =
        !r2000() ? wrDwgObjectsOf2000(d_) : std::unordered_set<uint64_t>();
    for (const ObjectRecord* object : ordered) {
        const bool written = (r13() || object->header.handle != rootDictionary_) &&
                             !leftOut.count(object->header.handle.value);
        if (written && !wrDwgObjectR13(d_, o_, *object)) return 0;
        counted();
    }
    return 1;
}

int Dwg13FileWriter::records() {
    if (!controls()) return 0;
    if (!r13()) {
        if (madeRootDictionary_) {
            ObjectRecord root;
            root.header.handle = rootDictionary_;
            root.header.type = kObjectDictionary;
            root.body = DictionaryBody{};
            if (!wrDwgDictionaryR13(d_, o_, root)) return 0;
        } else if (const ObjectNode* node = dbLookupNode(d_, d_.objects, rootDictionary_)) {
            if (!wrDwgObjectR13(d_, o_, node->record)) return 0;
        }
    } else if (madeRootDictionary_) {
        ObjectRecord root;
        root.header.handle = rootDictionary_;
        root.header.type = kObjectDictionary;
        root.body = DictionaryBody{};
        if (!wrDwgDictionaryR13(d_, o_, root)) return 0;
    }
    size_t index = 0;
    for (const BlockNode& node : d_.blocks) {
        if (!block(node, index++, wrRecordPosition(o_, node.record.handle))) return 0;
    }
    return tables() && objects();
}

int Dwg13FileWriter::objectMap() {
    Dwg13WriteState& state = s();
    state.objectMapStart = uint32_t(state.filePosition);
    const int entries = wrWriteObjectMap(o_);
    if (entries == 0) return dbSetError(kErrorDwgMapNotWritten);
    state.mapEntries = uint32_t(entries);
    state.objectMapSize = uint32_t(state.filePosition - state.objectMapStart);
    return 1;
}

int Dwg13FileWriter::descriptor() {
    Dwg13WriteState& state = s();
    state.descriptorStart = uint32_t(state.filePosition);
    std::vector<uint8_t> bytes;
    for (uint32_t value : {0u, state.mapEntries + 3, kDescriptorMagic1, kDescriptorMagic2, state.recordsStart})
        appendLe(bytes, value, 4);
    bytes.push_back(4);
    for (uint32_t value : {0x32u, 0u, 0x64u, 0u, 0x200u, 0u, 0xFFFFFFFFu, 0u}) appendLe(bytes, value, 4);
    return wrDwgPutFileBytes(o_, bytes.data(), bytes.size());
}

int Dwg13FileWriter::finish() {
    if (!wrFlushPending(o_)) return 0;
    if (!o_.file || dbOutFileSeek(o_.file.get(), 0, SEEK_SET) != 0) return dbSetError(kErrorWriteFailed);
    const std::vector<uint8_t> header = wrDwgFileHeaderBytes(o_);
    if (!wrPutBytes(o_, header.data(), header.size())) return 0;
    return wrCloseOutput(o_);
}

int Dwg13FileWriter::write() {
    if (!prepare()) return 0;
    const int header = r2000() ? wrWriteHeaderVars2000(d_, o_, handles_) : wrWriteHeaderVarsR13(d_, o_, handles_);
    if (!header) return 0;
    if (!classesSection() || !measurementBlock() || !records() || !objectMap() || !descriptor()) return 0;
    if (!wrWriteSecondHeader(o_, o_.header.handseed, handles_.controls, rootDictionary_,
                             handles_.mlineStyleDictionary, handles_.groupDictionary))
        return 0;
    if (!wrWriteImageSection(d_, o_)) return 0;
    return finish();
}

} // namespace

ClassEntry wrZombieEntityClass(uint16_t number) { return zombieClass(number, true); }
ClassEntry wrZombieObjectClass(uint16_t number) { return zombieClass(number, false); }

int wrWriteSecondHeader(OutputContext& output, Handle handseed, const std::array<Handle, 10>& controls,
                        Handle namedObjectDictionary, Handle mlineStyleDictionary, Handle groupDictionary) {
    Dwg13WriteState& s = *output.dwg13;
    const int version = s.versionIndex;
    const uint32_t start = uint32_t(s.filePosition);
    BitWriter bits;
    wrPutBitLong(bits, int32_t(start));
    const std::string_view signature = kVersionSignatures[version];
    for (char c : signature) wrPutRawChar(bits, uint8_t(c));
    for (int i = 0; i < 5; ++i) wrPutRawChar(bits, 0);
    wrPutRawChar(bits, version >= kVersionAC1015 ? 6 : 0);
    bits.putBits(0, 4);
    static constexpr uint8_t kR13[] = {0x18, 0x78, 0x01, 0x04};
    static constexpr uint8_t kR14[] = {0x18, 0x78, 0x01, 0x05};
    static constexpr uint8_t k2000[] = {0x10, 0x5C, 0x18, 0x78, 0x01, 0x06};
    const std::span<const uint8_t> fixed = version >= kVersionAC1015 ? std::span<const uint8_t>(k2000)
                                           : version == kVersionAC1014 ? std::span<const uint8_t>(kR14)
                                                                       : std::span<const uint8_t>(kR13);
    for (uint8_t b : fixed) wrPutRawChar(bits, b);
    const std::array<std::pair<uint32_t, uint32_t>, 6> locators = {{
        {s.headerVariablesStart, s.headerVariablesSize},
        {s.classesStart, s.classesSize},
        {s.objectMapStart, s.objectMapSize},
        {s.descriptorStart, kDescriptorSize},
        {s.recordsStart - uint32_t(kMeasurementBlockSize), 4},
        {97, 123},
    }};
    for (int i = 0; i < wrDwgLocatorCount(version); ++i) {
        wrPutRawChar(bits, uint8_t(i));
        wrPutBitLong(bits, int32_t(locators[size_t(i)].first));
        wrPutBitLong(bits, int32_t(locators[size_t(i)].second));
    }
    const std::array<Handle, 14> handles = {handseed,    controls[0], controls[1], controls[2], controls[3],
                                            controls[4], controls[5], controls[6], controls[7], controls[8],
                                            controls[9], namedObjectDictionary, mlineStyleDictionary,
                                            groupDictionary};
    wrPutBitShort(bits, uint16_t(handles.size()));
    for (size_t i = 0; i < handles.size(); ++i) {
        const Handle h = handles[i];
        const unsigned length = h.isNull() ? 0 : unsigned(8 - std::countl_zero(h.value) / 8);
        wrPutRawChar(bits, uint8_t(length));
        wrPutRawChar(bits, uint8_t(i));
        for (unsigned b = length; b > 0; --b) wrPutRawChar(bits, uint8_t(h.value >> (8 * (b - 1))));
    }
    const std::vector<uint8_t> data = bits.takeBytes();
    std::vector<uint8_t> bytes;
    appendLe(bytes, data.size() + (version >= kVersionAC1014 ? 14 : 6), 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    const uint16_t crc = wrCrc16(kCrcSeedRecords, bytes.data(), bytes.size());
    appendLe(bytes, crc, 2);
    // The filler after the CRC of R14 and 2000 files: zeros.
    if (version >= kVersionAC1014) bytes.insert(bytes.end(), 8, 0);
    return wrDwgPutFileBytes(output, dwg13::kSecondHeaderStart.data(), dwg13::kSentinelSize) &&
           wrDwgPutFileBytes(output, bytes.data(), bytes.size()) &&
           wrDwgPutFileBytes(output, dwg13::kSecondHeaderEnd.data(), dwg13::kSentinelSize);
}

int wrWriteImageSection(const Drawing& drawing, OutputContext& output) {
    Dwg13WriteState& s = *output.dwg13;
    s.imageStart = uint32_t(s.filePosition);
    struct Entry {
        uint8_t code;
        std::span<const uint8_t> data;
    };
    std::vector<Entry> entries;
    const std::array<uint8_t, kImageHeaderSize> header{};
    entries.push_back({dwg13::kImageEntryHeader, header});
    if (drawing.previewBitmap) entries.push_back({dwg13::kImageEntryBitmap, drawing.previewBitmap.bytes()});
    if (drawing.previewMetafile) entries.push_back({dwg13::kImageEntryMetafile, drawing.previewMetafile.bytes()});
    const uint32_t tableSize = 1 + 9 * uint32_t(entries.size());
    uint32_t dataSize = 0;
    for (const Entry& e : entries) dataSize += uint32_t(e.data.size());
    std::vector<uint8_t> head;
    appendLe(head, tableSize + dataSize, 4);
    head.push_back(uint8_t(entries.size()));
    uint32_t at = s.imageStart + uint32_t(dwg13::kSentinelSize) + 4 + tableSize;
    for (const Entry& e : entries) {
        head.push_back(e.code);
        appendLe(head, at, 4);
        appendLe(head, e.data.size(), 4);
        at += uint32_t(e.data.size());
    }
    if (!wrDwgPutFileBytes(output, dwg13::kImageStart.data(), dwg13::kSentinelSize) ||
        !wrDwgPutFileBytes(output, head.data(), head.size()))
        return 0;
    for (const Entry& e : entries) {
        for (size_t done = 0; done < e.data.size(); done += kImageCopyChunk) {
            const size_t n = std::min(kImageCopyChunk, e.data.size() - done);
            if (!wrDwgPutFileBytes(output, e.data.data() + done, n)) return 0;
        }
    }
    return wrDwgPutFileBytes(output, dwg13::kImageEnd.data(), dwg13::kSentinelSize);
}

int WriteDwgR13(Drawing& drawing, OutputContext& output) {
    Dwg13FileWriter writer(drawing, output);
    return writer.write();
}

} // namespace tracemill
