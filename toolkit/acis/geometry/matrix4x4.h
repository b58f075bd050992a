// c_Matrix4x4: the kernel's homogeneous transform. 16 doubles in row order; points and
// vectors are columns multiplied from the right, the translation stands in the fourth column.
#pragma once

#include "toolkit/acis/geometry/matrix3x3.h"
#include "toolkit/acis/geometry/point_vector.h"

namespace tracemill {

class c_Matrix4x4 {
public:
    // The identity.
    c_Matrix4x4();
    c_Matrix4x4(double m00, double m01, double m02, double m03, double m10, double m11, double m12, double m13,
                double m20, double m21, double m22, double m23, double m30, double m31, double m32, double m33);

    static const c_Matrix4x4& identity();
    static const c_Matrix4x4& zero();

    double at(int row, int column) const { return m[4 * row + column]; }

    // Upper-left 3x3 = r, fourth column = t, bottom row (0, 0, 0, 1).
    void setRotationTranslation(const c_Matrix3x3& r, const aVector& t);
    // The rotation r about the fixed point p.
    void rotationAboutPoint(const c_Matrix3x3& r, const aPoint& p);

    // (x, y, z, 1) times the rows, divided by w' unless |w'| <= BasicDistanceTol.
    void transformPoint(const aPoint& p, aPoint& out) const;
    // The upper-left 3x3 times v: no translation.
    void transformVector(const aVector& v, aVector& out) const;

private:
    double m[16];
};

} // namespace tracemill
