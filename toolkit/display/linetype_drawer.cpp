#include "toolkit/display/linetype_drawer.h"

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/display/clip/clipped_line.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/viewport_selection.h"

namespace tracemill {

namespace {

// Kinds whose points are world points even when the entity has its own extrusion: the drawers
// of these take their object coordinate system into their own transforms.
bool worldPointKind(uint16_t kind) {
    switch (kind) {
    case 1: case 2: case 4: case 5: case 7: case 10: case 21: case 25: case 28: case 29: case 30: case 31: case 35:
        return true;
    default:
        return false;
    }
}

Point2 toDevice(const Point3& p, const Matrix4& m) {
    return {p.x * m.at(0, 0) + p.y * m.at(1, 0) + p.z * m.at(2, 0) + m.at(3, 0),
            p.x * m.at(0, 1) + p.y * m.at(1, 1) + p.z * m.at(2, 1) + m.at(3, 1)};
}

} // namespace

void genDrawSegmentInViewport(Drawing* drawing, const Point3& p1, const Point3& p2, const Matrix4* matrices,
                              int viewport) {
    const Matrix4& m = matrices[viewport];
    const DrawnEntity& entity = drawing->displayContext->entity;
    if ((entity.flags & kEntityHasExtrusion) && !worldPointKind(entity.kind)) {
        Point3 a = p1, b = p2;
        genEntityMatrixPoint(entity.objectMatrix, a);
        genEntityMatrixPoint(entity.objectMatrix, b);
        genDrawClippedLine(drawing, toDevice(a, m), toDevice(b, m), int16_t(viewport));
        return;
    }
    genDrawClippedLine(drawing, toDevice(p1, m), toDevice(p2, m), int16_t(viewport));
}

uint32_t genDrawLinetypedSegment(Drawing* drawing, const Point3& p1, const Point3& p2, const Matrix4* matrices,
                                 const LinetypeRecord*, const void*, uint32_t identity, double) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !matrices) return identity;
    const ViewportRange range = genEntityViewports(*context);
    for (int i = range.first; i <= range.last; ++i) {
        if (genViewportShows(*context, i)) genDrawSegmentInViewport(drawing, p1, p2, matrices, i);
    }
    return identity;
}

} // namespace tracemill
