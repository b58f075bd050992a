// Fuzz harness for the reader of DWG files before R13: the input is a whole file, read through
// every operation in the order of a load (the open with its file check, each table, the
// viewport entity headers, the entities of the two spaces and of every block, the viewport
// pass and the header's current entries), then loaded as the host loads a drawing
// (rdOpenDrawing, with the fix-ups after loading). Every pass is bounded by the reader itself;
// the harness only caps the records it asks for, far above what a file of fuzz size can hold.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <unistd.h>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/toolkit_startup.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dwg12_reader.h"
#include "toolkit/read/dwg_driver.h"

using namespace tracemill;

namespace {

constexpr int kMostRecords = 100000;

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

void load(std::span<const uint8_t> file) {
    static const std::string path = "/tmp/tracemill_dwg12_reader_fuzz_" + std::to_string(getpid()) + ".dwg";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return;
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
    dbFreeDrawing(rdOpenDrawing(path.c_str(), 1, 1));
    std::remove(path.c_str());
}

bool startToolkit() {
    dbUseBuiltinInitData();
    int error = 0;
    if (!dbCreateSystemContext(nullptr, error)) return false;
    dbInstallDwgReaderTable();
    return dbInitToolkit();
}

} // namespace

// The toolkit is started once, as a host starts it; every input is a drawing of its own.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = startToolkit();
    if (!started) return 0;
    walk(std::span<const uint8_t>(data, size));
    load(std::span<const uint8_t>(data, size));
    return 0;
}
