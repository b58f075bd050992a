// Speed of hatch patterns and raster images in the display: a dashed pattern of 45-degree
// lines over a wavy closed boundary of 10,000 segments (pieces counted, not drawn), and a
// 2,000 x 1,000 picture of 24 bits drawn by an IMAGE through the raster data hook into a
// counting host.
//
// Run: build/bench/pattern_raster_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/display/display_access.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hatch/pattern_fill.h"
#include "toolkit/display/raster/raster_image.h"

namespace tracemill {
namespace {

// A closed loop of n segments whose radius waves by 10 % seventeen times round.
HatchSegments wavyBoundary(int n) {
    HatchSegments loop;
    auto at = [n](int i) {
        const double angle = 2.0 * M_PI * (i % n) / n, r = 1.0 + 0.1 * std::sin(17.0 * angle);
        return Point2{r * std::cos(angle), r * std::sin(angle)};
    };
    for (int i = 0; i < n; ++i) loop.push_back({at(i), at(i + 1)});
    return loop;
}

// Lines 0.007 apart (about 290 across the boundary), dashes of 0.01 with gaps of 0.005.
void PatternOverWavyLoop(benchmark::State& state) {
    const std::vector<HatchSegments> paths = {wavyBoundary(10000)};
    HatchPatternLine line;
    line.angle = M_PI / 4;
    line.offset = {-0.005, 0.005};
    line.dashes = {0.01, -0.005};
    size_t pieces = 0;
    for (auto _ : state) {
        pieces = 0;
        genHatchPatternPieces(paths, {0}, {line}, kHatchStyleNormal, [&](const Point2&, const Point2&) { ++pieces; });
    }
    state.counters["pieces"] = double(pieces);
}
BENCHMARK(PatternOverWavyLoop)->Unit(benchmark::kMillisecond);

size_t gRasterBytes = 0;
void countRasterBytes(const uint8_t*, uint32_t byteCount, HostWord) { gRasterBytes += byteCount; }

// A 24-bit BMP file image of w x h pixels.
std::vector<uint8_t> benchPicture(int w, int h) {
    const uint32_t stride = uint32_t(3 * w + 3) & ~3u, offset = 54;
    std::vector<uint8_t> bytes(offset + size_t(stride) * size_t(h), 0);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    put(0, 0x4D42, 2);
    put(2, uint32_t(bytes.size()), 4);
    put(10, offset, 4);
    put(14, 40, 4);
    put(18, uint32_t(w), 4);
    put(22, uint32_t(h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (size_t i = offset; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7);
    return bytes;
}

void RasterImage2000x1000(benchmark::State& state) {
    // The toolkit starts once for every run of the benchmark.
    static const bool started = [] {
        dbUseBuiltinInitData();
        int error = 0;
        return dbCreateSystemContext(nullptr, error) && dbInitToolkit();
    }();
    if (!started) {
        state.SkipWithError("the toolkit did not start");
        return;
    }
    Drawing* drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
    const HostRect device{0, 0, 1920, 1080};
    ViewBlock view;
    if (!drawing || !genBeginDisplay(drawing, view, device, nullptr, nullptr)) {
        state.SkipWithError("no display");
        return;
    }
    view.target = {1000.0, 500.0, 0.0, 1.0};
    view.width = 2100.0;
    view.height = 1100.0;
    genPrepareView(drawing, view, device, nullptr);
    dbSetDisplayListMode(0);
    dbSetHook17(countRasterBytes);
    DisplayContext& context = *drawing->displayContext;
    context.planMask = 1;
    context.entity = DrawnEntity{};
    context.entity.kind = dbClassImage(drawing->classes);
    context.imageFrame = 0;
    std::vector<Matrix4> matrices;
    for (int i = 0; i < context.viewportCount; ++i) matrices.push_back(context.viewports[size_t(i)].worldToDevice);

    RasterImageBody body;
    body.uVector = {1, 0, 0};
    body.vVector = {0, 1, 0};
    body.size = {2000, 1000};
    PagedStream* picture = dbStreamCreate(4096);
    picture->bytes = benchPicture(2000, 1000);
    body.picture.reset(picture);
    for (auto _ : state) {
        gRasterBytes = 0;
        genRenderRasterImage(drawing, body, matrices.data());
    }
    state.counters["block bytes"] = double(gRasterBytes);
    dbFreeDrawing(drawing);
}
BENCHMARK(RasterImage2000x1000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tracemill

BENCHMARK_MAIN();
