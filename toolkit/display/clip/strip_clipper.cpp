// The clipper's triangle-strip output: the sweep's vertex classes grow strips instead of
// contours. Every strip keeps a left and a right chain of points; the strip is read by taking
// points from the two chains in turn.
#include <limits>
#include <new>

#include "toolkit/display/clip/clip_call.h"
#include "toolkit/display/clip/clip_sweep.h"
#include "toolkit/display/clip/polygon_clipper.h"

namespace tracemill {
namespace clip {
namespace {

class StripOutput {
  public:
    void beginBoundary(double) {
        contributor_ = nullptr;
        contributorClass_ = kNone;
    }

    void atBoundary(ClipEdge* edge, int vertexClass, double x, double y) {
        ClipEdge* c = contributor_;
        switch (vertexClass) {
        case kExternalMinimum:
            start(edge, x, y);
            contributor_ = edge;
            break;
        case kExternalRightIntermediate:
            edge->outAbove = c ? c->outAbove : -1;
            if (!leftEndsAt(edge->outAbove, x, y)) appendRight(edge->outAbove, x, y);
            contributor_ = nullptr;
            break;
        case kExternalLeftIntermediate:
            appendLeft(edge->outBelow, x, y);
            edge->outAbove = -1;
            contributor_ = edge;
            break;
        case kExternalMaximum:
            if (!leftEndsAt(edge->outBelow, x, y)) appendRight(edge->outBelow, x, y);
            edge->outAbove = -1;
            contributor_ = nullptr;
            break;
        case kInternalMinimum:
            restartAfterLeftEdge(y);
            edge->outAbove = c ? c->outAbove : -1;
            appendRight(edge->outAbove, x, y);
            break;
        case kInternalLeftIntermediate:
            start(edge, x, y);
            contributor_ = edge;
            contributorClass_ = kInternalLeftIntermediate;
            break;
        case kInternalRightIntermediate:
            restartAfterLeftEdge(y);
            appendRight(edge->outBelow, x, y);
            edge->outAbove = -1;
            break;
        case kInternalMaximum:
            appendLeft(edge->outBelow, x, y);
            edge->outAbove = -1;
            contributorClass_ = kInternalMaximum;
            break;
        case kInternalMaximumAndMinimum:
            appendLeft(edge->outBelow, x, y);
            edge->outAbove = c ? c->outAbove : -1;
            if (c && !leftEndsAt(c->outAbove, x, y)) appendRight(c->outAbove, x, y);
            contributor_ = edge;
            break;
        case kExternalMaximumAndMinimum:
            appendRight(edge->outBelow, x, y);
            edge->outAbove = -1;
            start(edge, x, y);
            contributor_ = edge;
            break;
        case kLeftEdge:
            if (edge->bottom.y == y) appendLeft(edge->outBelow, x, y);
            edge->outAbove = edge->outBelow;
            contributor_ = edge;
            contributorClass_ = kLeftEdge;
            break;
        case kRightEdge:
            edge->outAbove = c ? c->outAbove : -1;
            if (c && contributorClass_ == kLeftEdge) {
                if (c->bottom.y == y) {
                    appendRight(edge->outBelow, x, y);
                } else if (edge->bottom.y == y) {
                    appendLeft(c->outBelow, c->xBottom, y);
                    appendRight(edge->outBelow, x, y);
                }
            } else {
                appendRight(edge->outBelow, x, y);
                appendRight(edge->outAbove, x, y);
            }
            contributor_ = nullptr;
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
            start(right, x, y);
            left->outAbove = right->outAbove;
            break;
        case kExternalRightIntermediate:
            if (p < 0) break;
            appendLeftOfPrevious(left, y);
            appendRight(p, x, y);
            right->outAbove = p;
            left->outAbove = -1;
            break;
        case kExternalLeftIntermediate:
            if (q < 0) break;
            appendLeft(q, x, y);
            appendRightOfNext(right, y);
            left->outAbove = q;
            right->outAbove = -1;
            break;
        case kExternalMaximum:
            if (p < 0 || q < 0) break;
            appendLeft(p, x, y);
            left->outAbove = right->outAbove = -1;
            break;
        case kInternalMinimum:
            splitAtCrossing(left, right, x, y);
            break;
        case kInternalLeftIntermediate:
            if (p < 0) break;
            appendLeft(p, x, y);
            appendRightOfNext(right, y);
            right->outAbove = p;
            left->outAbove = -1;
            break;
        case kInternalRightIntermediate:
            if (q < 0) break;
            appendRight(q, x, y);
            appendLeftOfPrevious(left, y);
            left->outAbove = q;
            right->outAbove = -1;
            break;
        case kInternalMaximum: {
            if (p < 0 || q < 0) break;
            appendRight(p, x, y);
            appendLeft(q, x, y);
            left->outAbove = right->outAbove = -1;
            ClipEdge* previous = appendLeftOfPrevious(left, y);
            if (previous) start(previous, xAt(previous, y), y);
            ClipEdge* next = appendRightOfNext(right, y);
            if (next) {
                next->outAbove = previous ? previous->outAbove : -1;
                appendRight(next->outAbove, xAt(next, y), y);
            }
            break;
        }
        case kInternalMaximumAndMinimum:
            if (p < 0 || q < 0) break;
            appendRight(p, x, y);
            appendLeft(q, x, y);
            splitAtCrossing(left, right, x, y);
            break;
        case kExternalMaximumAndMinimum:
            if (p < 0 || q < 0) break;
            appendLeft(p, x, y);
            start(right, x, y);
            left->outAbove = right->outAbove;
            break;
        default:
            break;
        }
    }

