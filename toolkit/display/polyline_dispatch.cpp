// POLYLINE and LWPOLYLINE in the vectoriser: the vertices read and handed to the wide-polyline
// machine, the meshes handed to their drawers, the frame of a spline-fit polyline drawn again
// with SPLFRAME on.
#include <memory>
#include <new>
#include <vector>

#include "toolkit/core/display_entity_fetch.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/entity_vectoriser.h"
#include "toolkit/display/list_vectoriser.h"
#include "toolkit/display/polygon_mesh.h"
#include "toolkit/display/wide_polyline.h"

namespace tracemill {
namespace {

constexpr int16_t kPolylineClosed = 0x01;
constexpr int16_t kPolylineSplineFit = 0x04;
constexpr int16_t kPolyline3d = 0x08;
constexpr int16_t kPolylineMesh = 0x10;
constexpr int16_t kPolylinePolyface = 0x40;
constexpr int16_t kPolylineContinuousLinetype = 0x80;
constexpr uint8_t kVertexSplineFrame = 0x10;

// What a polyline keeps while its vertices are read over the record it was read into.
struct PolylineWork {
    PolylineBody body;
    EntityNode* node = nullptr;  // the POLYLINE itself, for a second pass
};

} // namespace

// Passes over the entities of a complex entity up to its SEQEND.
void ListVectoriser::skipSequence() {
    EntityRecord* buffer = gOutputHookTable->entityFetch ? &scratch_ : nullptr;
    if (buffer) {
        dbSkipToSeqend(drawing_, list_, *buffer);
        return;
    }
    while (const EntityRecord* entity = dbReadStoredEntity(list_)) {
        if (entity->header.type == kEntitySequenceEnd) return;
    }
}

// Reads the VERTEX entities of a 2D or 3D polyline up to its SEQEND into the context's vertex
// list: the curve's vertices, or with `frame` only the frame points of a spline-fit polyline.
// False after error 241.
bool ListVectoriser::readPolylineVertices(int16_t flags, double elevation, double startWidth, double endWidth,
                                          bool frame) {
    std::vector<PolylineVertex>& vertices = context_.polylineVertices;
    vertices.clear();
    if (!workBuffer(kErrorPolylineVertices)) return false;
    const bool threeD = (flags & kPolyline3d) != 0;
    while (const EntityRecord* vertex = fetch()) {
        if (vertex->header.type == kEntitySequenceEnd) break;
        if (vertex->header.type != kEntityVertex) continue;
        const VertexBody& v = vertex->bodyAs<VertexBody>();
        if (((v.flags & kVertexSplineFrame) != 0) != frame) continue;
        PolylineVertex added;
        added.point = {v.point.x, v.point.y, threeD ? v.point.z : elevation};
        if (!threeD && !frame) {
            added.bulge = v.bulge;
            added.startWidth = v.hasStartWidth ? v.startWidth : startWidth;
            added.endWidth = v.hasEndWidth ? v.endWidth : endWidth;
        }
        try {
            vertices.push_back(added);
        } catch (const std::bad_alloc&) {
            return fail(kErrorPolylineVertices);
        }
    }
    return true;
}

void ListVectoriser::drawPolylineMesh(const PolylineBody& body, const LinetypeRecord* linetype, int16_t faceColour) {
    // The mesh drawers take the entities that follow, up to and including the SEQEND.
    std::vector<EntityRecord> copies;
    std::vector<const EntityRecord*> following;
    const bool copied = gOutputHookTable->entityFetch != nullptr;
    try {
        while (const EntityRecord* entity = fetch()) {
            if (copied) copies.push_back(*entity);
            following.push_back(copied ? nullptr : entity);
            if (entity->header.type == kEntitySequenceEnd) break;
        }
    } catch (const std::bad_alloc&) {
        fail(kErrorPolylineVertices);
        return;
    }
    for (size_t i = 0; copied && i < following.size(); ++i) following[i] = &copies[i];
    if (body.flags & kPolylineMesh)
        genPolygonMesh(drawing_, body, following, matrices_.data(), linetype);
    else
        genPolyfaceMesh(drawing_, following, faceColour, matrices_.data(), linetype);
}

void ListVectoriser::drawPolyline(const ResolvedEntity& e, bool layerOff) {
    if (layerOff) {
        skipSequence();
        return;
    }
    std::unique_ptr<PolylineWork> work = dbNewObject<PolylineWork>();
    if (!work) {
        fail(kErrorPolylineWorkRecord);
        return;
    }
    work->body = e.entity->bodyAs<PolylineBody>();
    // The cursor stands behind the POLYLINE just read.
    ListLink* read = list_->current ? list_->current->previous : list_->last;
    work->node = read ? EntityList::asNode(read) : nullptr;
    const PolylineBody& body = work->body;
    const LinetypeRecord* linetype = plainLinetype(e.linetype) ? nullptr : e.linetype;
    const bool continuous = (body.flags & kPolylineContinuousLinetype) != 0;
    if (body.flags & (kPolylineMesh | kPolylinePolyface)) {
        context_.segmentRunEnd = continuous ? 0 : 1;
        drawPolylineMesh(body, linetype, int16_t(colour_));
        context_.segmentRunEnd = 1;
        return;
    }
    const uint8_t closed = (body.flags & kPolylineClosed) ? kWidePolylineClosed : 0;
    if (!readPolylineVertices(body.flags, body.elevation, body.defaultStartWidth, body.defaultEndWidth, false)) return;
    if (closed && !workBuffer(kErrorPolylineClosing)) return;
    genDrawWidePolyline(drawing_, context_.polylineVertices, closed, continuous, matrices_.data(), linetype);
    if (drawing_->header->splframe == 0 || !(body.flags & kPolylineSplineFit)) return;

    // The frame: the control points of the spline, in the default linetype.
    ListLink* after = list_->current;
    if (!work->node) return;
    dbListSeek(list_, work->node);
    fetch();
    if (readPolylineVertices(body.flags, body.elevation, 0.0, 0.0, true))
        genDrawWidePolyline(drawing_, context_.polylineVertices, closed, continuous, matrices_.data(), nullptr);
    dbListSeek(list_, after);
}

void ListVectoriser::drawLwpolyline(const EntityRecord& entity, const LinetypeRecord* linetype) {
    const LwpolylineBody& body = entity.bodyAs<LwpolylineBody>();
    std::unique_ptr<PolylineWork> work = dbNewObject<PolylineWork>();
    if (!work) {
        fail(kErrorPolylineWorkRecord);
        return;
    }
    std::vector<PolylineVertex>& vertices = context_.polylineVertices;
    vertices.clear();
    if (!workBuffer(kErrorPolylineVertices)) return;
    const bool constant = (body.flags & kLwpolylineConstantWidth) != 0;
    try {
        vertices.reserve(body.vertices.size());
    } catch (const std::bad_alloc&) {
        fail(kErrorPolylineVertices);
        return;
    }
    for (const LwpolylineVertex& v : body.vertices) {
        vertices.push_back({{v.point.x, v.point.y, body.elevation},
                            v.bulge,
                            constant ? body.constantWidth : v.startWidth,
                            constant ? body.constantWidth : v.endWidth});
    }
    const uint8_t closed = (body.flags & kLwpolylineClosed) ? kWidePolylineClosed : 0;
    if (closed && !workBuffer(kErrorPolylineClosing)) return;
    genDrawWidePolyline(drawing_, vertices, closed, (body.flags & kLwpolylineContinuousLinetype) != 0,
                        matrices_.data(), plainLinetype(linetype) ? nullptr : linetype);
}

} // namespace tracemill
