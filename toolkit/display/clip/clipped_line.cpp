#include "toolkit/display/clip/clipped_line.h"

#include <cmath>
#include <utility>

#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/extents_collection.h"
#include "toolkit/display/hatch/crossing_sort.h"

namespace tracemill {
namespace {

constexpr int kLeft = 1, kRight = 2, kBelow = 4, kAbove = 8;
// Cohen-Sutherland needs at most one move per side; more means coordinates that are not numbers.
constexpr int kMaxClipMoves = 8;

int regionCode(const Point2& p, const DeviceRect& r) {
    int code = 0;
    if (p.x < r.x0) code |= kLeft;
    if (p.x > r.x1) code |= kRight;
    if (p.y < r.y0) code |= kBelow;
    if (p.y > r.y1) code |= kAbove;
    return code;
}

bool within(const Point2& a, const Point2& b, double tol) {
    return std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol;
}

// Coordinates differ unless they agree to about nine digits.
bool differ(double a, double b) { return std::fabs(a - b) >= (std::fabs(a) + std::fabs(b)) * 1e-9 + 1e-10; }
bool pointsDiffer(const Point2& a, const Point2& b) { return differ(a.x, b.x) || differ(a.y, b.y); }

double squared(double v) { return v * v; }

void addPiece(std::vector<Point2>& pieces, const Point2& a, const Point2& b) {
    pieces.push_back(a);
    pieces.push_back(b);
}

// The pieces of the segment inside the region, found from its crossings with the region's
// edges and a test of the midpoint of each stretch between them.
void clipToRegion(const Point2& p1, const Point2& p2, const LoopSet& region, const DeviceRect& rect,
                  std::vector<Point2>& pieces) {
    const double tol = (rect.x1 - rect.x0) * 1e-6;
    std::vector<Point2>& crossings = gOutputHookTable->clipCrossings;
    crossings.clear();
    for (const Loop& loop : region.loops) {
        const size_t n = loop.points.size();
        for (size_t i = 0; i < n; ++i) {
            Point2 found[2];
            const int count = genIntersectSegments(p1, p2, loop.points[(i + n - 1) % n], loop.points[i], found);
            for (int k = 0; k < count; ++k) crossings.push_back(found[k]);
        }
    }
    if (crossings.size() > 1) {
        const int axis = std::fabs(p2.x - p1.x) <= std::fabs(p2.y - p1.y) ? 1 : 0;
        const bool ascending = axis == 0 ? p2.x > p1.x : p2.y > p1.y;
        genSortCrossings(crossings.data(), int32_t(crossings.size()), nullptr, axis, ascending);
    }
    crossings.push_back(p2);

    Point2 start = p1;
    bool check = true;
    size_t next = 0;
    while (next < crossings.size()) {
        const Point2 q = crossings[next];
        if (within(q, start, tol)) {
            check = true;
            ++next;
        } else if (check && !genPointInLoops((start.x + q.x) / 2.0, (start.y + q.y) / 2.0, region, tol)) {
            start = q;
            check = false;
            ++next;
        } else {
            addPiece(pieces, start, q);
            if (next + 1 >= crossings.size()) break;
            start = crossings[next + 1];
            check = within(start, q, tol);
            next += 2;
        }
    }
}

} // namespace

void genRefreshTick(Drawing* drawing) {
    OutputHookTable* table = gOutputHookTable;
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!table || !context || !table->refresh) return;
    if (++context->tickCounter >= uint16_t(table->refreshInterval)) {
        context->tickCounter = 0;
        table->refresh(drawing->hostContext);
    }
}

bool genClipSegmentToRect(Point2& p1, Point2& p2, const DeviceRect& rect) {
    int code1 = regionCode(p1, rect);
    int code2 = regionCode(p2, rect);
    for (int moves = 0; moves <= kMaxClipMoves; ++moves) {
        if (code1 & code2) return false;
        if ((code1 | code2) == 0) return true;
        if (code1 == 0) {
            std::swap(p1, p2);
            std::swap(code1, code2);
        }
        if (code1 & kAbove) {
            p1 = {p1.x + (p2.x - p1.x) / (p2.y - p1.y) * (rect.y1 - p1.y), rect.y1};
        } else if (code1 & kBelow) {
            p1 = {p1.x + (p2.x - p1.x) / (p2.y - p1.y) * (rect.y0 - p1.y), rect.y0};
        } else if (code1 & kRight) {
            p1 = {rect.x1, p1.y + (p2.y - p1.y) / (p2.x - p1.x) * (rect.x1 - p1.x)};
        } else {
            p1 = {rect.x0, p1.y + (p2.y - p1.y) / (p2.x - p1.x) * (rect.x0 - p1.x)};
        }
        code1 = regionCode(p1, rect);
    }
    return false;
}

