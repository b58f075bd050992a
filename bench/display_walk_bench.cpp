// Walking a large drawing to primitives: the load benchmark's drawing of mixed entities (LINE,
// ARC, CIRCLE, LWPOLYLINE, TEXT, INSERT on 20 layers; 1,000,000 by default) is loaded once and
// drawn, zoomed to its extents, through a counting hook set on one thread at curve resolution
// 40; every kind goes through the entity vectoriser's dispatch. An extents pass without hooks finds the view; then each pass is timed, and the best of
// five gives the figure. Then the same view through the display-list cache, as the screen
// draws it: a pass that regenerates and records, and a pass that replays what it recorded
// (best of five each).
//
// Run: build/bench/display_walk_bench [entity count] [folder]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "bench/dxf_twin_writer.h"
#include "toolkit/core/builtin_init_data.h"
#include "toolkit/display/display_access.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hook_sets/hook_counter.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dxf_driver.h"

namespace {

double secondsOf(const std::function<void()>& pass) {
    const auto start = std::chrono::steady_clock::now();
    pass();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    using namespace tracemill;
    const int entities = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
    const std::filesystem::path ascii = folder / "tracemill_walk_bench.dxf";
    const std::filesystem::path binary = folder / "tracemill_walk_bench.dxfb";
    bench::writeTwin(ascii, binary, entities);
    std::filesystem::remove(ascii);

    dbUseBuiltinInitData();
    int error = 0;
    if (!dbCreateSystemContext(nullptr, error) || !dbInitToolkit()) return 2;
    dbInstallDxfReaderTable();
    Drawing* drawing = rdOpenDrawing(binary.string().c_str(), kOpenOrdinary, 0);
    std::filesystem::remove(binary);
    if (!drawing) {
        std::fprintf(stderr, "load failed: error %d\n", dbGetError());
        return 1;
    }
    // Arcs and circles whose radius is not positive draw nothing; the generator writes none.
    uint64_t degenerate = 0;
    for (const auto& node : *drawing->modelSpace) {
        const EntityRecord& e = node.record;
        if (const auto* circle = e.body.getIf<CircleBody>(); circle && !(circle->radius > 0.0)) ++degenerate;
        if (const auto* arc = e.body.getIf<ArcBody>(); arc && !(arc->radius > 0.0)) ++degenerate;
    }
    dbSetCurveResolution(40);
    dbSetDisplayListMode(0);
    const HostRect device{0, 0, 1920, 1080};
    ViewBlock view;
    genBeginDisplay(drawing, view, device, nullptr, nullptr);
    genGetViewBlock(drawing, view);
    genPrepareView(drawing, view, device, nullptr);
    genDrawDrawing(drawing);  // the extents pass, without hooks
    genGetViewBlock(drawing, view);
    genPrepareView(drawing, view, device, nullptr);

    HookCounter counter;
    counter.install();
    std::vector<double> seconds;
    uint64_t primitives = 0, announced = 0;
    for (int pass = 0; pass < 5; ++pass) {
        counter.clear();
        const auto start = std::chrono::steady_clock::now();
        genDrawDrawing(drawing);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        primitives = counter.primitives();
        announced = counter.count(15);
    }
    counter.uninstall();
    std::sort(seconds.begin(), seconds.end());
    std::printf("%d entities, %llu primitives a pass (move-to %llu, line-to %llu, polygons %llu)\n", entities,
                static_cast<unsigned long long>(primitives), static_cast<unsigned long long>(counter.count(0)),
                static_cast<unsigned long long>(counter.count(1)), static_cast<unsigned long long>(counter.count(2)));
    std::printf("arcs and circles of radius 0 or below (drawn as nothing): %llu\n",
                static_cast<unsigned long long>(degenerate));
    std::printf("pass: best %.3f s, median %.3f s, worst %.3f s\n", seconds.front(), seconds[seconds.size() / 2],
                seconds.back());
    std::printf("primitives per second: %.0f\n", double(primitives) / seconds.front());
    // Every entity drawn is announced once (slot 15), the entities of the blocks included.
    std::printf("entities drawn a pass: %llu, entities per second: %.0f\n", static_cast<unsigned long long>(announced),
                double(announced) / seconds.front());

    // The display-list cache: the grid laid anew before each regeneration, then replays of the
    // view the cells were recorded with.
    dbSetDisplayListMode(1);
    ViewBlock stored;
    genBeginDisplay(drawing, stored, device, nullptr, nullptr);
    std::vector<double> regeneration, replay;
    uint64_t recordedPrimitives = 0, replayedPrimitives = 0;
    counter.install();
    for (int pass = 0; pass < 5; ++pass) {
        genResetViewCache(drawing);
        genPrepareView(drawing, view, device, nullptr);
        counter.clear();
        regeneration.push_back(secondsOf([&] { genDrawDrawing(drawing); }));
        recordedPrimitives = counter.primitives();
    }
    uint64_t listBytes = 0;
    for (const DisplayListCell& cell : drawing->displayContext->displayList.cells) listBytes += uint64_t(dbStreamSizeOf(cell.stream));
    for (int pass = 0; pass < 5; ++pass) {
        genPrepareView(drawing, view, device, nullptr);
        counter.clear();
        replay.push_back(secondsOf([&] { genDrawDrawing(drawing); }));
        replayedPrimitives = counter.primitives();
    }
    counter.uninstall();
    std::sort(regeneration.begin(), regeneration.end());
    std::sort(replay.begin(), replay.end());
    std::printf("display list: %llu bytes, %llu primitives recorded, %llu replayed\n",
                static_cast<unsigned long long>(listBytes), static_cast<unsigned long long>(recordedPrimitives),
                static_cast<unsigned long long>(replayedPrimitives));
    std::printf("regeneration seconds: %.3f\n", regeneration.front());
    std::printf("replay seconds: %.3f\n", replay.front());
    dbFreeDisplayContext(drawing);
    dbFreeDrawing(drawing);
    dbTermToolkit();
    dbDestroySystemContext();
    return 0;
}
