// Speed of the SAT parser: the ACIS solids of sample drawings (read in place from the shared
// samples), each SAT text parsed into its model again and again and the model freed. The
// bytes/s counter is the speed over the SAT text.
//
// Run: build/bench/sat_parse_bench   (samples from TRACEMILL_SAMPLES)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sample_drawings.h"
#include "toolkit/acis/kernel_state.h"
#include "toolkit/acis/sat/sat_parser.h"
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
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
