#include "toolkit/display/infinite_line.h"

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/display/clip/clipped_line.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/viewport_selection.h"

namespace tracemill {
namespace {

// A device point back through the inverse of the viewport's matrix.
Point3 backToEntity(const Point2& p, double z, const Matrix4& inverse) {
    Point4 out;
    genPointTransform({p.x, p.y, z, 1.0}, inverse, out);
    if (out.w != 0.0 && out.w != 1.0) return {out.x / out.w, out.y / out.w, out.z / out.w};
    return {out.x, out.y, out.z};
}

// The device z at a point of the segment a-b (z running linearly along it).
double zAlong(const Point2& p, const Point4& a, const Point4& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    if (length2 == 0.0) return a.z;
    const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2;
    return a.z + t * (b.z - a.z);
}

} // namespace

void genDrawInfiniteLine(Drawing* drawing, uint16_t kind, const Point3& basePoint, const Point3& direction,
                         const Matrix4* matrices, const LinetypeRecord* linetype) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !matrices) return;
    const Point3 far{basePoint.x + direction.x * kInfiniteLineReach, basePoint.y + direction.y * kInfiniteLineReach,
                     basePoint.z + direction.z * kInfiniteLineReach};
    const Point3 near = kind == kEntityXline
                            ? Point3{basePoint.x - direction.x * kInfiniteLineReach,
                                     basePoint.y - direction.y * kInfiniteLineReach,
                                     basePoint.z - direction.z * kInfiniteLineReach}
                            : basePoint;
    const ViewportRange range = genEntityViewports(*context);
    const uint64_t visible = context->visibleMask;
    for (int i = range.first; i <= range.last; ++i) {
        if (!genViewportShows(*context, i)) continue;
        const Matrix4& matrix = matrices[i];
        Point4 a, b;
        genPointTransform({near.x, near.y, near.z, 1.0}, matrix, a);
        genPointTransform({far.x, far.y, far.z, 1.0}, matrix, b);
        Point2 p{a.x, a.y}, q{b.x, b.y};
        Matrix4 inverse = matrix;
        if (!genClipSegmentToRect(p, q, context->viewports[size_t(i)].clampedRect) || !genMatrixInverse(inverse))
            continue;
        const Point3 from = backToEntity(p, zAlong(p, a, b), inverse);
        const Point3 to = backToEntity(q, zAlong(q, a, b), inverse);
        context->visibleMask = uint64_t(1) << i;
        genDrawLinetypedSegment(drawing, from, to, matrices, linetype, nullptr, ++context->segmentCounter, 0.0);
        context->visibleMask = visible;
    }
}

} // namespace tracemill
