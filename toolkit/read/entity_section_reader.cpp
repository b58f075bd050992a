#include "toolkit/read/entity_section_reader.h"

#include <string>
#include <string_view>
#include <unordered_map>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/format_driver.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_access.h"
#include "toolkit/core/default_records.h"
#include "toolkit/read/entity_passes.h"
#include "toolkit/read/load_session.h"

namespace tracemill {
namespace {

inline constexpr uint8_t kVertexPolyfaceFace = 128;
// POLYLINE flags of the kinds that are no 2D polyline: 3D polyline, 3D mesh, polyface mesh.
inline constexpr int16_t kPolylineNot2d = 8 | 16 | 64;

std::string upperName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return out;
}

void rememberLast(NameLookupCache& cache, std::string_view name, Handle handle) {
    cache.lastName.assign(name);
    cache.lastHandle = handle;
}

// Remembers a name found in its table, by its upper-case form and by this spelling.
void rememberFound(NameLookupCache& cache, std::string_view name, std::string&& upper, Handle handle) {
    cache.byUpperName.emplace(std::move(upper), handle);
    cache.bySpelling.emplace(std::string(name), handle);
    rememberLast(cache, name, handle);
}

// The table record of a name, compared without case, remembered for the next entity that names
// it.
template <class List>
Handle findByName(const List& list, NameLookupCache& cache, std::string_view name) {
    if (!cache.lastHandle.isNull() && name == cache.lastName) return cache.lastHandle;
    if (auto spelt = cache.bySpelling.find(name); spelt != cache.bySpelling.end()) {
        rememberLast(cache, name, spelt->second);
        return spelt->second;
    }
    std::string key = upperName(name);
    auto found = cache.byUpperName.find(key);
    if (found != cache.byUpperName.end()) {
        const Handle handle = found->second;
        cache.bySpelling.emplace(std::string(name), handle);
        rememberLast(cache, name, handle);
        return handle;
    }
    Handle handle;
    table::findByName(list, name, handle);
    if (!handle.isNull()) rememberFound(cache, name, std::move(key), handle);
    return handle;
}

// The record at a position of a table (before R13 records are named by position).
template <class List>
Handle atPosition(const List& list, int32_t index) {
    int32_t i = 0;
    for (const auto& node : list) {
        if (i++ == index) return node.record.handle;
    }
    return Handle();
}

Handle layerOf(Drawing& drawing, LoadSession& session, const std::string& name) {
    Handle handle = findByName(drawing.layers, session.layerCache, name);
    if (!handle.isNull()) return handle;
    LayerRecord layer;
    dbInitLayerRecord(drawing, layer);
    layer.name = name;
    layer.handle = dbNewHandle(drawing);
    if (!dbLayerAdd(&drawing, layer)) return dbFirstRecordHandle(drawing.layers);
    rememberFound(session.layerCache, name, upperName(name), layer.handle);
    return layer.handle;
}

void resolveStyleFields(Drawing& drawing, LoadSession& session, EntityRecord& entity) {
    const EntityReferences& refs = session.entityRefs;
    const bool dxf = drawing.sourceFormat != SourceFormat::Dwg;
    if (refs.hasTextStyle) {
        Handle style;
        if (dxf && !refs.textStyle.empty()) style = findByName(drawing.styles, session.styleCache, refs.textStyle);
        if (!dxf && refs.textStyleIndex >= 0) style = atPosition(drawing.styles, refs.textStyleIndex);
        if (style.isNull()) style = dbFirstRecordHandle(drawing.styles);
        entity.body.visit([&](auto& body) {
            using Body = std::decay_t<decltype(body)>;
            if constexpr (std::is_base_of_v<TextFields, Body> || std::is_same_v<Body, MtextBody> ||
                          std::is_same_v<Body, RtextBody> || std::is_same_v<Body, ArcAlignedTextBody>) {
                body.style = style;
            }
        });
    }
    if (refs.hasDimStyle && dxf) {
        Handle style;
        if (!refs.dimStyle.empty()) style = findByName(drawing.dimStyles, session.dimStyleCache, refs.dimStyle);
        entity.body.visit([&](auto& body) {
            using Body = std::decay_t<decltype(body)>;
            if constexpr (std::is_same_v<Body, DimensionBody> || std::is_same_v<Body, LeaderBody> ||
                          std::is_same_v<Body, ToleranceBody>) {
                body.dimensionStyle = style;
            }
        });
    }
    if (refs.hasBlock && dxf) {
        Handle block;
        if (!refs.block.empty()) dbBlockFindByName(&drawing, refs.block, block);
        if (InsertBody* insert = entity.body.getIf<InsertBody>()) insert->block = block;
        if (DimensionBody* dimension = entity.body.getIf<DimensionBody>()) dimension->block = block;
    }
}

// The sequence of a POLYLINE (its VERTEX entities and SEQEND) or an INSERT with attributes (its
// SEQEND): what the entities of the sequence take from the entity that opened it.
void followSequence(LoadSession& session, EntityRecord& entity) {
    EntitySequence& sequence = session.sequence;
    EntityHeader& header = entity.header;
    const uint8_t paper = header.flags & kEntityInPaperSpace;
    auto takeSpace = [&] { header.flags = uint8_t((header.flags & ~kEntityInPaperSpace) | sequence.paperSpace); };
    switch (header.type) {
    case kEntityPolyline:
        sequence = {EntitySequence::Polyline, session.entityRefs.layer, header.colour, paper};
        break;
    case kEntityInsert:
        sequence.state = EntitySequence::Insert;
        sequence.paperSpace = paper;
        break;
    case kEntityVertex:
        if (sequence.state != EntitySequence::Polyline) break;
        if (const VertexBody* vertex = entity.body.getIf<VertexBody>(); !vertex || !(vertex->flags & kVertexPolyfaceFace)) {
            header.colour = sequence.colour;
        }
        takeSpace();
        break;
    case kEntitySequenceEnd:
        if (sequence.state == EntitySequence::Polyline) {
            session.entityRefs.layer = sequence.layer;
            header.colour = sequence.colour;
            takeSpace();
        } else if (sequence.state == EntitySequence::Insert) {
            takeSpace();
        }
        sequence.state = EntitySequence::None;
        break;
    default:
        break;
    }
}

// A VERTEX without a width of its own takes the default width of its 2D POLYLINE, as the
// vertices of R13-2000 DWG files hold it, so that a wide polyline reads alike from every format.
// The vertex's flags still tell that the width is not its own.
void takePolylineWidths(LoadSession& session, EntityRecord& entity) {
    PolylineWidths& widths = session.polylineWidths;
    switch (entity.header.type) {
    case kEntityPolyline: {
        const PolylineBody* polyline = entity.body.getIf<PolylineBody>();
        widths.open = polyline && !(polyline->flags & kPolylineNot2d);
        if (widths.open) {
            widths.start = polyline->defaultStartWidth;
            widths.end = polyline->defaultEndWidth;
        }
        break;
    }
    case kEntityVertex:
        if (VertexBody* vertex = entity.body.getIf<VertexBody>(); widths.open && vertex) {
            if (!vertex->hasStartWidth) vertex->startWidth = widths.start;
            if (!vertex->hasEndWidth) vertex->endWidth = widths.end;
        }
        break;
    default:
        widths.open = false;  // the SEQEND, or any other entity, ends the sequence
        break;
    }
}

void resolveDxfReferences(Drawing& drawing, LoadSession& session, EntityRecord& entity) {
    followSequence(session, entity);
    const EntityReferences& refs = session.entityRefs;
    entity.header.layer = layerOf(drawing, session, refs.layer);
    Handle linetype;
    if (!refs.linetype.empty()) linetype = findByName(drawing.linetypes, session.linetypeCache, refs.linetype);
    entity.header.linetype = linetype.isNull() ? drawing.handles.byLayerLinetype : linetype;
}

void resolveIndexedReferences(Drawing& drawing, LoadSession& session, EntityRecord& entity) {
    const EntityReferences& refs = session.entityRefs;
    if (refs.layerIndex >= 0) {
        if (refs.layerIndex != session.lastLayerIndex) {
            session.lastLayerIndex = refs.layerIndex;
            session.lastLayer = atPosition(drawing.layers, refs.layerIndex);
        }
        entity.header.layer = session.lastLayer;
    }
    if (refs.linetypeIndex == kLinetypeIndexByLayer) {
        entity.header.linetype = drawing.handles.byLayerLinetype;
    } else if (refs.linetypeIndex == kLinetypeIndexByBlock) {
        entity.header.linetype = drawing.handles.byBlockLinetype;
    } else if (refs.linetypeIndex >= 0) {
        if (refs.linetypeIndex != session.lastLinetypeIndex) {
            session.lastLinetypeIndex = refs.linetypeIndex;
            session.lastLinetype = atPosition(drawing.linetypes, refs.linetypeIndex);
        }
        entity.header.linetype = session.lastLinetype;
    }
}

} // namespace

