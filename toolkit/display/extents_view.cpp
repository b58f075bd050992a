// The view of the extents a pass collected: the host zooms to it with genGetViewBlock.
#include <cmath>

#include "toolkit/core/drawing.h"
#include "toolkit/display/display_interface.h"

namespace tracemill {
namespace {

// The header's empty extents: EXTMIN at 1e20, EXTMAX at -1e20.
constexpr double kEmptyExtent = 1e20;
// The box of a drawing without extents: a letter sheet.
constexpr Point3 kDefaultBoxMax{11.0, 8.5, 0.0};
// Sizes are widened by this factor, so that what lies on the edge stays inside.
constexpr double kSizeMargin = 1.0000001;

struct Box {
    Point3 min;
    Point3 max;
};

// The drawing box of header extents, with the rules for extents that are partly or wholly
// unset.
Box headerBox(const Point3& lo, const Point3& hi) {
    const bool emptyMin = lo.x == kEmptyExtent && lo.y == kEmptyExtent;
    const bool emptyMax = hi.x == -kEmptyExtent && hi.y == -kEmptyExtent;
    if (emptyMin && emptyMax) return {{0.0, 0.0, 0.0}, kDefaultBoxMax};
    if (emptyMin && lo.z == kEmptyExtent) {
        return {{hi.x - std::fabs(hi.x), hi.y - std::fabs(hi.y), hi.z - std::fabs(hi.z)}, hi};
    }
    if (emptyMax && hi.z == -kEmptyExtent) {
        return {lo, {lo.x + std::fabs(lo.x), lo.y + std::fabs(lo.y), lo.z + std::fabs(lo.z)}};
    }
    return {lo, hi};
}

Box boundsThrough(const Box& box, const Matrix4& m) {
    Box out{{1e300, 1e300, 1e300}, {-1e300, -1e300, -1e300}};
    for (int corner = 0; corner < 8; ++corner) {
        const Point4 p{corner & 1 ? box.max.x : box.min.x, corner & 2 ? box.max.y : box.min.y,
                       corner & 4 ? box.max.z : box.min.z, 1.0};
        Point4 q;
        genPointTransform(p, m, q);
        out.min = {std::fmin(out.min.x, q.x), std::fmin(out.min.y, q.y), std::fmin(out.min.z, q.z)};
        out.max = {std::fmax(out.max.x, q.x), std::fmax(out.max.y, q.y), std::fmax(out.max.z, q.z)};
    }
    return out;
}

// The two device corners taken back through the inverse of a matrix.
Box inverseCorners(const DisplayContext& context, Matrix4 m) {
    if (!genMatrixInverse(m)) m = kIdentityMatrix4;
    Point4 a, b;
    genPointTransform({context.extentsMinX, context.extentsMinY, 0.0, 1.0}, m, a);
    genPointTransform({context.extentsMaxX, context.extentsMaxY, 0.0, 1.0}, m, b);
    return {{std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmin(a.z, b.z)},
            {std::fmax(a.x, b.x), std::fmax(a.y, b.y), std::fmax(a.z, b.z)}};
}

// The aspect the extents view keeps: the last view's, or when it has no size the host
// rectangle's.
double keptAspect(const DisplayContext& context) {
    const ViewBlock& last = context.lastView;
    if (last.width > 0.0 && last.height > 0.0) return last.width / last.height;
    const HostRect& r = context.hostRect;
    if (r.right > r.left && r.bottom > r.top) return double(r.right - r.left) / double(r.bottom - r.top);
    return 1.0;
}

} // namespace

void genComputeExtentsView(Drawing* drawing) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !drawing->header) return;
    Box world, view;
    if (context->extentsFlag) {
        world = inverseCorners(*context, context->viewports[0].worldToDevice);
        view = inverseCorners(*context, context->windowMatrix);
    } else if (!context->paperSpace) {
        world = headerBox(drawing->header->extmin, drawing->header->extmax);
        view = boundsThrough(world, context->viewMatrix);
    } else {
        world = headerBox(drawing->header->pextmin, drawing->header->pextmax);
        view = world;
    }
    ViewBlock& out = context->extentsView;
    out.target = {(world.min.x + world.max.x) / 2.0, (world.min.y + world.max.y) / 2.0,
                  (world.min.z + world.max.z) / 2.0, 1.0};
    out.width = (view.max.x - view.min.x) * kSizeMargin;
    out.height = (view.max.y - view.min.y) * kSizeMargin;
    const double aspect = keptAspect(*context);
    if (out.height != 0.0 && out.width / out.height <= aspect) out.width = out.height * aspect;
    else out.height = out.width / aspect;
    out.direction = context->lastView.direction;
    out.up = context->lastView.up;
}

} // namespace tracemill
