#include "toolkit/display/text/text_extents.h"

#include <algorithm>

namespace tracemill {

void genExtentsAddSegment(const Point3& p, const Point3& q, TextExtents& extents, const Matrix4* matrix) {
    for (const Point3* point : {&p, &q}) {
        Point4 t{point->x, point->y, point->z, 1.0};
        if (matrix) genPointTransform(t, *matrix, t);
        extents.min.x = std::min(extents.min.x, t.x);
        extents.min.y = std::min(extents.min.y, t.y);
        extents.max.x = std::max(extents.max.x, t.x);
        extents.max.y = std::max(extents.max.y, t.y);
    }
}

} // namespace tracemill
