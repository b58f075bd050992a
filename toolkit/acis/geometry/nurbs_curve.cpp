#include "toolkit/acis/geometry/nurbs_curve.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <ostream>

#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/ellipse.h"
#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/geometry/matrix4x4.h"
#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/geometry/rat_bezier_curve.h"
#include "toolkit/acis/geometry/sphere.h"
#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kMaxNewtonSteps = 500;
// Sub-intervals per span in which the root searches look for sign changes.
constexpr int kRootSamplesPerSpan = 16;
constexpr int kLineCapacity = 20;

aPoint divided(const HomogeneousPoint& h) {
    if (h[3] == 0.0f) return {h[0], h[1], h[2]};
    return {double(h[0]) / h[3], double(h[1]) / h[3], double(h[2]) / h[3]};
}

HomogeneousPoint weighted(const aPoint& p, double w) {
    return {float(w * p.x), float(w * p.y), float(w * p.z), float(w)};
}

void extendBox(const aPoint& p, aPoint& low, aPoint& high) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
}

const double kBinomial[5][5] = {{1, 0, 0, 0, 0}, {1, 1, 0, 0, 0}, {1, 2, 1, 0, 0}, {1, 3, 3, 1, 0}, {1, 4, 6, 4, 1}};

// The parameter interval of the line p + s d inside the box (grown by `margin`); false when it
// misses the box.
bool clipLineToBox(const aPoint& p, const aVector& d, aPoint low, aPoint high, double margin, double& s0,
                   double& s1) {
    s0 = -INFINITY;
    s1 = INFINITY;
    const double origin[3] = {p.x, p.y, p.z}, direction[3] = {d.x, d.y, d.z};
    const double lo[3] = {low.x - margin, low.y - margin, low.z - margin};
    const double hi[3] = {high.x + margin, high.y + margin, high.z + margin};
    for (int axis = 0; axis < 3; ++axis) {
        if (std::fabs(direction[axis]) < 1e-300) {
            if (origin[axis] < lo[axis] || origin[axis] > hi[axis]) return false;
            continue;
        }
        double a = (lo[axis] - origin[axis]) / direction[axis], b = (hi[axis] - origin[axis]) / direction[axis];
        if (a > b) std::swap(a, b);
        s0 = std::max(s0, a);
        s1 = std::min(s1, b);
    }
    return s0 <= s1 && std::isfinite(s0) && std::isfinite(s1);
}

} // namespace

c_NURBSCurve::c_NURBSCurve(std::span<const HomogeneousPoint> points, std::span<const float> knots) {
    const int n = int(points.size());
    const int k = int(knots.size()) - n;
    if (n < 1 || k < 1) return;
    specifyNCtlPtsAndOrder(n, k);
    if (mKnots.numKnots() != int(knots.size())) {
        *this = c_NURBSCurve();
        return;
    }
    std::copy(points.begin(), points.end(), mControlPoints.begin());
    mKnots.setKnots(knots);
}

c_NURBSCurve::c_NURBSCurve(const aPoint& a, const aPoint& b) {
    specifyNCtlPtsAndOrder(2, 2);
    mControlPoints[0] = weighted(a, 1.0);
    mControlPoints[1] = weighted(b, 1.0);
    const float knots[4] = {0, 0, 1, 1};
    mKnots.setKnots(knots);
}

c_NURBSCurve::c_NURBSCurve(const c_RatBezierCurve& bezier) {
    const int n = bezier.degree() + 1;
    if (bezier.controlPoints().size() != size_t(n) || n < 2) return;
    specifyNCtlPtsAndOrder(n, n);
    std::vector<float> knots(size_t(2 * n), 0.0f);
    std::fill(knots.begin() + n, knots.end(), 1.0f);
    mKnots.setKnots(knots);
    for (int i = 0; i < n; ++i) {
        const c_WeightedPoint& p = bezier.controlPoints()[size_t(i)];
        mControlPoints[size_t(i)] = {float(p.wx), float(p.wy), float(p.wz), float(p.w)};
    }
}

