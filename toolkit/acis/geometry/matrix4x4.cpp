#include "toolkit/acis/geometry/matrix4x4.h"

#include <cmath>

#include "toolkit/acis/geometry/geometry_tolerances.h"

namespace tracemill {

c_Matrix4x4::c_Matrix4x4() : c_Matrix4x4(identity()) {}

c_Matrix4x4::c_Matrix4x4(double m00, double m01, double m02, double m03, double m10, double m11, double m12,
                         double m13, double m20, double m21, double m22, double m23, double m30, double m31,
                         double m32, double m33)
    : m{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33} {}

const c_Matrix4x4& c_Matrix4x4::identity() {
    static const c_Matrix4x4 value(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return value;
}

const c_Matrix4x4& c_Matrix4x4::zero() {
    static const c_Matrix4x4 value(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    return value;
}

void c_Matrix4x4::setRotationTranslation(const c_Matrix3x3& r, const aVector& t) {
    const double translation[3] = {t.x, t.y, t.z};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) m[4 * i + j] = r.at(i, j);
        m[4 * i + 3] = translation[i];
    }
    m[12] = m[13] = m[14] = 0.0;
    m[15] = 1.0;
}

void c_Matrix4x4::rotationAboutPoint(const c_Matrix3x3& r, const aPoint& p) {
    const aVector pv(p);
    setRotationTranslation(r, pv - r * pv);
}

void c_Matrix4x4::transformPoint(const aPoint& p, aPoint& out) const {
    double h[4];
    for (int i = 0; i < 4; ++i) h[i] = m[4 * i] * p.x + m[4 * i + 1] * p.y + m[4 * i + 2] * p.z + m[4 * i + 3];
    if (std::fabs(h[3]) <= geometryTolerances().BasicDistanceTol) {
        out = aPoint(h[0], h[1], h[2]);
    } else {
        out = aPoint(h[0] / h[3], h[1] / h[3], h[2] / h[3]);
    }
}

void c_Matrix4x4::transformVector(const aVector& v, aVector& out) const {
    out = aVector(m[0] * v.x + m[1] * v.y + m[2] * v.z, m[4] * v.x + m[5] * v.y + m[6] * v.z,
                  m[8] * v.x + m[9] * v.y + m[10] * v.z);
}

} // namespace tracemill
