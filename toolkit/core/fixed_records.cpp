#include "toolkit/core/fixed_records.h"

#include <numbers>

#include "toolkit/core/block_name_index.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_release.h"

namespace tracemill {
namespace {

ObjectRecord newDictionary(Drawing& drawing, Handle handle) {
    ObjectRecord dictionary;
    dictionary.header.type = kObjectDictionary;
    dbInitObject(&drawing, dictionary);
    dictionary.header.handle = handle;
    dictionary.bodyAs<DictionaryBody>().hardOwner = 1;
    return dictionary;
}

void ownBy(ObjectRecord& object, Handle owner) {
    object.header.owner = owner;
    object.header.reactors = {owner};
}

int addSpaceBlock(Drawing& drawing, Handle& handle, Handle blockEntity, Handle endBlockEntity, std::string_view name,
                  uint8_t flags, uint32_t entityCount, EntityList*& spaceList) {
    if (handle.isNull()) handle = dbNewHandle(drawing);
    BlockNode node;
    node.record.owner = drawing.handles.blockControl;
    node.record.name = std::string(name);
    node.record.handle = handle;
    node.record.flags = flags;
    node.record.blockEntity = blockEntity;
    node.record.endBlockEntity = endBlockEntity;
    node.record.entityCount = entityCount;
    node.entityList.reset(new (std::nothrow) EntityList());
    if (!node.entityList) return dbReportError(kErrorNoMemoryForBlock, kErrorReasonNoMemory);
    node.record.entities = node.entityList.get();
    EntityList* list = node.entityList.get();
    if (!dbAddTableRecord(handle, drawing.handleIndex, std::move(node), &drawing.blocks, kInsertAtEnd, nullptr)) {
        return 0;
    }
    spaceList = list;
    return 1;
}

} // namespace

int dbAssignTableHandles(Drawing* drawing, const HandleSet* handleSet) {
    if (!drawing) return 0;
    DrawingHandles& h = drawing->handles;
    Handle* controls[] = {&h.blockControl, &h.layerControl, &h.styleControl, &h.linetypeControl, &h.viewControl,
                          &h.ucsControl,   &h.vportControl, &h.appIdControl, &h.dimStyleControl};
    if (handleSet) {
        for (int i = 0; i < 9; ++i) *controls[i] = (*handleSet)[size_t(i)];
        h.viewportEntityHeaderControl = (*handleSet)[kHandleSetViewportEntityHeaderControl];
        h.modelSpaceBlock = (*handleSet)[kHandleSetModelSpaceBlock];
        h.paperSpaceBlock = (*handleSet)[kHandleSetPaperSpaceBlock];
        return 1;
    }
    for (Handle* control : controls) *control = dbNewHandle(*drawing);
    h.modelSpaceBlock = dbNewHandle(*drawing);
    h.paperSpaceBlock = dbNewHandle(*drawing);
    h.viewportEntityHeaderControl = dbNewHandle(*drawing);
    return 1;
}

int dbCreateDefaultDictionaries(Drawing* drawing, HeaderBlock& header, const HandleSet* handleSet) {
    if (!drawing) return 0;
    Drawing& d = *drawing;
    const Handle namedObjects = dbHandleFromSet(d, handleSet, kHandleSetNamedObjectDictionary);
    const Handle groups = dbHandleFromSet(d, handleSet, kHandleSetGroupDictionary);
    const Handle mlineStyles = dbHandleFromSet(d, handleSet, kHandleSetMlineStyleDictionary);
    d.handles.namedObjectDictionary = namedObjects;
    d.handles.groupDictionary = groups;
    d.handles.mlineStyleDictionary = mlineStyles;

    ObjectRecord root = newDictionary(d, namedObjects);
    root.bodyAs<DictionaryBody>().entries = {{"ACAD_GROUP", groups}, {"ACAD_MLINESTYLE", mlineStyles}};
    ObjectRecord groupDictionary = newDictionary(d, groups);
    ownBy(groupDictionary, namedObjects);
    ObjectRecord styleDictionary = newDictionary(d, mlineStyles);
    ownBy(styleDictionary, namedObjects);
    bool added = dbAddObject(drawing, std::move(root)) && dbAddObject(drawing, std::move(groupDictionary));
    if (added) {
        const Handle standard = dbHandleFromSet(d, handleSet, kHandleSetStandardMlineStyle);
        styleDictionary.bodyAs<DictionaryBody>().entries = {{"Standard", standard}};
        ObjectRecord style;
        style.header.type = kObjectMlineStyle;
        dbInitObject(drawing, style);
        style.header.handle = standard;
        ownBy(style, mlineStyles);
        MlineStyleBody& body = style.bodyAs<MlineStyleBody>();
        body.name = "Standard";
        body.fillColour = 256;
        body.startAngle = std::numbers::pi / 2;
        body.endAngle = std::numbers::pi / 2;
        body.elements = {{0.5, 256, kMlineLinetypeByLayer}, {-0.5, 256, kMlineLinetypeByLayer}};
        header.current.cmlstyle = standard;
        added = dbAddObject(drawing, std::move(styleDictionary)) && dbAddObject(drawing, std::move(style));
    }
    if (added) return 1;
    const int error = dbGetError();
    dbFreeObjectList(drawing);
    return dbSetError(error);
}

int dbCreateSpaceBlocks(Drawing* drawing, Handle& modelSpaceBlock, Handle& paperSpaceBlock,
                        Handle modelSpaceBlockEntity, Handle paperSpaceBlockEntity, Handle modelSpaceEndBlockEntity,
                        Handle paperSpaceEndBlockEntity, std::string_view modelSpaceName,
                        std::string_view paperSpaceName, uint8_t modelSpaceFlags, uint8_t paperSpaceFlags) {
    if (!drawing) return 0;
    Drawing& d = *drawing;
    EntityList* const formerModelSpace = d.modelSpace;
    if (!addSpaceBlock(d, modelSpaceBlock, modelSpaceBlockEntity, modelSpaceEndBlockEntity, modelSpaceName,
                       modelSpaceFlags, d.modelSpaceEntityCount, d.modelSpace)) {
        return 0;
    }
    if (!addSpaceBlock(d, paperSpaceBlock, paperSpaceBlockEntity, paperSpaceEndBlockEntity, paperSpaceName,
                       paperSpaceFlags, d.paperSpaceEntityCount, d.paperSpace)) {
        const int error = dbGetError();
        dbBlockDelete(drawing, modelSpaceBlock);
        d.modelSpace = formerModelSpace;
        return dbSetError(error);
    }
    dbMarkBlockIndexStale(drawing);
    return 1;
}

} // namespace tracemill
