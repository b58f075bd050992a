#include "toolkit/acis/geometry/rat_bezier_curve.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/intersection_result.h"
#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/intersect/record_geometry.h"
#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {
namespace {

constexpr int kMaxDepth = 25;
constexpr double kRelativeSizeThreshold = 5e-05;
constexpr double kSplitBalance = 1.1;
constexpr double kSplitParameter = 0.5;
constexpr double kEndGameToleranceFactor = 500.0;
constexpr double kContainsBoost = 2500.0;
// Recursion steps of one segment pair at the most (overlapping segments would otherwise split
// into every pair of pieces down to the depth limit).
constexpr int kMaxSteps = 20000;

// Multiplies the distance tolerances for the length of a scope, unless a boost is in force.
class ToleranceBoost {
public:
    explicit ToleranceBoost(double factor) {
        if (sActive || !(factor >= 0.0)) return;
        GeometryTolerances& t = geometryTolerances();
        mSaved = t;
        t.BasicDistanceTol *= factor;
        t.BasicDistanceSquaredTol *= factor;
        t.coincTol *= factor;
        sActive = mOwner = true;
    }
    ~ToleranceBoost() {
        if (!mOwner) return;
        GeometryTolerances& t = geometryTolerances();
        t.BasicDistanceTol = mSaved.BasicDistanceTol;
        t.BasicDistanceSquaredTol = mSaved.BasicDistanceSquaredTol;
        t.coincTol = mSaved.coincTol;
        sActive = false;
    }
    ToleranceBoost(const ToleranceBoost&) = delete;
    ToleranceBoost& operator=(const ToleranceBoost&) = delete;

private:
    static inline bool sActive = false;
    bool mOwner = false;
    GeometryTolerances mSaved;
};

double boxSize(const c_RatBezierCurve& c, aPoint& low, aPoint& high) {
    c.boundingBox(low, high);
    return high.distance(low);
}

bool overlap(const c_RatBezierCurve& a, const c_RatBezierCurve& b) {
    aPoint la, ha, lb, hb;
    a.boundingBox(la, ha);
    b.boundingBox(lb, hb);
    return c_NURBSCurve::boxesOverlap(la, ha, lb, hb);
}

class SegmentIntersection {
public:
    SegmentIntersection(std::span<aPoint> points, int& count) : mPoints(points), mCount(count) {}

    void run(const c_RatBezierCurve& a, const c_RatBezierCurve& b) {
        aPoint low, high;
        const double sizeA = boxSize(a, low, high), sizeB = boxSize(b, low, high);
        mReference = std::min(sizeA, sizeB);
        if (!overlap(a, b)) return;
        step(a, b);
    }

private:
    bool full() const { return size_t(mCount) >= mPoints.size(); }

    void step(const c_RatBezierCurve& a, const c_RatBezierCurve& b) {
        if (full()) return;
        aPoint low, high;
        const double sizeA = boxSize(a, low, high), sizeB = boxSize(b, low, high);
        const double larger = std::max(sizeA, sizeB), smaller = std::min(sizeA, sizeB);
        if (mDepth < kMaxDepth && smaller >= kRelativeSizeThreshold * mReference && ++mSteps <= kMaxSteps) {
            ++mDepth;
            const bool splitA = sizeA >= sizeB || larger <= kSplitBalance * smaller;
            const bool splitB = sizeB > sizeA || larger <= kSplitBalance * smaller;
            std::vector<c_RatBezierCurve> piecesA, piecesB;
            if (splitA) {
                auto [left, right] = a.subdivide(kSplitParameter);
                piecesA = {std::move(left), std::move(right)};
            } else {
                piecesA = {a};
            }
            if (splitB) {
                auto [left, right] = b.subdivide(kSplitParameter);
                piecesB = {std::move(left), std::move(right)};
            } else {
                piecesB = {b};
            }
            bool anyOverlap = false;
            for (const c_RatBezierCurve& pa : piecesA) {
                for (const c_RatBezierCurve& pb : piecesB) {
                    if (!overlap(pa, pb)) continue;
                    anyOverlap = true;
                    step(pa, pb);
                }
            }
            if (!anyOverlap && mDepth > 2) {
                // The pieces only touched: a crossing may sit right at a split point.
                if (splitA) testSplitPoint(piecesA[1].controlPoint(0).toPoint(), piecesB);
                if (splitB) testSplitPoint(piecesB[1].controlPoint(0).toPoint(), piecesA);
            }
            --mDepth;
            return;
        }
        endGame(a, b);
    }

