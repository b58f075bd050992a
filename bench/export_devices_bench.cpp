// The vector export devices on a generated picture: 20,000 polylines of 21 points in seven
// pens and 2,000 filled octagons, written by each device into a file of a temporary folder.
// Reports segments per second and the bytes of the file per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <unistd.h>

#include "app/render/devices/output_device.h"
#include "app/render/devices/pdf_device_adapter.h"
#include "app/render/pdf/pdf_document.h"

namespace {

using namespace tracemill::render;

constexpr int kPolylines = 20000;
constexpr int kPointsPerPolyline = 21;
constexpr int kFillEvery = 10;

void DrawPicture(COutputDevice& device) {
    for (int i = 0; i < kPolylines; ++i) {
        device.SetPen(tracemill::gdi::rgb(uint8_t(40 * (i % 7)), uint8_t(i % 3 * 100), 90), 0.01 * (i % 4));
        const double x0 = (i % 200) * 5.013, y0 = (i / 200) * 6.007;
        device.MoveTo(x0, y0);
        for (int k = 1; k < kPointsPerPolyline; ++k) device.LineTo(x0 + k * 0.731, y0 + std::sin(k * 0.4) * 3.3);
        if (i % kFillEvery == 0) {
            DevicePoint octagon[8];
            for (int k = 0; k < 8; ++k) octagon[k] = {x0 + 2 * std::cos(k * 0.785), y0 + 2 * std::sin(k * 0.785)};
            device.FillPolygon(0, 7, octagon);
        }
    }
}

std::filesystem::path OutputFile(const char* extension) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("tm-export-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder / (std::string("picture") + extension);
}

void Report(benchmark::State& state, const std::filesystem::path& file) {
    const int64_t segments = int64_t(kPolylines) * (kPointsPerPolyline - 1);
    state.counters["segments/s"] = benchmark::Counter(double(segments), benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(file)));
    state.counters["file MB"] = double(std::filesystem::file_size(file)) / 1e6;
    std::filesystem::remove_all(file.parent_path());
}

void DeviceBenchmark(benchmark::State& state, int formatId, const char* extension) {
    const std::filesystem::path file = OutputFile(extension);
    for (auto _ : state) {
        std::unique_ptr<COutputDevice> device = CreateOutputDevice(formatId);
        device->SetUsePenWidths(true);
        if (!device->Begin("", file.c_str(), "", 1000, 800)) state.SkipWithError("Begin failed");
        DrawPicture(*device);
        if (!device->End()) state.SkipWithError("End failed");
    }
    Report(state, file);
}

void BM_Svg(benchmark::State& state) { DeviceBenchmark(state, kFormatSvg, ".svg"); }
void BM_Svgz(benchmark::State& state) { DeviceBenchmark(state, kFormatSvgz, ".svgz"); }
void BM_Hpgl(benchmark::State& state) { DeviceBenchmark(state, kFormatPlt, ".plt"); }
void BM_Eps(benchmark::State& state) { DeviceBenchmark(state, kFormatEps, ".eps"); }
void BM_Cgm(benchmark::State& state) { DeviceBenchmark(state, kFormatCgm, ".cgm"); }

void BM_Pdf(benchmark::State& state) {
    const std::filesystem::path file = OutputFile(".pdf");
    for (auto _ : state) {
        CPdfDocument document;
        CPdfPages* pages = document.GetCatalog()->GetPages();
        pages->SetMediaBox(1030, 830);
        CPdfPage* page = pages->AddPage(document.GetObjectCounter());
        CPdfContent* content = page->AddContent(document.GetObjectCounter());
        content->SetLineWidth(0);
        CPdfDeviceAdapter adapter;
        adapter.SetUsePenWidths(true);
        adapter.SetContent(content);
        adapter.SetOrigin(15, 15);
        adapter.Begin("", "", "", 1000, 800);
        DrawPicture(adapter);
        adapter.End();
        if (!document.Save(file.c_str())) state.SkipWithError("Save failed");
    }
    Report(state, file);
}

BENCHMARK(BM_Svg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Svgz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Hpgl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Eps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cgm)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
