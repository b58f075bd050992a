// Saving a large drawing: the drawing of the DXF load benchmark (about 1,000,000 mixed entities,
// bench/dxf_twin_writer.h) is generated into the temporary folder, loaded once, and saved as
// ASCII and as binary "AC1015" DXF and as "AC1009" and "AC1015" DWG several times; the median time of each
// save and the output rate (MB/s of the written file) are printed.
//
// Run: build/bench/dxf_save_bench [entity count] [folder] [saves of each form, 5 by default] [form]
// With a form name (ASCII, binary, DWG12 or DWG) only that form is saved.
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
#include "toolkit/write/save_driver.h"

int main(int argc, char** argv) {
    using namespace tracemill;
    const int entities = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const std::filesystem::path folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path();
    const int saves = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const std::string only = argc > 4 ? argv[4] : "";
    const auto ascii = folder / "tm_save_bench_source.dxf";
    const auto binary = folder / "tm_save_bench_source.dxfb";
    bench::writeTwin(ascii, binary, entities);

    dbUseBuiltinInitData();
    int error = 0;
    if (!dbCreateSystemContext(nullptr, error) || !dbInitToolkit()) return 2;
    dbInstallDxfReaderTable();
    Drawing* drawing = rdOpenDrawing(ascii.string().c_str(), kOpenOrdinary, 0);
    if (!drawing) {
        std::fprintf(stderr, "load failed: error %d\n", dbGetError());
        return 1;
    }
    std::printf("%d entities, %d saves of each form (median, best, worst)\n", entities, saves);
    struct Form {
        uint8_t format;
        int16_t version;
        const char* name;
        const char* file;
    };
    const Form forms[] = {{kSaveFormatAsciiDxf, 7, "ASCII", "tm_save_bench.dxf"},
                          {kSaveFormatBinaryDxf, 7, "binary", "tm_save_bench.dxfb"},
                          {kSaveFormatDwg, 4, "DWG12", "tm_save_bench.dwg"},
                          {kSaveFormatDwg, 7, "DWG", "tm_save_bench_2000.dwg"}};
    for (const auto& [format, version, name, file] : forms) {
        if (!only.empty() && only != name) continue;
        const auto out = folder / file;
        std::vector<double> times;
        for (int i = 0; i < saves; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const int saved = wrSaveDrawing(drawing, out.string().c_str(), format, version, kSaveRealSwitch,
                                            kSaveDecimalPlaces, kSaveEntitySwitch, kSaveOldDxfFlag);
            const auto end = std::chrono::steady_clock::now();
            if (!saved) {
                std::fprintf(stderr, "save failed: error %d\n", dbGetError());
                return 1;
            }
            times.push_back(std::chrono::duration<double>(end - start).count());
        }
        std::sort(times.begin(), times.end());
        const double megabytes = double(std::filesystem::file_size(out)) / 1e6;
        const double median = times[times.size() / 2];
        std::printf("%-6s %8.1f MB  median %.3f s (%.0f MB/s)  best %.3f s  worst %.3f s\n",
                    name, megabytes, median, megabytes / median,
                    times.front(), times.back());
        std::filesystem::remove(out);
    }
    dbFreeDrawing(drawing);
    dbTermToolkit();
    dbDestroySystemContext();
    std::filesystem::remove(ascii);
    std::filesystem::remove(binary);
    return 0;
}
