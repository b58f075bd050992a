#include "toolkit/acis/intersect/polynomial_solver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <ostream>

#include "toolkit/acis/intersect/record_geometry.h"
#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kMaxNewtonSteps = 200;
// Newton starts that rootInInterval tries (grids of 1, 2, 4 ... 32 points) before it bisects.
constexpr int kMaxGridLevels = 6;
constexpr int kMaxBisections = 200;

double polynomialAt(std::span<const double> c, int degree, double x) {
    double value, slope;
    evalPolynomial(c, degree, x, value, slope);
    return value;
}

// Inserts (0, k) into the ascending roots[0 .. count).
int insertZeroRoot(RootArray& roots, int count, int k) {
    count = std::max(count, 0);
    if (k <= 0 || count >= kMaxPolynomialDegree) return count;
    int at = 0;
    while (at < count && roots[size_t(at)].value < 0.0) ++at;
    std::move_backward(roots.begin() + at, roots.begin() + count, roots.begin() + count + 1);
    roots[size_t(at)] = {0.0, k};
    return count + 1;
}

// Newton from start, start + h, start + 2h ... until a result lies on the far side of the
// critical point r (at or left of it for h < 0, at or right for h > 0); the last result after
// 200 starts otherwise.
double outwardRoot(std::span<const double> c, int degree, double r, double h) {
    double root = r;
    for (int i = 1; i <= kMaxNewtonSteps; ++i) {
        root = newtonRoot(c, degree, r + i * h);
        if (h < 0.0 ? root <= r : root >= r) break;
    }
    return root;
}

bool movesTowardsZero(double atCritical, double atStep) {
    return (atCritical > 0.0 && atStep < atCritical) || (atCritical < 0.0 && atStep > atCritical);
}

void addHalfAngleRoot(double t, int multiplicity, double offset, RootArray& angles, int& count) {
    double theta;
    if (std::fabs(t + 1.0) < kPlaneContactTol) {
        theta = offset - kPi / 2.0;
    } else if (std::fabs(t - 1.0) < kPlaneContactTol) {
        theta = offset + kPi / 2.0;
    } else if (t > -1.0 && t < 1.0) {
        theta = offset + 2.0 * std::atan(t);
    } else {
        return;
    }
    if (theta > kPi) theta -= 2.0 * kPi;
    for (int i = 0; i < count; ++i) {
        if (std::fabs(angles[size_t(i)].value - theta) < kPlaneContactTol) return;
    }
    if (count < kMaxPolynomialDegree) angles[size_t(count++)] = {theta, multiplicity};
}

} // namespace

void evalPolynomial(std::span<const double> c, int degree, double x, double& value, double& slope) {
    value = c[size_t(degree)];
    slope = 0.0;
    for (int i = degree - 1; i >= 0; --i) {
        slope = slope * x + value;
        value = value * x + c[size_t(i)];
    }
}

double newtonRoot(std::span<const double> c, int degree, double start) {
    const double limit = std::fabs(start) >= 1e-5 ? std::fabs(start) * 1e-12 : 1e-12;
    double x = start;
    for (int i = 0; i < kMaxNewtonSteps; ++i) {
        double value, slope;
        evalPolynomial(c, degree, x, value, slope);
        const double step = value / slope;
        if (!std::isfinite(step) || !std::isfinite(x - step)) break;
        x -= step;
        if (std::fabs(step) <= limit) break;
    }
    return x;
}

double rootInInterval(std::span<const double> c, int degree, double low, double high) {
    for (int level = 1; level <= kMaxGridLevels; ++level) {
        const double cells = std::ldexp(1.0, level);
        for (int i = 1; i < int(cells); i += 2) {
            const double root = newtonRoot(c, degree, low + (i / cells) * (high - low));
            if (root > low && root < high) return root;
        }
    }
    // No start converged inside: bisect the bracket.
    double a = low, b = high;
    const double sa = polynomialAt(c, degree, a) < 0.0 ? -1.0 : 1.0;
    for (int i = 0; i < kMaxBisections; ++i) {
        const double middle = 0.5 * (a + b);
        if (middle <= a || middle >= b) break;
        if ((polynomialAt(c, degree, middle) < 0.0 ? -1.0 : 1.0) == sa) a = middle;
        else b = middle;
    }
    return 0.5 * (a + b);
}