void c_NURBSCurve::specifyNCtlPtsAndOrder(int n, int k) {
    if (!mControlPoints.empty()) {
        kernelDiagnostics() << "*** Warning: c_NURBSCurve::specifyNCtlPtsAndOrder: " << "Overriding previous settings.\n";
    }
    mControlPoints.clear();
    mKnots = c_BSplineBasisFcns(n - 1, k, nullptr);
    if (n < 1) kernelDiagnostics() << "*** Warning: c_NURBSCurve::allocateArrays: mNumberCtlPts=0.\n";
    else mControlPoints.assign(size_t(n), HomogeneousPoint{0, 0, 0, 1});
    if (k < 1) kernelDiagnostics() << "*** Warning: c_NURBSCurve::allocateArrays: order=0.\n";
}

void c_NURBSCurve::setControlPoint(int i, const HomogeneousPoint& point) {
    if (i >= 0 && i < numControlPoints()) mControlPoints[size_t(i)] = point;
}

bool c_NURBSCurve::controlPoint(int i, aPoint& p) const {
    if (i < 0 || i >= numControlPoints()) return false;
    p = divided(mControlPoints[size_t(i)]);
    return true;
}

bool c_NURBSCurve::boundingBox(aPoint& low, aPoint& high) const {
    if (mControlPoints.empty()) return false;
    low = high = divided(mControlPoints[0]);
    for (const HomogeneousPoint& h : mControlPoints) extendBox(divided(h), low, high);
    return true;
}

bool c_NURBSCurve::spanBoundingBox(int i, aPoint& low, aPoint& high) const {
    const int first = i - order() + 1;
    if (first < 0 || i >= numControlPoints()) return false;
    low = high = divided(mControlPoints[size_t(first)]);
    for (int j = first; j <= i; ++j) extendBox(divided(mControlPoints[size_t(j)]), low, high);
    return true;
}

bool c_NURBSCurve::boxesOverlap(const aPoint& lowA, const aPoint& highA, const aPoint& lowB, const aPoint& highB) {
    return lowA.x <= highB.x && lowB.x <= highA.x && lowA.y <= highB.y && lowB.y <= highA.y && lowA.z <= highB.z &&
           lowB.z <= highA.z;
}

bool c_NURBSCurve::getPointAt(double t, aPoint& p) const {
    p = kOrigin;
    const int k = order();
    if (mControlPoints.empty() || k < 1) return false;
    std::vector<double> basis(static_cast<size_t>(k));
    const int s = mKnots.Evaluate(t, basis);
    if (s < 0) return false;
    double sum[4] = {0, 0, 0, 0};
    for (int j = 0; j < k; ++j) {
        const HomogeneousPoint& h = mControlPoints[size_t(s - k + 1 + j)];
        for (int c = 0; c < 4; ++c) sum[c] += double(basis[size_t(j)]) * h[size_t(c)];
    }
    const aPoint result(sum[0] / sum[3], sum[1] / sum[3], sum[2] / sum[3]);
    if (!isFinite(result)) return false;
    p = result;
    return true;
}

int rationalBasis(int k, double t, int n, std::span<const float> knots, std::span<const double> weights,
                  std::span<double> R) {
    if (k < 1 || n < 1 || knots.size() < size_t(n + k) || weights.size() < size_t(n) || R.size() < size_t(n)) {
        return 1;
    }
    std::vector<double> N(size_t(n + k), 0.0);
    for (int i = 0; i <= n + k - 2; ++i) N[size_t(i)] = (knots[size_t(i)] <= t && t < knots[size_t(i + 1)]) ? 1.0 : 0.0;
    for (int p = 2; p <= k; ++p) {
        for (int i = 0; i <= n + k - 1 - p; ++i) {
            double value = 0.0;
            const double left = double(knots[size_t(i + p - 1)]) - knots[size_t(i)];
            const double right = double(knots[size_t(i + p)]) - knots[size_t(i + 1)];
            if (N[size_t(i)] != 0.0 && left != 0.0) value += (t - knots[size_t(i)]) * N[size_t(i)] / left;
            if (N[size_t(i + 1)] != 0.0 && right != 0.0) value += (knots[size_t(i + p)] - t) * N[size_t(i + 1)] / right;
            N[size_t(i)] = value;
        }
    }
    if (t == knots[size_t(n + k - 1)]) N[size_t(n - 1)] = 1.0;
    double sum = 0.0;
    for (int i = 0; i < n; ++i) sum += N[size_t(i)] * weights[size_t(i)];
    for (int i = 0; i < n; ++i) R[size_t(i)] = sum == 0.0 ? 0.0 : N[size_t(i)] * weights[size_t(i)] / sum;
    return 0;
}

