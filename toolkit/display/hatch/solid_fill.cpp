#include "toolkit/display/hatch/solid_fill.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <queue>

#include "toolkit/core/system_context.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/display_memory.h"

namespace tracemill {
namespace {

constexpr double kClosureTolerance = 1e-5; // a path's segments must meet within this
constexpr double kVerticalEdge = 1e-12;    // edges no wider than this take no part
constexpr double kSweepStepsPerWidth = 100000.0;

bool near(Point2 a, Point2 b, double tolerance) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance;
}

// Each segment starts where the one before ended, and the last ends where the first started.
bool isClosed(const HatchSegments& path) {
    for (size_t i = 1; i < path.size(); ++i)
        if (!near(path[i].start, path[i - 1].end, kClosureTolerance)) return false;
    return near(path.back().end, path.front().start, kClosureTolerance);
}

FillBox boxOf(const HatchSegments& path) {
    FillBox box{path[0].start.x, path[0].start.y, path[0].start.x, path[0].start.y};
    for (const HatchSegment& s : path)
        for (const Point2& p : {s.start, s.end}) {
            box.minX = std::min(box.minX, p.x);
            box.minY = std::min(box.minY, p.y);
            box.maxX = std::max(box.maxX, p.x);
            box.maxY = std::max(box.maxY, p.y);
        }
    return box;
}

// The edges of the closed paths as events, two per edge that is not vertical.
void collectEvents(const std::vector<HatchSegments>& paths, std::vector<EdgeEvent>& events) {
    size_t segments = 0;
    for (const HatchSegments& path : paths)
        segments += path.size();
    genRequireAllocation();
    events.reserve(2 * segments);
    int32_t edge = 0;
    for (const HatchSegments& path : paths) {
        if (path.empty() || !isClosed(path)) continue;
        for (const HatchSegment& s : path) {
            Point2 left = s.start, right = s.end;
            if (std::fabs(right.x - left.x) <= kVerticalEdge) continue;
            if (right.x < left.x) std::swap(left, right);
            const double slope = (right.y - left.y) / (right.x - left.x);
            const double intercept = left.y - slope * left.x;
            ++edge;
            events.push_back({left.x, left.y, slope, intercept, edge});
            events.push_back({right.x, right.y, slope, intercept, -edge});
        }
    }
}

struct ActiveEdge {
    Point2 at; // where the last strip left the edge
    double slope, intercept;
    int32_t edge;
};

// Fills the strip between the last x and x: between each pair of active edges (0, 1), (2, 3)
// ... one quadrilateral from their old to their new points; then every edge stands at x.
void closeStrip(DisplayVector<ActiveEdge>& active, double x, double elevation, const FillQuadSink& sink) {
    auto corner = [elevation](Point2 p) { return Point4{p.x, p.y, elevation, 1.0}; };
    for (size_t k = 0; k + 1 < active.size(); k += 2) {
        const Point2 a = active[k].at, f = active[k + 1].at;
        const Point2 a2{x, active[k].slope * x + active[k].intercept};
        const Point2 f2{x, active[k + 1].slope * x + active[k + 1].intercept};
        if (a == f)
            sink(corner(a2), corner(f2), corner(f), corner(a));
        else if (f2 == f)
            sink(corner(a), corner(a2), corner(f2), corner(f));
        else if (a2 == a)
            sink(corner(f2), corner(f), corner(a), corner(a2));
        else
            sink(corner(f), corner(a), corner(f2), corner(a2));
    }
    for (ActiveEdge& e : active)
        e.at = {x, e.slope * x + e.intercept};
}

// The active table runs by y descending: a new edge goes before the first edge not above its
// point, and among edges through its point after those that rise faster.
void applyEvent(DisplayVector<ActiveEdge>& active, const EdgeEvent& event) {
    if (event.edge < 0) {
        const auto it = std::find_if(active.begin(), active.end(),
                                     [&](const ActiveEdge& e) { return e.edge == -event.edge; });
        if (it != active.end()) active.erase(it);
        return;
    }
    const auto at = std::find_if(active.begin(), active.end(), [&](const ActiveEdge& e) {
        return !(e.at.y > event.y) && !(e.at.y == event.y && e.slope > event.slope);
    });
    active.insert(at, ActiveEdge{{event.x, event.y}, event.slope, event.intercept, event.edge});
}

void sweep(const std::vector<EdgeEvent>& events, double width, double elevation, const FillQuadSink& sink) {
    const double step = width / kSweepStepsPerWidth;
    // Room for every edge at once, taken before the first quadrilateral goes out, so that a
    // lack of memory never leaves half a fill.
    DisplayVector<ActiveEdge> active;
    active.reserve(events.size() / 2);
    double lastX = events.front().x;
    for (const EdgeEvent& event : events) {
        if (std::fabs(event.x - lastX) >= step) {
            closeStrip(active, event.x, elevation, sink);
            lastX = event.x;
        }
        applyEvent(active, event);
    }
}

} // namespace

int genBoxesOverlap(const FillBox& a, const FillBox& b) {
    return a.maxX < b.minX || b.maxX < a.minX || a.maxY < b.minY || b.maxY < a.minY ? 0 : 1;
}

int genPointInLoop(const HatchSegments& loop, Point2 point, bool& touching, double tolerance) {
    bool inside = false;
    for (const HatchSegment& s : loop) {
        if (near(point, s.start, tolerance) || near(point, s.end, tolerance)) {
            touching = true;
            return 1;
        }
        const double y1 = s.start.y, y2 = s.end.y;
        if (!(std::min(y1, y2) <= point.y && point.y < std::max(y1, y2))) continue;
        const double x = s.start.x + (point.y - y1) * (s.end.x - s.start.x) / (y2 - y1);
        if (std::fabs(x - point.x) <= tolerance) return 1;
        if (point.x < x) inside = !inside;
    }
    return inside ? 1 : 0;
}

