// 4x4 transforms of display generation and the vector functions beside them.
//
// Convention: a `Matrix4` holds 16 doubles in row order, m[r][c] at index 4r + c. Points are
// row vectors multiplied from the left, p' = p M: rows 0, 1 and 2 are the images of the x, y
// and z axes, row 3 the translation, and column 3 is (0, 0, 0, 1) for affine matrices. A
// product A B applies A first, then B.
//
// Everything here works in place or into the caller's storage and allocates nothing.
#pragma once

#include <array>
#include <cstddef>

#include "toolkit/core/point.h"

namespace tracemill {

struct Matrix4 {
    std::array<double, 16> m;

    double& at(int row, int column) { return m[size_t(4 * row + column)]; }
    double at(int row, int column) const { return m[size_t(4 * row + column)]; }
    friend bool operator==(const Matrix4&, const Matrix4&) = default;
};

// A homogeneous point: w is 1.0 for points and 0.0 for directions.
struct Point4 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 0.0;
    friend bool operator==(const Point4&, const Point4&) = default;
};

inline constexpr Matrix4 kIdentityMatrix4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

void genMatrixIdentity(Matrix4& m);

// c = a b; c may be a or b.
void genMatrixMultiply(const Matrix4& a, const Matrix4& b, Matrix4& c);

// Inverts m in place (Gauss-Jordan with column pivoting): 1, or 0 with m unchanged when m is
// singular (a pivot vanishes against its row) or the inverse is not finite.
[[nodiscard]] int genMatrixInverse(Matrix4& m);

// out = p m, all four components; out may be p.
void genPointTransform(const Point4& p, const Matrix4& m, Point4& out);

// m = T(d) m: points are moved by d before m applies.
void genMatrixTranslate(const Point3& d, Matrix4& m);

// m = m T(d).
void genMatrixPostTranslate(double dx, double dy, double dz, Matrix4& m);

// Scales points about the origin of m's own axes: the translation is taken out, rows 0 to 2
// are scaled, the translation is put back.
void genMatrixScale(double sx, double sy, double sz, Matrix4& m);

// m = R(angle) m: points turn counter-clockwise about z before m applies.
void genMatrixRotateZ(double angle, Matrix4& m);

// m = m R, R the rotation about axis 0 (x), 1 (y) or 2 (z) given by its sine and cosine.
void genMatrixRotateAxis(double sin, double cos, int axis, Matrix4& m);

// m = identity with rows 0 to 2 the arbitrary-axis frame of the normal.
void genOcsMatrix(const Point3& normal, Matrix4& m);

// p = q + R (p - q), R the rotation by the angle about the axis direction; a zero axis
// leaves p where it is.
void genRotateAboutAxis(Point3& p, const Point3& q, const Point3& axis, double angle);

// p = (p, 1) times the entity matrix (x, y and z).
void genEntityMatrixPoint(const Matrix4& entityMatrix, Point3& p);

// a x b.
Point3 genCross(const Point3& a, const Point3& b);

// v divided by its length; a zero vector stays zero.
Point3 genNormalized(const Point3& v);

// out = a x b with w = 1.0, not normalised.
void genCrossProduct(const Point3& a, const Point3& b, Point4& out);

// out = the normalised (p0 - p1) x (p2 - p1), w = 1.0 (left unnormalised when zero).
void genPlaneNormal(const Point3& p0, const Point3& p1, const Point3& p2, Point4& out);

double genDistance3(const Point3& a, const Point3& b);

// The centre of the circle through three points: 1, or 0 with out unchanged when the points
// are collinear or coincide.
[[nodiscard]] int genCircleCentre3(const Point3& p0, const Point3& p1, const Point3& p2, Point3& out);

// Direction angle of the line from a to b; a vertical line gives pi/2 upwards (and for equal
// points), else -pi/2.
double genLineAngle(const Point2& a, const Point2& b);

// The angle at v between the directions to a and to b, 0 to pi.
double genAngleAtVertex(const Point2& a, const Point2& v, const Point2& b);

// The angle of the point about the centre, -pi to pi: with equal x, pi/2 when the point lies
// above the centre and -pi/2 otherwise (also for equal points).
double genAngleOfPoint(const Point2& centre, const Point2& point);

// point += distance x the unit vector from the point towards `towards` (the point stays where
// it is when the two coincide).
void genMovePointAlong(Point3& point, const Point3& towards, double distance);

} // namespace tracemill