bool c_NURBSCurve::derivativesAt(double t, int d, std::array<aVector, 5>& c) const {
    if (d < 1 || d > 4 || mControlPoints.empty()) return false;
    const int k = order();
    std::vector<double> rows;
    const int s = mKnots.evaluateDerivatives(t, d, rows);
    if (s < 0) return false;
    aVector a[5];
    double w[5] = {0, 0, 0, 0, 0};
    for (int j = 0; j <= d; ++j) {
        for (int i = 0; i < k; ++i) {
            const HomogeneousPoint& h = mControlPoints[size_t(s - k + 1 + i)];
            const double n = rows[size_t(j * k + i)];
            a[j] += n * aVector(h[0], h[1], h[2]);
            w[j] += n * h[3];
        }
    }
    if (w[0] == 0.0) return false;
    for (int j = 0; j <= d; ++j) {
        aVector v = a[j];
        for (int i = 1; i <= j; ++i) v = v - (kBinomial[j][i] * w[i]) * c[size_t(j - i)];
        c[size_t(j)] = v / w[0];
    }
    for (int j = 0; j <= d; ++j) {
        if (!isFinite(c[size_t(j)])) return false;
    }
    return true;
}

aVector c_NURBSCurve::tangentAt(double t) const {
    std::array<aVector, 5> c;
    if (!derivativesAt(t, 1, c)) return kZeroVector;
    aVector tangent = c[1];
    tangent.normalize();
    return tangent;
}

aVector c_NURBSCurve::tangentAt(const aPoint& p) const { return tangentAt(getParameterOf(p)); }

c_NURBSCurve c_NURBSCurve::insertKnot(const c_NURBSCurve& source, double u) {
    const c_BSplineBasisFcns knots = source.mKnots.insertKnot(u);
    if (knots.numKnots() == 0 || source.mControlPoints.empty()) return {};
    const int s = source.mKnots.findSpan(u);
    const int k = source.order(), n = source.numControlPoints();
    c_NURBSCurve result;
    result.mKnots = knots;
    result.mControlPoints.resize(size_t(n + 1));
    for (int i = 0; i <= n; ++i) {
        HomogeneousPoint& q = result.mControlPoints[size_t(i)];
        if (i <= s - k + 1) {
            q = source.mControlPoints[size_t(i)];
        } else if (i <= s) {
            const double span = source.mKnots.knot(i + k - 1) - source.mKnots.knot(i);
            const double alpha = span > 0.0 ? (u - source.mKnots.knot(i)) / span : 0.0;
            for (size_t c = 0; c < 4; ++c) {
                q[c] = float((1.0 - alpha) * source.mControlPoints[size_t(i - 1)][c] +
                             alpha * source.mControlPoints[size_t(i)][c]);
            }
        } else {
            q = source.mControlPoints[size_t(i - 1)];
        }
    }
    return result;
}

std::unique_ptr<c_RatBezierCurve> c_NURBSCurve::bezierSegment(int i) const {
    const int k = order();
    if (k < 2 || i < k - 1 || i >= numControlPoints()) return nullptr;
    const double a = mKnots.knot(i), b = mKnots.knot(i + 1);
    if (b - a < geometryTolerances().BasicAngleTol) return nullptr;
    c_NURBSCurve refined = *this;
    for (double u : {a, b}) {
        for (int guard = 0; guard < k && refined.mKnots.knotMultiplicity(u) < k - 1; ++guard) {
            c_NURBSCurve next = insertKnot(refined, u);
            if (next.numKnots() == 0) return nullptr;
            refined = std::move(next);
        }
    }
    const int s = refined.mKnots.findSpan(0.5 * (a + b));
    if (s < k - 1) return nullptr;
    std::vector<c_WeightedPoint> points;
    for (int j = s - k + 1; j <= s; ++j) {
        const HomogeneousPoint& h = refined.mControlPoints[size_t(j)];
        points.emplace_back(h[0], h[1], h[2], h[3]);
    }
    return std::make_unique<c_RatBezierCurve>(points, k - 1);
}