int PolynomialSolver::solveQuadratic(double a, double b, double c, double (&roots)[2], bool& doubleRoot) {
    doubleRoot = false;
    const double m = std::max({std::fabs(a), std::fabs(b), std::fabs(c)});
    if (!std::isfinite(m) || m == 0.0) return -1;
    mEpsilon1 = m * 1e-6;
    if (std::fabs(a) >= mEpsilon1) {
        const double delta = b * b - 4.0 * a * c;
        if (std::fabs(delta) < m * 1e-8) {
            roots[0] = -b / (2.0 * a);
            doubleRoot = true;
            return 1;
        }
        if (delta < 0.0) return -2;
        const double root = std::sqrt(delta);
        roots[0] = (-b - root) / (2.0 * a);
        roots[1] = (root - b) / (2.0 * a);
        if (roots[0] > roots[1]) std::swap(roots[0], roots[1]);
        return 2;
    }
    if (std::fabs(b) < mEpsilon1) return -1;
    roots[0] = -c / b;
    return 1;
}

int PolynomialSolver::solvePolynomial(std::span<const double> c, int degree, RootArray& roots) {
    if (degree < 0 || c.size() <= size_t(degree)) return -1;
    double m = 0.0;
    for (int i = 0; i <= degree; ++i) {
        if (!std::isfinite(c[size_t(i)])) return -1;
        m = std::max(m, std::fabs(c[size_t(i)]));
    }
    if (m < 1e-8) return -1;
    mEpsilon1 = m * 1e-6;
    while (std::fabs(c[size_t(degree)]) < mEpsilon1) {
        if (--degree == 0) return -1;
    }
    if (degree > kMaxPolynomialDegree) return -3;
    if (std::fabs(c[size_t(degree)]) < 0.001) {
        char line[64];
        for (int i = 0; i <= degree; ++i) {
            std::snprintf(line, sizeof line, "c[%d] = %lf\n", i, c[size_t(i)]);
            kernelDiagnostics() << line;
        }
    }
    std::array<double, kMaxPolynomialDegree + 1> monic{};
    double largest = 1.0;
    for (int i = 0; i < degree; ++i) {
        monic[size_t(i)] = c[size_t(i)] / c[size_t(degree)];
        largest = std::max(largest, std::fabs(monic[size_t(i)]));
    }
    monic[size_t(degree)] = 1.0;
    mEpsilon1 = largest * 1e-6;
    mEpsilon2 = largest * 1e-13;
    return findPolynomialRoots(monic, degree, roots);
}

int PolynomialSolver::findPolynomialRoots(std::span<double> a, int degree, RootArray& roots) {
    int zeros = 0;
    while (zeros < degree && std::fabs(a[size_t(zeros)]) <= mEpsilon1) ++zeros;
    if (zeros > 0) {
        std::copy(a.begin() + zeros, a.begin() + degree + 1, a.begin());
        degree -= zeros;
    }
    int count = 0;
    if (degree == 1 || degree == 2) {
        double found[2];
        bool doubleRoot;
        const int n = solveQuadratic(degree == 2 ? a[2] : 0.0, a[1], a[0], found, doubleRoot);
        for (int i = 0; i < n; ++i) roots[size_t(count++)] = {found[i], doubleRoot ? 2 : 1};
    } else if (degree >= 3) {
        std::array<double, kMaxPolynomialDegree + 1> derivative{};
        double largest = 1.0;
        for (int i = 1; i < degree; ++i) {
            derivative[size_t(i - 1)] = i * a[size_t(i)] / degree;
            largest = std::max(largest, std::fabs(derivative[size_t(i - 1)]));
        }
        derivative[size_t(degree - 1)] = 1.0;
        const double saved1 = mEpsilon1, saved2 = mEpsilon2;
        mEpsilon1 = largest * 1e-6;
        mEpsilon2 = largest * 1e-13;
        RootArray critical;
        const int m = std::max(findPolynomialRoots(derivative, degree - 1, critical), 0);
        mEpsilon1 = saved1;
        mEpsilon2 = saved2;

        const std::span<const double> p(a.data(), size_t(degree) + 1);
        if (m < 1) {
            roots[size_t(count++)] = {newtonRoot(p, degree, 0.0), 1};
        } else {
            bool lastWasRoot = false;
            const double r1 = critical[0].value;
            const double p1 = polynomialAt(p, degree, r1);
            if (std::fabs(p1) < mEpsilon2) {
                roots[size_t(count++)] = {r1, critical[0].multiplicity + 1};
                lastWasRoot = true;
            } else {
                const double h = std::fabs(r1) <= 1.0 ? -2.0 : -std::fabs(0.1 * r1);
                if (movesTowardsZero(p1, polynomialAt(p, degree, r1 + h))) {
                    roots[size_t(count++)] = {outwardRoot(p, degree, r1, h), 1};
                }
            }
            for (int i = 0; i + 1 < m; ++i) {
                if (lastWasRoot) {
                    lastWasRoot = false;
                    continue;
                }
                const double low = critical[size_t(i)].value, high = critical[size_t(i + 1)].value;
                const double pHigh = polynomialAt(p, degree, high);
                if (std::fabs(pHigh) < mEpsilon2) {
                    roots[size_t(count++)] = {high, critical[size_t(i + 1)].multiplicity + 1};
                    lastWasRoot = true;
                } else if ((polynomialAt(p, degree, low) < 0.0) != (pHigh < 0.0)) {
                    roots[size_t(count++)] = {rootInInterval(p, degree, low, high), 1};
                }
            }
            if (!lastWasRoot) {
                const double rm = critical[size_t(m - 1)].value;
                const double h = std::fabs(rm) <= 1.0 ? 2.0 : std::fabs(0.1 * rm);
                if (movesTowardsZero(polynomialAt(p, degree, rm), polynomialAt(p, degree, rm + h))) {
                    roots[size_t(count++)] = {outwardRoot(p, degree, rm, h), 1};
                }
            }
        }
    }
    return insertZeroRoot(roots, count, zeros);
}