int32_t genClipSegment(Drawing* drawing, Point2 p1, Point2 p2, int16_t viewport, std::vector<Point2>& pieces) {
    pieces.clear();
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !gOutputHookTable || viewport < 0 || viewport >= kMaxViewports) return 0;
    genRefreshTick(drawing);

    const bool afterClipping = (context->entity.flags & kEntityExtentsAfterClipping) != 0;
    DisplayContext* collector = genExtentsCollector(drawing, viewport);
    if (collector && !afterClipping) {
        genWidenExtents(*collector, p1);
        genWidenExtents(*collector, p2);
    }

    const ViewportRecord& record = context->viewports[size_t(viewport)];
    const DeviceRect& rect = record.clampedRect;
    int code1 = regionCode(p1, rect);
    int code2 = regionCode(p2, rect);
    if (code1 & code2) return 0;

    if ((record.hasClipBoundary || context->clipBoundaries.size() > 1) && !context->clipBoundaries.empty() &&
        size_t(viewport) < context->clipBoundaries.back().regions.size() &&
        !context->clipBoundaries.back().regions[size_t(viewport)].loops.empty()) {
        clipToRegion(p1, p2, context->clipBoundaries.back().regions[size_t(viewport)], rect, pieces);
    } else if (genClipSegmentToRect(p1, p2, rect)) {
        addPiece(pieces, p1, p2);
    }

    if (collector && afterClipping && !pieces.empty()) {
        genWidenExtents(*collector, pieces.front());
        genWidenExtents(*collector, pieces.back());
    }
    return int32_t(pieces.size() / 2);
}

void genDrawClippedLine(Drawing* drawing, Point2 p1, Point2 p2, int16_t viewport) {
    OutputHookTable* table = gOutputHookTable;
    if (!table || !drawing) return;
    std::vector<Point2>& pieces = table->clipPieces;
    const int32_t count = genClipSegment(drawing, p1, p2, viewport, pieces);
    for (int32_t i = 0; i < count; ++i) {
        const Point2& start = pieces[size_t(2 * i)];
        const Point2& end = pieces[size_t(2 * i + 1)];
        const DevicePoint from{dbDeviceCoordinateTruncated(start.x), dbDeviceCoordinateTruncated(start.y)};
        if (from != table->penPosition && table->moveTo) table->moveTo(from.x, from.y, drawing->hostContext);
        table->penPosition = {dbDeviceCoordinateTruncated(end.x), dbDeviceCoordinateTruncated(end.y)};
        if (table->lineTo) table->lineTo(table->penPosition.x, table->penPosition.y, drawing->hostContext);
    }
}

int genPointNearSegment(const Point2& p, const Point2& a, const Point2& b, double tol) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double tol2 = tol * tol;
    if (length2 < tol2) return squared(p.x - a.x) + squared(p.y - a.y) <= tol2;
    const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2;
    if (t <= 0.0) return squared(p.x - a.x) + squared(p.y - a.y) <= tol2;
    if (t >= 1.0) return squared(p.x - b.x) + squared(p.y - b.y) <= tol2;
    return squared(p.x - (a.x + t * dx)) + squared(p.y - (a.y + t * dy)) <= tol2;
}

int genPointInLoop(const Point2& p, int32_t n, const Point2* points, double tol) {
    if (n <= 0) return 0;
    Point2 previous = points[n - 1];
    int inside = 0;
    for (int32_t i = 0; i < n; ++i) {
        const Point2& current = points[i];
        if (genPointNearSegment(p, previous, current, tol)) return 1;
        if ((previous.y <= p.y && p.y < current.y) || (current.y <= p.y && p.y < previous.y)) {
            const double x = (p.y - current.y) * (previous.x - current.x) / (previous.y - current.y) + current.x;
            if (std::fabs(p.x - x) < tol) return 1;
            if (p.x < x) inside ^= 1;
        }
        previous = current;
    }
    return inside;
}

int genPointInLoops(double x, double y, const LoopSet& region, double tol) {
    int sum = 0;
    for (const Loop& loop : region.loops) {
        if (genPointInLoop({x, y}, int32_t(loop.points.size()), loop.points.data(), tol)) sum += loop.hole ? -1 : 1;
    }
    return sum > 0 ? 1 : 0;
}

int genIntersectSegments(const Point2& p1, const Point2& p2, const Point2& q1, const Point2& q2, Point2 out[2]) {
    const Point2 d{p2.x - p1.x, p2.y - p1.y};
    const Point2 e{q2.x - q1.x, q2.y - q1.y};
    const double cross = e.x * d.y - e.y * d.x;
    if (std::fabs(cross) > 1e-6 * std::fabs(d.x * e.x + d.y * e.y)) {
        const double t = (e.x * (q1.y - p1.y) - e.y * (q1.x - p1.x)) / cross;
        const double u = (d.x * (q1.y - p1.y) - d.y * (q1.x - p1.x)) / cross;
        constexpr double kLow = -1e-12, kHigh = 1.000000000001;
        if (t < kLow || t > kHigh || u < kLow || u > kHigh) return 0;
        out[0] = {p1.x + t * d.x, p1.y + t * d.y};
        return 1;
    }
    int count = 0;
    if (genPointNearSegment(p1, q1, q2, 1e-6)) out[count++] = p1;
    if (genPointNearSegment(p2, q1, q2, 1e-6)) out[count++] = p2;
    if (count < 2 && pointsDiffer(q1, p1) && pointsDiffer(q1, p2) && genPointNearSegment(q1, p1, p2, 1e-6))
        out[count++] = q1;
    if (count < 2 && genPointNearSegment(q2, p1, p2, 1e-5)) out[count++] = q2;
    return count;
}

} // namespace tracemill
