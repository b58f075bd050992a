// Speed of the polygon clipper at drawing scale: union and intersection of two polygons of
// 100,000 vertices each (star-shaped contours with random radii about one centre, so that
// their boundaries cross thousands of times), and the triangle strips of 10,000 loops.
//
// The sweep's work grows with the number of edges a horizontal line meets. The radii vary by
// 0.1 % (a ragged circle) or by 1 %, where thousands of vertices near the top and the bottom
// of each circle lie in a band that every scanline there crosses.
//
// Run: build/bench/polygon_clipper_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "toolkit/display/clip/polygon_clipper.h"

namespace tracemill {
namespace {

// A star-shaped contour of n vertices at random radii in [1 - jitter, 1 + jitter] about
// (cx, cy), the angles evenly spaced.
LoopSet randomStar(uint32_t seed, int n, double cx, double cy, double jitter) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> radius(1.0 - jitter, 1.0 + jitter);
    LoopSet star{{Loop{}}};
    std::vector<Point2>& points = star.loops[0].points;
    points.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        const double angle = 2.0 * M_PI * i / n;
        const double r = radius(random);
        points.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    return star;
}

void ClipLargePolygons(benchmark::State& state) {
    const ClipOp op = ClipOp(state.range(0));
    const double jitter = double(state.range(1)) / 1000.0;
    const LoopSet a = randomStar(1, 100000, 0.0, 0.0, jitter);
    const LoopSet b = randomStar(2, 100000, 0.3, 0.2, jitter);
    size_t vertices = 0;
    for (auto _ : state) {
        LoopSet result;
        genClipPolygons(op, a, b, result);
        vertices = 0;
        for (const Loop& loop : result.loops)
            vertices += loop.points.size();
        benchmark::DoNotOptimize(result.loops.data());
    }
    state.counters["result_vertices"] = double(vertices);
}
BENCHMARK(ClipLargePolygons)
    ->ArgNames({"op", "jitter_per_mille"})
    ->Args({int(ClipOp::kUnion), 1})
    ->Args({int(ClipOp::kIntersection), 1})
    ->Args({int(ClipOp::kUnion), 10})
    ->Args({int(ClipOp::kIntersection), 10})
    ->Unit(benchmark::kMillisecond);

// 10,000 loops of 4 to 8 vertices on a 100 x 100 grid of cells, each loop a random star in
// its cell and reaching a little into its neighbours, so loops overlap.
LoopSet manyLoops() {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> sides(4, 8);
    LoopSet set;
    for (int row = 0; row < 100; ++row)
        for (int column = 0; column < 100; ++column) {
            const LoopSet star = randomStar(uint32_t(random()), sides(random), column + 0.5, row + 0.5, 0.3);
            set.loops.push_back(star.loops[0]);
            for (Point2& p : set.loops.back().points)
                p = {column + 0.5 + (p.x - column - 0.5) * 0.6, row + 0.5 + (p.y - row - 0.5) * 0.6};
        }
    return set;
}

void StripsOfManyLoops(benchmark::State& state) {
    const LoopSet loops = manyLoops();
    size_t strips = 0;
    for (auto _ : state) {
        StripSet result;
        genPolygonToStrips(loops, result);
        strips = result.strips.size();
        benchmark::DoNotOptimize(result.strips.data());
    }
    state.counters["strips"] = double(strips);
}
BENCHMARK(StripsOfManyLoops)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tracemill

BENCHMARK_MAIN();
