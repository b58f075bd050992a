// Speed and memory of the storage primitives at drawing scale: a million handles indexed
// and found, a million records appended, streams written and read byte by byte.
//
// Run: build/bench/storage_bench  (the counters report heap bytes per entry)
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "toolkit/core/handle_tree.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/record_list.h"

namespace tracemill {
namespace {

constexpr int kDrawingScale = 1000000;

size_t heapInUse() { return mallinfo2().uordblks; }

ListLink* fakeNode(uint64_t value) { return reinterpret_cast<ListLink*>(uintptr_t(value * 16)); }

void HandleTreeAscendingInsert(benchmark::State& state) {
    double bytesPerHandle = 0;
    for (auto _ : state) {
        size_t before = heapInUse();
        HandleTree tree;
        for (uint64_t h = 1; h <= uint64_t(kDrawingScale); ++h) tree.insert(Handle(h), fakeNode(h));
        bytesPerHandle = double(heapInUse() - before) / kDrawingScale;
        benchmark::DoNotOptimize(tree.size());
    }
    state.counters["bytes_per_handle"] = bytesPerHandle;
    state.SetItemsProcessed(state.iterations() * kDrawingScale);
}
BENCHMARK(HandleTreeAscendingInsert)->Unit(benchmark::kMillisecond);

void HandleTreeShuffledInsert(benchmark::State& state) {
    std::vector<uint64_t> handles(kDrawingScale);
    std::iota(handles.begin(), handles.end(), 1);
    std::shuffle(handles.begin(), handles.end(), std::mt19937_64(1));
    double bytesPerHandle = 0;
    for (auto _ : state) {
        size_t before = heapInUse();
        HandleTree tree;
        for (uint64_t h : handles) tree.insert(Handle(h), fakeNode(h));
        bytesPerHandle = double(heapInUse() - before) / kDrawingScale;
        benchmark::DoNotOptimize(tree.size());
    }
    state.counters["bytes_per_handle"] = bytesPerHandle;
    state.SetItemsProcessed(state.iterations() * kDrawingScale);
}
BENCHMARK(HandleTreeShuffledInsert)->Unit(benchmark::kMillisecond);

void HandleTreeFind(benchmark::State& state) {
    HandleTree tree;
    for (uint64_t h = 1; h <= uint64_t(kDrawingScale); ++h) tree.insert(Handle(h), fakeNode(h));
    std::mt19937_64 rng(2);
    std::vector<uint64_t> probes(4096);
    for (uint64_t& p : probes) p = 1 + rng() % kDrawingScale;
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(tree.find(Handle(probes[i++ & 4095])));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(HandleTreeFind);

struct LineRecord : ListLink {
    double start[3] = {};
    double end[3] = {};
};

void RecordListAppend(benchmark::State& state) {
    double bytesPerNode = 0;
    for (auto _ : state) {
        size_t before = heapInUse();
        RecordList<LineRecord> list;
        LineRecord line;
        for (int i = 0; i < kDrawingScale; ++i) {
            line.start[0] = i;
            dbListAppendRecord(line, &list);
        }
        bytesPerNode = double(heapInUse() - before) / kDrawingScale;
        benchmark::DoNotOptimize(list.count);
    }
    state.counters["bytes_per_node"] = bytesPerNode;
    state.counters["record_bytes"] = double(sizeof(LineRecord));
    state.SetItemsProcessed(state.iterations() * kDrawingScale);
}
BENCHMARK(RecordListAppend)->Unit(benchmark::kMillisecond);

void StreamBytes(benchmark::State& state) {
    constexpr int kBytes = 16 << 20;
    for (auto _ : state) {
        PagedStream* stored = dbStreamCreate(4096);
        OpenStream* out = dbStreamOpenWrite(stored);
        for (int i = 0; i < kBytes; ++i) dbStreamPutByte(out, uint8_t(i));
        dbStreamCloseWrite(out);
        OpenStream* in = dbStreamOpenRead(stored);
        uint8_t b = 0;
        uint64_t sum = 0;
        while (dbStreamGetByte(in, b)) sum += b;
        dbStreamCloseRead(in);
        dbStreamDestroy(stored);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kBytes) * 2);
}
BENCHMARK(StreamBytes)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tracemill

BENCHMARK_MAIN();
