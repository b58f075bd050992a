#include "toolkit/acis/intersect/polynomial_solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "acis_test_support.h"

namespace tracemill {
namespace {

using test::AcisKernelTest;
using test::kPi;

class PolynomialSolverTest : public AcisKernelTest {};

// The coefficients (lowest power first) of lead * product of (x - root).
std::vector<double> fromRoots(const std::vector<double>& roots, double lead = 1.0) {
    std::vector<double> c = {lead};
    for (double r : roots) {
        std::vector<double> next(c.size() + 1, 0.0);
        for (size_t i = 0; i < c.size(); ++i) {
            next[i + 1] += c[i];
            next[i] -= r * c[i];
        }
        c = next;
    }
    return c;
}

struct Expected {
    double value;
    int multiplicity;
};

void expectRoots(const std::vector<double>& c, const std::vector<Expected>& expected, double tolerance) {
    RootArray roots;
    const int n = solvePolynomial(c, int(c.size()) - 1, roots);
    ::testing::Message found;
    for (int i = 0; i < n; ++i) found << roots[size_t(i)].value << "x" << roots[size_t(i)].multiplicity << " ";
    ASSERT_EQ(n, int(expected.size())) << found;
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(roots[size_t(i)].value, expected[size_t(i)].value, tolerance) << "root " << i;
        EXPECT_EQ(roots[size_t(i)].multiplicity, expected[size_t(i)].multiplicity) << "root " << i;
    }
}

TEST_F(PolynomialSolverTest, EdgeCaseRows) {
    const struct {
        const char* name;
        std::vector<double> c;
        std::vector<Expected> roots;
    } rows[] = {
        {"x^3", {0, 0, 0, 1}, {{0, 3}}},
        {"(x - 1)^2 (x + 2)", fromRoots({1, 1, -2}), {{-2, 1}, {1, 2}}},
        {"x^2 + 1", {1, 0, 1}, {}},
        {"x^2 - 2x + 1: discriminant 0", {1, -2, 1}, {{1, 2}}},
        {"linear", {-3, 2}, {{1.5, 1}}},
        {"leading coefficient below 1e-6 of the largest", {-2, 1, 0, 1e-9}, {{2, 1}}},
        {"x^4 - x^2: zero root of multiplicity 2", {0, 0, -1, 0, 1}, {{-1, 1}, {0, 2}, {1, 1}}},
        {"no real root of a quartic", {1, 0, 0, 0, 1}, {}},
        {"one real root of a cubic", {1, 1, 0, 1}, {{-0.6823278038280193, 1}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        expectRoots(row.c, row.roots, 1e-9);
    }
}

TEST_F(PolynomialSolverTest, DegenerateInput) {
    RootArray roots;
    const std::vector<double> tiny = {1e-9, -1e-9, 1e-10};
    EXPECT_EQ(solvePolynomial(tiny, 2, roots), -1);
    const std::vector<double> constant = {5, 0, 0, 1e-7};
    EXPECT_EQ(solvePolynomial(constant, 3, roots), -1);
    std::vector<double> high(22, 0.0);
    high[21] = 1;
    high[0] = -1;
    EXPECT_EQ(solvePolynomial(high, 21, roots), -3);
    const std::vector<double> broken = {1, std::nan(""), 1};
    EXPECT_EQ(solvePolynomial(broken, 2, roots), -1);
    EXPECT_EQ(messages.text(), "");
}

TEST_F(PolynomialSolverTest, SmallLeadingCoefficientDumpsTheCoefficients) {
    RootArray roots;
    const std::vector<double> c = {-0.0001, 0.0005};
    EXPECT_EQ(solvePolynomial(c, 1, roots), 1);
    EXPECT_NEAR(roots[0].value, 0.2, 1e-12);
    EXPECT_EQ(messages.text(), "c[0] = -0.000100\nc[1] = 0.000500\n");
}

TEST_F(PolynomialSolverTest, RecoversPolynomialsBuiltFromKnownRoots) {
    test::RandomGeometry random(163);
    for (int trial = 0; trial < 400; ++trial) {
        const int degree = 1 + trial % 8;
        // Distinct roots at least 0.3 apart, some of them repeated, sometimes a zero root. The
        // roots lie on a grid of eighths and the leading coefficient is a power of two, so the
        // coefficients hold the roots exactly and a double root is a double root.
        std::vector<Expected> distinct;
        int used = 0;
        while (used < degree) {
            const int multiplicity = std::min(degree - used, random.integer(1, 10) > 7 ? random.integer(2, 3) : 1);
            double value = std::round(random.uniform(-4, 4) * 8) / 8;
            if (random.integer(0, 9) == 0) value = 0.0;
            const bool clash = std::any_of(distinct.begin(), distinct.end(),
                                           [&](const Expected& e) { return std::fabs(e.value - value) < 0.3; });
            if (clash) continue;
            distinct.push_back({value, multiplicity});
            used += multiplicity;
        }
        std::sort(distinct.begin(), distinct.end(), [](auto& a, auto& b) { return a.value < b.value; });
        std::vector<double> all;
        for (const Expected& e : distinct) all.insert(all.end(), size_t(e.multiplicity), e.value);
        const double lead = std::ldexp(1.0, random.integer(-2, 2)) * (random.integer(0, 1) ? 1 : -1);
        SCOPED_TRACE(::testing::Message() << "trial " << trial << " degree " << degree);
        const bool multiple = std::any_of(distinct.begin(), distinct.end(), [](auto& e) { return e.multiplicity > 1; });
        expectRoots(fromRoots(all, lead), distinct, multiple ? 1e-5 : 1e-8);
    }
}

TEST_F(PolynomialSolverTest, QuadraticRows) {
    const struct {
        const char* name;
        double a, b, c;
        int result;
        double r0, r1;
        bool doubleRoot;
    } rows[] = {
        {"two roots ascending", 1, -3, 2, 2, 1, 2, false},
        {"two roots ascending, negative lead", -1, 3, -2, 2, 1, 2, false},
        {"double root", 1, 2, 1, 1, -1, 0, true},
        {"no real root", 1, 0, 1, -2, 0, 0, false},
        {"linear", 0, 2, -1, 1, 0.5, 0, false},
        {"vanishing", 0, 0, 1, -1, 0, 0, false},
        {"all zero", 0, 0, 0, -1, 0, 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        double roots[2] = {0, 0};
        bool doubleRoot = true;
        EXPECT_EQ(solveQuadratic(row.a, row.b, row.c, roots, doubleRoot), row.result);
        if (row.result >= 1) {
            EXPECT_DOUBLE_EQ(roots[0], row.r0);
            EXPECT_EQ(doubleRoot, row.doubleRoot);
        }
        if (row.result == 2) {
            EXPECT_DOUBLE_EQ(roots[1], row.r1);
        }
    }
}

TEST_F(PolynomialSolverTest, TrigQuadraticRows) {
    const struct {
        const char* name;
        double A, B, C;
        int result;
        std::vector<Expected> angles;
    } rows[] = {
        {"t = 1 gives pi/2", 1, -2, 1, 1, {{kPi / 2, 2}}},
        {"t = -1 gives -pi/2", 1, 2, 1, 1, {{-kPi / 2, 2}}},
        {"t = 0; the second pass has no angle", 1, 0, 0, -8, {{0, 2}}},
        {"two angles sorted", 1, 0, -0.25, 2, {{-2 * std::atan(0.5), 1}, {2 * std::atan(0.5), 1}}},
        {"roots beyond 1 come from the second pass", 1, 0, -9, 2,
         {{-(kPi - 2 * std::atan(1.0 / 3)), 1}, {kPi - 2 * std::atan(1.0 / 3), 1}}},
        {"no angle", 1, 0, 1, 0, {}},
        {"A and B vanish", 0, 0, 1, -4, {{kPi, 2}}},
        {"everything vanishes", 0, 0, 0, -3, {}},
        {"linear: t = 0.5 and the angle pi", 0, 1, -0.5, 2, {{2 * std::atan(0.5), 1}, {kPi, 1}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RootArray angles;
        EXPECT_EQ(solveTrigQuadratic(row.A, row.B, row.C, angles), row.result);
        for (size_t i = 0; i < row.angles.size(); ++i) {
            EXPECT_NEAR(angles[i].value, row.angles[i].value, 1e-12);
            EXPECT_EQ(angles[i].multiplicity, row.angles[i].multiplicity);
        }
    }
}

TEST_F(PolynomialSolverTest, TrigQuarticFindsEveryAngle) {
    test::RandomGeometry random(4);
    for (int trial = 0; trial < 200; ++trial) {
        // a cos^2 + b sin cos + ... : build the quartic in t = tan(theta/2) from an equation in
        // cos and sin with known solutions: (cos - cos t1)(cos - cos t2) = 0 has the four angles
        // +-t1, +-t2.
        const double t1 = random.uniform(0.1, 1.5), t2 = random.uniform(1.7, 3.0);
        const double c1 = std::cos(t1), c2 = std::cos(t2);
        // cos = (1 - t^2)/(1 + t^2): multiply (cos - c1)(cos - c2) by (1 + t^2)^2.
        auto factor = [](double c) { return std::vector<double>{1 - c, 0, -1 - c}; };
        const std::vector<double> f1 = factor(c1), f2 = factor(c2);
        double q[5] = {0, 0, 0, 0, 0};
        for (size_t i = 0; i < 3; ++i) {
            for (size_t j = 0; j < 3; ++j) q[i + j] += f1[i] * f2[j];
        }
        RootArray angles;
        const int n = solveTrigQuartic(q, angles);
        ASSERT_EQ(n, 4);
        std::vector<double> found;
        for (int i = 0; i < n; ++i) found.push_back(angles[size_t(i)].value);
        std::sort(found.begin(), found.end());
        const std::vector<double> expected = {-t2, -t1, t1, t2};
        for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(found[i], expected[i], 1e-8);
    }
}

} // namespace
} // namespace tracemill
