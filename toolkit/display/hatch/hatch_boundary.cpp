#include "toolkit/display/hatch/hatch_boundary.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <variant>
#include <vector>

#include "toolkit/core/arc_segments.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/vector_utilities.h"
#include "toolkit/display/arc_drawer.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/spline_tessellation.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * kPi;
// An axis direction whose x is smaller than this is vertical.
constexpr double kVerticalAxis = 1e-8;
// Spline flags of the tessellation.
constexpr int16_t kSplineRational = 4;
constexpr int16_t kSplinePeriodic = 2;

// A sweep limited to one turn either way: more would draw the curve over itself (and a
// damaged value would ask for endless chords).
double oneTurnAtMost(double sweep) { return std::fmax(-kTwoPi, std::fmin(kTwoPi, sweep)); }

// The chords of a curve whose point at step i of n is `at(i)`.
template <class PointAt>
void addChords(int32_t n, PointAt at, HatchSegments& out) {
    out.reserve(out.size() + size_t(n));
    Point2 from = at(0);
    for (int32_t i = 1; i <= n; ++i) {
        const Point2 to = at(i);
        out.push_back({from, to});
        from = to;
    }
}

void countPrimitive(Drawing* drawing) {
    if (drawing && drawing->displayContext) ++drawing->displayContext->segmentCounter;
}

int32_t chordCount(Drawing* drawing, double sweep, double radius, int32_t resolution) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    const int32_t circle = resolution == 0 && context ? genCircleSegmentCount(*context, radius) : 4;
    return dbArcSegmentCount(resolution, sweep, circle);
}

// The end angle moved on by whole turns until it is not below the start.
double endNotBelowStart(double start, double end) {
    if (end >= start) return end;
    end += std::ceil((start - end) / kTwoPi) * kTwoPi;
    return end >= start ? end : start;
}

bool finite(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

// The angles (or parameters) an arc edge is drawn between: the end moved on to at least the
// start, then, for a clockwise edge, both mirrored (4 pi - angle). false when either is not a
// number.
bool arcEdgeAngles(double startAngle, double endAngle, int16_t counterClockwise, double& start, double& end) {
    if (!finite({startAngle, endAngle})) return false;
    start = startAngle;
    end = endNotBelowStart(start, endAngle);
    if (counterClockwise == 0) {
        start = 2.0 * kTwoPi - start;
        end = 2.0 * kTwoPi - end;
    }
    return true;
}

void splineSegments(Drawing* drawing, const HatchSplineEdge& edge, int32_t resolution, const Matrix4* matrices,
                    HatchSegments& out) {
    SplineBody spline;
    spline.degree = int16_t(std::clamp<int32_t>(edge.degree, INT16_MIN, INT16_MAX));
    spline.flags = int16_t((edge.rational ? kSplineRational : 0) | (edge.periodic ? kSplinePeriodic : 0));
    spline.data.knots = edge.knots;
    for (const HatchSplineControlPoint& control : edge.controlPoints) {
        spline.data.controlPoints.push_back({control.point.x, control.point.y, 0.0});
        if (edge.rational) spline.data.weights.push_back(control.weight);
    }
    std::vector<Point2> chords;
    genDrawSpline(drawing, spline, matrices, nullptr, nullptr, resolution, &chords);
    for (size_t i = 0; i + 1 < chords.size(); i += 2) out.push_back({chords[i], chords[i + 1]});
}

void edgeSegments(Drawing* drawing, const HatchEdge& edge, int32_t resolution, const Matrix4* matrices,
                  HatchSegments& out) {
    if (const auto* line = std::get_if<HatchLineEdge>(&edge)) {
        out.push_back({line->start, line->end});
    } else if (const auto* arc = std::get_if<HatchArcEdge>(&edge)) {
        double start = 0.0, end = 0.0;
        if (arcEdgeAngles(arc->startAngle, arc->endAngle, arc->counterClockwise, start, end))
            genHatchArcSegments(drawing, arc->centre, arc->radius, start, end, resolution, out);
    } else if (const auto* ellipse = std::get_if<HatchEllipseEdge>(&edge)) {
        double start = 0.0, end = 0.0;
        if (arcEdgeAngles(ellipse->startParameter, ellipse->endParameter, ellipse->counterClockwise, start, end))
            genHatchEllipseSegments(drawing, ellipse->centre, ellipse->majorAxisEnd, ellipse->axisRatio, start, end,
                                    resolution, out);
    } else if (const auto* spline = std::get_if<HatchSplineEdge>(&edge)) {
        splineSegments(drawing, *spline, resolution, matrices, out);
    }
}

} // namespace

