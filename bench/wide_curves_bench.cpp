// Speed of splines and wide polylines: a cubic spline of 10,000 control points and one through
// 10,000 fit points made into chords (10 a span), and a wide polyline of 10,000 vertices (rows
// of 100 across a 1,920 x 1,080 device at one device unit a drawing unit, segments 19.2 long
// and 4 to 6 wide, every fourth a bulge) drawn through a counting hook set.
//
// Run: build/bench/wide_curves_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hook_sets/hook_counter.h"
#include "toolkit/display/spline_tessellation.h"
#include "toolkit/display/wide_polyline.h"

namespace tracemill {
namespace {

constexpr int kPoints = 10000;

struct DisplayedDrawing {
    DisplayedDrawing() {
        dbUseBuiltinInitData();
        int error = 0;
        dbCreateSystemContext(nullptr, error);
        dbInitToolkit();
        drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
        const HostRect device{0, 0, 1920, 1080};
        ViewBlock view;
        view.target = {960.0, 540.0, 0.0, 1.0};
        view.width = 1920.0;
        view.height = 1080.0;
        ViewBlock stored;
        genBeginDisplay(drawing, stored, device, nullptr, nullptr);
        genPrepareView(drawing, view, device, nullptr);
        DisplayContext& context = *drawing->displayContext;
        context.viewports[0].baseDeviceScale = context.viewports[0].deviceScale = 1.0;
        context.threeUnitTolerance = 3.0 / context.viewports[0].deviceScale;
        context.planMask = 1;  // seen along its normal: wide segments are filled
        matrices.assign(1, context.viewports[0].worldToDevice);
    }
    ~DisplayedDrawing() {
        dbFreeDrawing(drawing);
        dbTermToolkit();
        dbDestroySystemContext();
    }
    Drawing* drawing = nullptr;
    std::vector<Matrix4> matrices;
};

Point3 wave(int i) { return {0.2 * i, 100.0 * std::sin(i * 0.05), 0.0}; }
// Rows of 100 vertices, a zigzag of 2 across each row.
Point3 rows(int i) { return {19.2 * (i % 100), 10.8 * (i / 100) + 2.0 * (i % 2), 0.0}; }

// Chords of a cubic spline over 10,000 points, as control points or as fit points.
void splineChords(benchmark::State& state, bool fitPoints) {
    DisplayedDrawing displayed;
    SplineBody spline;
    spline.degree = 3;
    for (int i = 0; i < kPoints; ++i) (fitPoints ? spline.data.fitPoints : spline.data.controlPoints).push_back(wave(i));
    std::vector<Point2> chords;
    for (auto _ : state) {
        chords.clear();
        genDrawSpline(displayed.drawing, spline, nullptr, nullptr, nullptr, 10, &chords);
    }
    state.counters["chords"] = benchmark::Counter(double(chords.size() / 2), benchmark::Counter::kIsIterationInvariantRate);
}

void SplineOfControlPoints(benchmark::State& state) { splineChords(state, false); }
BENCHMARK(SplineOfControlPoints)->Unit(benchmark::kMillisecond);

void SplineThroughFitPoints(benchmark::State& state) { splineChords(state, true); }
BENCHMARK(SplineThroughFitPoints)->Unit(benchmark::kMillisecond);

void WidePolyline(benchmark::State& state) {
    DisplayedDrawing displayed;
    std::vector<PolylineVertex> vertices;
    for (int i = 0; i < kPoints; ++i) {
        vertices.push_back({rows(i), i % 4 == 0 ? 0.3 : 0.0, 4.0 + (i % 3), 4.0 + ((i + 1) % 3)});
    }
    HookCounter counter;
    counter.install();
    for (auto _ : state) {
        counter.clear();
        genDrawWidePolyline(displayed.drawing, vertices, 0, false, displayed.matrices.data(), nullptr);
    }
    state.counters["vertices"] = benchmark::Counter(double(kPoints), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["polygons"] = double(counter.count(2));
    state.counters["lines"] = double(counter.count(1));
    counter.uninstall();
}
BENCHMARK(WidePolyline)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tracemill

BENCHMARK_MAIN();
