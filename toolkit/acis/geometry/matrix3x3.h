// c_Matrix3x3: a 3x3 matrix of doubles in row order (row 0 first).
#pragma once

#include "toolkit/acis/geometry/point_vector.h"

namespace tracemill {

class c_Matrix3x3 {
public:
    // The identity.
    c_Matrix3x3() : m{1, 0, 0, 0, 1, 0, 0, 0, 1} {}
    c_Matrix3x3(double m00, double m01, double m02, double m10, double m11, double m12, double m20, double m21,
                double m22)
        : m{m00, m01, m02, m10, m11, m12, m20, m21, m22} {}

    // The rotation about axis by angle (right-handed); the identity for an axis shorter than
    // 1e-6.
    static c_Matrix3x3 rotation(const aVector& axis, double angle);
    // Element (i, j) = a[i] b[j].
    static c_Matrix3x3 outerProduct(const aVector& a, const aVector& b);
    // The matrix of v x: rows (0, -vz, vy), (vz, 0, -vx), (-vy, vx, 0).
    static c_Matrix3x3 crossMatrix(const aVector& v);

    double at(int row, int column) const { return m[3 * row + column]; }

    c_Matrix3x3 operator+(const c_Matrix3x3& b) const;
    c_Matrix3x3 operator*(double s) const;
    aVector operator*(const aVector& v) const;

private:
    double m[9];
};

} // namespace tracemill
