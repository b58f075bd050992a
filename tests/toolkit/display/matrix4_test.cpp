#include "toolkit/core/matrix4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <algorithm>
#include <random>

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;

void expectMatrixNear(const Matrix4& actual, const Matrix4& expected, double tolerance) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual.at(r, c), expected.at(r, c), tolerance) << "m[" << r << "][" << c << "]";
    }
}

void expectPointNear(const Point3& actual, const Point3& expected, double tolerance = 1e-12) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

Point4 transformed(Point4 p, const Matrix4& m) {
    genPointTransform(p, m, p);
    return p;
}

TEST(Matrix4, InverseTimesOriginalIsTheIdentityForRandomMatrices) {
    std::mt19937_64 rng(3104);
    std::uniform_real_distribution<double> element(-1.0, 1.0);
    for (int trial = 0; trial < 2000; ++trial) {
        // Random entries with a dominant element per row in a random column: well conditioned,
        // and the pivots mostly lie off the diagonal.
        Matrix4 m;
        for (double& v : m.m) v = element(rng);
        int columns[4] = {0, 1, 2, 3};
        std::shuffle(columns, columns + 4, rng);
        for (int r = 0; r < 4; ++r) m.at(r, columns[r]) += (trial % 2 ? 4.0 : -4.0);
        if (trial % 3 == 0) {  // affine
            for (int r = 0; r < 3; ++r) m.at(r, 3) = 0.0;
            m.at(3, 3) = 1.0;
            for (int c = 0; c < 3; ++c) m.at(3, c) = element(rng) * 3.0;
        }
        Matrix4 inverse = m;
        ASSERT_EQ(genMatrixInverse(inverse), 1);
        Matrix4 product;
        genMatrixMultiply(m, inverse, product);
        expectMatrixNear(product, kIdentityMatrix4, 1e-12);
        genMatrixMultiply(inverse, m, product);
        expectMatrixNear(product, kIdentityMatrix4, 1e-12);
        if (HasFailure()) {
            ADD_FAILURE() << "trial " << trial;
            break;
        }
    }
}

TEST(Matrix4, InverseUndoesTheColumnExchanges) {
    // The largest element of rows 0 and 1 lies off the diagonal.
    Matrix4 m{{0, 2, 0, 0, 1, 0, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1}};
    ASSERT_EQ(genMatrixInverse(m), 1);
    expectMatrixNear(m, Matrix4{{0, 1, 0, 0, 0.5, 0, 0, 0, 0, 0, 0.25, 0, -3, -5, -1.75, 1}}, 1e-15);
}

