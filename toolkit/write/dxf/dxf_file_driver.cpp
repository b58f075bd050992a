#include "toolkit/write/dxf/dxf_file_driver.h"

#include <string>

#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/lwpolyline_conversion.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/write/byte_output.h"
#include "toolkit/write/dxf/dxf_entity_writer.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/dxf/dxf_header_writer.h"
#include "toolkit/write/dxf/dxf_names.h"
#include "toolkit/write/dxf/dxf_objects_writer.h"
#include "toolkit/write/dxf/dxf_tables_writer.h"
#include "toolkit/write/dxf/dxf_xdata_writer.h"

namespace tracemill {
namespace {

int progress(OutputContext& output, int percent) {
    if (percent != output.lastProgress) {
        output.lastProgress = percent;
        dbReportSaveProgress(percent);
    }
    return 1;
}

bool isLayoutBlock(const Drawing& drawing, Handle handle) {
    return handle == drawing.handles.modelSpaceBlock || handle == drawing.handles.paperSpaceBlock;
}

bool startsWithPaperSpace(const std::string& name) { return dbCompareNoCaseN(name, "*PAPER_SPACE", 12) == 0; }

class DxfFileWriter {
public:
    DxfFileWriter(Drawing& drawing, OutputContext& output) : d_(drawing), o_(output), v_(output.versionIndex) {}

    int prepare(int16_t realSwitch, int16_t decimalPlaces, int16_t entitySwitch, bool reserveHandles);
    // The handles of the BLOCK and ENDBLK of every block that is written without its own, and of
    // entities without a handle.
    void noteBlockFrameHandles();
    std::pair<Handle, Handle> frameHandles(const BlockRecord& record) const;
    // $HANDSEED: the handle after the largest one the file carries (not the drawing's seed, which
    // also counts records that DXF does not carry, so that a file read back and saved again
    // carries the same seed).
    Handle nextHandleOfTheFile() const;
    // The handle of a table's control object, or the one given for the save.
    Handle tableHandle(std::string_view name, Handle control) const {
        const auto found = o_.tableHandles.find(std::string(name));
        return found == o_.tableHandles.end() ? control : found->second;
    }
    int writeOld(uint8_t oldDxfFlag);
    int writeR13();

private:
    bool entitiesOnly() const { return gSystemContext && gSystemContext->dxfOutputMode == kDxfEntitiesOnly; }
    int section(std::string_view name) { return wrDxfString(o_, 0, "SECTION") && wrDxfString(o_, 2, name); }
    int endSection() { return wrDxfString(o_, 0, "ENDSEC"); }

    template <class List, class Write>
    int table(std::string_view name, Handle control, const List& list, Write write, bool xdata);
    int linetypeTable();
    int blockRecordTable();
    int tables();
    int classes();
    int blocks(int first, int last);
    int block(const BlockNode& node, int32_t position, bool paperSpace);
    int entities(int first, int last);
    int entityList(const EntityList* list, int first, int last);
    int end();

