#include "toolkit/acis/geometry/bspline_basis.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {

c_BSplineBasisFcns::c_BSplineBasisFcns(int n, int k, const float* knots) {
    if (n <= 0 || k <= 0) return;
    mLastIndex = n;
    mOrder = k;
    mKnots.assign(size_t(n) + size_t(k) + 1, 0.0f);
    if (knots) setKnots(std::span<const float>(knots, mKnots.size()));
    else mAscending = true;
}

void c_BSplineBasisFcns::clear() {
    mLastIndex = 0;
    mOrder = 0;
    mKnots.clear();
    mAscending = false;
}

void c_BSplineBasisFcns::setKnots(std::span<const float> values) {
    std::copy_n(values.begin(), std::min(values.size(), mKnots.size()), mKnots.begin());
    mAscending = std::all_of(mKnots.begin(), mKnots.end(), [](float v) { return std::isfinite(v); }) &&
                 std::is_sorted(mKnots.begin(), mKnots.end());
}

double c_BSplineBasisFcns::knot(int i) const {
    if (i < 0 || i >= numKnots()) return -9999.0;
    return mKnots[size_t(i)];
}

double c_BSplineBasisFcns::minParam() const { return mKnots.empty() ? 0.0 : knot(mOrder - 1); }

double c_BSplineBasisFcns::maxParam() const { return mKnots.empty() ? 0.0 : knot(mLastIndex + 1); }

int c_BSplineBasisFcns::knotMultiplicity(double u) const {
    int count = 0;
    for (float value : mKnots) {
        if (value - u >= 0.001) break;
        if (std::fabs(value - u) < 0.001) ++count;
    }
    return count;
}

c_BSplineBasisFcns c_BSplineBasisFcns::insertKnot(double u) const {
    const int span = findSpan(u);
    if (span < 0) return {};
    std::vector<float> values(mKnots.begin(), mKnots.end());
    values.insert(values.begin() + span + 1, float(u));
    return c_BSplineBasisFcns(mLastIndex + 1, mOrder, values.data());
}

int c_BSplineBasisFcns::findSpan(double u) const {
    if (mKnots.empty() || !mAscending || !std::isfinite(u)) return -1;
    const double tol = (knot(mLastIndex + 1) - knot(mOrder - 1)) * 1e-6;
    for (int i = mOrder - 1; i <= mLastIndex; ++i) {
        if (knot(i) - u >= tol) continue;
        if (u < knot(i + 1) - tol) return i;
    }
    if (std::fabs(u - knot(mLastIndex + 1)) >= tol) return -1;
    // The end of the range: the last span of non-zero width (knots repeated beyond the order
    // leave empty spans at the end).
    for (int i = mLastIndex; i >= mOrder - 1; --i) {
        if (knot(i) < knot(i + 1)) return i;
    }
    return -1;
}

template <typename Real> int c_BSplineBasisFcns::evaluateBasis(double u, std::span<Real> N) const {
    if (N.data() == nullptr || N.size() < size_t(mOrder)) {
        kernelDiagnostics() << "*** Warning: c_BSplineBasisFcns::Evaluate: N is NULL.\n";
        return -1;
    }
    const int s = findSpan(u);
    if (s < 0) return s;
    const int k = mOrder;
    std::vector<Real> left(size_t(k), Real(0)), right(size_t(k), Real(0));
    N[0] = Real(1);
    for (int j = 1; j < k; ++j) {
        left[size_t(j)] = Real(u - knot(s + 1 - j));
        right[size_t(j)] = Real(knot(s + j) - u);
        Real saved = Real(0);
        for (int r = 0; r < j; ++r) {
            const Real temp = N[size_t(r)] / (right[size_t(r + 1)] + left[size_t(j - r)]);
            N[size_t(r)] = saved + right[size_t(r + 1)] * temp;
            saved = left[size_t(j - r)] * temp;
        }
        N[size_t(j)] = saved;
    }
    return s;
}

int c_BSplineBasisFcns::Evaluate(double u, std::span<float> N) const { return evaluateBasis(u, N); }

int c_BSplineBasisFcns::Evaluate(double u, std::span<double> N) const { return evaluateBasis(u, N); }

int c_BSplineBasisFcns::evaluateDerivatives(double u, int d, std::vector<double>& rows) const {
    if (d < 0) return -1;
    const int s = findSpan(u);
    if (s < 0) return s;
    const int k = mOrder, p = k - 1;
    const size_t width = size_t(k);
    rows.assign(size_t(d + 1) * width, 0.0);
    // ndu holds the basis functions (upper triangle) and the knot differences (lower).
    std::vector<double> ndu(width * width, 0.0), left(width, 0.0), right(width, 0.0);
    auto at = [&](int i, int j) -> double& { return ndu[size_t(i) * width + size_t(j)]; };
    at(0, 0) = 1.0;
    for (int j = 1; j <= p; ++j) {
        left[size_t(j)] = u - knot(s + 1 - j);
        right[size_t(j)] = knot(s + j) - u;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            at(j, r) = right[size_t(r + 1)] + left[size_t(j - r)];
            const double temp = at(r, j - 1) / at(j, r);
            at(r, j) = saved + right[size_t(r + 1)] * temp;
            saved = left[size_t(j - r)] * temp;
        }
        at(j, j) = saved;
    }
    for (int j = 0; j <= p; ++j) rows[size_t(j)] = at(j, p);
    const int top = std::min(d, p);
    std::vector<double> a(2 * width, 0.0);
    auto coefficient = [&](int row, int j) -> double& { return a[size_t(row) * width + size_t(j)]; };
    for (int r = 0; r <= p; ++r) {
        int s1 = 0, s2 = 1;
        coefficient(0, 0) = 1.0;
        for (int order = 1; order <= top; ++order) {
            double value = 0.0;
            const int rk = r - order, pk = p - order;
            if (r >= order) {
                coefficient(s2, 0) = coefficient(s1, 0) / at(pk + 1, rk);
                value = coefficient(s2, 0) * at(rk, pk);
            }
            const int j1 = rk >= -1 ? 1 : -rk;
            const int j2 = (r - 1 <= pk) ? order - 1 : p - r;
            for (int j = j1; j <= j2; ++j) {
                coefficient(s2, j) = (coefficient(s1, j) - coefficient(s1, j - 1)) / at(pk + 1, rk + j);
                value += coefficient(s2, j) * at(rk + j, pk);
            }
            if (r <= pk) {
                coefficient(s2, order) = -coefficient(s1, order - 1) / at(pk + 1, r);
                value += coefficient(s2, order) * at(r, pk);
            }
            rows[size_t(order) * width + size_t(r)] = value;
            std::swap(s1, s2);
        }
    }
    double factor = p;
    for (int order = 1; order <= top; ++order) {
        for (int j = 0; j <= p; ++j) rows[size_t(order) * width + size_t(j)] *= factor;
        factor *= (p - order);
    }
    return s;
}

} // namespace tracemill
