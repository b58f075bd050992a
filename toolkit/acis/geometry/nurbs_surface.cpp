#include "toolkit/acis/geometry/nurbs_surface.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {
namespace {

constexpr int kMaxNewtonSteps = 500;
const double kBinomial[3][3] = {{1, 0, 0}, {1, 1, 0}, {1, 2, 1}};

double rangeNumber(double end) { return end < 1.0 ? 1.0 : std::floor(end + 1.0); }

// The residual r is across both tangents (relatively, within 1e-10).
bool residualAlongNormal(const aVector& r, const aVector& su, const aVector& sv) {
    const double length = r.length();
    return std::fabs(r.dot(su) / su.length()) / length <= 1e-10 && std::fabs(r.dot(sv) / sv.length()) / length <= 1e-10;
}

} // namespace

c_NURBSSurface::c_NURBSSurface(std::span<const HomogeneousPoint> net, int nu, int nv, std::span<const float> uKnots,
                               std::span<const float> vKnots)
    : mNu(nu), mNv(nv), mUKnots(nu - 1, int(uKnots.size()) - nu, nullptr),
      mVKnots(nv - 1, int(vKnots.size()) - nv, nullptr) {
    if (mUKnots.numKnots() == int(uKnots.size())) mUKnots.setKnots(uKnots);
    else mUKnots.clear();
    if (mVKnots.numKnots() == int(vKnots.size())) mVKnots.setKnots(vKnots);
    else mVKnots.clear();
    if (nu > 0 && nv > 0 && net.size() >= size_t(nu) * size_t(nv)) mNet.assign(net.begin(), net.begin() + nu * nv);
}

bool c_NURBSSurface::getPointAt(double u, double v, aPoint& p) const {
    p = kOrigin;
    const int ku = mUKnots.order(), kv = mVKnots.order();
    if (mNet.empty() || ku < 1 || kv < 1) return false;
    std::vector<double> nu(static_cast<size_t>(ku)), nv(static_cast<size_t>(kv));
    const int su = mUKnots.Evaluate(u, nu), sv = mVKnots.Evaluate(v, nv);
    if (su < 0 || sv < 0) return false;
    double sum[4] = {0, 0, 0, 0};
    for (int j = 0; j < kv; ++j) {
        double row[4] = {0, 0, 0, 0};
        for (int i = 0; i < ku; ++i) {
            const HomogeneousPoint& h = at(su - ku + 1 + i, sv - kv + 1 + j);
            for (size_t c = 0; c < 4; ++c) row[c] += double(nu[size_t(i)]) * h[c];
        }
        for (size_t c = 0; c < 4; ++c) sum[c] += double(nv[size_t(j)]) * row[c];
    }
    const aPoint result(sum[0] / sum[3], sum[1] / sum[3], sum[2] / sum[3]);
    if (!isFinite(result)) return false;
    p = result;
    return true;
}

bool c_NURBSSurface::derivatives(double u, double v, int d, std::array<aVector, 9>& s) const {
    const int ku = mUKnots.order(), kv = mVKnots.order();
    if ((d != 1 && d != 2) || mNet.empty() || ku < 1 || kv < 1) return false;
    std::vector<double> du, dv;
    const int orderU = std::min(d, ku - 1), orderV = std::min(d, kv - 1);
    const int su = mUKnots.evaluateDerivatives(u, orderU, du), sv = mVKnots.evaluateDerivatives(v, orderV, dv);
    if (su < 0 || sv < 0) return false;
    aVector a[3][3];
    double w[3][3] = {};
    for (int i = 0; i <= orderU; ++i) {
        for (int j = 0; j <= orderV && i + j <= d; ++j) {
            for (int b = 0; b < kv; ++b) {
                for (int c = 0; c < ku; ++c) {
                    const HomogeneousPoint& h = at(su - ku + 1 + c, sv - kv + 1 + b);
                    const double n = du[size_t(i * ku + c)] * dv[size_t(j * kv + b)];
                    a[i][j] += n * aVector(h[0], h[1], h[2]);
                    w[i][j] += n * h[3];
                }
            }
        }
    }
    if (w[0][0] == 0.0) return false;
    s.fill(kZeroVector);
    for (int k = 0; k <= d; ++k) {
        for (int l = 0; k + l <= d; ++l) {
            aVector value = a[k][l];
            for (int j = 1; j <= l; ++j) value = value - (kBinomial[l][j] * w[0][j]) * s[size_t(3 * k + l - j)];
            for (int i = 1; i <= k; ++i) {
                value = value - (kBinomial[k][i] * w[i][0]) * s[size_t(3 * (k - i) + l)];
                aVector mixed;
                for (int j = 1; j <= l; ++j) mixed += (kBinomial[l][j] * w[i][j]) * s[size_t(3 * (k - i) + l - j)];
                value = value - kBinomial[k][i] * mixed;
            }
            s[size_t(3 * k + l)] = value / w[0][0];
        }
    }
    return std::all_of(s.begin(), s.end(), [](const aVector& x) { return isFinite(x); });
}