void genHatchBulgeSegment(Drawing* drawing, const Point2& start, const Point2& end, double bulge, int32_t resolution,
                          HatchSegments& out) {
    if (bulge == 0.0 || !std::isfinite(bulge)) {
        out.push_back({start, end});
        return;
    }
    const double included = 4.0 * std::atan(bulge);
    const ArcFromChord arc = dbArcCenterFromChord(start, end, included);
    const double dx = start.x - arc.centre.x, dy = start.y - arc.centre.y;
    const double from = dx == 0.0 ? (dy >= 0.0 ? kPi / 2.0 : -kPi / 2.0) : std::atan(dy / dx) + (dx < 0.0 ? kPi : 0.0);
    genHatchArcSegments(drawing, arc.centre, arc.radius, from, from + included, resolution, out);
}

void genHatchArcSegments(Drawing* drawing, const Point2& centre, double radius, double start, double end,
                         int32_t resolution, HatchSegments& out) {
    const double sweep = oneTurnAtMost(end - start);
    const int32_t n = chordCount(drawing, sweep, radius, resolution);
    const double step = sweep / n, c = std::cos(step), s = std::sin(step);
    double x = radius * std::cos(start), y = radius * std::sin(start);
    addChords(
        n,
        [&](int32_t i) {
            if (i > 0) {
                const double nx = x * c - y * s;
                y = x * s + y * c;
                x = nx;
            }
            return Point2{centre.x + x, centre.y + y};
        },
        out);
    countPrimitive(drawing);
}

void genHatchEllipseSegments(Drawing* drawing, const Point2& centre, const Point2& majorAxis, double ratio,
                             double start, double end, int32_t resolution, HatchSegments& out) {
    const double a = std::hypot(majorAxis.x, majorAxis.y);
    const double b = a * ratio;
    const double theta = std::fabs(majorAxis.x) < kVerticalAxis ? (majorAxis.y >= 0.0 ? kPi / 2.0 : -kPi / 2.0)
                                                                 : std::atan(majorAxis.y / majorAxis.x) +
                                                                       (majorAxis.x < 0.0 ? kPi : 0.0);
    const double sweep = oneTurnAtMost(end - start);
    const int32_t n = chordCount(drawing, sweep, a, resolution);
    const double step = sweep / n, cs = std::cos(step), ss = std::sin(step);
    const double ct = std::cos(theta), st = std::sin(theta);
    double cosT = std::cos(start), sinT = std::sin(start);
    addChords(
        n,
        [&](int32_t i) {
            if (i > 0) {
                const double next = cosT * cs - sinT * ss;
                sinT = sinT * cs + cosT * ss;
                cosT = next;
            }
            const double u = a * cosT, v = b * sinT;
            return Point2{centre.x + u * ct - v * st, centre.y + u * st + v * ct};
        },
        out);
    countPrimitive(drawing);
}

void genHatchPathSegments(Drawing* drawing, const HatchPath& path, int32_t resolution, const Matrix4* matrices,
                          HatchSegments& out) {
    if (!path.isPolyline()) {
        for (const HatchEdge& edge : path.edges) edgeSegments(drawing, edge, resolution, matrices, out);
        return;
    }
    const std::vector<HatchPolylineVertex>& vertices = path.vertices;
    auto bulgeOf = [&](const HatchPolylineVertex& v) { return path.hasBulges ? v.bulge : 0.0; };
    for (size_t i = 1; i < vertices.size(); ++i)
        genHatchBulgeSegment(drawing, vertices[i - 1].point, vertices[i].point, bulgeOf(vertices[i - 1]), resolution,
                             out);
    if (path.closed && !vertices.empty())
        genHatchBulgeSegment(drawing, vertices.back().point, vertices.front().point, bulgeOf(vertices.back()),
                             resolution, out);
}

double genSegmentAngle(const Point2& p1, const Point2& p2) {
    const double dx = p2.x - p1.x, dy = p2.y - p1.y;
    if (std::fabs(dx) < kVerticalAxis) return dy <= 0.0 ? -kPi / 2.0 : kPi / 2.0;
    return dbVectorAngle2d(dx, dy);
}

double genTurnAngle(const Point2& p1, const Point2& p2, const Point2& p3) {
    double turn = genSegmentAngle(p2, p3) - genSegmentAngle(p1, p2);
    if (turn > kPi) turn -= kTwoPi;
    if (turn < -kPi) turn += kTwoPi;
    return turn;
}

} // namespace tracemill