int solvePolynomial(std::span<const double> coefficients, int degree, RootArray& roots) {
    PolynomialSolver solver;
    return solver.solvePolynomial(coefficients, degree, roots);
}

int solveQuadratic(double a, double b, double c, double (&roots)[2], bool& doubleRoot) {
    PolynomialSolver solver;
    return solver.solveQuadratic(a, b, c, roots, doubleRoot);
}

int solveTrigQuadratic(double A, double B, double C, RootArray& angles) {
    const double m = std::max({std::fabs(A), std::fabs(B), std::fabs(C)});
    if (!std::isfinite(m)) return 0;
    const double eps = m * 1e-6;
    const double delta = B * B - 4.0 * A * C;
    int count = 0, code = 0;
    const double passes[2][4] = {{A, B, C, 0.0}, {C, -B, A, kPi}};
    for (int pass = 0; pass < 2; ++pass) {
        const double a = passes[pass][0], b = passes[pass][1], c = passes[pass][2], offset = passes[pass][3];
        if (m > 0.0 && std::fabs(a) >= eps) {
            if (std::fabs(delta) <= m * 1e-8) {
                addHalfAngleRoot(-b / (2.0 * a), 2, offset, angles, count);
            } else if (delta > 0.0) {
                const double root = std::sqrt(delta);
                addHalfAngleRoot((-b - root) / (2.0 * a), 1, offset, angles, count);
                addHalfAngleRoot((root - b) / (2.0 * a), 1, offset, angles, count);
            }
        } else if (m > 0.0 && std::fabs(b) >= eps) {
            addHalfAngleRoot(-c / b, 1, offset, angles, count);
        } else if (pass == 0) {
            code += (m > 0.0 && std::fabs(c) >= eps) ? -4 : -1;
        } else {
            code += (m > 0.0 && std::fabs(c) >= eps) ? -8 : -2;
        }
    }
    if (code != 0) return code;
    if (count == 2 && angles[0].value > angles[1].value) std::swap(angles[0], angles[1]);
    return count;
}

int solveTrigQuartic(const double (&c)[5], RootArray& angles) {
    // Pass 2 substitutes t = -1/t' (theta = theta' + pi) and multiplies by t'^4.
    const double turned[5] = {c[4], -c[3], c[2], -c[1], c[0]};
    const double* passes[2] = {c, turned};
    int count = 0;
    for (int pass = 0; pass < 2; ++pass) {
        RootArray roots;
        const int n = solvePolynomial(std::span<const double>(passes[pass], 5), 4, roots);
        for (int i = 0; i < n; ++i) {
            addHalfAngleRoot(roots[size_t(i)].value, roots[size_t(i)].multiplicity, pass == 0 ? 0.0 : kPi, angles,
                             count);
        }
    }
    return count;
}

} // namespace tracemill
