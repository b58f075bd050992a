// Exporting a large drawing through the drawing object's drivers: the load benchmark's drawing
// of mixed entities (1,000,000 by default) is loaded once (not timed) and exported, zoomed to
// its extents as the export commands do, to SVG and PDF at 800 x 600 points and to a BMP of
// 4,096 x 4,096 pixels. Vector figures are primitives that reach the device per second (the
// count taken from one device pass through a counting device), against 1,000,000 a second;
// the raster figure is the export's time against 2 s. The best of three runs of each gives the
// figure; each line ends with the ratio to its target (above 1: the target is met).
//
// Run: build/bench/drawing_export_bench [entity count] [folder] [svg,pdf,bmp: the exports to time]
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/render/devices/output_device.h"
#include "app/render/drawing_object.h"
#include "app/render/hook_sets.h"
#include "app/render/raster_export.h"
#include "app/render/toolkit_lifetime.h"
#include "app/render/vector_export.h"
#include "bench/dxf_twin_writer.h"
#include "toolkit/core/output_hook_table.h"

namespace {

using namespace tracemill;

// Counts the primitives a device receives and forwards nothing.
class CountingDevice : public render::COutputDevice {
public:
    bool Begin(const char*, const char*, const char*, double, double) override { return true; }
    bool End() override { return true; }
    void MoveTo(double, double) override { ++count; }
    void LineTo(double, double) override { ++count; }
    void FillPolygon(int32_t, int32_t, render::DevicePoint*) override { ++count; }
    void FillPolyPolygon(render::DevicePoint*, const uint32_t*, uint32_t) override { ++count; }
    void SetPen(render::ColorRef, double) override {}
    uint64_t count = 0;
};

double bestOfThree(const std::function<bool()>& run) {
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!run()) return -1.0;
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const int entities = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
    const std::string wanted = argc > 3 ? argv[3] : "svg,pdf,bmp";
    const std::filesystem::path ascii = folder / "tracemill_export_bench.dxf";
    const std::filesystem::path binary = folder / "tracemill_export_bench.dxfb";
    bench::writeTwin(ascii, binary, entities);
    std::filesystem::remove(ascii);

    if (!std::getenv("DISPLAY")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    CToolkitLifetime toolkit;
    CDrawingObject drawing;
    const int16_t opened = drawing.Open(binary.string().c_str(), nullptr, true, "");
    std::filesystem::remove(binary);
    if (opened != 0) {
        std::fprintf(stderr, "the drawing does not open: %d\n", opened);
        return 1;
    }
    drawing.SaveViewState();

    // The primitives of one device pass at export quality, zoomed to the extents.
    FitDeviceScale(800, 600);
    drawing.SetClientSize(800000, 600000);
    CountingDevice counter;
    const int32_t resolution = dbGetCurveResolution();
    dbSetCurveResolution(35);
    drawing.ExportToDevice("count", 800000, 600000, &counter);
    dbSetCurveResolution(resolution);
    drawing.RestoreViewState();
    std::printf("%d entities, %llu primitives reach a vector device\n", entities,
                static_cast<unsigned long long>(counter.count));

    const std::filesystem::path out = folder / "tracemill_export_bench";
    struct Vector {
        const char* name;
        int32_t id;
        const char* extension;
    };
    for (const Vector& v : {Vector{"SVG", 1, ".svg"}, Vector{"PDF", 4, ".pdf"}}) {
        if (wanted.find(v.extension + 1) == std::string::npos) continue;
        const double seconds = bestOfThree([&] {
            const bool written = ExportVectorFile(&drawing, 800, 600, true, 3, v.id, false, out.string(), nullptr);
            drawing.RestoreViewState();
            return written;
        });
        const double rate = double(counter.count) / seconds;
        std::printf("%s export: %.2f s, %.0f primitives per second, %.2f x the target of 1,000,000 a second (%.1f MB)\n",
                    v.name, seconds, rate, rate / 1e6,
                    double(std::filesystem::file_size(out.string() + v.extension)) / 1e6);
        std::filesystem::remove(out.string() + v.extension);
    }
    if (wanted.find("bmp") == std::string::npos) return 0;
    const double seconds = bestOfThree([&] {
        const bool written = ExportRasterImage(&drawing, 4096, 4096, 0, true, 1, 8, false, out.string());
        drawing.RestoreViewState();
        return written;
    });
    std::printf("BMP export 4,096 x 4,096: %.2f s, %.2f x the target of 2 s\n", seconds, 2.0 / seconds);
    std::filesystem::remove(out.string() + ".bmp");
    return 0;
}
