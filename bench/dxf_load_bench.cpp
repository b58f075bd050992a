// Loading a large DXF through the whole reader: a drawing of about 1,000,000 entities of mixed
// kinds (LINE, ARC, CIRCLE, LWPOLYLINE, TEXT, INSERT) on 20 layers, as ASCII and as its binary
// twin, generated into the temporary folder (never into the project). Each file is loaded in a
// child process of its own, so that the peak memory (maximum resident set) is the load's.
//
// Run: build/bench/dxf_load_bench [entity count] [folder] [loads of each file, 5 by default]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/dxf_twin_writer.h"
#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dxf_driver.h"

namespace tracemill::bench {
namespace {

// What the child measures of its load: the rdOpenDrawing call alone, without the start of the
// process and the toolkit, and without the exit that returns the drawing's memory.
struct LoadTimes {
    double wall = 0.0;
    double user = 0.0;
    double system = 0.0;
};

double seconds(const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; }

// Loads the file in this process, writes its LoadTimes to `out` and exits with 0 when it loaded.
[[noreturn]] void loadAndExit(const std::filesystem::path& path, int out) {
    dbUseBuiltinInitData();
    int error = 0;
    if (!dbCreateSystemContext(nullptr, error) || !dbInitToolkit()) std::_Exit(2);
    dbInstallDxfReaderTable();
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    Drawing* drawing = rdOpenDrawing(path.string().c_str(), 1, 0);
    const auto end = std::chrono::steady_clock::now();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    if (!drawing) {
        std::fprintf(stderr, "load failed: error %d\n", dbGetError());
        std::_Exit(1);
    }
    const LoadTimes times{std::chrono::duration<double>(end - start).count(),
                          seconds(after.ru_utime) - seconds(before.ru_utime),
                          seconds(after.ru_stime) - seconds(before.ru_stime)};
    if (write(out, &times, sizeof times) != ssize_t(sizeof times)) std::_Exit(3);
    std::_Exit(0); // the drawing is freed with the process; freeing is not part of the load
}

// One load in a child process: its LoadTimes and the child's peak memory; false when the load
// failed.
bool loadInChild(const std::filesystem::path& path, LoadTimes& load, double& peak) {
    int channel[2];
    if (pipe(channel) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        loadAndExit(path, channel[1]);
    }
    close(channel[1]);
    const bool reported = read(channel[0], &load, sizeof load) == ssize_t(sizeof load);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    peak = double(usage.ru_maxrss) * 1024.0;
    return reported && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Loads the file `repeats` times and prints the median and the best load. A shared or virtual
// machine varies from one load to the next (a core that is busy elsewhere, memory the host has
// to provide again), so one load says little; the median is the figure to compare.
void measure(const char* label, const std::filesystem::path& path, double asciiBytes, int repeats) {
    const double bytes = double(std::filesystem::file_size(path));
    std::vector<LoadTimes> loads;
    double peak = 0.0;
    for (int i = 0; i < repeats; ++i) {
        LoadTimes load;
        double loadPeak = 0.0;
        if (!loadInChild(path, load, loadPeak)) {
            std::printf("%s: the load failed\n", label);
            return;
        }
        loads.push_back(load);
        peak = std::max(peak, loadPeak);
    }
    std::sort(loads.begin(), loads.end(), [](const LoadTimes& a, const LoadTimes& b) { return a.wall < b.wall; });
    const LoadTimes& median = loads[loads.size() / 2];
    const LoadTimes& best = loads.front();
    // User time is the reader's work; system time is mostly the kernel providing and clearing
    // the pages the drawing fills (and reading the file).
    std::printf("%-7s %8.1f MB  median %5.2f s (user %.2f s, system %.2f s) %6.1f MB/s  best %5.2f s %6.1f MB/s"
                "  worst %5.2f s  peak %6.1f MB (%.2f x the ASCII file)\n",
                label, bytes / 1e6, median.wall, median.user, median.system, bytes / 1e6 / median.wall, best.wall,
                bytes / 1e6 / best.wall, loads.back().wall, peak / 1e6, peak / asciiBytes);
}

} // namespace
} // namespace tracemill::bench

int main(int argc, char** argv) {
    using namespace tracemill::bench;
    const int entities = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const std::filesystem::path ascii = folder / "tracemill_load_bench.dxf";
    const std::filesystem::path binary = folder / "tracemill_load_bench.dxfb";
    writeTwin(ascii, binary, entities);
    ::sync();  // the kernel writes the new files back now, not while a load is timed
    const double asciiBytes = double(std::filesystem::file_size(ascii));
    std::printf("%d entities, %d loads of each file\n", entities, repeats);
    measure("ASCII", ascii, asciiBytes, repeats);
    measure("binary", binary, asciiBytes, repeats);
    if (!std::getenv("TRACEMILL_KEEP_BENCH_FILES")) {
        std::filesystem::remove(ascii);
        std::filesystem::remove(binary);
    }
    return 0;
}
