// Speed of DXF group input and of DWG bit decoding on generated data.
//
// The DXF benchmarks write an ASCII DXF of mixed entities (LINE, ARC, CIRCLE, LWPOLYLINE,
// TEXT, INSERT) and its binary twin into the temporary folder (never into the project), then
// read every group of each file; the bytes/s counter is the read speed.
//
// Run: build/bench/dxf_group_reader_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/dxf_twin_writer.h"
#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit/read/dwg_handle_refs.h"
#include "toolkit/read/dxf_group_reader.h"
#include "toolkit/codec/bit_writer.h"

namespace tracemill {
namespace {

constexpr int kEntities = 200000;

struct GeneratedFiles {
    std::filesystem::path ascii, binary;
    GeneratedFiles() {
        const std::filesystem::path dir = std::filesystem::temp_directory_path();
        ascii = dir / "tracemill_bench_entities.dxf";
        binary = dir / "tracemill_bench_entities.dxfb";
        std::FILE* a = std::fopen(ascii.string().c_str(), "wb");
        std::FILE* b = std::fopen(binary.string().c_str(), "wb");
        bench::TwinWriter w(a, b);
        w.text(0, "SECTION");
        w.text(2, "ENTITIES");
        bench::writeMixedEntities(w, kEntities, 0x100);
        w.text(0, "ENDSEC");
        w.text(0, "EOF");
        std::fclose(a);
        std::fclose(b);
    }
    ~GeneratedFiles() {
        std::filesystem::remove(ascii);
        std::filesystem::remove(binary);
    }
};

const GeneratedFiles& files() {
    static const GeneratedFiles generated;
    return generated;
}

void readAllGroups(benchmark::State& state, const std::filesystem::path& path, SourceFormat format) {
    size_t groups = 0;
    for (auto _ : state) {
        DxfGroupReader reader;
        if (!reader.input.openFile(path.string())) state.SkipWithError("cannot open the generated file");
        reader.sourceFormat = format;
        reader.versionIndex = 7;
        if (format == SourceFormat::BinaryDxf) rdDxfBeginBinary(reader);
        groups = 0;
        while (rdDxfReadGroup(reader)) ++groups;
        benchmark::DoNotOptimize(reader.group.real);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(path)));
    state.counters["groups"] = double(groups);
}

void AsciiDxfGroups(benchmark::State& state) { readAllGroups(state, files().ascii, SourceFormat::AsciiDxf); }
BENCHMARK(AsciiDxfGroups)->Unit(benchmark::kMillisecond);

void BinaryDxfGroups(benchmark::State& state) { readAllGroups(state, files().binary, SourceFormat::BinaryDxf); }
BENCHMARK(BinaryDxfGroups)->Unit(benchmark::kMillisecond);

// Decoding a bit stream of the mix an entity record holds: bit-shorts, bit-doubles, raw
// doubles, handles and flag bits.
void DwgBitDecoding(benchmark::State& state) {
    BitWriter writer;
    std::mt19937_64 rng(2);
    constexpr int kRecords = 100000;
    for (int i = 0; i < kRecords; ++i) {
        wrPutBitShort(writer, uint16_t(rng() % 600));
        wrPutHandle(writer, 0, Handle(0x100 + i));
        wrPutBit(writer, 0);
        wrPutRawDouble(writer, double(rng() % 100000) / 7.0);
        wrPutDefaultDouble(writer, 3.5, 3.5);
        wrPutBitDouble(writer, double(rng() % 1000) / 3.0);
        wrPutBitLong(writer, int32_t(rng() % 70000));
        wrPutRelativeRef(writer, Handle(0x1F), Handle(0x100 + i), 4);
    }
    const std::vector<uint8_t> bytes = writer.takeBytes();
    for (auto _ : state) {
        BitReader reader(bytes);
        double sum = 0;
        for (int i = 0; i < kRecords; ++i) {
            sum += rdBitShort(reader);
            Handle h;
            rdReadHandle(reader, h);
            sum += rdBit(reader);
            sum += rdRawDouble(reader);
            sum += rdBitDefaultDouble(reader, 3.5);
            sum += rdBitDouble(reader);
            sum += rdBitLong(reader);
            sum += double(rdReadRelativeHandle(reader, h).value);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(DwgBitDecoding)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tracemill

BENCHMARK_MAIN();
