#include "platform/gdi/polygon_fill.h"

#include <algorithm>
#include <cmath>

namespace tracemill::gdi {
namespace {

struct Edge {
    double x0, y0, x1, y1; // y0 < y1
    int direction;         // +1 downwards in the loop's order, -1 upwards
};

struct Crossing {
    double x;
    int direction;
};

} // namespace

void fillPolygonSpans(std::span<const Point> points, std::span<const int> counts, FillMode mode,
                      const Rect& bounds, std::vector<PixelRect>& spans) {
    std::vector<Edge> edges;
    size_t start = 0;
    for (int count : counts) {
        if (count <= 0) continue;
        if (start + size_t(count) > points.size()) break;
        for (int i = 0; i < count; ++i) {
            const Point a = points[start + size_t(i)];
            const Point b = points[start + size_t((i + 1) % count)];
            if (a.y == b.y) continue;
            if (a.y < b.y) edges.push_back({double(a.x), double(a.y), double(b.x), double(b.y), 1});
            else edges.push_back({double(b.x), double(b.y), double(a.x), double(a.y), -1});
        }
        start += size_t(count);
    }
    if (edges.empty() || bounds.right <= bounds.left || bounds.bottom <= bounds.top) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });

    double minY = edges.front().y0, maxY = edges.front().y1;
    for (const Edge& e : edges) maxY = std::max(maxY, e.y1);
    // Rows whose centre y + 0.5 lies inside [minY, maxY).
    const int64_t firstRow = std::max<int64_t>(bounds.top, int64_t(std::ceil(minY - 0.5)));
    const int64_t lastRow = std::min<int64_t>(int64_t(bounds.bottom) - 1, int64_t(std::ceil(maxY - 0.5)) - 1);

    std::vector<const Edge*> active;
    std::vector<Crossing> crossings;
    size_t next = 0;
    for (int64_t row = firstRow; row <= lastRow; ++row) {
        const double yc = double(row) + 0.5;
        while (next < edges.size() && edges[next].y0 <= yc) active.push_back(&edges[next++]);
        std::erase_if(active, [yc](const Edge* e) { return e->y1 <= yc; });
        crossings.clear();
        for (const Edge* e : active) {
            if (e->y0 > yc) continue;
            const double t = (yc - e->y0) / (e->y1 - e->y0);
            crossings.push_back({e->x0 + t * (e->x1 - e->x0), e->direction});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].direction;
            const bool inside = mode == FillMode::Alternate ? (i % 2 == 0) : winding != 0;
            if (!inside) continue;
            // Pixels whose centre x + 0.5 lies in [left crossing, right crossing).
            const int64_t x0 = std::max<int64_t>(bounds.left, int64_t(std::ceil(crossings[i].x - 0.5)));
            const int64_t x1 = std::min<int64_t>(bounds.right, int64_t(std::ceil(crossings[i + 1].x - 0.5)));
            if (x1 > x0) spans.push_back({int32_t(x0), int32_t(row), int32_t(x1 - x0), 1});
        }
    }
}

} // namespace tracemill::gdi
