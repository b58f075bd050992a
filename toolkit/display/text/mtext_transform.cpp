#include "toolkit/display/text/mtext_transform.h"

#include <cmath>

namespace tracemill {

void genMtextTransform(const Point3& point, const Point3& direction, const Point3* extrusion, const Matrix4& base,
                       Matrix4& out, double scale) {
    Point3 at = point;
    Point3 along = direction;
    Matrix4 ocs = kIdentityMatrix4;
    if (extrusion) {
        genOcsMatrix(*extrusion, ocs);
        Matrix4 inverse = ocs;
        if (genMatrixInverse(inverse)) {
            Point4 p, d;
            genPointTransform({at.x, at.y, at.z, 1.0}, inverse, p);
            genPointTransform({along.x, along.y, along.z, 0.0}, inverse, d);
            at = {p.x, p.y, p.z};
            along = {d.x, d.y, d.z};
        }
    }
    const double angle = along.x == 0.0 && along.y == 0.0 ? 0.0 : std::atan2(along.y, along.x);
    Matrix4 m = base;
    if (extrusion) genMatrixMultiply(ocs, m, m);
    genMatrixTranslate(at, m);
    if (angle != 0.0) genMatrixRotateZ(angle, m);
    if (scale != 1.0) genMatrixScale(scale, scale, scale, m);
    out = m;
}

} // namespace tracemill
