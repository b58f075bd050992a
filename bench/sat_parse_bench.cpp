// Speed of the SAT parser and of the solid drawing bridge: the ACIS solids of sample drawings
// (read in place from the shared samples), each SAT text parsed into its model again and again
// and the model freed (parse/...), or parsed and drawn through genDrawSolidFromSat as the
// default solid hook draws it, the vertices counted by the host (draw/...). The bytes/s counter
// is the speed over the SAT text.
//
// Run: build/bench/sat_parse_bench   (samples from TRACEMILL_SAMPLES)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sample_drawings.h"
#include "toolkit/acis/kernel_state.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit/acis/sat/solid_drawing_bridge.h"
#include "toolkit/acis/sat/solid_texts.h"
#include "toolkit/core/drawing.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill {
namespace {

// The drawings and the solid of each that is parsed: its largest SAT text.
constexpr const char* kFiles[] = {"oscilloscope_case_2000.dwg", "example_2000.dwg"};

// The largest SAT text of the drawing's solids; empty when it does not load or has none.
std::string largestSolidText(const std::filesystem::path& path) {
    Drawing* drawing = rdOpenDrawing(path.string().c_str(), kOpenOrdinary, 0);
    if (!drawing) return {};
    std::string largest;
    for (const SolidText& solid : acisSolidTexts(*drawing)) {
        if (solid.text.size() > largest.size()) largest = std::string(solid.text);
    }
    dbFreeDrawing(drawing);
    return largest;
}

void parseText(benchmark::State& state, const std::string& text) {
    int result = 0, entities = 0;
    for (auto _ : state) {
        satParser parser(text);
        result = parser.parse();
        entities = parser.entitiesMade();
        benchmark::DoNotOptimize(entities);
    }
    acisResetKernelState();
    if (result != satParser::kParsed) state.SkipWithError("the text did not parse");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["entities"] = double(entities);
}

// The host of the drawing benchmark: the text fed 512 bytes at a time, the vertices counted.
struct CountingHost {
    const std::string* text = nullptr;
    size_t offset = 0;
    int64_t primitives = 0;
    int64_t vertices = 0;
};

void drawText(benchmark::State& state, const std::string& text) {
    CountingHost host;
    host.text = &text;
    SatCallbackRecord record;
    record.read = [](char* buffer, int32_t maximum, void* user) -> int32_t {
        auto& h = *static_cast<CountingHost*>(user);
        const size_t n = std::min(size_t(maximum), h.text->size() - h.offset);
        std::copy_n(h.text->data() + h.offset, n, buffer);
        h.offset += n;
        return int32_t(n);
    };
    record.begin = [](int32_t, void* user) { ++static_cast<CountingHost*>(user)->primitives; };
    record.end = [](void*) {};
    record.vertex = [](double, double, double, void* user) { ++static_cast<CountingHost*>(user)->vertices; };
    record.user = &host;
    record.settingsWordA = 4;
    for (auto _ : state) {
        host.offset = 0;
        host.primitives = host.vertices = 0;
        genDrawSolidFromSat(record);
    }
    acisResetKernelState();
    if (host.primitives == 0) state.SkipWithError("nothing was drawn");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["primitives"] = double(host.primitives);
    state.counters["vertices"] = double(host.vertices);
}

} // namespace
} // namespace tracemill

int main(int argc, char** argv) {
    using namespace tracemill;
    if (!benchStartToolkit()) {
        std::fprintf(stderr, "the toolkit did not start\n");
        return 1;
    }
    // The texts live until the benchmarks have run.
    std::vector<std::string> texts;
    texts.reserve(std::size(kFiles));
    for (const char* name : kFiles) {
        texts.push_back(largestSolidText(benchSamplesFolder() / "dwg" / name));
        if (texts.back().empty()) continue;
        std::string benchmarkName = "parse/" + std::string(name);
        benchmark::RegisterBenchmark(benchmarkName.c_str(), parseText, texts.back());
        benchmarkName = "draw/" + std::string(name);
        benchmark::RegisterBenchmark(benchmarkName.c_str(), drawText, texts.back());
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