int rdReadEntities(Drawing& drawing, EntityList* modelList, EntityList* paperList, bool assignNewHandles,
                   bool blockMode) {
    LoadSession& session = *drawing.load;
    FormatDriver& driver = *drawing.driver;
    const bool dxf = drawing.sourceFormat != SourceFormat::Dwg;
    EntityRecord entity;
    uint8_t hasXData = 0;
    do {
        entity = EntityRecord{};
        hasXData = 0;
        session.entityRefs.reset();
        session.entitySkipped = false;
        if (!driver.readEntity(drawing, entity, hasXData)) return 0;
    } while (session.entitySkipped);
    if (blockMode) entity.header.flags &= uint8_t(~kEntityInPaperSpace);

    if (assignNewHandles || (dxf && entity.header.handle.isNull())) entity.header.handle = dbNewHandle(drawing);

    const uint16_t kind = entity.header.type;
    if (session.openMode == 2 && kind < 32 && gSystemContext && (gSystemContext->droppedEntityKinds >> kind) & 1u) {
        return kind;
    }

    if (dxf || drawing.versionIndex < kVersionAC1012) takePolylineWidths(session, entity);
    if (dxf) resolveDxfReferences(drawing, session, entity);
    else resolveIndexedReferences(drawing, session, entity);
    resolveStyleFields(drawing, session, entity);

    if (hasXData && !driver.attachExtendedData(drawing, entity.header.xdata)) {
        session.loadError = kErrorEntityXDataNotCopied;
        return 0;
    }

    EntityList* target = (entity.header.flags & kEntityInPaperSpace) ? paperList : modelList;
    if (!rdAddLoadedEntity(drawing, target, std::move(entity))) return 0;
    return kind;
}

} // namespace tracemill