    // The strips of more than two points in the order they were started, their points taken
    // from the left and the right chain in turn, left first.
    void takeResult(StripSet& result) {
        result.strips.clear();
        for (const StripNode& node : strips_) {
            if (node.count <= 2) continue;
            genRequireAllocation();
            std::vector<Point2>& strip = result.strips.emplace_back();
            genRequireAllocation();
            strip.reserve(size_t(node.count));
            int32_t l = node.leftHead;
            int32_t r = node.rightHead;
            while (l >= 0 || r >= 0) {
                if (l >= 0) {
                    strip.push_back({points_[size_t(l)].x, points_[size_t(l)].y});
                    l = points_[size_t(l)].next;
                }
                if (r >= 0) {
                    strip.push_back({points_[size_t(r)].x, points_[size_t(r)].y});
                    r = points_[size_t(r)].next;
                }
            }
        }
    }

  private:
    struct PointNode {
        double x, y;
        int32_t next;
    };
    struct StripNode {
        int32_t leftHead = -1, leftTail = -1, rightHead = -1, rightTail = -1;
        int32_t count = 0;
    };

    // The point was the last one put on the strip's left chain, by the edge that opened the
    // span on this boundary: the apex needs no second copy on the right. (Asked of the strip
    // itself, not of the last contributing edge's x, which may belong to another strip that
    // merely starts at the same x.)
    bool leftEndsAt(int32_t strip, double x, double y) const {
        if (strip < 0) return false;
        const int32_t tail = strips_[size_t(strip)].leftTail;
        return tail >= 0 && points_[size_t(tail)].x == x && points_[size_t(tail)].y == y;
    }

    static double xAt(const ClipEdge* edge, double y) {
        return edge->bottom.x + edge->dx * (y - edge->bottom.y);
    }

    int32_t newPoint(double x, double y) {
        if (points_.size() >= size_t(std::numeric_limits<int32_t>::max())) throw std::bad_alloc();
        points_.push_back({x, y, -1});
        return int32_t(points_.size() - 1);
    }

    void start(ClipEdge* edge, double x, double y) {
        if (strips_.size() >= size_t(std::numeric_limits<int32_t>::max())) throw std::bad_alloc();
        const int32_t v = newPoint(x, y);
        StripNode node;
        node.leftHead = node.leftTail = v;
        node.count = 1;
        strips_.push_back(node);
        edge->outAbove = int32_t(strips_.size() - 1);
    }

    void append(int32_t strip, bool right, double x, double y) {
        if (strip < 0) return;
        const int32_t v = newPoint(x, y);
        StripNode& node = strips_[size_t(strip)];
        int32_t& head = right ? node.rightHead : node.leftHead;
        int32_t& tail = right ? node.rightTail : node.leftTail;
        if (tail >= 0)
            points_[size_t(tail)].next = v;
        else
            head = v;
        tail = v;
        ++node.count;
    }
    void appendLeft(int32_t strip, double x, double y) { append(strip, false, x, y); }
    void appendRight(int32_t strip, double x, double y) { append(strip, true, x, y); }

    // The nearest edge left (right) of an edge that carries a strip above, with its x at y
    // appended to the left (right) chain of that strip; null when there is none.
    ClipEdge* appendLeftOfPrevious(ClipEdge* edge, double y) {
        ClipEdge* previous = edge->prev;
        while (previous && previous->outAbove < 0)
            previous = previous->prev;
        if (previous) appendLeft(previous->outAbove, xAt(previous, y), y);
        return previous;
    }
    ClipEdge* appendRightOfNext(ClipEdge* edge, double y) {
        ClipEdge* next = edge->next;
        while (next && next->outAbove < 0)
            next = next->next;
        if (next) appendRight(next->outAbove, xAt(next, y), y);
        return next;
    }

    // A minimum at a crossing inside the area: the strips on both sides end there and new
    // ones start above it, one between the previous edge and the right edge, one between the
    // left edge and the next edge.
    void splitAtCrossing(ClipEdge* left, ClipEdge* right, double x, double y) {
        ClipEdge* previous = appendLeftOfPrevious(left, y);
        ClipEdge* next = appendRightOfNext(right, y);
        if (previous) start(previous, xAt(previous, y), y);
        right->outAbove = previous ? previous->outAbove : -1;
        appendRight(right->outAbove, x, y);
        start(left, x, y);
        if (next) {
            next->outAbove = left->outAbove;
            appendRight(next->outAbove, xAt(next, y), y);
        }
    }

    // A left edge met before an internal minimum or right intermediate ends its strip here
    // and starts a new one.
    void restartAfterLeftEdge(double y) {
        ClipEdge* c = contributor_;
        if (!c || contributorClass_ != kLeftEdge) return;
        if (c->bottom.y != y) appendLeft(c->outBelow, c->xBottom, y);
        start(c, c->xBottom, y);
    }

    DisplayVector<PointNode> points_;
    DisplayVector<StripNode> strips_;
    ClipEdge* contributor_ = nullptr;
    int contributorClass_ = kNone;
};

} // namespace
} // namespace clip

void genClipToStrips(ClipOp op, const LoopSet& subject, const LoopSet& clip, StripSet& result) {
    clip::runClipCall(result, [&](StripSet& out) {
        if (clip::clipIsTriviallyEmpty(op, subject, clip)) return;
        clip::EdgeTable table;
        clip::clipBuildEdgeTable(op, subject, clip, table);
        clip::StripOutput output;
        clip::clipSweep(op, table, output);
        output.takeResult(out);
    });
}

void genPolygonToStrips(const LoopSet& polygon, StripSet& result) {
    genClipToStrips(ClipOp::kDifference, polygon, LoopSet{}, result);
}

} // namespace tracemill
