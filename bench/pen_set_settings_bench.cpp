// The settings file with many pen sets: storing one set (one write of the whole file),
// loading one, and the application settings' start and exit (load the current set, save the
// background colour and the current set). The settings go to a new temporary folder.
#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/shell/app_settings.h"

using namespace tracemill;

namespace {

constexpr int kStoredSets = 20;

CAppSettings& settingsWithStoredSets() {
    static CAppSettings* settings = [] {
        auto* s = new CAppSettings;
        for (int i = 0; i < kStoredSets; ++i) s->SavePenSet("Set " + std::to_string(i));
        return s;
    }();
    return *settings;
}

void BM_SavePenSet(benchmark::State& state) {
    CAppSettings& settings = settingsWithStoredSets();
    for (auto _ : state) settings.SavePenSet("Set 7");
}
BENCHMARK(BM_SavePenSet)->Unit(benchmark::kMillisecond);

void BM_LoadPenSet(benchmark::State& state) {
    CAppSettings& settings = settingsWithStoredSets();
    PenSetEntries entries;
    for (auto _ : state) {
        settings.LoadPenSet(entries, "Set 7");
        benchmark::DoNotOptimize(entries);
    }
}
BENCHMARK(BM_LoadPenSet)->Unit(benchmark::kMillisecond);

void BM_StartAndExit(benchmark::State& state) {
    settingsWithStoredSets();
    for (auto _ : state) CAppSettings settings;
}
BENCHMARK(BM_StartAndExit)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    std::string folder = (std::filesystem::temp_directory_path() / "tracemill-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) return 1;
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