    Drawing& d_;
    OutputContext& o_;
    int16_t v_;
};

int DxfFileWriter::prepare(int16_t realSwitch, int16_t decimalPlaces, int16_t entitySwitch, bool reserveHandles) {
    dbClearHeaderNameRefs(&d_);
    DxfNumberFormats(o_, realSwitch, decimalPlaces, entitySwitch);
    o_.numbers.angleTolerance = o_.numbers.zeroThreshold * (3.141592653589793 / 180.0);
    wrIndexRecordPositions(d_, o_);
    if (reserveHandles && dbClassLwpolyline(d_.classes) != 0) {
        if (!dbReserveLwpolyHandles(&d_, o_.lwpolyConversion)) return 0;
    }
    if (v_ >= kVersionAC1012) noteBlockFrameHandles();
    o_.header.handseed = nextHandleOfTheFile();
    o_.entitiesToWrite = 0;
    if (d_.modelSpace) o_.entitiesToWrite += dbListCount(d_.modelSpace);
    if (d_.paperSpace) o_.entitiesToWrite += dbListCount(d_.paperSpace);
    return 1;
}

std::pair<Handle, Handle> DxfFileWriter::frameHandles(const BlockRecord& record) const {
    const auto found = o_.blockFrameHandles.find(record.handle.value);
    if (found != o_.blockFrameHandles.end()) return found->second;
    if (record.handle == d_.handles.modelSpaceBlock)
        return {d_.handles.modelSpaceBlockEntity, d_.handles.modelSpaceEndBlockEntity};
    if (record.handle == d_.handles.paperSpaceBlock)
        return {d_.handles.paperSpaceBlockEntity, d_.handles.paperSpaceEndBlockEntity};
    return {record.blockEntity, record.endBlockEntity};
}

void DxfFileWriter::noteBlockFrameHandles() {
    for (const BlockNode& node : d_.blocks) {
        const EntityList* list = isLayoutBlock(d_, node.record.handle) ? nullptr : node.entityList.get();
        const auto* first = list && list->first ? static_cast<const EntityNode*>(list->first) : nullptr;
        const auto* last = list && list->last ? static_cast<const EntityNode*>(list->last) : nullptr;
        if (first && first->record.header.type == kEntityBlock && last != first &&
            last->record.header.type == kEntityEndBlock) {
            continue;
        }
        std::pair<Handle, Handle> frame = frameHandles(node.record);
        if (!frame.first.isNull() && !frame.second.isNull()) continue;
        if (frame.first.isNull()) frame.first = dbNewHandle(d_);
        if (frame.second.isNull()) frame.second = dbNewHandle(d_);
        o_.blockFrameHandles[node.record.handle.value] = frame;
    }
    const std::pair<const char*, Handle> controls[] = {
        {"VPORT", d_.handles.vportControl},     {"LTYPE", d_.handles.linetypeControl},
        {"LAYER", d_.handles.layerControl},     {"STYLE", d_.handles.styleControl},
        {"VIEW", d_.handles.viewControl},       {"UCS", d_.handles.ucsControl},
        {"APPID", d_.handles.appIdControl},     {"DIMSTYLE", d_.handles.dimStyleControl},
        {"BLOCK_RECORD", d_.handles.blockControl}};
    for (const auto& [name, handle] : controls) o_.tableHandles[name] = handle.isNull() ? dbNewHandle(d_) : handle;
    // Stored entities have handles (a load gives one to every entity without), but for the BLOCK
    // and ENDBLK that frame a block read from a file before R13.
    for (const BlockNode& node : d_.blocks) {
        if (!node.entityList || isLayoutBlock(d_, node.record.handle)) continue;
        for (const ListLink* link : {node.entityList->first, node.entityList->last}) {
            const auto* entity = static_cast<const EntityNode*>(link);
            if (entity && entity->record.header.handle.isNull() && !o_.entityHandles.count(&entity->record))
                o_.entityHandles[&entity->record] = dbNewHandle(d_);
        }
    }
}

Handle DxfFileWriter::nextHandleOfTheFile() const {
    const bool r13 = v_ >= kVersionAC1012;
    if (!r13 && o_.header.handling == 0) return o_.header.handseed;  // the fixed handle of a file without handles
    uint64_t largest = 0;
    auto note = [&](Handle handle) { largest = std::max(largest, handle.value); };
    auto entities = [&](const EntityList* list, bool inBlock) {
        if (!list || !wrDxfWritesEntityHandle(o_, inBlock)) return;
        if (r13) {  // every entity is written
            for (const EntityNode& entity : *list) note(entity.record.header.handle);
            return;
        }
        for (const EntityNode& entity : *list) {
            if (wrEntityWritable(d_, v_, entity.record)) note(entity.record.header.handle);
        }
    };
    std::vector<const BlockNode*> written;
    for (Handle layout : {d_.handles.modelSpaceBlock, d_.handles.paperSpaceBlock}) {
        if (const BlockNode* node = dbLookupBlock(d_, layout)) written.push_back(node);
    }
    for (const void* ordered : o_.blockOrder) written.push_back(static_cast<const BlockNode*>(ordered));
    // From R13 on every entity of the written lists is in the file: when the largest handle of
    // the drawing is the last entity of one of them, no entity list needs to be walked (the
    // handles given for the save are not in the drawing's index and are noted below).
    bool walkEntities = true;
    if (r13) {
        const Handle top = d_.handleIndex.largest();
        for (const BlockNode* block : written) {
            const EntityList* list = block->entityList.get();
            const auto* last = list && list->last ? static_cast<const EntityNode*>(list->last) : nullptr;
            if (!top.isNull() && last && last->record.header.handle == top) {
                note(top);
                walkEntities = false;
                break;
            }
        }
    }
    for (const BlockNode* block : written) {
        const bool layout = isLayoutBlock(d_, block->record.handle);
        if (!r13 && layout) continue;  // its entities are those of the ENTITIES section
        if (r13) note(block->record.handle);
        if (wrDxfWritesEntityHandle(o_, true)) {
            const std::pair<Handle, Handle> frame = frameHandles(block->record);
            note(frame.first);
            note(frame.second);
        }
        if (walkEntities) entities(block->entityList.get(), !layout);
    }
    if (!r13) {
        entities(d_.modelSpace, false);
        entities(d_.paperSpace, false);
    }
    for (const auto& [record, handle] : o_.entityHandles) note(handle);
    const LwpolyConversion& run = o_.lwpolyConversion;
    if (run.end.value > run.counter.value) note(Handle(run.end.value - 1));
    if (r13) {
        auto table = [&](const auto& list) {
            for (const auto& node : list) {
                if (!node.record.deleted) note(node.record.handle);
            }
        };
        table(d_.layers);
        table(d_.linetypes);
        table(d_.styles);
        table(d_.views);
        table(d_.ucss);
        table(d_.vports);
        table(d_.appIds);
        table(d_.dimStyles);
        for (const ObjectNode& object : d_.objects) {
            if (wrDxfObjectIsWritten(d_, o_, object.record)) note(object.record.header.handle);
        }
        for (const auto& [name, handle] : o_.tableHandles) note(handle);
        const DrawingHandles& fixed = d_.handles;
        for (Handle control : {fixed.blockControl, fixed.layerControl, fixed.styleControl, fixed.linetypeControl,
                               fixed.viewControl, fixed.ucsControl, fixed.vportControl, fixed.appIdControl,
                               fixed.dimStyleControl, fixed.modelSpaceBlockEntity, fixed.modelSpaceEndBlockEntity,
                               fixed.paperSpaceBlockEntity, fixed.paperSpaceEndBlockEntity}) {
            note(control);
        }
    }
    return Handle(largest + 1);
}

// The records of a list that a table writes: those not marked deleted.
template <class List> int32_t liveRecords(const List& list) {
    int32_t count = 0;
    for (const auto& node : list) count += node.record.deleted ? 0 : 1;
    return count;
}

// Writes every record of the list that is not marked deleted through `write(record, number)`,
// numbered by position from `first` (names are numbered by position, so a deleted record keeps
// its number); records `skip` names are neither written nor numbered. 1, or 0 on a failure.
template <class List, class Skip, class Write>
int writeLiveRecords(const List& list, int32_t first, Skip skip, Write write) {
    int32_t number = first;
    for (const auto& node : list) {
        if (skip(node.record)) continue;
        const int32_t position = number++;
        if (!node.record.deleted && !write(node.record, position)) return 0;
    }
    return 1;
}

constexpr auto kNoRecordSkipped = [](const auto&) { return false; };

template <class List, class Write>
int DxfFileWriter::table(std::string_view name, Handle control, const List& list, Write write, bool xdata) {
    if (!DxfTableHead(o_, name, tableHandle(name, control), liveRecords(list))) return 0;
    return writeLiveRecords(list, 0, kNoRecordSkipped, [&](const auto& record, int32_t number) {
               if (!write(d_, o_, record, number)) return 0;
               // A text style keeps its place when its extended data names no application.
               if (xdata && record.xdata && !DxfXDataWriter(d_, o_, record.xdata))
                   return name == "STYLE" && dbGetError() == kErrorNoSuchAppId ? 1 : 0;
               return 1;
           }) &&
           DxfTableEnd(o_);
}

// BYBLOCK first as number 0, BYLAYER as number 1 (from R13 on), then every other linetype;
// before R13 the two are left out and the others numbered from 2.
int DxfFileWriter::linetypeTable() {
    const Handle byBlock = d_.handles.byBlockLinetype;
    const Handle byLayer = d_.handles.byLayerLinetype;
    auto special = [&](const LinetypeRecord& r) {
        return r.handle == byBlock || r.handle == byLayer || dbEqualsNoCase(r.name, "BYLAYER") ||
               dbEqualsNoCase(r.name, "BYBLOCK");
    };
    int32_t count = 0;
    for (const auto& node : d_.linetypes) {
        if (!special(node.record) && !node.record.deleted) ++count;
    }
    const bool r13 = v_ >= kVersionAC1012;
    const auto* byBlockNode = byBlock.isNull() ? nullptr : dbLookupNode(d_, d_.linetypes, byBlock);
    const auto* byLayerNode = byLayer.isNull() ? nullptr : dbLookupNode(d_, d_.linetypes, byLayer);
    if (r13) count += (byBlockNode != nullptr) + (byLayerNode != nullptr);
    if (!DxfTableHead(o_, "LTYPE", tableHandle("LTYPE", d_.handles.linetypeControl), count)) return 0;
    auto write = [&](const LinetypeRecord& record, int32_t number) -> int {
        if (!DxfLtypeRecord(d_, o_, record, number)) return 0;
        return !r13 || !record.xdata || DxfXDataWriter(d_, o_, record.xdata) ? 1 : 0;
    };
    if (r13) {
        if (byBlockNode && !write(byBlockNode->record, 0)) return 0;
        if (byLayerNode && !write(byLayerNode->record, 1)) return 0;
    }
    progress(o_, r13 ? 12 : 10);
    return writeLiveRecords(d_.linetypes, 2, special, write) && DxfTableEnd(o_);
}

int DxfFileWriter::blockRecordTable() {
    const BlockNode* model = dbLookupBlock(d_, d_.handles.modelSpaceBlock);
    const BlockNode* paper = dbLookupBlock(d_, d_.handles.paperSpaceBlock);
    std::vector<const BlockNode*> records;
    if (model) records.push_back(model);
    if (paper) records.push_back(paper);
    for (const void* ordered : o_.blockOrder) {
        const auto* node = static_cast<const BlockNode*>(ordered);
        if (v_ < kVersionAC1015 && startsWithPaperSpace(node->record.name)) continue;
        records.push_back(node);
    }
    if (!DxfTableHead(o_, "BLOCK_RECORD", tableHandle("BLOCK_RECORD", d_.handles.blockControl),
                      int32_t(records.size()))) {
        return 0;
    }
    for (const BlockNode* node : records) {
        const BlockRecord& record = node->record;
        const int32_t position = wrRecordPosition(o_, record.handle);
        std::string name;
        if (node == model || node == paper) {
            name = record.name;
        } else if (dbEqualsNoCase(record.name, "*PAPER_SPACE")) {
            name = record.name + std::to_string(position);
        } else {
            name = wrRenumberedBlockName(record.name, position);
        }
        if (!DxfBlockRecordRecord(d_, o_, record, name, position)) return 0;
        if (record.xdata && !DxfXDataWriter(d_, o_, record.xdata)) return 0;
    }
    return DxfTableEnd(o_);
}

int DxfFileWriter::tables() {
    const bool r13 = v_ >= kVersionAC1012;
    if (!section("TABLES")) return 0;
    if (v_ >= kVersionAC1006 &&
        !table("VPORT", d_.handles.vportControl, d_.vports, DxfVportRecord, r13)) {
        return 0;
    }
    progress(o_, r13 ? 8 : 5);
    if (!linetypeTable()) return 0;
    progress(o_, r13 ? 16 : 10);
    if (!table("LAYER", d_.handles.layerControl, d_.layers, DxfLayerRecord, r13)) return 0;
    progress(o_, r13 ? 20 : 15);
    if (!table("STYLE", d_.handles.styleControl, d_.styles, DxfStyleRecord, r13)) return 0;
    progress(o_, r13 ? 24 : 20);
    if (r13) {
        if (!table("VIEW", d_.handles.viewControl, d_.views, DxfViewRecord, true)) return 0;
    } else {
        // Files before R13 announce no count in the VIEW table head.
        if (!DxfTableHead(o_, "VIEW", Handle(), 0)) return 0;
        auto write = [&](const ViewRecord& record, int32_t number) { return DxfViewRecord(d_, o_, record, number); };
        if (!writeLiveRecords(d_.views, 0, kNoRecordSkipped, write) || !DxfTableEnd(o_)) return 0;
    }
    progress(o_, r13 ? 28 : 25);
    if (v_ >= kVersionAC1006 && !table("UCS", d_.handles.ucsControl, d_.ucss, DxfUcsRecord, r13)) return 0;
    progress(o_, r13 ? 32 : 30);
    if (v_ >= kVersionAC1009 && !table("APPID", d_.handles.appIdControl, d_.appIds, DxfAppidRecord, r13)) return 0;
    progress(o_, r13 ? 36 : 35);
    if (v_ >= kVersionAC1009 &&
        !table("DIMSTYLE", d_.handles.dimStyleControl, d_.dimStyles, DxfDimstyleRecord, r13)) {
        return 0;
    }
    if (r13) {
        progress(o_, 40);
        if (!blockRecordTable()) return 0;
        progress(o_, 44);
    }
    return endSection();
}

int DxfFileWriter::classes() {
    if (!section("CLASSES")) return 0;
    for (const ClassEntry& entry : d_.classes.entries) {
        if (!DxfClassWriter(o_, entry)) return 0;
    }
    return endSection() && progress(o_, 4);
}

// The block's BLOCK entity, its entities and its ENDBLK. A block whose list does not begin
// with its BLOCK (a layout block, an external reference) gets them from its record.
int DxfFileWriter::block(const BlockNode& node, int32_t position, bool paperSpace) {
    const BlockRecord& record = node.record;
    DxfCurrentBlock& current = o_.currentBlock;
    current.name = isLayoutBlock(d_, record.handle) ? record.name : wrRenumberedBlockName(record.name, position);
    current.flags = record.flags;
    if (v_ >= kVersionAC1014 && record.overlay) current.flags |= kBlockOverlay;
    current.number = position;
    current.description = record.description;
    current.xrefPath = record.xrefPath;
    current.xrefState = record.xrefState;
    current.isPaperSpace = record.handle == d_.handles.paperSpaceBlock;
    // The block's own BLOCK and ENDBLK frame its entities; one the list lacks is made from the
    // record, and a BLOCK or ENDBLK inside the list (damaged input) is passed over, so that every
    // BLOCK of the file has its ENDBLK.
    const EntityList* list = isLayoutBlock(d_, record.handle) ? nullptr : node.entityList.get();
    const EntityNode* begin = list && list->first ? static_cast<const EntityNode*>(list->first) : nullptr;
    const EntityNode* end = list && list->last ? static_cast<const EntityNode*>(list->last) : nullptr;
    if (begin && begin->record.header.type != kEntityBlock) begin = nullptr;
    if (end && (end->record.header.type != kEntityEndBlock || end == begin)) end = nullptr;
    EntityRecord frame;
    frame.header.layer = dbFirstRecordHandle(d_.layers);
    if (paperSpace) frame.header.flags |= kEntityInPaperSpace;
    if (begin) {
        if (!DxfEntityWriter(d_, o_, begin->record)) return 0;
    } else {
        frame.header.type = kEntityBlock;
        frame.header.handle = frameHandles(record).first;
        frame.body = BlockBeginBody{record.name, record.basePoint, record.xrefPath};
        if (!DxfEntityWriter(d_, o_, frame)) return 0;
    }
    if (list) {
        for (const EntityNode& entity : *list) {
            const uint16_t type = entity.record.header.type;
            if (type == kEntityBlock || type == kEntityEndBlock) continue;
            if (!wrDxfEntity(d_, o_, entity.record)) return 0;
        }
    }
    if (end) return DxfEntityWriter(d_, o_, end->record);
    frame.header.type = kEntityEndBlock;
    frame.header.handle = frameHandles(record).second;
    frame.body = EntityBody{};
    return DxfEntityWriter(d_, o_, frame);
}

int DxfFileWriter::blocks(int first, int last) {
    const bool r13 = v_ >= kVersionAC1012;
    if (!section("BLOCKS")) return 0;
    o_.inBlock = true;
    if (r13) {
        for (Handle layout : {d_.handles.modelSpaceBlock, d_.handles.paperSpaceBlock}) {
            const BlockNode* node = dbLookupBlock(d_, layout);
            if (node && !block(*node, wrRecordPosition(o_, layout), layout == d_.handles.paperSpaceBlock)) return 0;
        }
        progress(o_, 48);
    }
    const int32_t count = int32_t(o_.blockOrder.size());
    for (const void* ordered : o_.blockOrder) {
        const BlockNode& node = *static_cast<const BlockNode*>(ordered);
        const int32_t position = wrRecordPosition(o_, node.record.handle);
        if (v_ < kVersionAC1015 && startsWithPaperSpace(node.record.name)) continue;
        if (!block(node, position, false)) return 0;
        progress(o_, first + (last - first) * position / std::max(count, 1));
    }
    o_.inBlock = false;
    return endSection() && progress(o_, last);
}

int DxfFileWriter::entityList(const EntityList* list, int first, int last) {
    if (!list) return 1;
    for (const EntityNode& node : *list) {
        const uint16_t type = node.record.header.type;
        if (type == kEntityBlock || type == kEntityEndBlock) continue;  // damaged input
        if (!wrDxfEntity(d_, o_, node.record)) return 0;
        if (++o_.entitiesWritten % 10 == 0 && gSystemContext && gSystemContext->saveProgress) {
            const int percent = std::min(100, o_.entitiesWritten * 100 / std::max(o_.entitiesToWrite, 1)) / 5 * 5;
            progress(o_, first + (last - first) * percent / 100);
        }
    }
    return 1;
}

int DxfFileWriter::entities(int first, int last) {
    if (!section("ENTITIES")) return 0;
    o_.entitiesWritten = 0;
    return entityList(d_.paperSpace, first, last) && entityList(d_.modelSpace, first, last) && endSection();
}

int DxfFileWriter::end() {
    if (!wrDxfString(o_, 0, "EOF")) return 0;
    return wrCloseOutput(o_);
}

int DxfFileWriter::writeOld(uint8_t oldDxfFlag) {
    if (!entitiesOnly()) {
        if (!DxfHeaderWriter(d_, o_, oldDxfFlag) || !tables() || !blocks(40, 70)) return 0;
    }
    return entities(70, 100) && end();
}

int DxfFileWriter::writeR13() {
    if (!entitiesOnly()) {
        if (!DxfHeaderWriter(d_, o_, 1) || !classes() || !tables() || !blocks(50, 75)) return 0;
    }
    if (!entities(75, 100)) return 0;
    if (!section("OBJECTS")) return 0;
    for (const ObjectNode& node : d_.objects) {
        if (!DxfObjectWriter(d_, o_, node.record)) return 0;
    }
    return endSection() && end();
}

} // namespace

int wrDxfEntity(const Drawing& drawing, OutputContext& output, const EntityRecord& entity) {
    if (entity.header.type == kEntityShape) {
        const auto* shape = entity.body.getIf<ShapeBody>();
        if (!shape || shape->name.empty()) {
            dbReportWarning(kWarningShapeWithoutName);
            return 1;
        }
    }
    if (!wrEntityWritable(drawing, output.versionIndex, entity)) return 1;
    return dbWriteLwpolyAsPolyline(const_cast<Drawing*>(&drawing), output.versionIndex, output.lwpolyConversion,
                                   entity, [&](const EntityRecord& record) {
                                       return DxfEntityWriter(drawing, output, record);
                                   });
}

int WriteDxfOld(Drawing& drawing, OutputContext& output, uint8_t oldDxfFlag, int16_t realSwitch,
                int16_t decimalPlaces, int16_t entitySwitch) {
    DxfFileWriter writer(drawing, output);
    return writer.prepare(realSwitch, decimalPlaces, entitySwitch, true) && writer.writeOld(oldDxfFlag);
}

int WriteDxfR13(Drawing& drawing, OutputContext& output, int16_t realSwitch, int16_t decimalPlaces,
                int16_t entitySwitch) {
    DxfFileWriter writer(drawing, output);
    return writer.prepare(realSwitch, decimalPlaces, entitySwitch, output.versionIndex == kVersionAC1012) &&
           writer.writeR13();
}

} // namespace tracemill