    // A split point counts when it lies on a piece of the other curve within the coincidence
    // tolerance itself: the boosted tolerance of `contains` would take near misses beside a
    // crossing for further crossings.
    void testSplitPoint(const aPoint& p, const std::vector<c_RatBezierCurve>& pieces) {
        for (const c_RatBezierCurve& piece : pieces) {
            if (piece.toNURBS().contains(p)) {
                aPoint::addUnique(p, mPoints, mCount);
                return;
            }
        }
    }

    void endGame(const c_RatBezierCurve& a, const c_RatBezierCurve& b) {
        const int strategy = bezierEndGameStrategy();
        if (strategy != 0 && strategy != 1) {
            kernelDiagnostics() << "c_RatBezierCurve::endGame: Bad strategy.\n";
            return;
        }
        auto legs = [&](const c_RatBezierCurve& c) {
            std::vector<std::pair<aPoint, aPoint>> result;
            const auto points = c.controlPoints();
            if (points.empty()) return result;
            if (strategy == 0) {
                result.emplace_back(points.front().toPoint(), points.back().toPoint());
            } else {
                for (size_t i = 0; i + 1 < points.size(); ++i) result.emplace_back(points[i].toPoint(), points[i + 1].toPoint());
            }
            return result;
        };
        for (const auto& [a0, a1] : legs(a)) {
            for (const auto& [b0, b1] : legs(b)) {
                if (full()) return;
                intersectSegments(a0, a1, b0, b1);
            }
        }
    }

    void intersectSegments(const aPoint& a0, const aPoint& a1, const aPoint& b0, const aPoint& b1) {
        const double lengthA = a0.distance(a1), lengthB = b0.distance(b1);
        if (!(lengthA > 0.0) || !(lengthB > 0.0)) return;
        const c_Line lineA(a0, a1 - a0), lineB(b0, b1 - b0);
        IntersectionList found;
        int status;
        {
            ScopedTolerance wider(pointOnPlaneTolerance(), pointOnPlaneTolerance() * kEndGameToleranceFactor);
            const c_IntersectionResult result(lineA, lineB);
            status = result.status();
            copyIntersections(result.items(), found);
        }
        if (status != 2 || found.count != 1 || !found.items[0].point()) return;
        const aPoint& p = *found.items[0].point();
        const double sa = (p - a0).dot(lineA.direction()), sb = (p - b0).dot(lineB.direction());
        const double slackA = 1e-9 * lengthA, slackB = 1e-9 * lengthB;
        if (sa < -slackA || sa > lengthA + slackA || sb < -slackB || sb > lengthB + slackB) return;
        aPoint::addUnique(p, mPoints, mCount);
    }

    std::span<aPoint> mPoints;
    int& mCount;
    int mDepth = 0;
    int mSteps = 0;
    double mReference = 0.0;
};

} // namespace

int& bezierEndGameStrategy() {
    static int strategy = 0;
    return strategy;
}

c_RatBezierCurve::c_RatBezierCurve(std::span<const c_WeightedPoint> points, int degree) {
    if (degree < 1 || points.size() < size_t(degree) + 1) return;
    mDegree = degree;
    mPoints.assign(points.begin(), points.begin() + degree + 1);
}

c_WeightedPoint c_RatBezierCurve::controlPoint(int i) const {
    if (i < 0 || i >= int(mPoints.size())) return {};
    return mPoints[size_t(i)];
}

