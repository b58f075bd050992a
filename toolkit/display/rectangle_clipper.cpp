#include "toolkit/display/rectangle_clipper.h"

#include <algorithm>
#include <cmath>

namespace tracemill {
namespace {

constexpr double kZeroSide = 1e-10;
constexpr double kDuplicate = 1e-10;

bool duplicate(const Point2& a, const Point2& b) {
    return std::fabs(a.x - b.x) < kDuplicate && std::fabs(a.y - b.y) < kDuplicate;
}

double signedArea(const std::vector<Point2>& points) {
    double sum = 0.0;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++)
        sum += points[j].x * points[i].y - points[i].x * points[j].y;
    return sum / 2.0;
}

// One window edge from a to b: the part of the polygon on its left (inside) side.
void clipToEdge(const Point2& a, const Point2& b, const std::vector<Point2>& in, std::vector<Point2>& out) {
    out.clear();
    auto distance = [&](const Point2& p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); };
    Point2 previous = in.back();
    double dPrevious = distance(previous);
    for (const Point2& current : in) {
        const double dCurrent = distance(current);
        const int sPrevious = genSign(dPrevious);
        const int sCurrent = genSign(dCurrent);
        if (sPrevious >= 0) out.push_back(previous);
        if (sPrevious * sCurrent < 0) {
            const double wp = std::fabs(dPrevious), wc = std::fabs(dCurrent);
            out.push_back({(wc * previous.x + wp * current.x) / (wp + wc), (wc * previous.y + wp * current.y) / (wp + wc)});
        }
        previous = current;
        dPrevious = dCurrent;
    }
}

int32_t toDevice(double v) { return dbDeviceCoordinateTruncated(v + 0.1); }

} // namespace

int genSign(double value) {
    if (std::fabs(value) < kZeroSide || std::isnan(value)) return 0;
    return value > 0.0 ? 1 : -1;
}

void genRemoveDuplicatePoints(std::vector<Point2>& points) {
    std::vector<Point2> kept;
    kept.reserve(points.size());
    for (const Point2& p : points) {
        if (kept.empty() || !duplicate(kept.back(), p)) kept.push_back(p);
    }
    while (kept.size() > 1 && duplicate(kept.back(), kept.front())) kept.pop_back();
    points = std::move(kept);
}

int genClipPolygonToWindow(const ClipWindow& w, const std::vector<Point2>& points, std::vector<DevicePoint>& out) {
    out.clear();
    if (points.size() < 3) return 0;
    auto all = [&](auto test) { return std::all_of(points.begin(), points.end(), test); };
    if (all([&](const Point2& p) { return p.x >= w.xmax; }) || all([&](const Point2& p) { return p.x <= w.xmin; }) ||
        all([&](const Point2& p) { return p.y >= w.ymax; }) || all([&](const Point2& p) { return p.y <= w.ymin; }))
        return 0;
    std::vector<Point2> polygon = points;
    if (genSign(signedArea(polygon)) < 0) std::reverse(polygon.begin(), polygon.end());
    const Point2 corners[4] = {{w.xmin, w.ymin}, {w.xmax, w.ymin}, {w.xmax, w.ymax}, {w.xmin, w.ymax}};
    std::vector<Point2> clipped;
    // Left (from the top-left corner down), bottom, right, top.
    for (int edge = 0; edge < 4; ++edge) {
        clipToEdge(corners[(edge + 3) % 4], corners[edge], polygon, clipped);
        if (clipped.size() < 3) return 0;
        polygon.swap(clipped);
    }
    for (const Point2& p : polygon) out.push_back({toDevice(p.x), toDevice(p.y)});
    return 1;
}

} // namespace tracemill
