#include "toolkit/display/polygon_mesh.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/quad_outline.h"

namespace tracemill {

namespace {

constexpr uint8_t kVertexOfMesh = 64;
constexpr int16_t kMeshClosedInM = 0x01;
constexpr int16_t kMeshClosedInN = 0x20;

bool isVertex(const EntityRecord& entity) { return entity.header.type == kEntityVertex; }
bool isSequenceEnd(const EntityRecord& entity) { return entity.header.type == kEntitySequenceEnd; }

// The colour of a face record: its own, its layer's for BYLAYER, the default for BYBLOCK.
int32_t faceColour(Drawing* drawing, const EntityRecord& face, int16_t defaultColour) {
    int32_t colour = face.header.colour;
    if (colour == kColourByBlock) {
        colour = defaultColour;
    } else if (colour == kColourByLayer) {
        const auto* layer = dbLookupNode(*drawing, drawing->layers, face.header.layer);
        colour = layer ? layer->record.colour : 7;
    }
    return std::min(std::abs(colour), 255);
}

// The vertices of a polygon mesh, one after the other, up to the SEQEND.
class MeshVertices {
public:
    explicit MeshVertices(const std::vector<const EntityRecord*>& following) : following_(following) {}
    bool next(Point3& point) {
        while (at_ < following_.size()) {
            const EntityRecord& entity = *following_[at_++];
            if (isSequenceEnd(entity)) {
                at_ = following_.size();
                return false;
            }
            if (isVertex(entity)) {
                point = entity.bodyAs<VertexBody>().point;
                return true;
            }
        }
        return false;
    }

private:
    const std::vector<const EntityRecord*>& following_;
    size_t at_ = 0;
};

// Reads up to a row of vertices; the number read.
size_t readRow(MeshVertices& vertices, std::vector<Point3>& row) {
    size_t count = 0;
    while (count < row.size() && vertices.next(row[count])) ++count;
    return count;
}

} // namespace

int genPolyfaceMesh(Drawing* drawing, const std::vector<const EntityRecord*>& following, int16_t defaultColour,
                    const Matrix4* matrices, const LinetypeRecord* linetype) {
    if (!drawing || !drawing->displayContext || !drawing->header) return 1;
    size_t end = 0;
    size_t vertexCount = 0;
    for (; end < following.size() && !isSequenceEnd(*following[end]); ++end) {
        const EntityRecord& entity = *following[end];
        if (isVertex(entity) && (entity.bodyAs<VertexBody>().flags & kVertexOfMesh)) ++vertexCount;
    }
    // Vertex numbers count from 1: place 0 is a placeholder.
    std::vector<Point3> vertices;
    if (!dbTryResize(vertices, vertexCount + 1)) return dbReportError(kErrorMeshVerticesNoMemory, kErrorReasonNoMemory);
    size_t filled = 1;
    for (size_t i = 0; i < end; ++i) {
        const EntityRecord& entity = *following[i];
        if (isVertex(entity) && (entity.bodyAs<VertexBody>().flags & kVertexOfMesh))
            vertices[filled++] = entity.bodyAs<VertexBody>().point;
    }

    const bool allEdges = drawing->header->splframe != 0;
    const auto edge = [&](int from, int to) {
        const size_t a = size_t(std::abs(from));
        const size_t b = size_t(std::abs(to));
        if (a == 0 || b == 0 || a > vertexCount || b > vertexCount) return;  // a corner the mesh lacks
        genDrawRunStroke(drawing, vertices[a], vertices[b], matrices, linetype);
    };
    for (size_t i = 0; i < end; ++i) {
        const EntityRecord& entity = *following[i];
        if (!isVertex(entity)) continue;
        const VertexBody& face = entity.bodyAs<VertexBody>();
        if (face.flags & kVertexOfMesh) continue;
        if (gOutputHookTable)
            genSetColour(drawing, gOutputHookTable->colorIndexMap[size_t(faceColour(drawing, entity, defaultColour))]);
        const int count = std::clamp<int>(face.faceVertexCount, 0, int(face.faceVertices.size()));
        if (count == 0) continue;
        for (int k = 1; k < count; ++k) {
            const int previous = face.faceVertices[size_t(k - 1)];
            if (previous > 0 || allEdges) edge(previous, face.faceVertices[size_t(k)]);
        }
        const int last = face.faceVertices[size_t(count - 1)];
        if (last > 0 || allEdges) edge(last, face.faceVertices[0]);
    }
    return 1;
}

void genPolygonMeshRow(Drawing* drawing, const std::vector<Point3>& above, const std::vector<Point3>& row,
                       bool closedInN, const Matrix4* matrices, const LinetypeRecord* linetype) {
    const size_t count = std::min(above.size(), row.size());
    for (size_t c = 0; c < count; ++c) {
        if (c > 0) genDrawRunStroke(drawing, row[c - 1], row[c], matrices, linetype);
        genDrawRunStroke(drawing, above[c], row[c], matrices, linetype);
    }
    if (closedInN && count > 1) {
        genQuadOutline(drawing, above[count - 1], above[0], row[0], row[count - 1], matrices, linetype);
    }
}

int genPolygonMesh(Drawing* drawing, const PolylineBody& polyline, const std::vector<const EntityRecord*>& following,
                   const Matrix4* matrices, const LinetypeRecord* linetype) {
    if (!drawing || !drawing->displayContext) return 1;
    const bool smooth = polyline.curveType != 0 && polyline.densityM != 0 && polyline.densityN != 0;
    const int m = smooth ? polyline.densityM : polyline.meshM;
    const int n = smooth ? polyline.densityN : polyline.meshN;
    if (m <= 0 || n <= 0) return 1;
    std::vector<Point3> above, row, first;
    if (!dbTryResize(above, size_t(n)) || !dbTryResize(row, size_t(n)))
        return dbReportError(kErrorMeshVerticesNoMemory, kErrorReasonNoMemory);
    MeshVertices vertices(following);
    Point3 passedOver;
    if (smooth && !vertices.next(passedOver)) return 1;

    size_t read = readRow(vertices, above);
    for (size_t c = 1; c < read; ++c) genDrawRunStroke(drawing, above[c - 1], above[c], matrices, linetype);
    if (read < above.size()) return 1;
    const bool closedInM = (polyline.flags & kMeshClosedInM) != 0;
    const bool closedInN = (polyline.flags & kMeshClosedInN) != 0;
    if (closedInM) {
        if (!dbTryResize(first, size_t(n))) return dbReportError(kErrorMeshFirstRowNoMemory, kErrorReasonNoMemory);
        std::copy(above.begin(), above.end(), first.begin());
    }
    for (int r = 1; r < m; ++r) {
        read = readRow(vertices, row);
        if (read < row.size()) {
            row.resize(read);
            genPolygonMeshRow(drawing, above, row, false, matrices, linetype);
            return 1;
        }
        genPolygonMeshRow(drawing, above, row, closedInN, matrices, linetype);
        std::swap(above, row);
    }
    if (closedInM) genPolygonMeshRow(drawing, above, first, closedInN, matrices, linetype);
    return 1;
}

} // namespace tracemill