double c_NURBSCurve::closestSample(const aPoint& p, int m) const {
    m = std::max(m, 1);
    const double low = minParam(), high = maxParam();
    double best = low, bestDistance = INFINITY;
    for (int i = 0; i <= m; ++i) {
        const double t = low + i * (high - low) / m;
        aPoint q;
        getPointAt(t, q);
        const double distance = q.distanceSquared(p);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = t;
        }
    }
    return best;
}

int c_NURBSCurve::try_getParameterOf(const aPoint& p, int m, double& t) const {
    if (mKnots.numKnots() == 0 || mControlPoints.empty()) return -1;
    const GeometryTolerances& tol = geometryTolerances();
    t = closestSample(p, m);
    const bool closed = isClosed();
    const double low = minParam(), high = maxParam(), range = high - low;
    for (int step = 0; step < kMaxNewtonSteps; ++step) {
        std::array<aVector, 5> c;
        if (!derivativesAt(t, 2, c)) return -4;
        const aPoint at(c[0]);
        if (at.coincident(p)) return 0;
        const aVector d = at - p;
        const double f = c[1].dot(d), length = c[1].length(), distance = d.length();
        if (distance * length < tol.BasicUnitTol) return -2;
        if (std::fabs(f) / (distance * length) <= 1e-10) return -3;
        // The second derivative of |C - p|^2 / 2.
        const double g = c[2].dot(d) + length * length;
        if (std::fabs(g) < tol.BasicUnitTol) return -4;
        double next = t - f / g;
        if (!std::isfinite(next)) return -4;
        // A closed curve wraps by whole ranges; an open one (or one of no range) is clamped.
        if (next < low) next = (closed && range > 0.0) ? next + range * std::ceil((low - next) / range) : low;
        if (next > high) next = (closed && range > 0.0) ? next - range * std::ceil((next - high) / range) : high;
        next = std::clamp(next, low, high);
        if (std::fabs(next - t) * length <= 1e-8) return -5;
        t = next;
    }
    return -6;
}

double c_NURBSCurve::getParameterOf(const aPoint& p) const {
    const double high = maxParam();
    const double b = high < 1.0 ? 1.0 : std::floor(high + 1.0);
    double t = 0.0;
    int code = -6;
    for (int m = 100; code == -6; m += 55) {
        code = try_getParameterOf(p, m, t);
        if (code == -6 && m + 55 >= 250) return 50.0 * b;
    }
    switch (code) {
    case 0:
    case -3:
    case -5: return t;
    case -4: return 30.0 * b;
    case -2: return 20.0 * b;
    case -1: return 10.0 * b;
    default:
        kernelDiagnostics() << "Undefined return code from try_getParameterOf: " << code << '\n';
        return 40.0 * b;
    }
}

bool c_NURBSCurve::isClosed() const {
    if (mControlPoints.empty()) return false;
    return divided(mControlPoints.front()).coincident(divided(mControlPoints.back()));
}

bool c_NURBSCurve::contains(const aPoint& p) const {
    aPoint q;
    getPointAt(getParameterOf(p), q);
    return q.coincident(p);
}

bool c_NURBSCurve::sameClass(const c_Curve& other) const {
    c_Curve::sameClass(other);
    return false;
}

void c_NURBSCurve::transform(const c_Matrix4x4& m) {
    for (HomogeneousPoint& h : mControlPoints) {
        if (h[3] == 0.0f) continue;
        aPoint p;
        m.transformPoint(divided(h), p);
        h = weighted(p, h[3]);
    }
}

