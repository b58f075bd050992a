#include "toolkit/read/dwg13_reader.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "toolkit/core/block_name_index.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/viewport_index.h"
#include "toolkit/read/dwg13_classes_section.h"
#include "toolkit/read/dwg13_file_layout.h"
#include "toolkit/read/dwg13_header_section.h"
#include "toolkit/read/dwg13_preview.h"
#include "toolkit/read/dwg13_record_reader.h"
#include "toolkit/read/file_recognition.h"
#include "toolkit/read/load_session.h"
#include "toolkit/read/xdata_refs.h"

namespace tracemill {
namespace {

// The stage error of the header when the header section cannot be read.
constexpr int kErrorHeader = 22;

constexpr std::array<uint16_t, kDwgControlCount> kControlTypes = {
    kDwgTypeBlockControl, kDwgTypeLayerControl, kDwgTypeStyleControl,    kDwgTypeLinetypeControl,
    kDwgTypeViewControl,  kDwgTypeUcsControl,   kDwgTypeVportControl,    kDwgTypeAppIdControl,
    kDwgTypeDimStyleControl, kDwgTypeViewportEntityHeaderControl,
};

// The viewport entity headers whose VIEWPORT is recorded, and the first of them counted for the
// viewport numbers.
constexpr size_t kRecordedViewports = 49;
constexpr size_t kNumberedViewports = 16;

HandleList nonNull(const HandleList& handles) {
    HandleList kept;
    kept.reserve(handles.size());
    for (Handle h : handles)
        if (!h.isNull()) kept.push_back(h);
    return kept;
}

} // namespace

int Dwg13Reader::openHeader(Drawing& drawing) {
    const int version = rdDwgVersionIndex(file_, acceptAc1013_);
    if (version < 0) return 0;
    if (version < kVersionAC1012) return dbSetError(kErrorDwgUnknownVersion);
    if (!drawing.header) drawing.header = std::make_unique<HeaderBlock>();
    HeaderBlock& header = *drawing.header;
    dbInitHeader(header);
    drawing.versionIndex = int16_t(version);
    drawing.sourceFormat = SourceFormat::Dwg;

    if (!rdDwg13ReadFileHeader(file_, version, fileHeader_)) return 0;
    if (!rdDwg13ReadHeaderSection(file_, fileHeader_, header, headerHandles_)) return dbSetError(kErrorHeader);

    const Dwg13HeaderHandles& x = headerHandles_;
    const bool controlsPresent =
        std::none_of(x.controls.begin(), x.controls.end(), [](Handle h) { return h.isNull(); });
    if (!controlsPresent || x.namedObjectDictionary.isNull() || x.modelSpaceBlock.isNull() ||
        x.paperSpaceBlock.isNull() || x.byLayerLinetype.isNull() || x.byBlockLinetype.isNull())
        return dbSetError(kErrorDwgControlMissing);
    DrawingHandles& d = drawing.handles;
    d.blockControl = x.controls[kDwgControlBlock];
    d.layerControl = x.controls[kDwgControlLayer];
    d.styleControl = x.controls[kDwgControlStyle];
    d.linetypeControl = x.controls[kDwgControlLinetype];
    d.viewControl = x.controls[kDwgControlView];
    d.ucsControl = x.controls[kDwgControlUcs];
    d.vportControl = x.controls[kDwgControlVport];
    d.appIdControl = x.controls[kDwgControlAppId];
    d.dimStyleControl = x.controls[kDwgControlDimStyle];
    d.viewportEntityHeaderControl = x.controls[kDwgControlViewportEntityHeader];
    d.groupDictionary = x.groupDictionary;
    d.mlineStyleDictionary = x.mlineStyleDictionary;
    d.namedObjectDictionary = x.namedObjectDictionary;
    d.layoutDictionary = x.layoutDictionary;
    d.plotSettingsDictionary = x.plotSettingsDictionary;
    d.plotStyleDictionary = x.plotStyleDictionary;
    d.modelSpaceBlock = x.modelSpaceBlock;
    d.paperSpaceBlock = x.paperSpaceBlock;
    d.byLayerLinetype = x.byLayerLinetype;
    d.byBlockLinetype = x.byBlockLinetype;
    drawing.handleSeed = header.handseed;

    if (!rdDwg13ReadPreview(file_, fileHeader_.imagePosition, drawing.previewBitmap, drawing.previewMetafile))
        return 0;

    objects_.reset(file_, version);
    rdReadObjectMap(file_, fileHeader_.locators[dwg13::kLocatorObjectMap].position, objects_.map());
    rdDwg13ReadClasses(file_, fileHeader_, classes_);
    objects_.setClasses(classes_);
    nextClass_ = 0;
    for (const ClassEntry& entry : classes_)
        if (dbEqualsNoCase(entry.dxfName, "SYMBOL_TABLE_RECORD")) symbolTableRecordClass_ = entry.number;
    entityRecords_ = 0;
    for (const ObjectMapEntry& entry : objects_.map().entries())
        if (objects_.isEntityType(objects_.peekType(entry.position))) ++entityRecords_;

    readControls(drawing);
    readSpaceBlocks(drawing);
    entityState_ = Dwg13EntityReaderState();
    entityState_.drawing = &drawing;
    entityState_.continuousLinetype = x.continuousLinetype;
    // R13 and later files always carry handles.
    if (LoadSession* session = rdLoadSession(drawing)) session->handlesEnabled = true;
    return 1;
}

// Reads the ten table-control objects: the number of records each table announces and the
// handles its pass walks. A control that cannot be read leaves its table empty.
int Dwg13Reader::readControls(Drawing& drawing) {
    AnnouncedCounts& counts = drawing.announced;
    counts = AnnouncedCounts();
    for (size_t i = 0; i < kDwgControlCount; ++i) {
        TableWalk& walk = tables_[i];
        walk = TableWalk();
        Dwg13ControlObject control;
        if (rdDwg13ReadControl(objects_, headerHandles_.controls[i], kControlTypes[i], control) !=
            Dwg13ReadStatus::Read) {
            ++skipped_;
            continue;
        }
        walk.handles = nonNull(control.entries);
        // BYBLOCK and BYLAYER follow the LTYPE entries: their pass reads them too and keeps
        // their handles.
        if (i == kDwgControlLinetype)
            for (Handle extra : nonNull(control.extras))
                walk.handles.push_back(extra);
    }
    const auto size = [&](Dwg13ControlIndex i) { return int32_t(tables_[i].handles.size()); };
    counts.blocks = size(kDwgControlBlock);
    counts.layers = size(kDwgControlLayer);
    counts.styles = size(kDwgControlStyle);
    counts.linetypes = size(kDwgControlLinetype);
    counts.views = size(kDwgControlView);
    counts.ucss = size(kDwgControlUcs);
    counts.vports = size(kDwgControlVport);
    counts.appIds = size(kDwgControlAppId);
    counts.dimStyles = size(kDwgControlDimStyle);
    counts.classes = int32_t(classes_.size());
    return 1;
}

// The block records of the two spaces, read by handle: their names and handles for the layout
// blocks, and the ends of their entity chains.
int Dwg13Reader::readSpaceBlocks(Drawing& drawing) {
    auto read = [&](Handle handle, BlockRecord& record, Dwg13BlockLinks& links) {
        record = BlockRecord();
        links = Dwg13BlockLinks();
        uint8_t hasXData = 0;
        if (rdDwg13ReadBlockHeader(objects_, handle, record, links, hasXData) != Dwg13ReadStatus::Read) {
            ++skipped_;
            record.handle = handle;
        }
    };
    read(headerHandles_.modelSpaceBlock, modelSpace_, modelLinks_);
    read(headerHandles_.paperSpaceBlock, paperSpace_, paperLinks_);
    DrawingHandles& d = drawing.handles;
    d.modelSpaceBlockEntity = modelLinks_.blockEntity;
    d.modelSpaceEndBlockEntity = modelLinks_.endBlockEntity;
    d.paperSpaceBlockEntity = paperLinks_.blockEntity;
    d.paperSpaceEndBlockEntity = paperLinks_.endBlockEntity;
    return 1;
}

bool Dwg13Reader::nextHandle(TableWalk& walk, Handle& out) {
    if (walk.next >= walk.handles.size()) return false;
    out = walk.handles[walk.next++];
    return true;
}

template <class Record, class Read> int Dwg13Reader::readNextRecord(TableWalk& walk, Record& record, Read read) {
    Handle handle;
    while (nextHandle(walk, handle)) {
        if (read(handle) == Dwg13ReadStatus::Read) return 1;
        // A record that cannot be read or holds another kind of object is passed over.
        ++skipped_;
    }
    record.endOfTable = 1;
    return 1;
}

int Dwg13Reader::seekLinetypes(Drawing&) {
    tables_[kDwgControlLinetype].next = 0;
    return 1;
}

int Dwg13Reader::readLinetype(Drawing&, LinetypeRecord& record, uint8_t& hasXData) {
    return readNextRecord(tables_[kDwgControlLinetype], record,
                          [&](Handle h) { return rdDwg13ReadLinetype(objects_, h, record, hasXData); });
}

int Dwg13Reader::seekLayers(Drawing&) {
    tables_[kDwgControlLayer].next = 0;
    return 1;
}

int Dwg13Reader::readLayer(Drawing&, LayerRecord& record, LinetypeReference&, uint8_t& hasXData) {
    return readNextRecord(tables_[kDwgControlLayer], record,
                          [&](Handle h) { return rdDwg13ReadLayer(objects_, h, record, hasXData); });
}

int Dwg13Reader::seekClasses(Drawing&) {
    nextClass_ = 0;
    return 1;
}

int Dwg13Reader::readClass(Drawing&, ClassEntry& entry) {
    if (nextClass_ >= classes_.size()) return 0;
    entry = classes_[nextClass_++];
    return 1;
}

int Dwg13Reader::seekVports(Drawing&) {
    tables_[kDwgControlVport].next = 0;
    return 1;
}

int Dwg13Reader::readVport(Drawing&, VportRecord& record, uint8_t& hasXData) {
    return readNextRecord(tables_[kDwgControlVport], record,
                          [&](Handle h) { return rdDwg13ReadVport(objects_, h, record, hasXData); });
}

int Dwg13Reader::seekUcss(Drawing&) {
    tables_[kDwgControlUcs].next = 0;
    return 1;
}

int Dwg13Reader::readUcs(Drawing&, UcsRecord& record, uint8_t& hasXData) {
    return readNextRecord(tables_[kDwgControlUcs], record,
                          [&](Handle h) { return rdDwg13ReadUcs(objects_, h, record, hasXData); });
}

int Dwg13Reader::seekAppIds(Drawing&) {
    tables_[kDwgControlAppId].next = 0;
    return 1;
}

int Dwg13Reader::readAppId(Drawing&, AppIdRecord& record, uint8_t& hasXData) {
    return readNextRecord(tables_[kDwgControlAppId], record, [&](Handle h) {
        return rdDwg13ReadAppId(objects_, h, symbolTableRecordClass_, record, hasXData);
    });
}

int Dwg13Reader::seekViews(Drawing&) {
    tables_[kDwgControlView].next = 0;
    return 1;
}

int Dwg13Reader::readView(Drawing&, ViewRecord& record, uint8_t& hasXData) {
    return readNextRecord(tables_[kDwgControlView], record,
                          [&](Handle h) { return rdDwg13ReadView(objects_, h, record, hasXData); });
}

int Dwg13Reader::seekStyles(Drawing&) {
    tables_[kDwgControlStyle].next = 0;
    return 1;
}

int Dwg13Reader::readStyle(Drawing&, StyleRecord& record, uint8_t& hasXData) {
    return readNextRecord(tables_[kDwgControlStyle], record,
                          [&](Handle h) { return rdDwg13ReadStyle(objects_, h, record, hasXData); });
}

int Dwg13Reader::seekBlockRecords(Drawing&) {
    tables_[kDwgControlBlock].next = 0;
    return 1;
}

int Dwg13Reader::readBlockRecord(Drawing&, BlockRecord& record, uint8_t& hasXData) {
    return readNextRecord(tables_[kDwgControlBlock], record, [&](Handle h) {
        Dwg13BlockLinks links;
        const Dwg13ReadStatus status = rdDwg13ReadBlockHeader(objects_, h, record, links, hasXData);
        if (status == Dwg13ReadStatus::Read) blocks_[record.handle.value] = {links, record.basePoint, record.xrefPath};
        return status;
    });
}

// A dimension arrow block of an R13 or R14 file, named as its name with a leading "_" or as the
// name itself; none for an empty name or a block the drawing lacks.
Handle Dwg13Reader::blockByArrowName(Drawing& drawing, const std::string& name) {
    Handle found;
    if (name.empty()) return found;
    if (dbBlockIndexNeedsRebuild(&drawing, drawing.blocks.count)) dbRebuildBlockNameIndex(&drawing);
    if (dbFindBlockInIndex(&drawing, "_" + name, found)) return found;
    if (dbFindBlockInIndex(&drawing, name, found)) return found;
    return Handle();
}

int Dwg13Reader::seekDimStyles(Drawing&) {
    tables_[kDwgControlDimStyle].next = 0;
    return 1;
}

int Dwg13Reader::readDimStyle(Drawing& drawing, DimStyleRecord& record, uint8_t& hasXData) {
    Dwg13DimStyleExtras extras;
    const int result = readNextRecord(tables_[kDwgControlDimStyle], record, [&](Handle h) {
        return rdDwg13ReadDimStyle(objects_, h, record, extras, hasXData);
    });
    if (!record.endOfTable && drawing.versionIndex < kVersionAC1015) {
        record.dimblk = blockByArrowName(drawing, extras.arrowNames[0]);
        record.dimblk1 = blockByArrowName(drawing, extras.arrowNames[1]);
        record.dimblk2 = blockByArrowName(drawing, extras.arrowNames[2]);
    }
    return result;
}

int Dwg13Reader::seekViewportEntities(Drawing&) {
    TableWalk& walk = viewportHeaders_;
    walk = TableWalk();
    walk.handles = tables_[kDwgControlViewportEntityHeader].handles;
    firstViewportHeader_ = true;
    // The chain of headers from the first one, each naming its VIEWPORT; a chain that loops back
    // ends there. Files link the headers loosely (the first is often a header of no VIEWPORT
    // whose next handle is null), so the chain goes on with the headers of the control that it
    // has not reached, in the control's order. Headers of no VIEWPORT take no place in it.
    viewportChain_.clear();
    unlinkedHeader_ = Handle();
    std::unordered_set<uint64_t> seen;
    for (Handle start : walk.handles) {
        for (Handle at = start; !at.isNull() && viewportChain_.size() < kRecordedViewports && seen.insert(at.value).second;) {
            ViewportEntityHeaderRecord header;
            uint8_t hasXData = 0;
            if (rdDwg13ReadViewportEntityHeader(objects_, at, header, hasXData) != Dwg13ReadStatus::Read) break;
            if (!header.viewport.isNull())
                viewportChain_.push_back({header.viewport, header.on != 0});
            else if (unlinkedHeader_.isNull())
                unlinkedHeader_ = at;
            at = header.next;
        }
    }
    return 1;
}

int Dwg13Reader::readViewportEntity(Drawing&, ViewportEntityHeaderRecord& record) {
    uint8_t hasXData = 0;
    const int result = readNextRecord(viewportHeaders_, record, [&](Handle h) {
        return rdDwg13ReadViewportEntityHeader(objects_, h, record, hasXData);
    });
    if (record.endOfTable) return result;
    record.viewportNumber = 0;
    if (!firstViewportHeader_ && record.on) {
        const size_t numbered = std::min(viewportChain_.size(), kNumberedViewports);
        const auto end = viewportChain_.begin() + ptrdiff_t(numbered);
        const auto found = std::find_if(viewportChain_.begin(), end,
                                        [&](const ChainedViewport& v) { return v.viewport == record.viewport; });
        record.viewportNumber = found == end ? -1 : int16_t(1 + (found - viewportChain_.begin()));
    }
    firstViewportHeader_ = false;
    return result;
}

int Dwg13Reader::readLayoutBlockRecords(Drawing& drawing, BlockRecord& model, BlockRecord& paper, uint8_t& found) {
    model = modelSpace_;
    paper = paperSpace_;
    // Their extended data becomes stored items like every other record's.
    for (BlockRecord* record : {&model, &paper})
        if (record->xdata && !attachExtendedData(drawing, record->xdata)) return 0;
    model.blockEntity = modelLinks_.blockEntity;
    model.endBlockEntity = modelLinks_.endBlockEntity;
    paper.blockEntity = paperLinks_.blockEntity;
    paper.endBlockEntity = paperLinks_.endBlockEntity;
    found = uint8_t((model.handle.isNull() ? 0 : 1) | (paper.handle.isNull() ? 0 : 2));
    return 1;
}

int Dwg13Reader::loadViewports(Drawing& drawing) {
    if (!drawing.paperSpace) return 1;
    seekViewportEntities(drawing);
    drawing.handles.viewportEntityHeader = unlinkedHeader_;
    int16_t number = 0;
    EntityNode* first = nullptr;
    for (const ChainedViewport& chained : viewportChain_) {
        ++number;
        EntityNode* node = dbLookupNode(drawing, *drawing.paperSpace, chained.viewport);
        ViewportBody* body = node ? node->record.body.getIf<ViewportBody>() : nullptr;
        if (!body) continue;
        body->id = number;
        body->status = chained.on ? number : 0;
        if (number == 1) first = node;
    }
    // The paper-space viewport itself stands first in the viewport index.
    if (first) dbViewportIndexMoveFirst(drawing, first);
    return 1;
}

int Dwg13Reader::seekSpaceEntities(Drawing& drawing) {
    walk_.startSpaces(paperLinks_.firstEntity, paperLinks_.lastEntity, modelLinks_.firstEntity,
                      modelLinks_.lastEntity);
    entitiesRead_ = 0;
    entityState_.blockBasePoint = Point3{};
    entityState_.blockXrefPath.clear();
    ClassList& classes = drawing.classes;
    classes.isEntity.assign(classes.entries.size(), 0);
    for (size_t i = 0; i < classes.entries.size(); ++i)
        classes.isEntity[i] = classes.entries[i].itemClassId == kClassOfEntities ? 1 : 0;
    return 1;
}

int Dwg13Reader::seekBlockEntities(Drawing& drawing) {
    if (drawing.load) currentBlock_ = drawing.load->currentBlock;
    const auto found = blocks_.find(currentBlock_.value);
    if (found == blocks_.end()) {
        walk_.startBlock(Handle(), Handle(), Handle(), Handle());
        return 1;
    }
    const BlockPlace& place = found->second;
    walk_.startBlock(place.links.blockEntity, place.links.firstEntity, place.links.lastEntity,
                     place.links.endBlockEntity);
    entityState_.blockBasePoint = place.basePoint;
    entityState_.blockXrefPath = place.xrefPath;
    return 1;
}

int Dwg13Reader::readEntity(Drawing&, EntityRecord& entity, uint8_t& hasXData) {
    for (;;) {
        const Handle handle = walk_.next();
        if (handle.isNull()) return 0;
        const bool paper = walk_.inPaperSpace();
        Dwg13EntityLinks links;
        if (!rdDwg13ReadEntity(objects_, handle, entityState_, entity, links, hasXData)) {
            ++skipped_;
            walk_.chainBroken();
            continue;
        }
        walk_.advance(handle, entity.header.type, links);
        if (paper) entity.header.flags |= kEntityInPaperSpace;
        ++entitiesRead_;
        return 1;
    }
}

EntityRangePosition Dwg13Reader::entityRangePosition(Drawing&) {
    EntityRangePosition position;
    position.position = entitiesRead_;
    position.end = std::max(entityRecords_, entitiesRead_);
    return position;
}

int Dwg13Reader::attachExtendedData(Drawing& drawing, OwnedStream& xdata) {
    return rdConvertXDataRefs(drawing, RawXDataForm::DwgR13, xdata);
}

int Dwg13Reader::seekObjects(Drawing& drawing) {
    // The named object dictionary first, then every record of the map that no pass has read yet
    // in handle order; nextObjectCode passes over those that hold no object.
    objectList_.clear();
    nextObject_ = 0;
    objectList_.push_back(headerHandles_.namedObjectDictionary);
    std::vector<Handle> handles;
    handles.reserve(objects_.map().size());
    for (const ObjectMapEntry& entry : objects_.map().entries()) handles.push_back(entry.handle);
    std::sort(handles.begin(), handles.end());
    handles.erase(std::unique(handles.begin(), handles.end()), handles.end());
    for (Handle handle : handles) {
        if (handle == headerHandles_.namedObjectDictionary) continue;
        if (dbHandleTreeFind(drawing.handleIndex, handle)) continue;
        objectList_.push_back(handle);
    }
    return 1;
}

uint16_t Dwg13Reader::nextObjectCode(Drawing& drawing) {
    while (nextObject_ < objectList_.size()) {
        const Handle handle = objectList_[nextObject_++];
        if (dbHandleTreeFind(drawing.handleIndex, handle)) continue;
        uint32_t position = 0;
        if (!rdLocateObjectByHandle(objects_.map(), handle, position)) continue;
        if (rdDwg13ObjectKind(objects_, objects_.peekType(position), drawing.classes) == 0) continue;
        pendingObject_ = ObjectRecord();
        if (rdDwg13ReadObject(objects_, handle, drawing.classes, pendingObject_, pendingHasXData_) !=
            Dwg13ReadStatus::Read) {
            ++skipped_;
            continue;
        }
        return pendingObject_.header.type;
    }
    return kNoMoreObjects;
}

int Dwg13Reader::readDictionary(Drawing&, ObjectRecord& object, uint8_t& hasXData) {
    object = std::move(pendingObject_);
    hasXData = pendingHasXData_;
    return 1;
}

int Dwg13Reader::readMlineStyle(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) {
    return readDictionary(drawing, object, hasXData);
}

int Dwg13Reader::readGroup(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) {
    return readDictionary(drawing, object, hasXData);
}

int Dwg13Reader::readClassObject(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) {
    return readDictionary(drawing, object, hasXData);
}

} // namespace tracemill
