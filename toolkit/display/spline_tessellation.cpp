#include "toolkit/display/spline_tessellation.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/linetype_drawer.h"

namespace tracemill {

namespace {

constexpr int16_t kSplineRational = 0x04;
constexpr int kFitDegree = 3;

Point3 operator+(const Point3& a, const Point3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Point3 operator-(const Point3& a, const Point3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point3 operator*(double s, const Point3& a) { return {s * a.x, s * a.y, s * a.z}; }

bool finite(const Point3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

void emitChord(const Point3& from, const Point3& to, SplineChordOutput& out) {
    if (out.chords) {
        out.chords->push_back({from.x, from.y});
        out.chords->push_back({to.x, to.y});
        return;
    }
    if (out.drawing && out.drawing->displayContext) {
        genDrawLinetypedSegment(out.drawing, from, to, out.matrices, out.linetype, nullptr, out.run, 0.0);
    }
}

// Whether span k can be evaluated without reading beyond the layout or the knots.
bool spanInside(int degree, int span, size_t layoutSize, size_t knotCount) {
    return span - degree + 1 >= 0 && size_t(span + 1) < layoutSize && size_t(span + degree) < knotCount;
}

// The chords of every span of non-zero length; `evaluate` gives the point at t on span k.
template <class Evaluate>
int tessellate(int degree, int spanCount, size_t layoutSize, const std::vector<double>& knots, int segments,
               SplineChordOutput& out, Evaluate evaluate) {
    if (segments < 1) segments = kDefaultSegmentsPerSpan;
    for (int span = degree - 1; span <= spanCount + degree - 2; ++span) {
        if (!spanInside(degree, span, layoutSize, knots.size())) continue;
        const double start = knots[size_t(span)];
        const double end = knots[size_t(span) + 1];
        if (!(end > start)) continue;
        const double step = (end - start) / segments;
        Point3 previous = evaluate(start, span);
        for (int i = 1; i <= segments; ++i) {
            const Point3 point = evaluate(i == segments ? end : start + i * step, span);
            emitChord(previous, point, out);
            previous = point;
        }
    }
    return 1;
}

// The layout of control points: a copy of the first before them, two copies of the last after.
bool padded(const std::vector<Point3>& points, std::vector<Point3>& layout) {
    if (!dbTryResize(layout, points.size() + 3)) return false;
    layout[0] = points.front();
    std::copy(points.begin(), points.end(), layout.begin() + 1);
    layout[points.size() + 1] = layout[points.size() + 2] = points.back();
    return true;
}

bool paddedWeights(const std::vector<double>& weights, std::vector<double>& layout) {
    if (!dbTryResize(layout, weights.size() + 3)) return false;
    layout[0] = weights.front();
    std::copy(weights.begin(), weights.end(), layout.begin() + 1);
    layout[weights.size() + 1] = layout[weights.size() + 2] = weights.back();
    return true;
}

// Knots that make a B-spline: finite and never decreasing.
bool usableKnots(const std::vector<double>& knots) {
    for (size_t i = 0; i < knots.size(); ++i) {
        if (!std::isfinite(knots[i]) || (i > 0 && knots[i] < knots[i - 1])) return false;
    }
    return true;
}

bool usableWeights(const std::vector<double>& weights) {
    return std::all_of(weights.begin(), weights.end(), [](double w) { return std::isfinite(w) && w > 0.0; });
}

// --- Fit-point interpolation -----------------------------------------------------------------

// u0 = 0, u(i) = u(i-1) + the square root of the chord from F(i-1) to F(i); false when they
// do not grow.
bool genCentripetalParameters(const std::vector<Point3>& fit, std::vector<double>& u) {
    u[0] = 0.0;
    for (size_t i = 1; i < fit.size(); ++i) {
        const Point3 d = fit[i] - fit[i - 1];
        u[i] = u[i - 1] + std::sqrt(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z));
        if (!(u[i] > u[i - 1]) || !std::isfinite(u[i])) return false;
    }
    return true;
}

// The tridiagonal system: rows 0 and n are (0, 1, 0); row i holds the three cubic basis
// functions that are not zero at u(i).
void genInterpolationMatrix(const std::vector<double>& u, std::vector<double>& a, std::vector<double>& b,
                            std::vector<double>& c) {
    const int n = int(u.size()) - 1;
    const auto d = [&](int j) { return j < 0 || j >= n ? 0.0 : u[size_t(j) + 1] - u[size_t(j)]; };
    for (int i = 0; i <= n; ++i) {
        const size_t at = size_t(i);
        if (i == 0 || i == n) {
            a[at] = 0.0;
            b[at] = 1.0;
            c[at] = 0.0;
            continue;
        }
        const double d2 = d(i - 2), d1 = d(i - 1), d0 = d(i), dn = d(i + 1);
        a[at] = d0 * d0 / ((d2 + d1 + d0) * (d1 + d0));
        c[at] = d1 * d1 / ((d1 + d0 + dn) * (d1 + d0));
        b[at] = ((d2 + d1) * d0 / (d2 + d1 + d0) + (d0 + dn) * d1 / (d1 + d0 + dn)) / (d1 + d0);
    }
}

void genTridiagonalFactor(const std::vector<double>& a, const std::vector<double>& b, const std::vector<double>& c,
                          std::vector<double>& factor, std::vector<double>& diagonal) {
    diagonal[0] = b[0];
    factor[0] = 0.0;
    for (size_t i = 1; i < b.size(); ++i) {
        factor[i] = a[i] / diagonal[i - 1];
        diagonal[i] = b[i] - factor[i] * c[i - 1];
    }
}

// The direction of a stored tangent; none when it is zero or not finite.
std::optional<Point3> unitTangent(const Point3& t) {
    const double length = std::sqrt(t.x * t.x + t.y * t.y + t.z * t.z);
    if (!(length > 0.0) || !std::isfinite(length)) return std::nullopt;
    return (1.0 / length) * t;
}

double chordLength(const Point3& a, const Point3& b) {
    const Point3 d = b - a;
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

// The second control point from the parabola through the first three fit points.
Point3 genStartCondition(const std::vector<Point3>& f, const std::vector<double>& u) {
    if (f.size() == 2) return (1.0 / 3.0) * (2.0 * f[0] + f[1]);
    const double a = (u[2] - u[1]) / (u[2] - u[0]);
    const Point3 q = (1.0 / (2.0 * a * (1.0 - a))) * (f[1] - a * a * f[0] - (1.0 - a) * (1.0 - a) * f[2]);
    return (1.0 / 3.0) * (2.0 * (a * f[0] + (1.0 - a) * q) + f[0]);
}

// The next-to-last control point from the parabola through the last three fit points.
Point3 genEndCondition(const std::vector<Point3>& f, const std::vector<double>& u) {
    const size_t n = f.size() - 1;
    if (n == 1) return (1.0 / 3.0) * (2.0 * f[1] + f[0]);
    const double b = (u[n] - u[n - 1]) / (u[n] - u[n - 2]);
    const Point3 q = (1.0 / (2.0 * b * (1.0 - b))) * (f[n - 1] - b * b * f[n - 2] - (1.0 - b) * (1.0 - b) * f[n]);
    return (1.0 / 3.0) * (2.0 * (b * q + (1.0 - b) * f[n]) + f[n]);
}

// Solves for P1..Pn+1 with the right-hand side D1, F1, ..., Fn-1, Dn+1 (into controls[1..n+1]).
void genTridiagonalSolve(const std::vector<double>& c, const std::vector<double>& factor,
                         const std::vector<double>& diagonal, const std::vector<Point3>& rhs, std::vector<Point3>& y,
                         std::vector<Point3>& controls) {
    const size_t n = rhs.size() - 1;
    y[0] = rhs[0];
    for (size_t i = 1; i <= n; ++i) y[i] = rhs[i] - factor[i] * y[i - 1];
    controls[n + 1] = (1.0 / diagonal[n]) * y[n];
    for (size_t i = n - 1; i >= 1; --i) controls[i + 1] = (1.0 / diagonal[i]) * (y[i] - c[i] * controls[i + 2]);
    controls[1] = rhs[0];
}

// The points of the fit-point spline, equal neighbours dropped.
bool keptFitPoints(const std::vector<Point3>& source, std::vector<Point3>& kept) {
    if (!dbTryResize(kept, source.size())) return false;
    size_t count = 0;
    for (const Point3& p : source) {
        if (count == 0 || !(p == kept[count - 1])) kept[count++] = p;
    }
    kept.resize(count);
    return true;
}

int drawFitPointSpline(const std::vector<Point3>& source, const SplineBody& spline, int segments,
                       SplineChordOutput& out) {
    std::vector<Point3> fit;
    if (!keptFitPoints(source, fit)) return dbReportError(kErrorSplineNoMemory, kErrorReasonNoMemory);
    if (fit.size() < 2) return 1;  // no span
    const int n = int(fit.size()) - 1;
    std::vector<double> parameters;
    std::vector<Point3> controls;
    if (!dbTryResize(parameters, fit.size()) || !dbTryResize(controls, fit.size() + 2)) {
        return dbReportError(kErrorSplineNoMemory, kErrorReasonNoMemory);
    }
    const int interpolated = genInterpolateFitPoints(fit, parameters, controls, spline.startTangent, spline.endTangent);
    if (interpolated == 0) return 0;
    if (interpolated < 0) {  // the points cannot be told apart along the curve: their polygon
        genDrawControlPolygon(fit, n, out);
        return 1;
    }
    // The control points from layout index 0 on; with the knots u0, u0, u0, u1, ..., un, un, un
    // every span k reads layout[k - 2 .. k + 1]: the clamped cubic with u0 and un four times.
    std::vector<Point3> layout;
    std::vector<double> knots;
    if (!dbTryResize(layout, controls.size() + 2) || !dbTryResize(knots, size_t(n) + 5)) {
        return dbReportError(kErrorSplineNoMemory, kErrorReasonNoMemory);
    }
    std::copy(controls.begin(), controls.end(), layout.begin());
    layout[controls.size()] = layout[controls.size() + 1] = controls.back();
    knots[0] = knots[1] = parameters[0];
    std::copy(parameters.begin(), parameters.end(), knots.begin() + 2);
    knots[size_t(n) + 3] = knots[size_t(n) + 4] = parameters.back();
    return genTessellateBSpline(kFitDegree, n, layout, knots, segments, out);
}

int drawControlPointSpline(const SplineBody& spline, int segments, SplineChordOutput& out) {
    const std::vector<Point3>& points = spline.data.controlPoints;
    if (points.size() < 2) return 1;
    const int spanCount = int(points.size()) - 1;
    const int degree = spline.degree;
    const bool rational = (spline.flags & kSplineRational) != 0;
    const size_t knotCount = spline.data.knots.size();
    const bool fits = degree > 1 && int(points.size()) > degree &&
                      (knotCount == 0 || knotCount == points.size() + size_t(degree) + 1) &&
                      usableKnots(spline.data.knots) &&
                      (!rational || (spline.data.weights.size() == points.size() && usableWeights(spline.data.weights)));
    if (!fits) {
        genDrawControlPolygon(points, spanCount, out);
        return 1;
    }
    std::vector<double> knots;
    if (knotCount != 0) {
        if (!dbTryResize(knots, knotCount)) return dbReportError(kErrorSplineNoMemory, kErrorReasonNoMemory);
        std::copy(spline.data.knots.begin(), spline.data.knots.end(), knots.begin());
    } else {
        // Clamped and uniform: degree + 1 zeros, the inner knots at equal steps, degree + 1 ones.
        if (!dbTryResize(knots, points.size() + size_t(degree) + 1)) {
            return dbReportError(kErrorSplineNoMemory, kErrorReasonNoMemory);
        }
        const size_t inner = points.size() - size_t(degree) - 1;
        for (size_t i = 0; i < knots.size(); ++i) {
            knots[i] = i <= size_t(degree) ? 0.0 : i <= size_t(degree) + inner ? double(i - size_t(degree)) / double(inner + 1) : 1.0;
        }
    }
    std::vector<Point3> layout;
    if (!padded(points, layout)) return dbReportError(kErrorSplineNoMemory, kErrorReasonNoMemory);
    if (!rational) return genTessellateBSpline(degree, spanCount, layout, knots, segments, out);
    std::vector<double> weights;
    if (!paddedWeights(spline.data.weights, weights)) return dbReportError(kErrorSplineNoMemory, kErrorReasonNoMemory);
    return genTessellateRationalBSpline(degree, spanCount, layout, weights, knots, segments, out);
}

// De Boor's algorithm on span k: the degree + 1 points of the span blended degree times; with
// weights the blends are weighted and the weights blended alongside.
template <bool kRational>
Point3 deBoor(int degree, const Point3* layout, const double* weights, const double* knots, double t, int span,
              Point3* d, double* w) {
    const int first = span - degree + 1;
    for (int j = 0; j <= degree; ++j) {
        d[j] = layout[first + j];
        if constexpr (kRational) w[j] = weights[first + j];
    }
    for (int r = 1; r <= degree; ++r) {
        for (int j = degree; j >= r; --j) {
            const int at = first + j;
            const double high = knots[at + degree - r];
            const double low = knots[at - 1];
            if (!(high > low)) continue;
            const double a = (high - t) / (high - low);
            if constexpr (kRational) {
                const double wa = a * w[j - 1];
                const double wb = (1.0 - a) * w[j];
                if (!(wa + wb > 0.0)) continue;
                d[j] = (1.0 / (wa + wb)) * (wa * d[j - 1] + wb * d[j]);
                w[j] = wa + wb;
            } else {
                d[j] = a * d[j - 1] + (1.0 - a) * d[j];
            }
        }
    }
    return d[degree];
}

} // namespace

Point3 genDeBoor(int degree, const Point3* layout, const double* knots, double t, int span, Point3* d) {
    return deBoor<false>(degree, layout, nullptr, knots, t, span, d, nullptr);
}

Point3 genDeBoorRational(int degree, const Point3* layout, const double* weights, const double* knots, double t,
                         int span, Point3* d, double* w) {
    return deBoor<true>(degree, layout, weights, knots, t, span, d, w);
}

int genTessellateBSpline(int degree, int spanCount, const std::vector<Point3>& layout, const std::vector<double>& knots,
                         int segments, SplineChordOutput& out) {
    std::vector<Point3> scratch;
    if (!dbTryResize(scratch, size_t(degree) + 1)) return dbReportError(kErrorSplineNoMemory, kErrorReasonNoMemory);
    return tessellate(degree, spanCount, layout.size(), knots, segments, out, [&](double t, int span) {
        return genDeBoor(degree, layout.data(), knots.data(), t, span, scratch.data());
    });
}

int genTessellateRationalBSpline(int degree, int spanCount, const std::vector<Point3>& layout,
                                 const std::vector<double>& weights, const std::vector<double>& knots, int segments,
                                 SplineChordOutput& out) {
    std::vector<Point3> scratch;
    std::vector<double> scratchWeights;
    if (!dbTryResize(scratch, size_t(degree) + 1) || !dbTryResize(scratchWeights, size_t(degree) + 1)) {
        return dbReportError(kErrorSplineNoMemory, kErrorReasonNoMemory);
    }
    const size_t size = std::min(layout.size(), weights.size());
    return tessellate(degree, spanCount, size, knots, segments, out, [&](double t, int span) {
        return genDeBoorRational(degree, layout.data(), weights.data(), knots.data(), t, span, scratch.data(),
                                 scratchWeights.data());
    });
}

void genDrawControlPolygon(const std::vector<Point3>& points, int spanCount, SplineChordOutput& out) {
    for (int i = 0; i < spanCount && size_t(i) + 1 < points.size(); ++i) emitChord(points[size_t(i)], points[size_t(i) + 1], out);
}

int genInterpolateFitPoints(const std::vector<Point3>& fit, std::vector<double>& parameters,
                            std::vector<Point3>& controls, const Point3& startTangent, const Point3& endTangent) {
    const size_t n = fit.size() - 1;
    std::vector<double> a, b, c, factor, diagonal;
    std::vector<Point3> rhs, y;
    for (std::vector<double>* array : {&a, &b, &c, &factor, &diagonal}) {
        if (!dbTryResize(*array, n + 1)) return dbReportError(kErrorFitInterpolationNoMemory, kErrorReasonNoMemory);
    }
    if (!dbTryResize(rhs, n + 1) || !dbTryResize(y, n + 1) || !dbTryResize(parameters, n + 1) ||
        !dbTryResize(controls, n + 3)) {
        return dbReportError(kErrorFitInterpolationNoMemory, kErrorReasonNoMemory);
    }
    if (!std::all_of(fit.begin(), fit.end(), finite) || !genCentripetalParameters(fit, parameters)) {
        parameters.clear();
        controls.clear();
        return -1;
    }
    genInterpolationMatrix(parameters, a, b, c);
    genTridiagonalFactor(a, b, c, factor, diagonal);
    rhs[0] = genStartCondition(fit, parameters);
    rhs[n] = genEndCondition(fit, parameters);
    // A drawing that stores an end's tangent has its curve leave (or enter) the end along it.
    if (const std::optional<Point3> t = unitTangent(startTangent)) rhs[0] = fit[0] + (chordLength(fit[0], fit[1]) / 3.0) * *t;
    if (const std::optional<Point3> t = unitTangent(endTangent)) rhs[n] = fit[n] - (chordLength(fit[n - 1], fit[n]) / 3.0) * *t;
    for (size_t i = 1; i < n; ++i) rhs[i] = fit[i];
    genTridiagonalSolve(c, factor, diagonal, rhs, y, controls);
    controls[0] = fit.front();
    controls[n + 2] = fit.back();
    return 1;
}

int genDrawSpline(Drawing* drawing, const SplineBody& spline, const Matrix4* matrices, const LinetypeRecord* linetype,
                  const std::vector<Point3>* fitPoints, int segmentsPerSpan, std::vector<Point2>* chords) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    SplineChordOutput out{drawing, matrices, linetype, chords, 0};
    if (context) {
        out.run = ++context->segmentCounter;
        context->segmentRunEnd = 0;
    }
    const int segments = segmentsPerSpan < 1 ? kDefaultSegmentsPerSpan : segmentsPerSpan;
    const bool byFitPoints = spline.data.knots.empty() && spline.data.controlPoints.empty() &&
                             (fitPoints ? !fitPoints->empty() : !spline.data.fitPoints.empty());
    const int result = byFitPoints ? drawFitPointSpline(fitPoints ? *fitPoints : spline.data.fitPoints, spline, segments, out)
                                   : drawControlPointSpline(spline, segments, out);
    if (context) context->segmentRunEnd = 1;
    return result;
}

} // namespace tracemill
