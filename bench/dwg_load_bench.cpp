// Speed and memory of loading R13-2000 DWG files: the largest sample drawings, each handled
// again and again in this process in two ways. "load/": the whole load into a drawing through
// rdOpenDrawing (the file read, every table, block, entity and object stored, the fix-ups) and
// the drawing freed. "read/": every reader operation of a load on the file's bytes in memory,
// without the database (the reader's own speed). The bytes/s counter is the speed.
//
// Peak memory: after the timed runs, each file is loaded once more in a child process of this
// program (`--peak FILE`), which resets its resident-set peak once the toolkit runs and reports
// how far the load raised it.
//
// Besides the samples, the large generated drawing of the save benchmark (1,000,000 mixed
// entities, bench/dxf_twin_writer.h) saved as "AC1015" DWG in the temporary folder is loaded.
//
// Run: build/bench/dwg_load_bench [--benchmark_filter=load/]   (samples from TRACEMILL_SAMPLES)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/dxf_twin_writer.h"
#include "dwg13_test_support.h"
#include "sample_drawings.h"
#include "toolkit/core/drawing.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dwg_driver.h"
#include "toolkit/read/dxf_driver.h"
#include "toolkit/write/save_driver.h"

namespace tracemill {
namespace {

constexpr const char* kFiles[] = {"oscilloscope_case_2000.dwg", "example_2000.dwg", "example_r13.dwg",
                                  "example_r14.dwg"};

// One whole read of the file; the number of entities read, -1 when the open failed.
long readOnce(const std::vector<uint8_t>& bytes) {
    Drawing drawing;
    Dwg13Reader reader(bytes);
    const test::Dwg13Pass pass = test::dwg13ReadEverything(reader, drawing);
    return pass.opened ? long(pass.entities.size()) : -1;
}

// One whole load of the file; false when it failed.
bool loadOnce(const std::filesystem::path& path) {
    Drawing* drawing = rdOpenDrawing(path.string().c_str(), kOpenOrdinary, 0);
    if (!drawing) return false;
    dbFreeDrawing(drawing);
    return true;
}

void loadFile(benchmark::State& state, std::filesystem::path path) {
    bool loaded = true;
    for (auto _ : state) loaded = loadOnce(path) && loaded;
    if (!loaded) state.SkipWithError("the file did not load");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(path)));
}

void readFile(benchmark::State& state, std::filesystem::path path) {
    const std::vector<uint8_t> bytes = test::fileBytes(path);
    long entities = 0;
    for (auto _ : state) {
        entities = readOnce(bytes);
        benchmark::DoNotOptimize(entities);
    }
    if (entities < 0) state.SkipWithError("the file was not read");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.counters["entities"] = double(entities);
}

// A figure of /proc/self/status in kB ("VmRSS", "VmHWM"), -1 when absent.
long statusKilobytes(const char* key) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long value = -1;
    const size_t length = std::strlen(key);
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, key, length) == 0 && line[length] == ':') value = std::strtol(line + length + 1, nullptr, 10);
    std::fclose(status);
    return value;
}

// In the child: the resident-set peak is reset once the toolkit runs, and what one load adds
// to the resident set at its peak is printed in kB.
int peakChild(const char* file) {
    if (!benchStartToolkit()) return 2;
    if (std::FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", clear);
        std::fclose(clear);
    }
    const long before = statusKilobytes("VmRSS");
    if (!loadOnce(file)) return 1;
    std::printf("%ld\n", statusKilobytes("VmHWM") - before);
    return 0;
}

// What one load of the file adds to the resident set at its peak, in kB (-1: not measured).
long childPeakKilobytes(const std::string& self, const std::string& file) {
    const std::string command = "'" + self + "' --peak '" + file + "'";
    std::FILE* child = popen(command.c_str(), "r");
    if (!child) return -1;
    long kilobytes = -1;
    if (std::fscanf(child, "%ld", &kilobytes) != 1) kilobytes = -1;
    return pclose(child) == 0 ? kilobytes : -1;
}

// The generated drawing saved as "AC1015" DWG at `path`; false when it could not be made.
bool makeGeneratedDwg(const std::filesystem::path& path) {
    const std::filesystem::path ascii = std::filesystem::path(path).replace_extension(".dxf");
    const std::filesystem::path binary = std::filesystem::path(path).replace_extension(".dxfb");
    bench::writeTwin(ascii, binary, 1000000);
    dbInstallDxfReaderTable();
    Drawing* drawing = rdOpenDrawing(ascii.string().c_str(), kOpenOrdinary, 0);
    const bool saved = drawing && wrSaveDrawing(drawing, path.string().c_str(), kSaveFormatDwg, 7, kSaveRealSwitch,
                                                kSaveDecimalPlaces, kSaveEntitySwitch, kSaveOldDxfFlag) == 1;
    if (drawing) dbFreeDrawing(drawing);
    std::filesystem::remove(ascii);
    std::filesystem::remove(binary);
    return saved;
}

} // namespace
} // namespace tracemill

int main(int argc, char** argv) {
    using namespace tracemill;
    if (argc == 3 && std::strcmp(argv[1], "--peak") == 0) return peakChild(argv[2]);

    const std::filesystem::path folder = benchSamplesFolder() / "dwg";
    if (!benchStartToolkit()) {
        std::fprintf(stderr, "the toolkit did not start\n");
        return 1;
    }
    std::vector<std::filesystem::path> files;
    for (const char* name : kFiles) files.push_back(folder / name);
    const std::filesystem::path generated = std::filesystem::temp_directory_path() / "tm_dwg_load_bench_generated.dwg";
    if (makeGeneratedDwg(generated)) files.push_back(generated);
    else std::fprintf(stderr, "the generated drawing could not be saved as DWG: error %d\n", dbGetError());
    for (const std::filesystem::path& path : files) {
        if (!std::filesystem::exists(path)) continue;
        const std::string name = path.filename().string();
        benchmark::RegisterBenchmark(("load/" + name).c_str(), loadFile, path);
        benchmark::RegisterBenchmark(("read/" + name).c_str(), readFile, path);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::printf("peak memory that one load adds\n");
    for (const std::filesystem::path& path : files) {
        if (!std::filesystem::exists(path)) continue;
        std::printf("  %-36s %7.2f MB file  +%.2f MB\n", path.filename().string().c_str(),
                    double(std::filesystem::file_size(path)) / 1e6,
                    double(childPeakKilobytes(self, path.string())) / 1024.0);
    }
    std::filesystem::remove(generated);
    return 0;
}
