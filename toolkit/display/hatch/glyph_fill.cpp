#include "toolkit/display/hatch/glyph_fill.h"

#include <new>

#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/device_fill.h"

namespace tracemill {

void genGlyphLoopPoints(const std::vector<HatchSegments>& loops, bool polyPolygon,
                        std::vector<Point3>& points, std::vector<int32_t>& counts) {
    points.clear();
    counts.clear();
    size_t total = 0;
    size_t used = 0;
    for (const HatchSegments& loop : loops) {
        total += loop.size();
        used += !loop.empty();
    }
    if (total == 0) return;
    points.reserve(total + 2 * used);
    std::vector<const HatchSegments*> order; // the loops that have points
    for (const HatchSegments& loop : loops) {
        if (loop.empty()) continue;
        order.push_back(&loop);
        for (const HatchSegment& s : loop)
            points.push_back({s.start.x, s.start.y, 0.0});
        counts.push_back(int32_t(loop.size()));
    }
    if (polyPolygon) return;
    for (size_t k = order.size(); k-- > 1;) {
        const Point2 first = order[k]->front().start;
        const Point2 last = order[k]->back().start;
        if (!(first == last)) points.push_back({first.x, first.y, 0.0});
        const Point2 back = order[k - 1]->back().start;
        points.push_back({back.x, back.y, 0.0});
    }
    counts.assign(1, int32_t(points.size()));
}

void genFillGlyphLoopsInto(const std::vector<HatchSegments>& loops, const FillLoopsSink& sink) {
    const bool polyPolygon = gOutputHookTable && gOutputHookTable->hostPolyPolygon;
    try {
        std::vector<Point3> points;
        std::vector<int32_t> counts;
        genGlyphLoopPoints(loops, polyPolygon, points, counts);
        if (!points.empty()) sink(points, counts);
    } catch (const std::bad_alloc&) {
        // a glyph that cannot be filled is left out; the text goes on
    }
}

void genFillGlyphLoops(Drawing* drawing, const Matrix4* matrices, const std::vector<HatchSegments>& loops) {
    genFillGlyphLoopsInto(loops, [&](const std::vector<Point3>& points, const std::vector<int32_t>& counts) {
        genFillLoops(drawing, points.data(), counts.data(), int32_t(counts.size()), matrices);
    });
}

} // namespace tracemill