namespace {

// Throws std::bad_alloc when memory runs out (the paths are then as they were or partly
// emptied; the caller fills nothing).
void islandDepths(std::vector<HatchSegments>& paths, int16_t style) {
    {
        const size_t n = paths.size();
        DisplayVector<FillBox> boxes(n);
        DisplayVector<int32_t> depths(n, 0);
        bool any = false;
        FillBox all;
        for (size_t i = 0; i < n; ++i) {
            if (paths[i].empty()) continue;
            boxes[i] = boxOf(paths[i]);
            if (!any) all = boxes[i];
            all = {std::min(all.minX, boxes[i].minX), std::min(all.minY, boxes[i].minY),
                   std::max(all.maxX, boxes[i].maxX), std::max(all.maxY, boxes[i].maxY)};
            any = true;
        }
        const double tolerance = std::max(all.maxX - all.minX, all.maxY - all.minY) / kSweepStepsPerWidth;
        for (size_t i = 0; i < n; ++i) {
            if (paths[i].empty()) continue;
            for (size_t j = 0; j < n; ++j) {
                if (j == i || paths[j].empty() || !genBoxesOverlap(boxes[i], boxes[j])) continue;
                bool touched = false;
                const bool inside = std::all_of(paths[i].begin(), paths[i].end(), [&](const HatchSegment& s) {
                    return genPointInLoop(paths[j], s.start, touched, tolerance) == 1;
                });
                if (!inside) continue;
                ++depths[i];
                if (touched) {
                    paths[i].clear();
                    break;
                }
                if (style != kHatchStyleNormal && depths[i] > 1) break;
            }
        }
        for (size_t i = 0; i < n; ++i)
            if ((style == kHatchStyleOuter && depths[i] > 1) || (style == kHatchStyleIgnore && depths[i] > 0))
                paths[i].clear();
    }
}

} // namespace

void genHatchIslandDepths(std::vector<HatchSegments>& paths, int16_t style) {
    try {
        islandDepths(paths, style);
    } catch (const std::bad_alloc&) {
        dbNotifyError(kErrorReasonNoMemory);
    }
}

int genCompareEdgeEvents(const EdgeEvent& a, const EdgeEvent& b) {
    if (a.x != b.x) return a.x < b.x ? -1 : 1;
    if (a.y != b.y) return a.y > b.y ? -1 : 1;
    if (a.slope != b.slope) return a.slope > b.slope ? -1 : 1;
    return 0;
}

int genSortEdgeEvents(std::vector<EdgeEvent>& events, double& width) {
    width = 0.0;
    if (events.empty()) return 1;
    auto before = [](const EdgeEvent& a, const EdgeEvent& b) { return genCompareEdgeEvents(a, b) < 0; };
    try {
        if (events.size() <= kEdgeEventRun) {
            std::stable_sort(events.begin(), events.end(), before);
        } else {
            // Runs sorted whole, then merged by x alone: among equal x the earlier run wins.
            const size_t runs = (events.size() + kEdgeEventRun - 1) / kEdgeEventRun;
            DisplayVector<size_t> heads(runs);
            for (size_t r = 0; r < runs; ++r)
                heads[r] = r * kEdgeEventRun;
            struct Head {
                double x;
                size_t run;
            };
            auto later = [](const Head& a, const Head& b) {
                return a.x > b.x || (a.x == b.x && a.run > b.run);
            };
            DisplayVector<Head> storage;
            storage.reserve(runs);
            std::priority_queue<Head, DisplayVector<Head>, decltype(later)> queue(later, std::move(storage));
            genRequireAllocation();
            std::vector<EdgeEvent> merged;
            merged.reserve(events.size());
            for (size_t r = 0; r < runs; ++r) {
                const auto first = events.begin() + ptrdiff_t(r * kEdgeEventRun);
                const auto last =
                    events.begin() + ptrdiff_t(std::min(events.size(), (r + 1) * kEdgeEventRun));
                std::stable_sort(first, last, before);
                queue.push({first->x, r});
            }
            while (!queue.empty()) {
                const size_t r = queue.top().run;
                queue.pop();
                merged.push_back(events[heads[r]]);
                const size_t end = std::min(events.size(), (r + 1) * kEdgeEventRun);
                if (++heads[r] < end) queue.push({events[heads[r]].x, r});
            }
            events.swap(merged);
        }
    } catch (const std::bad_alloc&) {
        dbNotifyError(kErrorReasonNoMemory);
        return 0;
    }
    width = events.back().x - events.front().x;
    return 1;
}

void genHatchSolidFillQuads(std::vector<HatchSegments>& paths, int16_t style, double elevation,
                            const FillQuadSink& sink) {
    try {
        if (paths.size() > 1) islandDepths(paths, style);
        std::vector<EdgeEvent> events;
        collectEvents(paths, events);
        if (events.empty()) return;
        double width = 0.0;
        if (!genSortEdgeEvents(events, width)) return;
        sweep(events, width, elevation, sink);
    } catch (const std::bad_alloc&) {
        dbNotifyError(kErrorReasonNoMemory);
    }
}

void genHatchSolidFill(Drawing* drawing, const Matrix4* matrices, std::vector<HatchSegments>& paths, int16_t style,
                       double elevation) {
    auto point = [](const Point4& p) { return Point3{p.x, p.y, p.z}; };
    genHatchSolidFillQuads(paths, style, elevation,
                           [&](const Point4& a, const Point4& b, const Point4& c, const Point4& d) {
                               genFillQuad(drawing, point(a), point(b), point(c), point(d), matrices);
                           });
}

} // namespace tracemill