TEST(Matrix4, SingularMatricesAreRefusedAndLeftAlone) {
    struct Case {
        const char* name;
        Matrix4 m;
    } cases[] = {
        {"zero", Matrix4{}},
        {"dependent rows", Matrix4{{1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 0, 0, 0, 0, 1}}},
        {"flattening z", Matrix4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 5, 6, 7, 1}}},
        {"nearly dependent rows", Matrix4{{1, 1, 0, 0, 1, 1 + 1e-15, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}},
        {"not a number", Matrix4{{NAN, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix4 m = c.m;
        EXPECT_EQ(genMatrixInverse(m), 0);
        for (int i = 0; i < 16; ++i) {
            if (!std::isnan(c.m.m[i])) {
                EXPECT_EQ(m.m[i], c.m.m[i]);
            }
        }
    }
}

TEST(Matrix4, ProductsApplyTheLeftMatrixFirstAndMayOverwriteAnArgument) {
    Matrix4 translate = kIdentityMatrix4;
    genMatrixTranslate({1, 0, 0}, translate);
    Matrix4 scale = kIdentityMatrix4;
    genMatrixScale(2, 2, 2, scale);
    Matrix4 product;
    genMatrixMultiply(translate, scale, product);
    EXPECT_EQ(transformed({1, 1, 1, 1}, product), (Point4{4, 2, 2, 1})) << "translated, then scaled";
    genMatrixMultiply(translate, scale, translate);
    EXPECT_EQ(translate, product);
}

TEST(Matrix4, TranslateAndScaleFollowThePart) {
    Matrix4 m = kIdentityMatrix4;
    genMatrixTranslate({1, 2, 3}, m);
    EXPECT_EQ(m.at(3, 0), 1);
    EXPECT_EQ(m.at(3, 1), 2);
    EXPECT_EQ(m.at(3, 2), 3);
    EXPECT_EQ(m.at(3, 3), 1);

    Matrix4 shifted = kIdentityMatrix4;
    shifted.at(3, 0) = 5;
    genMatrixScale(2, 2, 2, shifted);
    EXPECT_EQ(shifted.at(3, 0), 5) << "scaled about the matrix's own origin";
    EXPECT_EQ(transformed({1, 0, 0, 1}, shifted), (Point4{7, 0, 0, 1}));

    // Translating before a scale moves points by d before the scale applies.
    Matrix4 scaled = kIdentityMatrix4;
    genMatrixScale(3, 3, 3, scaled);
    genMatrixTranslate({1, 0, 0}, scaled);
    EXPECT_EQ(transformed({0, 0, 0, 1}, scaled), (Point4{3, 0, 0, 1}));
    genMatrixPostTranslate(0, 10, 0, scaled);
    EXPECT_EQ(transformed({0, 0, 0, 1}, scaled), (Point4{3, 10, 0, 1}));
    EXPECT_EQ(transformed({0, 0, 1, 0}, scaled), (Point4{0, 0, 3, 0})) << "directions are not moved";
}

TEST(Matrix4, RotationsTurnCounterClockwise) {
    Matrix4 m = kIdentityMatrix4;
    genMatrixRotateZ(kPi / 2, m);
    Point4 p = transformed({1, 0, 0, 1}, m);
    EXPECT_NEAR(p.x, 0, 1e-15);
    EXPECT_NEAR(p.y, 1, 1e-15);

    struct Case {
        int axis;
        Point4 in, out;
    } cases[] = {
        {0, {0, 1, 0, 1}, {0, 0, 1, 1}},
        {1, {0, 0, 1, 1}, {1, 0, 0, 1}},
        {2, {1, 0, 0, 1}, {0, 1, 0, 1}},
        {0, {5, 0, 0, 1}, {5, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.axis);
        Matrix4 r = kIdentityMatrix4;
        genMatrixRotateAxis(1.0, 0.0, c.axis, r);
        EXPECT_EQ(transformed(c.in, r), c.out);
    }
    // M = M R: the rotation applies after M.
    Matrix4 moved = kIdentityMatrix4;
    genMatrixTranslate({1, 0, 0}, moved);
    genMatrixRotateAxis(1.0, 0.0, 2, moved);
    EXPECT_EQ(transformed({0, 0, 0, 1}, moved), (Point4{0, 1, 0, 1}));
}

TEST(Matrix4, ArbitraryAxisFrames) {
    const double s = 1 / std::sqrt(1 + 0.01 * 0.01);
    struct Case {
        const char* name;
        Point3 normal, xAxis, yAxis;
    } cases[] = {
        {"z", {0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
        {"minus z", {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
        {"x", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"near z uses the world y axis", {0.01, 0, 1}, {s, 0, -0.01 * s}, {0, 1, 0}},
        {"at the limit uses the world z axis", {1.0 / 64, 0, 1}, {0, 1, 0}, {-1, 0, 1.0 / 64}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix4 m;
        genOcsMatrix(c.normal, m);
        Point3 x{m.at(0, 0), m.at(0, 1), m.at(0, 2)}, y{m.at(1, 0), m.at(1, 1), m.at(1, 2)};
        expectPointNear(x, c.xAxis);
        Point3 expectedY = c.yAxis;
        double length = std::sqrt(expectedY.x * expectedY.x + expectedY.y * expectedY.y + expectedY.z * expectedY.z);
        expectPointNear(y, {expectedY.x / length, expectedY.y / length, expectedY.z / length});
        EXPECT_EQ((Point3{m.at(2, 0), m.at(2, 1), m.at(2, 2)}), c.normal);
        EXPECT_EQ(m.at(0, 3), 0);
        EXPECT_EQ(m.at(3, 3), 1);
    }

    Matrix4 flipped;
    genOcsMatrix({0, 0, -1}, flipped);
    Point3 p{1, 2, 3};
    genEntityMatrixPoint(flipped, p);
    expectPointNear(p, {-1, 2, -3});
}

TEST(Matrix4, RotationAboutAnAxisThroughAPoint) {
    struct Case {
        const char* name;
        Point3 p, q, axis;
        double angle;
        Point3 expected;
    } cases[] = {
        {"quarter turn about z", {1, 0, 0}, {0, 0, 0}, {0, 0, 1}, kPi / 2, {0, 1, 0}},
        {"half turn about a shifted axis of length 2", {2, 1, 5}, {1, 1, 0}, {0, 0, 2}, kPi, {0, 1, 5}},
        {"third turn about the diagonal permutes the axes", {1, 0, 0}, {0, 0, 0}, {1, 1, 1}, 2 * kPi / 3, {0, 1, 0}},
        {"quarter turn about x", {0, 1, 0}, {0, 0, 0}, {1, 0, 0}, kPi / 2, {0, 0, 1}},
        {"a zero axis leaves the point", {3, 4, 5}, {0, 0, 0}, {0, 0, 0}, 1.0, {3, 4, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Point3 p = c.p;
        genRotateAboutAxis(p, c.q, c.axis, c.angle);
        expectPointNear(p, c.expected);
    }
}

TEST(Matrix4, VectorHelpers) {
    Point4 out;
    genCrossProduct({2, 0, 0}, {0, 3, 0}, out);
    EXPECT_EQ(out, (Point4{0, 0, 6, 1}));
    genPlaneNormal({2, 0, 0}, {0, 0, 0}, {0, 5, 0}, out);
    EXPECT_EQ(out, (Point4{0, 0, 1, 1}));
    genPlaneNormal({1, 1, 1}, {1, 1, 1}, {2, 2, 2}, out);
    EXPECT_EQ(out, (Point4{0, 0, 0, 1})) << "no plane: left at zero, no NaN";
    EXPECT_EQ(genDistance3({1, 2, 3}, {4, 6, 3}), 5.0);

    Point4 p{1, 2, 3, 1};
    Matrix4 m = kIdentityMatrix4;
    m.at(3, 0) = 10;
    genPointTransform(p, m, p);
    EXPECT_EQ(p, (Point4{11, 2, 3, 1})) << "the output may be the input";
}

TEST(Matrix4, CircleCentreThroughThreePoints) {
    Point3 centre;
    ASSERT_EQ(genCircleCentre3({1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, centre), 1);
    expectPointNear(centre, {0, 0, 0});
    ASSERT_EQ(genCircleCentre3({3, 2, 7}, {1, 4, 7}, {-1, 2, 7}, centre), 1);
    expectPointNear(centre, {1, 2, 7});

    // A circle of radius 2 about (1, 2, 3) in the plane across (1, 1, 1).
    const Point3 c{1, 2, 3};
    const Point3 u{1 / std::sqrt(2.0), -1 / std::sqrt(2.0), 0}, v{1 / std::sqrt(6.0), 1 / std::sqrt(6.0), -2 / std::sqrt(6.0)};
    auto on = [&](double angle) {
        return Point3{c.x + 2 * (std::cos(angle) * u.x + std::sin(angle) * v.x),
                      c.y + 2 * (std::cos(angle) * u.y + std::sin(angle) * v.y),
                      c.z + 2 * (std::cos(angle) * u.z + std::sin(angle) * v.z)};
    };
    ASSERT_EQ(genCircleCentre3(on(0.1), on(2.0), on(4.0), centre), 1);
    expectPointNear(centre, c);

    Point3 kept{9, 9, 9};
    EXPECT_EQ(genCircleCentre3({0, 0, 0}, {1, 1, 1}, {2, 2, 2}, kept), 0) << "collinear";
    EXPECT_EQ(genCircleCentre3({1, 1, 1}, {1, 1, 1}, {1, 1, 1}, kept), 0) << "one point";
    EXPECT_EQ(kept, (Point3{9, 9, 9}));
}

TEST(Matrix4, LineAnglesAndVertexAngles) {
    struct LineCase {
        const char* name;
        Point2 a, b;
        double angle;
    } lines[] = {
        {"up", {1, 1}, {1, 5}, kPi / 2},
        {"down", {1, 1}, {1, -5}, -kPi / 2},
        {"same point", {1, 1}, {1, 1}, kPi / 2},
        {"right", {0, 0}, {2, 0}, 0},
        {"left and up", {0, 0}, {-1, 1}, 3 * kPi / 4},
        {"left and down", {0, 0}, {-1, -1}, 5 * kPi / 4},
    };
    for (const LineCase& c : lines) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(genLineAngle(c.a, c.b), c.angle, 1e-15);
    }
    struct VertexCase {
        const char* name;
        Point2 a, v, b;
        double angle;
    } vertices[] = {
        {"straight on", {-1, 0}, {0, 0}, {1, 0}, kPi},
        {"right angle", {1, 0}, {0, 0}, {0, 1}, kPi / 2},
        {"back along", {1, 0}, {0, 0}, {2, 0}, 0},
        {"across the wrap", {1, -1}, {0, 0}, {-1, -1}, kPi / 2},
        {"vertical leg", {0, -3}, {0, 0}, {1, 0}, kPi / 2},
    };
    for (const VertexCase& c : vertices) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(genAngleAtVertex(c.a, c.v, c.b), c.angle, 1e-15);
    }
}

} // namespace
} // namespace tracemill
