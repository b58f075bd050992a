// Speed of DXF group input and of DWG bit decoding on generated data.
//
// The DXF benchmarks write an ASCII DXF of mixed entities (LINE, ARC, CIRCLE, LWPOLYLINE,
// TEXT, INSERT) and its binary twin into the temporary folder (never into the project), then
// read every group of each file; the bytes/s counter is the read speed.
//
// Run: build/bench/dxf_group_reader_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "toolkit/core/byte_order.h"
#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit/read/dwg_handle_refs.h"
#include "toolkit/read/dxf_group_reader.h"
#include "toolkit/read/dxf_value_type.h"
#include "toolkit/write/dwg13/bit_writer.h"

namespace tracemill {
namespace {

constexpr int kEntities = 200000;

// Writes the same groups as ASCII (CR LF lines) and as binary DXF of version 2000.
class TwinWriter {
public:
    TwinWriter(std::FILE* ascii, std::FILE* binary) : ascii_(ascii), binary_(binary) {
        std::fputs("AutoCAD Binary DXF\r\n\x1a", binary_);
        std::fputc(0, binary_);
    }
    void text(uint16_t code, const std::string& value) {
        codeLine(code);
        std::fprintf(ascii_, "%s\r\n", value.c_str());
        std::fwrite(value.c_str(), 1, value.size() + 1, binary_);
    }
    void real(uint16_t code, double value) {
        codeLine(code);
        char buffer[32];
        auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        std::fprintf(ascii_, "%.*s\r\n", int(end - buffer), buffer);
        uint8_t bytes[8];
        putLe64(bytes, doubleBits(value));
        std::fwrite(bytes, 1, 8, binary_);
    }
    void integer(uint16_t code, int32_t value) {
        codeLine(code);
        std::fprintf(ascii_, "%6d\r\n", value);
        uint8_t bytes[4];
        putLe32(bytes, uint32_t(value));
        std::fwrite(bytes, 1, dxfValueType(code) == DxfValueType::Long ? 4 : 2, binary_);
    }

private:
    void codeLine(uint16_t code) {
        std::fprintf(ascii_, "%3d\r\n", code);
        uint8_t bytes[2];
        putLe16(bytes, code);
        std::fwrite(bytes, 1, 2, binary_);
    }
    std::FILE* ascii_;
    std::FILE* binary_;
};

struct GeneratedFiles {
    std::filesystem::path ascii, binary;
    GeneratedFiles() {
        const std::filesystem::path dir = std::filesystem::temp_directory_path();
        ascii = dir / "tracemill_bench_entities.dxf";
        binary = dir / "tracemill_bench_entities.dxfb";
        std::FILE* a = std::fopen(ascii.string().c_str(), "wb");
        std::FILE* b = std::fopen(binary.string().c_str(), "wb");
        TwinWriter w(a, b);
        std::mt19937_64 rng(1);
        std::uniform_real_distribution<double> coordinate(-5000.0, 5000.0);
        w.text(0, "SECTION");
        w.text(2, "ENTITIES");
        for (int i = 0; i < kEntities; ++i) {
            static const char* const kinds[] = {"LINE", "ARC", "CIRCLE", "LWPOLYLINE", "TEXT", "INSERT"};
            const int kind = i % 6;
            char handle[17];
            *std::to_chars(handle, handle + 16, 0x100 + i, 16).ptr = 0;
            w.text(0, kinds[kind]);
            w.text(5, handle);
            w.text(330, "1F");
            w.text(100, "AcDbEntity");
            w.text(8, "Layer" + std::to_string(i % 20));
            w.integer(62, i % 256);
            w.real(10, coordinate(rng));
            w.real(20, coordinate(rng));
            w.real(30, 0.0);
            switch (kind) {
            case 0:
                w.real(11, coordinate(rng));
                w.real(21, coordinate(rng));
                w.real(31, 0.0);
                break;
            case 1:
            case 2:
                w.real(40, 1.0 + coordinate(rng) / 100.0);
                if (kind == 1) {
                    w.real(50, 15.0);
                    w.real(51, 195.5);
                }
                break;
            case 3:
                w.integer(90, 8);
                w.integer(70, 1);
                for (int v = 0; v < 8; ++v) {
                    w.real(10, coordinate(rng));
                    w.real(20, coordinate(rng));
                }
                break;
            case 4:
                w.real(40, 2.5);
                w.text(1, "Room " + std::to_string(i));
                w.text(7, "Standard");
                break;
            default:
                w.text(2, "Door");
                w.real(41, 1.0);
                w.real(42, 1.0);
                w.real(50, 90.0);
                break;
            }
        }
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