bool c_NURBSSurface::closedAlong(bool alongU) const {
    if (mNet.empty()) return false;
    const int count = alongU ? mNv : mNu;
    for (int k = 0; k < count; ++k) {
        const HomogeneousPoint& first = alongU ? at(0, k) : at(k, 0);
        const HomogeneousPoint& last = alongU ? at(mNu - 1, k) : at(k, mNv - 1);
        if (first != last) return false;
    }
    return true;
}

bool c_NURBSSurface::closedInU() const {
    if (mClosedU == 0) mClosedU = closedAlong(true) ? 1 : 2;
    return mClosedU == 1;
}

bool c_NURBSSurface::closedInV() const {
    if (mClosedV == 0) mClosedV = closedAlong(false) ? 1 : 2;
    return mClosedV == 1;
}

double c_NURBSSurface::adjustParameter(bool closed, double t, double lo, double hi) {
    if (!closed) return std::clamp(t, lo, hi);
    if (t < lo) return hi - (lo - t);
    if (t > hi) return t - hi + lo;
    return t;
}

c_NURBSCurve c_NURBSSurface::isoCurve(bool alongV, double t) const {
    // Each control point of the curve is the homogeneous point at t of one row (or column) of
    // the net; the curve runs over the other direction's knots.
    const c_BSplineBasisFcns& fixed = alongV ? mUKnots : mVKnots;
    const c_BSplineBasisFcns& running = alongV ? mVKnots : mUKnots;
    const int k = fixed.order(), count = alongV ? mNv : mNu;
    if (mNet.empty() || k < 1 || running.numKnots() == 0) return {};
    std::vector<double> n(static_cast<size_t>(k));
    const int s = fixed.Evaluate(t, n);
    if (s < 0) return {};
    std::vector<HomogeneousPoint> points(static_cast<size_t>(count));
    for (int j = 0; j < count; ++j) {
        double sum[4] = {0, 0, 0, 0};
        for (int i = 0; i < k; ++i) {
            const HomogeneousPoint& h = alongV ? at(s - k + 1 + i, j) : at(j, s - k + 1 + i);
            for (size_t c = 0; c < 4; ++c) sum[c] += n[size_t(i)] * h[c];
        }
        points[size_t(j)] = {float(sum[0]), float(sum[1]), float(sum[2]), float(sum[3])};
    }
    return c_NURBSCurve(points, running.knots());
}

