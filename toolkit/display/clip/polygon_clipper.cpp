#include "toolkit/display/clip/polygon_clipper.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

#include "toolkit/core/system_context.h"
#include "toolkit/display/clip/clip_call.h"
#include "toolkit/display/clip/clip_sweep.h"

namespace tracemill {
namespace clip {
namespace {

// Output polygons under construction: each a singly linked vertex list read from its left
// end (head) to its right end (tail). A polygon joined into another stands for it from then
// on (`proxy`, followed to the surviving polygon).
class ContourOutput {
  public:
    void beginBoundary(double) {
        current_ = -1;
        lastX_ = -std::numeric_limits<double>::max();
    }

    void atBoundary(ClipEdge* edge, int vertexClass, double x, double y) {
        switch (vertexClass) {
        case kExternalMinimum:
        case kInternalMinimum:
            current_ = start(edge, x, y);
            lastX_ = x;
            break;
        case kExternalRightIntermediate:
            if (newX(x)) addRight(current_, x, y);
            edge->outAbove = current_;
            current_ = -1;
            break;
        case kExternalLeftIntermediate:
            addLeft(edge->outBelow, x, y);
            lastX_ = x;
            current_ = edge->outBelow;
            break;
        case kExternalMaximum:
            if (newX(x)) addLeft(current_, x, y);
            joinRight(current_, edge->outBelow);
            current_ = -1;
            break;
        case kInternalLeftIntermediate:
            if (newX(x)) addLeft(current_, x, y);
            edge->outAbove = current_;
            current_ = -1;
            break;
        case kInternalRightIntermediate:
            addRight(edge->outBelow, x, y);
            lastX_ = x;
            current_ = edge->outBelow;
            edge->outBelow = -1;
            break;
        case kInternalMaximum:
            if (newX(x)) addRight(current_, x, y);
            joinLeft(current_, edge->outBelow);
            current_ = -1;
            edge->outBelow = -1;
            break;
        case kInternalMaximumAndMinimum:
            if (newX(x)) addRight(current_, x, y);
            joinLeft(current_, edge->outBelow);
            edge->outBelow = -1;
            current_ = start(edge, x, y);
            break;
        case kExternalMaximumAndMinimum:
            if (newX(x)) addLeft(current_, x, y);
            joinRight(current_, edge->outBelow);
            edge->outBelow = -1;
            current_ = start(edge, x, y);
            break;
        case kLeftEdge:
            if (edge->bottom.y == y) addLeft(edge->outBelow, x, y);
            edge->outAbove = edge->outBelow;
            lastX_ = x;
            break;
        case kRightEdge:
            if (edge->bottom.y == y) addRight(edge->outBelow, x, y);
            edge->outAbove = edge->outBelow;
            lastX_ = x;
            break;
        default:
            break;
        }
    }

    void atCrossing(ClipEdge* left, ClipEdge* right, int vertexClass, double x, double y) {
        const int32_t p = left->outAbove;
        const int32_t q = right->outAbove;
        switch (vertexClass) {
        case kExternalMinimum:
        case kInternalMinimum:
            right->outAbove = start(left, x, y);
            break;
        case kExternalRightIntermediate:
        case kInternalLeftIntermediate:
            if (p < 0) break;
            if (vertexClass == kExternalRightIntermediate)
                addRight(p, x, y);
            else
                addLeft(p, x, y);
            right->outAbove = p;
            left->outAbove = -1;
            break;
        case kExternalLeftIntermediate:
        case kInternalRightIntermediate:
            if (q < 0) break;
            if (vertexClass == kExternalLeftIntermediate)
                addLeft(q, x, y);
            else
                addRight(q, x, y);
            left->outAbove = q;
            right->outAbove = -1;
            break;
        case kExternalMaximum:
        case kExternalMaximumAndMinimum:
            if (p < 0 || q < 0) break;
            addLeft(p, x, y);
            joinRight(p, q);
            left->outAbove = right->outAbove = -1;
            if (vertexClass == kExternalMaximumAndMinimum) right->outAbove = start(left, x, y);
            break;
        case kInternalMaximum:
        case kInternalMaximumAndMinimum:
            if (p < 0 || q < 0) break;
            addRight(p, x, y);
            joinLeft(p, q);
            left->outAbove = right->outAbove = -1;
            if (vertexClass == kInternalMaximumAndMinimum) right->outAbove = start(left, x, y);
            break;
        default:
            break;
        }
    }

    // The contours of more than two vertices, the most recently started first, each read
    // from its right end back to its left end. A point repeated straight after itself is kept
    // once, and a contour that encloses no area (its points on one line) is left out: the
    // sweep leaves such remains where edges of both polygons meet at one point.
    void takeResult(LoopSet& result) {
        result.loops.clear();
        DisplayVector<Point2> points;
        for (size_t i = polygons_.size(); i-- > 0;) {
            if (polygons_[i].proxy != int32_t(i)) continue;
            points.clear();
            for (int32_t v = polygons_[i].head; v >= 0; v = vertices_[size_t(v)].next) {
                const Point2 p{vertices_[size_t(v)].x, vertices_[size_t(v)].y};
                if (points.empty() || !(points.back() == p)) points.push_back(p);
            }
            while (points.size() > 1 && points.back() == points.front())
                points.pop_back();
            if (points.size() <= 2 || enclosesNothing(points)) continue;
            genRequireAllocation();
            Loop& loop = result.loops.emplace_back();
            loop.hole = polygons_[i].hole;
            genRequireAllocation();
            loop.points.assign(points.rbegin(), points.rend());
        }
    }

