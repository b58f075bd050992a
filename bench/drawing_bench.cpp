// Memory and speed of the drawing database at the scale of a large drawing: a million entities
// of the kinds a big plan holds (LINE, ARC, CIRCLE, LWPOLYLINE, TEXT, INSERT) appended to model
// space, walked in place and found by handle.
//
// Run: build/bench/drawing_bench  (the counters report heap bytes per entity)
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <memory>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

constexpr int kDrawingScale = 1000000;

size_t heapInUse() { return mallinfo2().uordblks; }

struct Toolkit {
    Toolkit() { gSystemContext = new SystemContext(); }
    ~Toolkit() {
        delete gSystemContext;
        gSystemContext = nullptr;
    }
};

struct DrawingDeleter {
    void operator()(Drawing* drawing) const { dbFreeDrawing(drawing); }
};
using DrawingPtr = std::unique_ptr<Drawing, DrawingDeleter>;

EntityRecord makeEntity(Drawing& drawing, uint16_t type, int i, Handle block) {
    EntityRecord entity;
    entity.header.type = type;
    dbInitEntity(&drawing, entity);
    entity.header.handle = dbNewHandle(drawing);
    const double x = i % 1000;
    const double y = i / 1000;
    if (auto* line = entity.body.getIf<LineBody>()) {
        *line = {{x, y, 0}, {x + 1, y + 1, 0}};
    } else if (auto* arc = entity.body.getIf<ArcBody>()) {
        arc->centre = {x, y, 0};
    } else if (auto* circle = entity.body.getIf<CircleBody>()) {
        circle->centre = {x, y, 0};
    } else if (auto* polyline = entity.body.getIf<LwpolylineBody>()) {
        polyline->vertices = {{{x, y}}, {{x + 1, y}}, {{x + 1, y + 1}}, {{x, y + 1}}};
    } else if (auto* text = entity.body.getIf<TextBody>()) {
        text->insertion = {x, y, 0};
        text->text = "ROOM 101";
    } else if (auto* insert = entity.body.getIf<InsertBody>()) {
        insert->insertion = {x, y, 0};
        insert->block = block;
    }
    return entity;
}

// Builds a drawing with `count` entities of one type, or of the six mixed kinds when type is 0.
DrawingPtr buildDrawing(uint16_t type, int count) {
    DrawingPtr drawing(dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000));
    BlockRecord block;
    block.name = "DOOR";
    block.handle = dbNewHandle(*drawing);
    dbBlockAdd(drawing.get(), block);
    const uint16_t lwpolyline = drawing->classes.numbers[size_t(ClassKind::Lwpolyline)];
    const uint16_t mixed[] = {kEntityLine, kEntityArc, kEntityCircle, lwpolyline, kEntityText, kEntityInsert};
    for (int i = 0; i < count; ++i) {
        const uint16_t kind = type ? type : mixed[i % 6];
        dbAppendEntity(drawing.get(), drawing->modelSpace, makeEntity(*drawing, kind, i, block.handle));
    }
    return drawing;
}

void AppendEntities(benchmark::State& state, uint16_t type) {
    Toolkit toolkit;
    double bytesPerEntity = 0;
    for (auto _ : state) {
        const size_t before = heapInUse();
        DrawingPtr drawing = buildDrawing(type, kDrawingScale);
        bytesPerEntity = double(heapInUse() - before) / kDrawingScale;
        benchmark::DoNotOptimize(drawing.get());
    }
    state.counters["bytes_per_entity"] = bytesPerEntity;
    state.SetItemsProcessed(state.iterations() * kDrawingScale);
}
BENCHMARK_CAPTURE(AppendEntities, Lines, uint16_t(kEntityLine))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AppendEntities, Mixed, uint16_t(0))->Unit(benchmark::kMillisecond);

void WalkInPlace(benchmark::State& state) {
    Toolkit toolkit;
    DrawingPtr drawing = buildDrawing(0, kDrawingScale);
    for (auto _ : state) {
        double sum = 0;
        for (const EntityNode& node : *drawing->modelSpace) sum += node.record.header.thickness;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kDrawingScale);
}
BENCHMARK(WalkInPlace)->Unit(benchmark::kMillisecond);

void ReadByCopy(benchmark::State& state) {
    Toolkit toolkit;
    DrawingPtr drawing = buildDrawing(0, kDrawingScale);
    EntityRecord entity;
    for (auto _ : state) {
        dbRewindEntityList(drawing->modelSpace);
        while (dbReadEntity(drawing->modelSpace, entity)) benchmark::DoNotOptimize(entity.header.colour);
    }
    state.SetItemsProcessed(state.iterations() * kDrawingScale);
}
BENCHMARK(ReadByCopy)->Unit(benchmark::kMillisecond);

void FindByHandle(benchmark::State& state) {
    Toolkit toolkit;
    DrawingPtr drawing = buildDrawing(kEntityLine, kDrawingScale);
    const uint64_t first = EntityList::asNode(drawing->modelSpace->first)->record.header.handle.value;
    uint64_t i = 0;
    for (auto _ : state) {
        const Handle handle(first + (i * 7919) % kDrawingScale);
        benchmark::DoNotOptimize(dbFindEntityNode(drawing.get(), drawing->modelSpace, handle));
        ++i;
    }
}
BENCHMARK(FindByHandle);

} // namespace
} // namespace tracemill

BENCHMARK_MAIN();
