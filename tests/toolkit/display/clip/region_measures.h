// Measures of regions that the clipper tests compute on their own, without the clipper:
// even-odd membership of a point, signed contour areas, the area strips cover, and the
// distance of a point from the nearest edge of a set of contours.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "toolkit/display/clip/loop_set.h"

namespace tracemill::test {

// Inside by the even-odd rule over every contour (hole flags play no part).
inline bool insideEvenOdd(const LoopSet& set, Point2 p) {
    bool inside = false;
    for (const Loop& loop : set.loops) {
        const std::vector<Point2>& v = loop.points;
        if (v.empty()) continue;
        for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
            if ((v[i].y > p.y) != (v[j].y > p.y) &&
                p.x < (v[j].x - v[i].x) * (p.y - v[i].y) / (v[j].y - v[i].y) + v[i].x)
                inside = !inside;
        }
    }
    return inside;
}

inline double shoelace(const std::vector<Point2>& v) {
    double twice = 0.0;
    if (v.empty()) return 0.0;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++)
        twice += (v[j].x + v[i].x) * (v[j].y - v[i].y);
    return twice / 2.0;
}

// The area of a clipper result: outer contours count, holes subtract.
inline double resultArea(const LoopSet& set) {
    double area = 0.0;
    for (const Loop& loop : set.loops)
        area += (loop.hole ? -1.0 : 1.0) * std::fabs(shoelace(loop.points));
    return area;
}

// The area the triangles of the strips cover (each triangle counted once, whatever its turn).
inline double stripArea(const StripSet& strips) {
    double area = 0.0;
    for (const std::vector<Point2>& s : strips.strips)
        for (size_t i = 2; i < s.size(); ++i)
            area += std::fabs(shoelace({s[i - 2], s[i - 1], s[i]}));
    return area;
}

inline double segmentDistance(Point2 p, Point2 a, Point2 b);

// How many triangles of the strips hold the point inside; -1 when the point lies within 1e-9 of
// a side of a triangle that has an area, where the count would say nothing.
inline int stripCover(const StripSet& strips, Point2 p) {
    int cover = 0;
    for (const std::vector<Point2>& s : strips.strips)
        for (size_t i = 2; i < s.size(); ++i) {
            const Point2 a = s[i - 2], b = s[i - 1], c = s[i];
            if (p.x < std::min({a.x, b.x, c.x}) - 1e-9 || p.x > std::max({a.x, b.x, c.x}) + 1e-9 ||
                p.y < std::min({a.y, b.y, c.y}) - 1e-9 || p.y > std::max({a.y, b.y, c.y}) + 1e-9)
                continue;
            const double d1 = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
            const double d2 = (c.x - b.x) * (p.y - b.y) - (c.y - b.y) * (p.x - b.x);
            const double d3 = (a.x - c.x) * (p.y - c.y) - (a.y - c.y) * (p.x - c.x);
            if (segmentDistance(p, a, b) < 1e-9 || segmentDistance(p, b, c) < 1e-9 ||
                segmentDistance(p, c, a) < 1e-9) {
                if ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) != 0.0) return -1;
                continue;
            }
            if ((d1 > 0 && d2 > 0 && d3 > 0) || (d1 < 0 && d2 < 0 && d3 < 0)) ++cover;
        }
    return cover;
}

inline double segmentDistance(Point2 p, Point2 a, Point2 b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

inline double edgeDistance(const LoopSet& set, Point2 p) {
    double nearest = std::numeric_limits<double>::infinity();
    for (const Loop& loop : set.loops) {
        const std::vector<Point2>& v = loop.points;
        if (v.empty()) continue;
        for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++)
            nearest = std::min(nearest, segmentDistance(p, v[j], v[i]));
    }
    return nearest;
}

} // namespace tracemill::test
