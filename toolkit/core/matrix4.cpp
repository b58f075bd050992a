#include "toolkit/core/matrix4.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace tracemill {

namespace {

// A pivot this small against the largest element of its row in the original matrix means the
// rows are dependent as far as doubles can tell.
constexpr double kVanishingPivot = 1e-14;

// The arbitrary-axis algorithm takes the world y axis for normals this close to z.
constexpr double kArbitraryAxisLimit = 1.0 / 64.0;

Point3 minus(const Point3& a, const Point3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

double coordinate(const Point3& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

void setRow(Matrix4& m, int row, const Point3& v, double w) {
    m.at(row, 0) = v.x;
    m.at(row, 1) = v.y;
    m.at(row, 2) = v.z;
    m.at(row, 3) = w;
}

} // namespace

Point3 genCross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Point3 genNormalized(const Point3& v) {
    double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0) return v;
    return {v.x / length, v.y / length, v.z / length};
}

void genMatrixIdentity(Matrix4& m) { m = kIdentityMatrix4; }

void genMatrixMultiply(const Matrix4& a, const Matrix4& b, Matrix4& c) {
    Matrix4 product;
    for (int r = 0; r < 4; ++r) {
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a.at(r, k) * b.at(k, col);
            product.at(r, col) = sum;
        }
    }
    c = product;
}

int genMatrixInverse(Matrix4& m) {
    Matrix4 a = m;
    int permutation[4] = {0, 1, 2, 3};
    double rowScale[4];
    for (int r = 0; r < 4; ++r) {
        rowScale[r] = 0.0;
        for (int c = 0; c < 4; ++c) rowScale[r] = std::fmax(rowScale[r], std::fabs(a.at(r, c)));
    }

    for (int k = 0; k < 4; ++k) {
        int pivotColumn = k;
        for (int j = k + 1; j < 4; ++j) {
            if (std::fabs(a.at(k, j)) > std::fabs(a.at(k, pivotColumn))) pivotColumn = j;
        }
        if (!(std::fabs(a.at(k, pivotColumn)) > kVanishingPivot * rowScale[k])) return 0;
        if (pivotColumn != k) {
            std::swap(permutation[k], permutation[pivotColumn]);
            for (int r = 0; r < 4; ++r) std::swap(a.at(r, k), a.at(r, pivotColumn));
        }
        const double p = 1.0 / a.at(k, k);
        for (int j = 0; j < 4; ++j) {
            if (j != k) a.at(k, j) *= p;
        }
        a.at(k, k) = p;
        for (int i = 0; i < 4; ++i) {
            if (i == k) continue;
            const double factor = a.at(i, k);
            for (int j = 0; j < 4; ++j) {
                if (j != k) a.at(i, j) -= factor * a.at(k, j);
            }
            a.at(i, k) = -factor * p;
        }
    }

    // The columns were exchanged, so the rows of the result stand permuted: row k belongs at
    // the permutation's entry k.
    for (int k = 0; k < 4; ++k) {
        while (permutation[k] != k) {
            const int target = permutation[k];
            for (int c = 0; c < 4; ++c) std::swap(a.at(k, c), a.at(target, c));
            std::swap(permutation[k], permutation[target]);
        }
    }
    for (double value : a.m) {
        if (!std::isfinite(value)) return 0;
    }
    m = a;
    return 1;
}

void genPointTransform(const Point4& p, const Matrix4& m, Point4& out) {
    const double in[4] = {p.x, p.y, p.z, p.w};
    double result[4];
    for (int c = 0; c < 4; ++c) result[c] = in[0] * m.at(0, c) + in[1] * m.at(1, c) + in[2] * m.at(2, c) + in[3] * m.at(3, c);
    out = {result[0], result[1], result[2], result[3]};
}

void genMatrixTranslate(const Point3& d, Matrix4& m) {
    for (int c = 0; c < 4; ++c) m.at(3, c) += d.x * m.at(0, c) + d.y * m.at(1, c) + d.z * m.at(2, c);
}

void genMatrixPostTranslate(double dx, double dy, double dz, Matrix4& m) {
    for (int r = 0; r < 4; ++r) {
        const double w = m.at(r, 3);
        m.at(r, 0) += dx * w;
        m.at(r, 1) += dy * w;
        m.at(r, 2) += dz * w;
    }
}

void genMatrixScale(double sx, double sy, double sz, Matrix4& m) {
    const double tx = m.at(3, 0), ty = m.at(3, 1), tz = m.at(3, 2);
    genMatrixPostTranslate(-tx, -ty, -tz, m);
    const double scales[3] = {sx, sy, sz};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) m.at(r, c) *= scales[r];
    }
    genMatrixPostTranslate(tx, ty, tz, m);
}

void genMatrixRotateZ(double angle, Matrix4& m) {
    const double c = std::cos(angle), s = std::sin(angle);
    for (int col = 0; col < 4; ++col) {
        const double row0 = m.at(0, col), row1 = m.at(1, col);
        m.at(0, col) = c * row0 + s * row1;
        m.at(1, col) = c * row1 - s * row0;
    }
}

void genMatrixRotateAxis(double sin, double cos, int axis, Matrix4& m) {
    Matrix4 r = kIdentityMatrix4;
    // The two axes that turn, in the order that makes the rotation counter-clockwise.
    const int first = axis == 0 ? 1 : axis == 1 ? 2 : 0;
    const int second = axis == 0 ? 2 : axis == 1 ? 0 : 1;
    r.at(first, first) = cos;
    r.at(second, second) = cos;
    r.at(first, second) = sin;
    r.at(second, first) = -sin;
    genMatrixMultiply(m, r, m);
}