std::unique_ptr<c_Curve> c_NURBSCurve::clone() const { return std::make_unique<c_NURBSCurve>(*this); }

void c_NURBSCurve::print(std::ostream& out) const {
    out << "c_NURBSCurve" << ' ' << numControlPoints() << ' ' << order() << "\n\t";
    const auto precision = out.precision(14);
    for (const HomogeneousPoint& h : mControlPoints) {
        for (float value : h) out << value << ' ';
        out << "\n\t";
    }
    for (float knot : mKnots.knots()) out << knot << ' ';
    out << '\n';
    out.precision(precision);
}

int c_NURBSCurve::intersect(const c_NURBSCurve& other, std::span<aPoint> points) const {
    int count = 0;
    std::vector<std::pair<int, std::unique_ptr<c_RatBezierCurve>>> mine, theirs;
    for (int i = order() - 1; i < numControlPoints(); ++i) {
        if (auto segment = bezierSegment(i)) mine.emplace_back(i, std::move(segment));
    }
    for (int j = other.order() - 1; j < other.numControlPoints(); ++j) {
        if (auto segment = other.bezierSegment(j)) theirs.emplace_back(j, std::move(segment));
    }
    for (const auto& [i, a] : mine) {
        aPoint lowA, highA;
        spanBoundingBox(i, lowA, highA);
        for (const auto& [j, b] : theirs) {
            if (size_t(count) >= points.size()) return count;
            aPoint lowB, highB;
            other.spanBoundingBox(j, lowB, highB);
            if (!boxesOverlap(lowA, highA, lowB, highB)) continue;
            a->intersect(*b, points, count);
        }
    }
    return count;
}

int c_NURBSCurve::intersectLine(const c_Line& line, IntersectionList& items) const {
    aPoint low, high;
    if (!boundingBox(low, high)) return 1;
    double s0, s1;
    if (!clipLineToBox(line.origin(), line.direction(), low, high, geometryTolerances().BasicDistanceTol, s0, s1)) {
        return 1;
    }
    const c_NURBSCurve segment(line.origin() + s0 * line.direction(), line.origin() + s1 * line.direction());
    std::array<aPoint, kLineCapacity> found;
    const int count = intersect(segment, found);
    for (int i = 0; i < count; ++i) addIntersectionPoint(found[size_t(i)], false, items);
    return count > 0 ? 2 : 1;
}

namespace {

// The parameters of the sign changes of f along the curve, span by span: each span is cut into
// sub-intervals, and each sign change is halved down to the resolution of doubles.
template <typename F> std::vector<CurvePoint> rootsAlong(const c_NURBSCurve& curve, F f) {
    std::vector<CurvePoint> roots;
    const c_BSplineBasisFcns& knots = curve.knotSequence();
    auto value = [&](double t) {
        aPoint p;
        curve.getPointAt(t, p);
        return f(p);
    };
    for (int i = curve.order() - 1; i < curve.numControlPoints(); ++i) {
        const double a = knots.knot(i), b = knots.knot(i + 1);
        if (!(b > a)) continue;
        double t0 = a, f0 = value(a);
        for (int step = 1; step <= kRootSamplesPerSpan; ++step) {
            const double t1 = a + (b - a) * step / kRootSamplesPerSpan, f1 = value(t1);
            double root = NAN;
            if (f0 == 0.0) {
                root = t0;
            } else if ((f0 < 0.0) != (f1 < 0.0) && f1 != 0.0) {
                double lo = t0, hi = t1, flo = f0;
                for (int halving = 0; halving < 100; ++halving) {
                    const double middle = 0.5 * (lo + hi);
                    if (middle <= lo || middle >= hi) break;
                    const double fm = value(middle);
                    if ((fm < 0.0) == (flo < 0.0)) {
                        lo = middle;
                        flo = fm;
                    } else {
                        hi = middle;
                    }
                }
                root = 0.5 * (lo + hi);
            }
            if (std::isfinite(root) && (roots.empty() || root - roots.back().t > 1e-12 * (1.0 + std::fabs(root)))) {
                aPoint p;
                curve.getPointAt(root, p);
                roots.push_back({root, p});
            }
            t0 = t1;
            f0 = f1;
        }
        if (i == curve.numControlPoints() - 1 && f0 == 0.0 &&
            (roots.empty() || t0 - roots.back().t > 1e-12 * (1.0 + std::fabs(t0)))) {
            aPoint p;
            curve.getPointAt(t0, p);
            roots.push_back({t0, p});
        }
    }
    std::sort(roots.begin(), roots.end(), [](const CurvePoint& x, const CurvePoint& y) { return x.t < y.t; });
    return roots;
}

} // namespace

