// Speed of the solid hatch fill, 100,000 segments each: one star-shaped boundary with random
// radii, and 25,000 small squares in a grid (islands in one outer square), swept into
// quadrilaterals that are counted, not drawn.
//
// Run: build/bench/solid_fill_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "toolkit/display/hatch/solid_fill.h"

namespace tracemill {
namespace {

HatchSegments loopOf(const std::vector<Point2>& points) {
    HatchSegments loop;
    loop.reserve(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        loop.push_back({points[i], points[(i + 1) % points.size()]});
    return loop;
}

HatchSegments star(int n) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> radius(0.9, 1.1);
    std::vector<Point2> points;
    for (int i = 0; i < n; ++i) {
        const double angle = 2.0 * M_PI * i / n, r = radius(random);
        points.push_back({r * std::cos(angle), r * std::sin(angle)});
    }
    return loopOf(points);
}

// An outer square with a grid of side x side squares inside it.
std::vector<HatchSegments> grid(int side) {
    std::vector<HatchSegments> paths = {
        loopOf({{-1, -1}, {3.0 * side + 1, -1}, {3.0 * side + 1, 3.0 * side + 1}, {-1, 3.0 * side + 1}})};
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) {
            const double x = 3.0 * column, y = 3.0 * row;
            paths.push_back(loopOf({{x, y}, {x + 2, y}, {x + 2, y + 2}, {x, y + 2}}));
        }
    return paths;
}

void fillOnce(benchmark::State& state, const std::vector<HatchSegments>& boundaries) {
    size_t quads = 0;
    size_t segments = 0;
    for (const HatchSegments& path : boundaries)
        segments += path.size();
    for (auto _ : state) {
        std::vector<HatchSegments> paths = boundaries;
        quads = 0;
        genHatchSolidFillQuads(paths, kHatchStyleNormal, 0.0,
                               [&](const Point4&, const Point4&, const Point4&, const Point4&) { ++quads; });
    }
    state.counters["segments"] = double(segments);
    state.counters["quads"] = double(quads);
}

void SolidFillStar(benchmark::State& state) {
    fillOnce(state, {star(100000)});
}
BENCHMARK(SolidFillStar)->Unit(benchmark::kMillisecond);

// The island test compares every pair of paths whose boxes overlap: here each small square
// with the outer one only.
void SolidFillGrid(benchmark::State& state) {
    fillOnce(state, grid(158));
}
BENCHMARK(SolidFillGrid)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tracemill

BENCHMARK_MAIN();
