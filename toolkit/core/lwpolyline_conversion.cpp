#include "toolkit/core/lwpolyline_conversion.h"

#include "toolkit/core/entity_types.h"

namespace tracemill {
namespace {

constexpr int16_t kPolylineClosed = 1;
constexpr int16_t kPolylineContinuousLinetype = 128;

bool isLwpolyline(const Drawing& drawing, const EntityRecord& entity) {
    const uint16_t lwpolyline = dbClassLwpolyline(drawing.classes);
    return lwpolyline != 0 && entity.header.type == lwpolyline && entity.body.holds<LwpolylineBody>();
}

} // namespace

void dbLwpolyToPolylineHeader(const EntityRecord& lwpolyline, EntityRecord& polyline) {
    polyline.header = lwpolyline.header;
    polyline.header.type = kEntityPolyline;
    PolylineBody body;
    if (const auto* source = lwpolyline.body.getIf<LwpolylineBody>()) {
        const int16_t flags = source->flags;
        // Bit 8 only says whether a file stores the elevation; one it does not store is 0.
        body.elevation = source->elevation;
        if (flags & kLwpolylineConstantWidth) {
            body.defaultStartWidth = source->constantWidth;
            body.defaultEndWidth = source->constantWidth;
        }
        if (flags & kLwpolylineClosed) body.flags |= kPolylineClosed;
        if (flags & kLwpolylineContinuousLinetype) body.flags |= kPolylineContinuousLinetype;
    }
    polyline.body = body;
}

void dbInitVertexRecord(const EntityHeader& polyline, EntityRecord& vertex) {
    vertex.header = polyline;
    vertex.header.type = kEntityVertex;
    vertex.header.handle = Handle();
    vertex.header.extensionDictionary = Handle();
    vertex.header.reactors.clear();
    vertex.header.xdata.reset();
    vertex.header.xdataSize = 0;
    vertex.body = VertexBody{};
}

void dbLwpolyVertex(const LwpolylineVertex& source, const LwpolylineBody& lwpolyline, double defaultStartWidth,
                    double defaultEndWidth, VertexBody& out) {
    const int16_t flags = lwpolyline.flags;
    out.point = {source.point.x, source.point.y, 0.0};
    out.bulge = (flags & kLwpolylineHasBulges) ? source.bulge : 0.0;
    out.startWidth = (flags & kLwpolylineHasWidths) ? source.startWidth : 0.0;
    out.endWidth = (flags & kLwpolylineHasWidths) ? source.endWidth : 0.0;
    const bool constant = (flags & kLwpolylineConstantWidth) != 0;
    out.hasStartWidth = !constant && out.startWidth != defaultStartWidth;
    out.hasEndWidth = !constant && out.endWidth != defaultEndWidth;
}

int dbReserveLwpolyHandles(Drawing* drawing, LwpolyConversion& conversion) {
    if (!drawing) return 0;
    return dbReserveLwpolyHandles(*drawing, drawing->handleSeed, conversion);
}

int dbReserveLwpolyHandles(const Drawing& drawing, Handle& seed, LwpolyConversion& conversion) {
    const uint16_t lwpolyline = dbClassLwpolyline(drawing.classes);
    if (lwpolyline == 0) return 1;
    uint64_t count = 0;
    for (const BlockNode& block : drawing.blocks) {
        if (!block.entityList) continue;
        for (const EntityNode& node : *block.entityList) {
            if (node.record.header.type != lwpolyline) continue;
            if (const auto* body = node.record.body.getIf<LwpolylineBody>()) count += body->vertices.size() + 1;
        }
    }
    conversion = LwpolyConversion{};
    // Without an LWPOLYLINE nothing is reserved and the seed stays.
    if (count == 0) return 1;
    conversion.counter = Handle(seed.value + 1);
    conversion.end = Handle(conversion.counter.value + count);
    seed = Handle(seed.value + count + 2);
    return 1;
}

int dbReserveConversionHandles(LwpolyConversion& conversion, uint32_t count) {
    if (count == 0 || conversion.counter.isNull() || conversion.end.value - conversion.counter.value < count) return 0;
    conversion.first = conversion.counter;
    conversion.last = dbHandleAdd(conversion.first, count - 1);
    conversion.counter = dbHandleAdd(conversion.last, 1);
    return 1;
}

int dbWriteLwpolyAsPolyline(Drawing* drawing, int16_t outputVersion, LwpolyConversion& conversion,
                            const EntityRecord& entity, const EntityWriteFunction& write) {
    if (!drawing) return 0;
    if (outputVersion >= kFirstVersionWithLwpolyline || !isLwpolyline(*drawing, entity)) return write(entity);
    const LwpolylineBody& lwpolyline = entity.bodyAs<LwpolylineBody>();
    if (!dbReserveConversionHandles(conversion, uint32_t(lwpolyline.vertices.size() + 1))) return 0;

    EntityRecord polyline;
    dbLwpolyToPolylineHeader(entity, polyline);
    if (!write(polyline)) return 0;
    const PolylineBody& widths = polyline.bodyAs<PolylineBody>();
    EntityRecord record;
    dbInitVertexRecord(polyline.header, record);
    Handle handle = conversion.first;
    for (const LwpolylineVertex& vertex : lwpolyline.vertices) {
        dbLwpolyVertex(vertex, lwpolyline, widths.defaultStartWidth, widths.defaultEndWidth,
                       record.bodyAs<VertexBody>());
        record.header.handle = handle;
        if (!write(record)) return 0;
        dbHandleIncrement(handle);
    }
    record.header.type = kEntitySequenceEnd;
    record.header.handle = handle;
    record.body = EntityBody{};
    return write(record);
}

} // namespace tracemill