  private:
    struct VertexNode {
        double x, y;
        int32_t next;
    };
    struct OutPolygon {
        int32_t head, tail, proxy;
        bool hole;
    };

    // Twice the signed area is exactly zero, judged on the points scaled by a power of two to
    // the size of 1 (exact, so an area of tiny or huge coordinates neither underflows nor
    // overflows).
    static bool enclosesNothing(const DisplayVector<Point2>& points) {
        double largest = 0.0;
        for (const Point2& p : points)
            largest = std::max({largest, std::fabs(p.x), std::fabs(p.y)});
        int exponent = 0;
        std::frexp(largest, &exponent);
        double twice = 0.0;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const double xi = std::ldexp(points[i].x, -exponent), yi = std::ldexp(points[i].y, -exponent);
            const double xj = std::ldexp(points[j].x, -exponent), yj = std::ldexp(points[j].y, -exponent);
            twice += (xj + xi) * (yj - yi);
        }
        return twice == 0.0;
    }

    bool newX(double x) {
        if (x == lastX_) return false;
        lastX_ = x;
        return true;
    }

    int32_t survivor(int32_t p) {
        while (polygons_[size_t(p)].proxy != p) {
            const int32_t up = polygons_[size_t(p)].proxy;
            polygons_[size_t(p)].proxy = polygons_[size_t(up)].proxy;
            p = up;
        }
        return p;
    }

    int32_t newVertex(double x, double y, int32_t next) {
        if (vertices_.size() >= size_t(std::numeric_limits<int32_t>::max())) throw std::bad_alloc();
        vertices_.push_back({x, y, next});
        return int32_t(vertices_.size() - 1);
    }

    int32_t start(ClipEdge* edge, double x, double y) {
        if (polygons_.size() >= size_t(std::numeric_limits<int32_t>::max())) throw std::bad_alloc();
        const int32_t v = newVertex(x, y, -1);
        const int32_t p = int32_t(polygons_.size());
        polygons_.push_back({v, v, p, false});
        edge->outAbove = p;
        return p;
    }

    void addLeft(int32_t p, double x, double y) {
        if (p < 0) return;
        p = survivor(p);
        const int32_t v = newVertex(x, y, polygons_[size_t(p)].head);
        polygons_[size_t(p)].head = v;
    }

    void addRight(int32_t p, double x, double y) {
        if (p < 0) return;
        p = survivor(p);
        const int32_t v = newVertex(x, y, -1);
        vertices_[size_t(polygons_[size_t(p)].tail)].next = v;
        polygons_[size_t(p)].tail = v;
    }

    // Joins a into b in front of b's vertices; b becomes a hole.
    void joinLeft(int32_t a, int32_t b) {
        if (a < 0 || b < 0) return;
        a = survivor(a);
        b = survivor(b);
        polygons_[size_t(b)].hole = true;
        if (a == b) return;
        vertices_[size_t(polygons_[size_t(a)].tail)].next = polygons_[size_t(b)].head;
        polygons_[size_t(b)].head = polygons_[size_t(a)].head;
        polygons_[size_t(a)].proxy = b;
    }

    // Joins a into b after b's vertices; b becomes an outer contour.
    void joinRight(int32_t a, int32_t b) {
        if (a < 0 || b < 0) return;
        a = survivor(a);
        b = survivor(b);
        polygons_[size_t(b)].hole = false;
        if (a == b) return;
        vertices_[size_t(polygons_[size_t(b)].tail)].next = polygons_[size_t(a)].head;
        polygons_[size_t(b)].tail = polygons_[size_t(a)].tail;
        polygons_[size_t(a)].proxy = b;
    }

    DisplayVector<VertexNode> vertices_;
    DisplayVector<OutPolygon> polygons_;
    int32_t current_ = -1;
    double lastX_ = 0.0;
};

} // namespace
} // namespace clip

void genClipPolygons(ClipOp op, const LoopSet& subject, const LoopSet& clip, LoopSet& result) {
    clip::runClipCall(result, [&](LoopSet& out) {
        if (clip::clipIsTriviallyEmpty(op, subject, clip)) return;
        clip::EdgeTable table;
        clip::clipBuildEdgeTable(op, subject, clip, table);
        clip::ContourOutput output;
        clip::clipSweep(op, table, output);
        output.takeResult(out);
    });
}

void genClipAddContour(LoopSet& polygon, const std::vector<Point2>& contour, int32_t hole) {
    try {
        genRequireAllocation();
        Loop loop{contour, hole};
        polygon.loops.push_back(std::move(loop));
    } catch (const std::bad_alloc&) {
        dbNotifyError(kErrorReasonNoMemory);
    }
}

void genClipFreePolygon(LoopSet& polygon) {
    std::vector<Loop>().swap(polygon.loops);
}

void genClipFreeStrips(StripSet& strips) {
    std::vector<std::vector<Point2>>().swap(strips.strips);
}

} // namespace tracemill