std::optional<std::vector<CurvePoint>> c_NURBSCurve::intersectPlane(const c_Plane& plane) const {
    if (mControlPoints.empty() || numKnots() == 0) return std::nullopt;
    const double tol = geometryTolerances().BasicDistanceTol;
    if (std::all_of(mControlPoints.begin(), mControlPoints.end(),
                    [&](const HomogeneousPoint& h) { return std::fabs(plane.signedDistance(divided(h))) < tol; })) {
        return std::vector<CurvePoint>();
    }
    std::vector<CurvePoint> roots = rootsAlong(*this, [&](const aPoint& p) { return plane.signedDistance(p); });
    if (roots.empty()) return std::nullopt;
    return roots;
}

std::optional<std::vector<CurvePoint>> c_NURBSCurve::intersectSphere(const c_Sphere& sphere) const {
    if (mControlPoints.empty() || numKnots() == 0) return std::nullopt;
    const double tol = geometryTolerances().BasicDistanceSquaredTol, r2 = sphere.radius() * sphere.radius();
    auto excess = [&](const aPoint& p) { return p.distanceSquared(sphere.centre()) - r2; };
    if (std::all_of(mControlPoints.begin(), mControlPoints.end(),
                    [&](const HomogeneousPoint& h) { return std::fabs(excess(divided(h))) < tol; })) {
        return std::vector<CurvePoint>();
    }
    std::vector<CurvePoint> roots = rootsAlong(*this, excess);
    if (roots.empty()) return std::nullopt;
    return roots;
}

int c_NURBSCurve::coplanarIntersect(const c_Conic&, IntersectionList&) const { return 1; }

int c_NURBSCurve::intersectConic(const c_Conic& conic, IntersectionList& items) const {
    if (mControlPoints.empty() || numKnots() == 0) return 1;
    const auto* circle = dynamic_cast<const c_Circle*>(&conic);
    const auto* ellipse = dynamic_cast<const c_Ellipse*>(&conic);
    if (!circle && !ellipse) return 1;
    const double tolerance = 1e-4 * (circle ? circle->radius() : ellipse->majorRadius());
    const c_Plane plane(conic.centre(), conic.w());
    const aPoint first = divided(mControlPoints.front());
    const aPoint middle = divided(mControlPoints[mControlPoints.size() / 2]);
    int found = 0;
    if (std::fabs(plane.signedDistance(first)) <= tolerance && std::fabs(plane.signedDistance(middle)) <= tolerance) {
        // In the conic's plane: the conic as a NURBS arc of one full turn against this curve.
        std::unique_ptr<c_NURBSArc> arc = circle ? std::make_unique<c_NURBSArc>(*circle, -kPi, kPi)
                                                 : std::make_unique<c_NURBSArc>(*ellipse, -kPi, kPi);
        std::array<aPoint, kLineCapacity> points;
        found = intersect(*arc, points);
        for (int i = 0; i < found; ++i) addIntersectionPoint(points[size_t(i)], false, items);
    } else {
        const auto crossings = intersectPlane(plane);
        for (const CurvePoint& c : crossings.value_or(std::vector<CurvePoint>())) {
            aPoint onConic;
            conic.getPointAt(conic.getParameterOf(c.point), onConic);
            if (onConic.distance(c.point) <= tolerance) {
                addIntersectionPoint(c.point, false, items);
                ++found;
            }
        }
    }
    return found > 0 ? 2 : 1;
}

