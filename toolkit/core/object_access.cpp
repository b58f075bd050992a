#include "toolkit/core/object_access.h"

#include <type_traits>

#include "toolkit/core/entity_types.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

ObjectBody dbDefaultObjectBody(const Drawing& drawing, uint16_t type) {
    switch (type) {
    case kObjectDictionary:
        return DictionaryBody{};
    case kObjectMlineStyle:
        return MlineStyleBody{};
    case kObjectGroup:
        return GroupBody{};
    default:
        break;
    }
    ClassKind kind;
    if (!dbIsClassNumber(type) || !dbClassKindByNumber(drawing.classes, type, kind)) {
        ProxyObjectBody proxy;
        proxy.classNumber = type;
        return proxy;
    }
    switch (kind) {
    case ClassKind::Xrecord:
        return XrecordBody{};
    case ClassKind::IdBuffer:
        return IdBufferBody{};
    case ClassKind::DictionaryVar:
        return DictionaryVarBody{};
    case ClassKind::ImageDef:
        return ImageDefBody{};
    case ClassKind::ImageDefReactor:
        return ImageDefReactorBody{};
    case ClassKind::RasterVariables:
        return RasterVariablesBody{};
    case ClassKind::SpatialFilter:
        return SpatialFilterBody{};
    case ClassKind::SortentsTable:
        return SortentsTableBody{};
    case ClassKind::LayerIndex:
        return LayerIndexBody{};
    case ClassKind::SpatialIndex:
        return SpatialIndexBody{};
    case ClassKind::ObjectPtr:
        return ObjectPtrBody{};
    case ClassKind::DictionaryWithDefault:
        return DictionaryWithDefaultBody{};
    case ClassKind::Placeholder:
        return PlaceholderBody{};
    case ClassKind::Layout:
        return LayoutBody{};
    case ClassKind::VbaProject:
        return VbaProjectBody{};
    case ClassKind::WipeoutVariables:
        return WipeoutVariablesBody{};
    case ClassKind::PlotSettings:
        return PlotSettingsBody{};
    case ClassKind::DimAssoc:
        return DimAssocBody{};
    default: {
        ProxyObjectBody proxy;
        proxy.classNumber = type;
        return proxy;
    }
    }
}

int dbInitObject(Drawing* drawing, ObjectRecord& object) {
    const uint16_t type = object.header.type;
    object.header = ObjectHeader{};
    object.header.type = type;
    object.body = drawing ? dbDefaultObjectBody(*drawing, type) : ObjectBody{};
    return 1;
}

void dbMarkClassUsed(ClassList& classes, uint16_t classNumber) {
    ClassKind kind;
    if (!dbIsClassNumber(classNumber) || !dbClassKindByNumber(classes, classNumber, kind)) return;
    ClassEntry entry;
    if (!dbFindClassByName(classes, dbClassKindDxfName(kind), entry)) return;
    if ((uint16_t(entry.proxyFlags) & kClassNotInUse) == 0) return;
    entry.proxyFlags = int16_t(uint16_t(entry.proxyFlags) & ~kClassNotInUse);
    dbReplaceClass(classes, entry);
}

int dbAddObject(Drawing* drawing, ObjectRecord object) {
    if (!drawing) return 0;
    const Handle handle = object.header.handle;
    const uint16_t type = object.header.type;
    if (!dbAddTableRecord(handle, drawing->handleIndex, ObjectNode(std::move(object)), &drawing->objects,
                          kInsertAtEnd, nullptr)) {
        return 0;
    }
    dbMarkClassUsed(drawing->classes, type);
    return 1;
}

int dbObjectRewind(Drawing* drawing) {
    if (!drawing) return 0;
    dbListRewind(&drawing->objects);
    return 1;
}

int32_t dbObjectCount(Drawing* drawing) { return drawing ? dbListCount(&drawing->objects) : 0; }

int dbObjectRead(Drawing* drawing, ObjectRecord& out) {
    ObjectNode* node = drawing ? dbListReadNextNode(&drawing->objects) : nullptr;
    if (!node) return 0;
    out = node->record;
    return 1;
}

int dbObjectGet(Drawing* drawing, Handle handle, ObjectRecord& out) {
    if (!drawing) return 0;
    ObjectNode* node = dbLookupNode(*drawing, drawing->objects, handle);
    if (!node) return 0;
    dbListSeek(&drawing->objects, node);
    return dbObjectRead(drawing, out);
}

ObjectRecord* dbFindStoredObject(Drawing* drawing, Handle handle) {
    ObjectNode* node = drawing ? dbLookupNode(*drawing, drawing->objects, handle) : nullptr;
    return node ? &node->record : nullptr;
}

ObjectRecord* dbNamedObjectDictionary(Drawing& drawing) {
    if (!drawing.objects.first) return nullptr;
    ObjectRecord& first = ObjectList::asNode(drawing.objects.first)->record;
    return first.header.type == kObjectDictionary ? &first : nullptr;
}

int dbUpdateObject(Drawing* drawing, const ObjectRecord& object) {
    ObjectRecord* stored = dbFindStoredObject(drawing, object.header.handle);
    if (!stored) return dbSetError(kErrorObjectNotFound);
    if (stored->header.type != object.header.type) return dbSetError(kErrorObjectKindChanged);
    *stored = object;
    return 1;
}

int dbFreeObjectData(Drawing*, ObjectRecord& object) {
    object.header.xdata.reset();
    object.header.reactors = {};
    object.body.visit([](auto& body) {
        using Body = std::decay_t<decltype(body)>;
        if constexpr (std::is_same_v<Body, DictionaryBody> || std::is_same_v<Body, DictionaryWithDefaultBody> ||
                      std::is_same_v<Body, LayerIndexBody> || std::is_same_v<Body, SortentsTableBody>) {
            body.entries = {};
        } else if constexpr (std::is_same_v<Body, MlineStyleBody>) {
            body.elements = {};
        } else if constexpr (std::is_same_v<Body, GroupBody>) {
            body.members = {};
        } else if constexpr (std::is_same_v<Body, IdBufferBody>) {
            body.ids = {};
        } else if constexpr (std::is_same_v<Body, SpatialFilterBody>) {
            body.boundary = {};
        } else if constexpr (std::is_same_v<Body, XrecordBody> || std::is_same_v<Body, ObjectPtrBody> ||
                             std::is_same_v<Body, VbaProjectBody>) {
            body.data.reset();
        } else if constexpr (std::is_same_v<Body, SpatialIndexBody>) {
            body.data.reset();
            body.furtherBits.reset();
        } else if constexpr (std::is_same_v<Body, ProxyObjectBody>) {
            body.data.reset();
            body.references = {};
        }
    });
    return 1;
}

int dbDeleteObject(Drawing* drawing, Handle handle) {
    dbSetError(0);
    ObjectNode* node = drawing ? dbLookupNode(*drawing, drawing->objects, handle) : nullptr;
    if (!node) return dbSetError(kErrorObjectNotFound);
    if (!dbListUnlinkOne(&drawing->objects, node)) return dbSetError(kErrorObjectNotUnlinked);
    dbHandleTreeRemove(drawing->handleIndex, handle);
    ObjectList::freeNode(node);
    return 1;
}

} // namespace tracemill