void genOcsMatrix(const Point3& normal, Matrix4& m) {
    const bool nearZ = std::fabs(normal.x) < kArbitraryAxisLimit && std::fabs(normal.y) < kArbitraryAxisLimit;
    const Point3 xAxis = genNormalized(genCross(nearZ ? Point3{0, 1, 0} : Point3{0, 0, 1}, normal));
    const Point3 yAxis = genNormalized(genCross(normal, xAxis));
    m = kIdentityMatrix4;
    setRow(m, 0, xAxis, 0.0);
    setRow(m, 1, yAxis, 0.0);
    setRow(m, 2, normal, 0.0);
}

void genRotateAboutAxis(Point3& p, const Point3& q, const Point3& axis, double angle) {
    const double length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    if (length == 0.0) return;
    const double ax = axis.x / length, ay = axis.y / length, az = axis.z / length;
    const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    const double r[3][3] = {
        {c + ax * ax * t, t * ax * ay + s * az, t * ax * az - s * ay},
        {t * ax * ay - s * az, c + ay * ay * t, t * ay * az + s * ax},
        {t * ax * az + s * ay, t * ay * az - s * ax, c + az * az * t},
    };
    const Point3 v = minus(p, q);
    p = {q.x + v.x * r[0][0] + v.y * r[1][0] + v.z * r[2][0], q.y + v.x * r[0][1] + v.y * r[1][1] + v.z * r[2][1],
         q.z + v.x * r[0][2] + v.y * r[1][2] + v.z * r[2][2]};
}

void genEntityMatrixPoint(const Matrix4& entityMatrix, Point3& p) {
    Point4 out;
    genPointTransform({p.x, p.y, p.z, 1.0}, entityMatrix, out);
    p = {out.x, out.y, out.z};
}

void genCrossProduct(const Point3& a, const Point3& b, Point4& out) {
    const Point3 c = genCross(a, b);
    out = {c.x, c.y, c.z, 1.0};
}

void genPlaneNormal(const Point3& p0, const Point3& p1, const Point3& p2, Point4& out) {
    const Point3 n = genNormalized(genCross(minus(p0, p1), minus(p2, p1)));
    out = {n.x, n.y, n.z, 1.0};
}

double genDistance3(const Point3& a, const Point3& b) {
    const Point3 d = minus(a, b);
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

int genCircleCentre3(const Point3& p0, const Point3& p1, const Point3& p2, Point3& out) {
    const Point3 d1 = minus(p1, p0), d2 = minus(p2, p1);
    const Point3 m1{(p0.x + p1.x) * 0.5, (p0.y + p1.y) * 0.5, (p0.z + p1.z) * 0.5};
    const Point3 m2{(p1.x + p2.x) * 0.5, (p1.y + p2.y) * 0.5, (p1.z + p2.z) * 0.5};
    const Point3 n = genCross(d1, d2);
    // The bisectors lie in the plane of the points; they are intersected in the coordinate
    // plane across the normal's largest component, where the plane projects one to one.
    int dropped = 0;
    if (std::fabs(n.y) > std::fabs(coordinate(n, dropped))) dropped = 1;
    if (std::fabs(n.z) > std::fabs(coordinate(n, dropped))) dropped = 2;
    const int u = dropped == 0 ? 1 : 0, v = dropped == 2 ? 1 : 2;
    const Point3 b1 = genCross(n, d1), b2 = genCross(n, d2);
    // m1 + t b1 = m2 + s b2, solved for t by Cramer's rule.
    const double det = coordinate(b2, u) * coordinate(b1, v) - coordinate(b1, u) * coordinate(b2, v);
    if (det == 0.0) return 0;
    const double ru = coordinate(m2, u) - coordinate(m1, u), rv = coordinate(m2, v) - coordinate(m1, v);
    const double t = (coordinate(b2, u) * rv - ru * coordinate(b2, v)) / det;
    const Point3 centre{m1.x + t * b1.x, m1.y + t * b1.y, m1.z + t * b1.z};
    if (!std::isfinite(centre.x) || !std::isfinite(centre.y) || !std::isfinite(centre.z)) return 0;
    out = centre;
    return 1;
}

double genLineAngle(const Point2& a, const Point2& b) {
    if (a.x == b.x) return b.y >= a.y ? std::numbers::pi / 2 : -std::numbers::pi / 2;
    const double angle = std::atan((b.y - a.y) / (b.x - a.x));
    return b.x < a.x ? angle + std::numbers::pi : angle;
}

double genAngleAtVertex(const Point2& a, const Point2& v, const Point2& b) {
    const double difference = std::fabs(genLineAngle(v, a) - genLineAngle(v, b));
    return difference > std::numbers::pi ? 2 * std::numbers::pi - difference : difference;
}

double genAngleOfPoint(const Point2& centre, const Point2& point) {
    if (point.x == centre.x) return point.y > centre.y ? std::numbers::pi / 2 : -std::numbers::pi / 2;
    const double angle = std::atan((point.y - centre.y) / (point.x - centre.x));
    if (point.x > centre.x) return angle;
    return point.y >= centre.y ? angle + std::numbers::pi : angle - std::numbers::pi;
}

void genMovePointAlong(Point3& point, const Point3& towards, double distance) {
    const double length = genDistance3(point, towards);
    if (!(length > 0.0)) return;
    const double f = distance / length;
    point = {point.x + (towards.x - point.x) * f, point.y + (towards.y - point.y) * f,
             point.z + (towards.z - point.z) * f};
}

} // namespace tracemill