void c_RatBezierCurve::boundingBox(aPoint& low, aPoint& high) const {
    if (mPoints.empty()) {
        low = {-1, -1, -1};
        high = {1, 1, 1};
        return;
    }
    low = high = mPoints[0].toPoint();
    for (const c_WeightedPoint& w : mPoints) {
        const aPoint p = w.toPoint();
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
}

c_WeightedPoint c_RatBezierCurve::homogeneousPointAt(double t) const {
    if (mPoints.empty()) return {};
    std::vector<c_WeightedPoint> row = mPoints;
    const double s = 1.0 - t;
    for (int level = 1; level <= mDegree; ++level) {
        for (int i = 0; i <= mDegree - level; ++i) row[size_t(i)] = row[size_t(i)] * s + row[size_t(i + 1)] * t;
    }
    return row[0];
}

std::pair<c_RatBezierCurve, c_RatBezierCurve> c_RatBezierCurve::subdivide(double t) const {
    if (mPoints.empty()) return {};
    const size_t n = size_t(mDegree);
    std::vector<c_WeightedPoint> row = mPoints, left(n + 1), right(n + 1);
    left[0] = row[0];
    right[n] = row[n];
    const double s = 1.0 - t;
    for (size_t level = 1; level <= n; ++level) {
        for (size_t i = 0; i + level <= n; ++i) row[i] = row[i] * s + row[i + 1] * t;
        left[level] = row[0];
        right[n - level] = row[n - level];
    }
    return {c_RatBezierCurve(left, mDegree), c_RatBezierCurve(right, mDegree)};
}

c_NURBSCurve c_RatBezierCurve::toNURBS() const { return c_NURBSCurve(*this); }

int c_RatBezierCurve::intersect(const c_RatBezierCurve& other, std::span<aPoint> points, int& count) const {
    if (mPoints.empty() || other.mPoints.empty()) return count;
    SegmentIntersection(points, count).run(*this, other);
    return count;
}

void c_RatBezierCurve::print(std::ostream& out) const {
    out << className() << ' ' << mDegree << '\n';
    for (const c_WeightedPoint& p : mPoints) out << '\t' << p.wx << ' ' << p.wy << ' ' << p.wz << ' ' << p.w << '\n';
}

bool c_RatBezierCurve::contains(const aPoint& p) const {
    const c_NURBSCurve curve = toNURBS();
    const ToleranceBoost boost(kContainsBoost);
    return curve.contains(p);
}

double c_RatBezierCurve::getParameterOf(const aPoint& p) const { return toNURBS().getParameterOf(p); }

bool c_RatBezierCurve::getPointAt(double t, aPoint& p) const { return homogeneousPointAt(t).toPoint(p); }

aVector c_RatBezierCurve::tangentAt(const aPoint&) const {
    kernelDiagnostics() << "*** c_RatBezierCurve::tangentAt(const aPoint& p) const called\n";
    return kZeroVector;
}

double parameterOnConicArc(const float (&p0)[4], const float (&p1)[4], const float (&p2)[4], const aPoint& q,
                           const aVector& n) {
    auto offset = [&](const float (&h)[4]) {
        return h[3] == 0.0f ? aVector(h[0], h[1], h[2]) - aVector(q)
                            : aVector(double(h[0]) / h[3], double(h[1]) / h[3], double(h[2]) / h[3]) - aVector(q);
    };
    const double w0 = p0[3], w1 = p1[3], w2 = p2[3];
    const aVector d0 = offset(p0), d1 = offset(p1), d2 = offset(p2);
    const aVector a = w0 * d0 - 2.0 * w1 * d1 + w2 * d2;
    const aVector b = 2.0 * (w1 * d1 - w0 * d0);
    const aVector c = w0 * d0;
    const aVector d = n.cross(a);
    const double t = -c.dot(d) / b.dot(d);
    return std::isfinite(t) ? t : 0.0;
}

} // namespace tracemill
