// The scanbeam sweep of the clipper, shared by its contour and its strip output. The sweep
// walks the scanbeam boundaries upwards; at each it bundles coincident edges, classifies the
// point of every bundle head by which of its four quadrants lie inside the result, and inside
// each scanbeam it finds the crossings of edges. What a vertex class does to the output is the
// output's business:
//
//   output.beginBoundary(y)                      before the heads of one boundary
//   output.atBoundary(edge, class, x, y)         a contributing bundle head
//   output.atCrossing(left, right, class, x, y)  a crossing of two edges that both go on
//
// The class is tr + 2 tl + 4 br + 8 bl of the quadrant flags (top right ... bottom left).
#pragma once

#include <algorithm>
#include <cmath>

#include "toolkit/display/clip/clip_edges.h"

namespace tracemill::clip {

enum VertexClass : int {
    kNone = 0,
    kExternalMaximum = 1,
    kExternalLeftIntermediate = 2,
    kTopEdge = 3,
    kExternalRightIntermediate = 4,
    kRightEdge = 5,
    kInternalMaximumAndMinimum = 6,
    kInternalMinimum = 7,
    kExternalMinimum = 8,
    kExternalMaximumAndMinimum = 9,
    kLeftEdge = 10,
    kInternalLeftIntermediate = 11,
    kBottomEdge = 12,
    kInternalRightIntermediate = 13,
    kInternalMaximum = 14,
    kFull = 15,
};

namespace sweep_detail {

enum HorizontalState : int { kNoHorizontal = 0, kBottomHorizontal = 1, kTopHorizontal = 2 };

// Next horizontal state: rows the current state; columns (edge exists above only, below only,
// on both sides) x (parity after the edge: outside, inside).
inline constexpr int kNextHorizontal[3][6] = {
    {kBottomHorizontal, kTopHorizontal, kTopHorizontal, kBottomHorizontal, kNoHorizontal, kNoHorizontal},
    {kNoHorizontal, kNoHorizontal, kNoHorizontal, kNoHorizontal, kTopHorizontal, kTopHorizontal},
    {kNoHorizontal, kNoHorizontal, kNoHorizontal, kNoHorizontal, kBottomHorizontal, kBottomHorizontal},
};

// Edges that go on above the boundary as one: the same x there and the same slope, each
// within the rounding of the computations.
inline bool coincident(const ClipEdge& a, const ClipEdge& b, double xTolerance) {
    const double slopeTolerance =
        std::max(kClipEpsilon, kClipRoundingUlps * kClipEpsilon * std::max(std::fabs(a.dx), std::fabs(b.dx)));
    return std::fabs(a.xBottom - b.xBottom) <= xTolerance && std::fabs(a.dx - b.dx) <= slopeTolerance;
}

// Combines the inside values of both polygons by the operation.
inline bool combine(ClipOp op, bool subject, bool clip) {
    switch (op) {
    case ClipOp::kExclusiveOr:
        return subject != clip;
    case ClipOp::kUnion:
        return subject || clip;
    default:
        return subject && clip;
    }
}

// Links the run first ... last of edges between prev and next (null: an end of the table).
inline void linkRun(ClipEdge*& aet, ClipEdge* first, ClipEdge* last, ClipEdge* prev, ClipEdge* next) {
    first->prev = prev;
    last->next = next;
    if (prev)
        prev->next = first;
    else
        aet = first;
    if (next) next->prev = last;
}

inline void insertActive(ClipEdge*& aet, ClipEdge* edge) {
    ClipEdge* prev = nullptr;
    ClipEdge* at = aet;
    while (at && (edge->xBottom > at->xBottom || (edge->xBottom == at->xBottom && edge->dx >= at->dx))) {
        prev = at;
        at = at->next;
    }
    linkRun(aet, edge, edge, prev, at);
}

inline void removeActive(ClipEdge*& aet, ClipEdge* edge) {
    if (edge->prev)
        edge->prev->next = edge->next;
    else
        aet = edge->next;
    if (edge->next) edge->next->prev = edge->prev;
}

inline void replaceActive(ClipEdge*& aet, ClipEdge* edge, ClipEdge* by) {
    linkRun(aet, by, by, edge->prev, edge->next);
}

// The first edge of the bundle an edge heads (its tails lie just before it).
inline ClipEdge* bundleStart(ClipEdge* head, const ClipEdge* stop) {
    ClipEdge* start = head;
    while (start->prev && start->prev != stop && start->prev->stateAbove == BundleState::kTail)
        start = start->prev;
    return start;
}

// Whether the right edge's bundle follows the left edge directly in the table.
inline bool adjacent(const ClipEdge* left, ClipEdge* right) {
    return bundleStart(right, left)->prev == left;
}

// After a crossing the right bundle moves in front of the left one.
inline void swapBundles(ClipEdge*& aet, ClipEdge* left, ClipEdge* right) {
    ClipEdge* leftStart = bundleStart(left, nullptr);
    ClipEdge* rightStart = bundleStart(right, left);
    if (rightStart->prev)
        rightStart->prev->next = right->next;
    else
        aet = right->next;
    if (right->next) right->next->prev = rightStart->prev;
    linkRun(aet, rightStart, right, leftStart->prev, leftStart);
}

struct Crossing {
    ClipEdge* left;
    ClipEdge* right;
    double x;
    double y; // above the scanbeam bottom
};

struct SortedEdge {
    ClipEdge* edge;
    double xBottom, xTop, dx;
};

// The crossings of one scanbeam of height dy, ascending in y (equal y in the order found):
// each edge that goes on is put into a list ordered by x at the top, passing (and crossing)
// every listed edge that ends right of it.
inline void findCrossings(ClipEdge* aet, double dy, double xTolerance, DisplayVector<SortedEdge>& sorted,
                          DisplayVector<Crossing>& crossings) {
    sorted.clear();
    crossings.clear();
    for (ClipEdge* edge = aet; edge; edge = edge->next) {
        if (edge->stateAbove != BundleState::kHead && !edge->above[kSubject] && !edge->above[kClip]) continue;
        size_t at = sorted.size();
        while (at > 0) {
            const SortedEdge& listed = sorted[at - 1];
            const double den = (listed.xTop - listed.xBottom) - (edge->xTop - edge->xBottom);
            if (edge->xTop >= listed.xTop || edge->dx == listed.dx || std::fabs(den) <= xTolerance) break;
            const double r = (edge->xBottom - listed.xBottom) / den;
            double y = r * dy;
            if (std::isnan(y)) y = dy; // overflowed coordinates: keep the order total
            crossings.push_back({listed.edge, edge, listed.xBottom + r * (listed.xTop - listed.xBottom), y});
            --at;
        }
        sorted.insert(sorted.begin() + ptrdiff_t(at), SortedEdge{edge, edge->xBottom, edge->xTop, edge->dx});
    }
    std::stable_sort(crossings.begin(), crossings.end(),
                     [](const Crossing& a, const Crossing& b) { return a.y < b.y; });
}

// Crossings are taken in ascending y, but where several edges cross at one point (or the
// rounding of nearly equal crossing heights disagrees with the table's order) the next
// crossing may be of edges that are not neighbours yet. Such a swap would tear the table
// apart; a later crossing of neighbours is taken first instead, which for one point of many
// edges is the order in which the edges pass each other.
inline void adjacentCrossingFirst(DisplayVector<Crossing>& crossings, size_t k) {
    if (adjacent(crossings[k].left, crossings[k].right)) return;
    for (size_t j = k + 1; j < crossings.size(); ++j)
        if (adjacent(crossings[j].left, crossings[j].right)) {
            std::swap(crossings[k], crossings[j]);
            return;
        }
}

} // namespace sweep_detail

template <class Output> void clipSweep(ClipOp op, EdgeTable& table, Output& output) {
    using namespace sweep_detail;
    const bool intersectionLike = op == ClipOp::kIntersection || op == ClipOp::kDifference;
    ClipEdge* aet = nullptr;
    size_t nextMinimum = 0;
    DisplayVector<SortedEdge> sorted;
    DisplayVector<Crossing> crossings;
    const DisplayVector<double>& beams = table.scanbeams;
    double yt = 0.0;
    double dy = 0.0;
    for (size_t beam = 0; beam < beams.size(); ++beam) {
        const double yb = beams[beam];
        const bool last = beam + 1 == beams.size();
        if (!last) {
            yt = beams[beam + 1];
            dy = yt - yb;
        }
        while (nextMinimum < table.minima.size() && table.minima[nextMinimum].y <= yb)
            insertActive(aet, table.minima[nextMinimum++].first);
        if (!aet) continue;

        // Bundles of coincident edges that go on above yb.
        ClipEdge* earlier = aet;
        for (ClipEdge* edge = aet; edge; edge = edge->next) {
            edge->above[edge->owner] = edge->top.y != yb;
            edge->above[1 - edge->owner] = false;
            edge->stateAbove = BundleState::kUnbundled;
            if (edge == aet || !edge->above[edge->owner]) continue;
            if (earlier->top.y != yb && coincident(*earlier, *edge, table.xTolerance)) {
                edge->above[edge->owner] ^= earlier->above[edge->owner];
                edge->above[1 - edge->owner] = earlier->above[1 - edge->owner];
                edge->stateAbove = BundleState::kHead;
                earlier->above[kSubject] = earlier->above[kClip] = false;
                earlier->stateAbove = BundleState::kTail;
            }
            earlier = edge;
        }

        // The bundle heads left to right.
        bool parity[2] = {false, op == ClipOp::kDifference};
        int horizontal[2] = {kNoHorizontal, kNoHorizontal};
        output.beginBoundary(yb);
        for (ClipEdge* edge = aet; edge; edge = edge->next) {
            const int exists[2] = {edge->above[kSubject] + 2 * edge->below[kSubject],
                                   edge->above[kClip] + 2 * edge->below[kClip]};
            if (!exists[kSubject] && !exists[kClip]) continue;
            edge->rightSide[kSubject] = parity[kSubject];
            edge->rightSide[kClip] = parity[kClip];
            const bool h[2] = {horizontal[kSubject] != kNoHorizontal, horizontal[kClip] != kNoHorizontal};
            const bool s = parity[kSubject], c = parity[kClip];
            bool contributing;
            if (op == ClipOp::kExclusiveOr)
                contributing = true;
            else if (intersectionLike)
                contributing = (exists[kClip] && (s || h[kSubject])) ||
                               (exists[kSubject] && (c || h[kClip])) ||
                               (exists[kClip] && exists[kSubject] && s == c);
            else
                contributing = (exists[kClip] && (!s || h[kSubject])) ||
                               (exists[kSubject] && (!c || h[kClip])) ||
                               (exists[kClip] && exists[kSubject] && s == c);
            const bool br = combine(op, s, c);
            const bool bl = combine(op, s != edge->above[kSubject], c != edge->above[kClip]);
            const bool tr = combine(op, s != h[kSubject], c != h[kClip]);
            const bool tl = combine(op, (s != h[kSubject]) != edge->below[kSubject],
                                    (c != h[kClip]) != edge->below[kClip]);
            parity[kSubject] ^= edge->above[kSubject];
            parity[kClip] ^= edge->above[kClip];
            for (int owner = 0; owner < 2; ++owner)
                if (exists[owner])
                    horizontal[owner] =
                        kNextHorizontal[horizontal[owner]][(exists[owner] - 1) * 2 + parity[owner]];
            if (contributing) output.atBoundary(edge, tr + 2 * tl + 4 * br + 8 * bl, edge->xBottom, yb);
        }

        // Edges that end at yb leave; the others get their x at the top of the beam.
        for (ClipEdge* edge = aet; edge;) {
            ClipEdge* next = edge->next;
            if (edge->top.y == yb)
                removeActive(aet, edge);
            else
                edge->xTop =
                    edge->top.y == yt ? edge->top.x : edge->bottom.x + edge->dx * (yt - edge->bottom.y);
            edge = next;
        }
        if (last) break;

        findCrossings(aet, dy, table.xTolerance, sorted, crossings);
        for (size_t k = 0; k < crossings.size(); ++k) {
            adjacentCrossingFirst(crossings, k);
            const Crossing& crossing = crossings[k];
            ClipEdge* left = crossing.left;
            ClipEdge* right = crossing.right;
            if ((left->above[kSubject] || left->above[kClip]) &&
                (right->above[kSubject] || right->above[kClip])) {
                bool in[2];
                for (int owner = 0; owner < 2; ++owner)
                    in[owner] = (left->above[owner] && !left->rightSide[owner]) ||
                                (right->above[owner] && right->rightSide[owner]) ||
                                (!left->above[owner] && !right->above[owner] && left->rightSide[owner] &&
                                 right->rightSide[owner]);
                const bool tr = combine(op, in[kSubject], in[kClip]);
                const bool tl =
                    combine(op, in[kSubject] != right->above[kSubject], in[kClip] != right->above[kClip]);
                const bool br =
                    combine(op, in[kSubject] != left->above[kSubject], in[kClip] != left->above[kClip]);
                const bool bl = combine(op, (in[kSubject] != right->above[kSubject]) != left->above[kSubject],
                                        (in[kClip] != right->above[kClip]) != left->above[kClip]);
                output.atCrossing(left, right, tr + 2 * tl + 4 * br + 8 * bl, crossing.x, yb + crossing.y);
            }
            for (int owner = 0; owner < 2; ++owner) {
                if (left->above[owner]) right->rightSide[owner] = !right->rightSide[owner];
                if (right->above[owner]) left->rightSide[owner] = !left->rightSide[owner];
            }
            swapBundles(aet, left, right);
        }

        // Edges that reach yt hand over to the next edge of their bound.
        for (ClipEdge* edge = aet; edge;) {
            ClipEdge* next = edge->next;
            ClipEdge* successor = edge->successor;
            ClipEdge* carrier = edge;
            if (edge->top.y == yt && successor) {
                replaceActive(aet, edge, successor);
                carrier = successor;
            } else {
                edge->xBottom = edge->xTop;
            }
            carrier->outBelow = edge->outAbove;
            carrier->stateBelow = edge->stateAbove;
            carrier->below[kSubject] = edge->above[kSubject];
            carrier->below[kClip] = edge->above[kClip];
            edge->outAbove = -1;
            edge = next;
        }
    }
}

} // namespace tracemill::clip
