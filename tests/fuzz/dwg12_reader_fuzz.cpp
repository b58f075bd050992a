// Fuzz harness for the reader of DWG files before R13: the input is a whole file, read through
// every operation in the order of a load (the open with its file check, each table, the
// viewport entity headers, the entities of the two spaces and of every block, the viewport
// pass and the header's current entries), then, up to seed size, loaded as the host loads a
// drawing (rdOpenDrawing, with the fix-ups after loading). The replay also reads the sample
// drawings; the large R13-2000 ones among them are refused by this reader's open, and the tests
// load them whole. Every pass is bounded by the reader itself;
// the harness only caps the records it asks for, far above what a file of fuzz size can hold.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "fuzz_load.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/read/dwg12_reader.h"

using namespace tracemill;

namespace {

constexpr int kMostRecords = 100000;
constexpr size_t kMostLoadedSize = 64 * 1024;

// Reads records of one table until its end, a failure or the cap.
template <class Record, class Read>
void drain(Read read) {
    for (int n = 0; n < kMostRecords; ++n) {
        Record record;
        if (!read(record) || record.endOfTable) return;
    }
}

void walk(std::span<const uint8_t> file) {
    Drawing drawing;
    drawing.header = std::make_unique<HeaderBlock>();
    Dwg12Reader reader(file);
    if (!reader.openHeader(drawing)) return;
    uint8_t x = 0;
    reader.seekLinetypes(drawing);
    drain<LinetypeRecord>([&](LinetypeRecord& r) { return reader.readLinetype(drawing, r, x); });
    reader.seekLayers(drawing);
    drain<LayerRecord>([&](LayerRecord& r) {
        LinetypeReference linetype;
        return reader.readLayer(drawing, r, linetype, x);
    });
    reader.seekVports(drawing);
    drain<VportRecord>([&](VportRecord& r) { return reader.readVport(drawing, r, x); });
    reader.seekUcss(drawing);
    drain<UcsRecord>([&](UcsRecord& r) { return reader.readUcs(drawing, r, x); });
    reader.seekAppIds(drawing);
    drain<AppIdRecord>([&](AppIdRecord& r) { return reader.readAppId(drawing, r, x); });
    reader.seekViews(drawing);
    drain<ViewRecord>([&](ViewRecord& r) { return reader.readView(drawing, r, x); });
    reader.seekStyles(drawing);
    drain<StyleRecord>([&](StyleRecord& r) { return reader.readStyle(drawing, r, x); });
    std::vector<std::string> blocks;
    reader.seekBlockRecords(drawing);
    drain<BlockRecord>([&](BlockRecord& r) {
        const int ok = reader.readBlockRecord(drawing, r, x);
        if (ok && !r.endOfTable) blocks.push_back(r.name);
        return ok;
    });
    reader.seekDimStyles(drawing);
    drain<DimStyleRecord>([&](DimStyleRecord& r) { return reader.readDimStyle(drawing, r, x); });
    if (reader.seekViewportEntities(drawing)) {
        drain<ViewportEntityHeaderRecord>([&](ViewportEntityHeaderRecord& r) {
            return reader.readViewportEntity(drawing, r);
        });
    }

    auto entities = [&](bool block) {
        for (int n = 0; n < kMostRecords; ++n) {
            EntityRecord entity;
            if (!reader.readEntity(drawing, entity, x)) return;
            if (block && entity.header.type == kEntityEndBlock) return;
        }
    };
    if (reader.seekSpaceEntities(drawing)) entities(false);
    for (const std::string& name : blocks) {
        reader.setCurrentBlock(name);
        if (reader.seekBlockEntities(drawing)) entities(true);
    }
    reader.loadViewports(drawing);
    reader.resolveIndexedHeaderRefs(drawing);
}

} // namespace

// The toolkit is started once, as a host starts it; every input is a drawing of its own.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::startToolkit()) return 0;
    const std::span<const uint8_t> input(data, size);
    walk(input);
    if (size <= kMostLoadedSize) fuzz::loadAsDrawingFile(input, ".dwg");
    return 0;
}
