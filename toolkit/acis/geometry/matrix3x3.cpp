#include "toolkit/acis/geometry/matrix3x3.h"

#include <cmath>

namespace tracemill {

c_Matrix3x3 c_Matrix3x3::rotation(const aVector& axis, double angle) {
    if (axis.length() < 1e-6) return {};
    const aVector u = axis / axis.length();
    const double c = std::cos(angle), s = std::sin(angle);
    return c_Matrix3x3() * c + outerProduct(u, u) * (1.0 - c) + crossMatrix(u) * s;
}

c_Matrix3x3 c_Matrix3x3::outerProduct(const aVector& a, const aVector& b) {
    return {a.x * b.x, a.x * b.y, a.x * b.z, a.y * b.x, a.y * b.y, a.y * b.z, a.z * b.x, a.z * b.y, a.z * b.z};
}

c_Matrix3x3 c_Matrix3x3::crossMatrix(const aVector& v) { return {0, -v.z, v.y, v.z, 0, -v.x, -v.y, v.x, 0}; }

c_Matrix3x3 c_Matrix3x3::operator+(const c_Matrix3x3& b) const {
    c_Matrix3x3 r = *this;
    for (int i = 0; i < 9; ++i) r.m[i] += b.m[i];
    return r;
}

c_Matrix3x3 c_Matrix3x3::operator*(double s) const {
    c_Matrix3x3 r = *this;
    for (double& e : r.m) e *= s;
    return r;
}

aVector c_Matrix3x3::operator*(const aVector& v) const {
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
            m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

} // namespace tracemill