c_NURBSArc::c_NURBSArc(const c_Circle& circle, double a0, double a1) : mConic(std::make_unique<c_Circle>(circle)) {
    build(a0, a1, circle.radius(), circle.radius());
}

c_NURBSArc::c_NURBSArc(const c_Ellipse& ellipse, double a0, double a1)
    : mConic(std::make_unique<c_Ellipse>(ellipse)) {
    build(a0, a1, ellipse.majorRadius(), ellipse.minorRadius());
}

c_NURBSArc::c_NURBSArc(const c_NURBSArc& other)
    : c_NURBSCurve(other), mStartAngle(other.mStartAngle), mSegmentAngle(other.mSegmentAngle),
      mSegments(other.mSegments) {
    if (const auto* circle = dynamic_cast<const c_Circle*>(other.mConic.get())) mConic = std::make_unique<c_Circle>(*circle);
    else if (const auto* ellipse = dynamic_cast<const c_Ellipse*>(other.mConic.get())) mConic = std::make_unique<c_Ellipse>(*ellipse);
}

void c_NURBSArc::build(double a0, double a1, double a, double b) {
    if (!std::isfinite(a0) || !std::isfinite(a1)) return;
    if (a1 <= a0) a1 += 2.0 * kPi * std::ceil((a0 - a1) / (2.0 * kPi));
    if (a1 <= a0) a1 += 2.0 * kPi;
    const double sweep = a1 - a0;
    const int s = sweep <= kPi / 2 ? 1 : sweep <= kPi ? 2 : sweep <= 1.5 * kPi ? 3 : 4;
    mStartAngle = a0;
    mSegments = s;
    mSegmentAngle = sweep / s;
    specifyNCtlPtsAndOrder(2 * s + 1, 3);
    const aPoint c = mConic->centre();
    const aVector u = mConic->u(), v = mConic->v();
    const double half = mSegmentAngle / 2.0, w = std::cos(half);
    auto at = [&](double angle, double scale) { return c + (a * std::cos(angle) * scale) * u + (b * std::sin(angle) * scale) * v; };
    for (int j = 0; j < s; ++j) {
        const double start = a0 + j * mSegmentAngle;
        mControlPoints[size_t(2 * j)] = weighted(at(start, 1.0), 1.0);
        mControlPoints[size_t(2 * j + 1)] = weighted(at(start + half, 1.0 / w), w);
    }
    mControlPoints[size_t(2 * s)] = weighted(at(a1, 1.0), 1.0);
    std::vector<float> knots = {0, 0, 0};
    for (int j = 1; j < s; ++j) knots.insert(knots.end(), 2, float(double(j) / s));
    knots.insert(knots.end(), {1, 1, 1});
    setKnots(knots);
}

double c_NURBSArc::getParameterOf(const aPoint& p) const {
    const double below = (numKnots() > 0 ? mKnots.knot(0) : 0.0) - 1.0;
    if (!mConic || mControlPoints.empty() || mSegments < 1) return below;
    double remaining = mConic->getParameterOf(p) - mStartAngle;
    if (!std::isfinite(remaining)) return below;
    remaining = std::fmod(remaining, 2.0 * kPi);
    if (remaining < 0.0) remaining += 2.0 * kPi;
    // Points stored in single precision miss the arc's ends by a little.
    constexpr double kAngleSlack = 1e-4;
    if (remaining > 2.0 * kPi - kAngleSlack) remaining -= 2.0 * kPi;
    const double width = 1.0 / mSegments;
    double result = 0.0;
    int segment = 0;
    while (remaining > mSegmentAngle) {
        if (segment == mSegments - 1) {
            if (remaining > mSegmentAngle + kAngleSlack) return below;
            break;
        }
        ++segment;
        remaining -= mSegmentAngle;
        result += width;
    }
    float h[3][4];
    for (int i = 0; i < 3; ++i) std::copy_n(mControlPoints[size_t(2 * segment + i)].begin(), 4, h[i]);
    return result + width * parameterOnConicArc(h[0], h[1], h[2], p, mConic->w());
}

} // namespace tracemill