int c_NURBSSurface::trySearch(const aPoint& p, int s, double& u, double& v) const {
    if (mUKnots.numKnots() == 0 || mVKnots.numKnots() == 0 || mNet.empty()) return -1;
    const double u0 = mUKnots.minParam(), u1 = mUKnots.maxParam(), v0 = mVKnots.minParam(), v1 = mVKnots.maxParam();
    const double du = (u1 - u0) / (s - 1), dv = (v1 - v0) / (s - 1);
    u = u0;
    v = v0;
    aPoint q;
    getPointAt(u0, v0, q);
    double best = q.distanceSquared(p);
    for (int i = 1; i < s; ++i) {
        for (int j = 0; j < s; ++j) {
            getPointAt(u0 + i * du, v0 + j * dv, q);
            const double distance = q.distanceSquared(p);
            if (distance < best) {
                best = distance;
                u = u0 + i * du;
                v = v0 + j * dv;
            }
        }
    }
    const bool closedU = closedInU(), closedV = closedInV();
    for (int step = 0; step < kMaxNewtonSteps; ++step) {
        std::array<aVector, 9> d;
        if (!derivatives(u, v, 2, d)) return -4;
        const aPoint at(d[0]);
        if (at.coincident(p)) return 0;
        const aVector r = at - p, su = d[3], sv = d[1], suu = d[6], suv = d[4], svv = d[2];
        if (residualAlongNormal(r, su, sv)) return -2;
        const double j00 = r.dot(suu) + su.dot(su), j01 = r.dot(suv) + su.dot(sv), j11 = r.dot(svv) + sv.dot(sv);
        const double det = j00 * j11 - j01 * j01;
        if (!(std::fabs(det) >= 1e-7)) return -4;
        const double ru = -r.dot(su), rv = -r.dot(sv);
        const double nu = adjustParameter(closedU, u + (ru * j11 - j01 * rv) / det, u0, u1);
        const double nv = adjustParameter(closedV, v + (j00 * rv - j01 * ru) / det, v0, v1);
        if (!std::isfinite(nu) || !std::isfinite(nv)) return -4;
        if (((nu - u) * su + (nv - v) * sv).length() <= 1e-8) {
            // The last small step may still reach the foot of the normal.
            std::array<aVector, 9> last;
            if (derivatives(nu, nv, 1, last) && residualAlongNormal(aPoint(last[0]) - p, last[3], last[1])) {
                u = nu;
                v = nv;
                return -2;
            }
            return -3;
        }
        u = nu;
        v = nv;
    }
    return -5;
}

int c_NURBSSurface::getParameterOf(const aPoint& p, double& u, double& v) const {
    const double bu = rangeNumber(mUKnots.maxParam()), bv = rangeNumber(mVKnots.maxParam());
    int code = -5;
    for (int s = 100; s < 250 && (code == -5 || code == -4); s += 55) code = trySearch(p, s, u, v);
    switch (code) {
    case 0:
    case -2:
    case -3: return code;
    case -1:
        u = 10 * bu;
        v = 10 * bv;
        return code;
    case -4:
    case -5:
        u = 50 * bu;
        v = 50 * bv;
        return code;
    default:
        kernelDiagnostics() << "Undefined return code from try_getParameterOf: " << code << '\n';
        u = 40 * bu;
        v = 40 * bv;
        return code;
    }
}

void c_NURBSSurface::print(std::ostream& out) const {
    out << "c_NURBSSurface " << mNu - 1 << ' ' << mNv - 1 << ' ' << mUKnots.numKnots() << ' ' << mVKnots.numKnots()
        << "\n\t";
    if (!mNet.empty()) {
        for (int i = 0; i < mNu; ++i) {
            for (int j = 0; j < mNv; ++j) {
                for (float value : at(i, j)) out << value << ' ';
            }
            out << "\n\t";
        }
    }
    for (float knot : mUKnots.knots()) out << knot << ' ';
    out << '\n';
    for (float knot : mVKnots.knots()) out << knot << ' ';
    out << '\n';
}

int c_NURBSSurface::isoCurves(int n, CurveArray& curves) const {
    if (n < 1) return 0;
    const double u0 = mUKnots.minParam(), v0 = mVKnots.minParam();
    const double du = (mUKnots.maxParam() - u0) / (n + 1), dv = (mVKnots.maxParam() - v0) / (n + 1);
    for (int i = 1; i <= n; ++i) curves.push_back(std::make_unique<c_NURBSCurve>(constantU(u0 + i * du)));
    for (int i = 1; i <= n; ++i) curves.push_back(std::make_unique<c_NURBSCurve>(constantV(v0 + i * dv)));
    return 2 * n;
}

aVector c_NURBSSurface::normalAt(const aPoint& p) const {
    double u, v;
    getParameterOf(p, u, v);
    std::array<aVector, 9> d;
    if (!derivatives(u, v, 1, d)) return kZeroVector;
    aVector n = d[3].cross(d[1]);
    n.normalize();
    return n;
}

int c_NURBSSurface::curvesThrough(const aPoint& p, CurveArray& curves, int n) const {
    double u, v;
    getParameterOf(p, u, v);
    if (n < 1) return 0;
    curves.push_back(std::make_unique<c_NURBSCurve>(constantU(u)));
    if (n < 2) return 1;
    curves.push_back(std::make_unique<c_NURBSCurve>(constantV(v)));
    return 2;
}

} // namespace tracemill
