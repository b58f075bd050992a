#include "toolkit/display/clip/clip_edges.h"

#include <algorithm>
#include <cmath>

namespace tracemill::clip {
namespace {

struct Box {
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
};

bool isFinite(const Loop& loop) {
    for (const Point2& p : loop.points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    return true;
}

Box boxOf(const Loop& loop) {
    Box box;
    if (loop.points.empty()) return box;
    box = {loop.points[0].x, loop.points[0].y, loop.points[0].x, loop.points[0].y};
    for (const Point2& p : loop.points) {
        box.minX = std::min(box.minX, p.x);
        box.minY = std::min(box.minY, p.y);
        box.maxX = std::max(box.maxX, p.x);
        box.maxY = std::max(box.maxY, p.y);
    }
    return box;
}

// Touching boxes overlap.
bool overlaps(const Box& a, const Box& b) {
    return !(a.maxX < b.minX || a.minX > b.maxX || a.maxY < b.minY || a.minY > b.maxY);
}

// Which contours of each polygon take part: finite ones, less those an intersection or a
// difference cannot need (a clip contour apart from every subject contour; for an
// intersection also a subject contour apart from every clip contour).
void chooseContours(ClipOp op, const LoopSet& subject, const LoopSet& clip, DisplayVector<char> (&use)[2]) {
    const LoopSet* polygons[2] = {&subject, &clip};
    DisplayVector<Box> boxes[2];
    for (int owner = 0; owner < 2; ++owner) {
        const std::vector<Loop>& loops = polygons[owner]->loops;
        use[owner].assign(loops.size(), 0);
        boxes[owner].resize(loops.size());
        for (size_t i = 0; i < loops.size(); ++i) {
            use[owner][i] = !loops[i].points.empty() && isFinite(loops[i]);
            if (use[owner][i]) boxes[owner][i] = boxOf(loops[i]);
        }
    }
    const bool filter = (op == ClipOp::kIntersection || op == ClipOp::kDifference) &&
                        !subject.loops.empty() && !clip.loops.empty();
    if (!filter) return;
    DisplayVector<char> meets[2];
    meets[kSubject].assign(subject.loops.size(), 0);
    meets[kClip].assign(clip.loops.size(), 0);
    for (size_t s = 0; s < subject.loops.size(); ++s) {
        if (!use[kSubject][s]) continue;
        for (size_t c = 0; c < clip.loops.size(); ++c) {
            if (!use[kClip][c] || !overlaps(boxes[kSubject][s], boxes[kClip][c])) continue;
            meets[kSubject][s] = 1;
            meets[kClip][c] = 1;
        }
    }
    for (size_t c = 0; c < clip.loops.size(); ++c)
        use[kClip][c] &= meets[kClip][c];
    if (op == ClipOp::kIntersection)
        for (size_t s = 0; s < subject.loops.size(); ++s)
            use[kSubject][s] &= meets[kSubject][s];
}

// The vertices of a contour less those inside a horizontal run (whose neighbours both have
// its y).
void keptVertices(const std::vector<Point2>& points, DisplayVector<Point2>& kept) {
    kept.clear();
    const size_t n = points.size();
    for (size_t i = 0; i < n; ++i) {
        const double y = points[i].y;
        if (points[(i + n - 1) % n].y != y || points[(i + 1) % n].y != y) kept.push_back(points[i]);
    }
}

class BoundBuilder {
  public:
    BoundBuilder(ClipOp op, int owner, EdgeTable& table) : op_(op), owner_(owner), table_(table) {}

    // The bounds of one contour: those that rise forward from a vertex, then those that rise
    // backward.
    void addContour(const DisplayVector<Point2>& v) {
        const size_t n = v.size();
        if (n == 0) return;
        auto next = [n](size_t i) { return (i + 1) % n; };
        auto prev = [n](size_t i) { return (i + n - 1) % n; };
        for (size_t i = 0; i < n; ++i) {
            if (!(v[prev(i)].y >= v[i].y && v[next(i)].y > v[i].y)) continue;
            size_t count = 1;
            for (size_t j = next(i); v[next(j)].y > v[j].y; j = next(j))
                ++count;
            addBound(v, i, count, next);
        }
        for (size_t i = 0; i < n; ++i) {
            if (!(v[prev(i)].y > v[i].y && v[next(i)].y >= v[i].y)) continue;
            size_t count = 1;
            for (size_t j = prev(i); v[prev(j)].y > v[j].y; j = prev(j))
                ++count;
            addBound(v, i, count, prev);
        }
    }

  private:
    template <class Step>
    void addBound(const DisplayVector<Point2>& v, size_t from, size_t count, Step step) {
        DisplayVector<ClipEdge>& edges = table_.edges[owner_];
        ClipEdge* first = nullptr;
        ClipEdge* last = nullptr;
        for (size_t k = 0; k < count; ++k) {
            const size_t to = step(from);
            ClipEdge& e = edges.emplace_back();
            e.bottom = v[from];
            e.top = v[to];
            e.xBottom = e.bottom.x;
            e.dx = (e.top.x - e.bottom.x) / (e.top.y - e.bottom.y);
            if (std::isnan(e.dx)) e.dx = 0.0; // both differences overflowed
            e.owner = owner_;
            // The clip's parity starts inverted for a difference, so that the difference is
            // the intersection with the clip's complement.
            e.rightSide[kClip] = owner_ == kClip && op_ == ClipOp::kDifference;
            if (last) last->successor = &e;
            if (!first) first = &e;
            last = &e;
            from = to;
        }
        table_.minima.push_back({first->bottom.y, first});
    }

    ClipOp op_;
    int owner_;
    EdgeTable& table_;
};

} // namespace

void clipBuildEdgeTable(ClipOp op, const LoopSet& subject, const LoopSet& clip, EdgeTable& table) {
    DisplayVector<char> use[2];
    chooseContours(op, subject, clip, use);
    const LoopSet* polygons[2] = {&subject, &clip};
    DisplayVector<Point2> kept;
    double largest = 0.0;
    for (int owner = 0; owner < 2; ++owner) {
        const std::vector<Loop>& loops = polygons[owner]->loops;
        // Every edge joins two kept vertices, so the block never moves once reserved.
        size_t vertices = 0;
        for (size_t i = 0; i < loops.size(); ++i)
            if (use[owner][i]) vertices += loops[i].points.size();
        table.edges[owner].reserve(vertices);
        BoundBuilder builder(op, owner, table);
        for (size_t i = 0; i < loops.size(); ++i) {
            if (!use[owner][i]) continue;
            keptVertices(loops[i].points, kept);
            for (const Point2& p : kept) {
                table.scanbeams.push_back(p.y);
                largest = std::max({largest, std::fabs(p.x), std::fabs(p.y)});
            }
            builder.addContour(kept);
        }
    }
    table.xTolerance = kClipRoundingUlps * kClipEpsilon * largest;
    std::sort(table.scanbeams.begin(), table.scanbeams.end());
    table.scanbeams.erase(std::unique(table.scanbeams.begin(), table.scanbeams.end()), table.scanbeams.end());
    std::stable_sort(table.minima.begin(), table.minima.end(),
                     [](const LocalMinimum& a, const LocalMinimum& b) {
                         if (a.y != b.y) return a.y < b.y;
                         if (a.first->bottom.x != b.first->bottom.x)
                             return a.first->bottom.x < b.first->bottom.x;
                         return a.first->dx < b.first->dx;
                     });
}

} // namespace tracemill::clip
