#include "toolkit/read/dwg_driver.h"

#include <cstdint>
#include <memory>
#include <new>
#include <span>

#include "toolkit/core/drawing.h"
#include "toolkit/core/in_file.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dwg12_reader.h"
#include "toolkit/read/dwg13_reader.h"
#include "toolkit/read/file_recognition.h"
#include "toolkit/read/load_session.h"

namespace tracemill {
namespace {

inline constexpr int kErrorNoMemoryForFile = 218;

// What a DWG load keeps: the file's bytes and the reader of its family, which works on them.
class DwgLoadState final : public FormatLoadState {
public:
    std::unique_ptr<uint8_t[]> bytes;  // left uninitialised until the file is read into them
    size_t size = 0;
    std::unique_ptr<FormatDriver> reader;

    std::span<const uint8_t> file() const { return {bytes.get(), size}; }
};

// Reads the whole file of the load into the state.
bool readFile(LoadSession& session, DwgLoadState& state) {
    std::FILE* file = session.file.get();
    if (!file || dbInFileSeek(file, 0, SEEK_END) != 0) return false;
    const long length = dbInFileTell(file);
    if (length < 0 || dbInFileSeek(file, 0, SEEK_SET) != 0) return false;
    state.bytes.reset(new (std::nothrow) uint8_t[size_t(length) + 1]);
    if (!state.bytes) return dbReportError(kErrorNoMemoryForFile, kErrorReasonNoMemory);
    state.size = dbInFileRead(state.bytes.get(), 1, size_t(length), file);
    return true;
}

// The reader of the family of a recognised version.
std::unique_ptr<FormatDriver> familyReader(int version, std::span<const uint8_t> file, bool acceptAc1013) {
    if (version < kVersionAC1012) return std::make_unique<Dwg12Reader>(file);
    return std::make_unique<Dwg13Reader>(file, acceptAc1013);
}

class DwgDriver final : public FormatDriver {
public:
    // Reads the file, recognises its version and opens the file with the reader of its family
    // (the light file check, which checks only files before R13, runs in Dwg12Reader's open).
    // Signatures of no known version fail with error 8 (286 for "AC1013" while it is not
    // accepted).
    int openHeader(Drawing& drawing) override {
        LoadSession* session = rdLoadSession(drawing);
        if (!session) return 0;
        auto opened = std::make_unique<DwgLoadState>();
        DwgLoadState& s = *opened;
        if (!readFile(*session, s)) return 0;
        session->format = std::move(opened);
        const bool acceptAc1013 = gSystemContext && gSystemContext->acceptAc1013 != 0;
        const int version = rdDwgVersionIndex(s.file(), acceptAc1013);
        if (version < 0) return 0;
        s.reader = familyReader(version, s.file(), acceptAc1013);
        return s.reader->openHeader(drawing);
    }

    int seekLinetypes(Drawing& d) override { return family(d).seekLinetypes(d); }
    int readLinetype(Drawing& d, LinetypeRecord& r, uint8_t& x) override { return family(d).readLinetype(d, r, x); }
    int seekLayers(Drawing& d) override { return family(d).seekLayers(d); }
    int readLayer(Drawing& d, LayerRecord& r, LinetypeReference& l, uint8_t& x) override {
        return family(d).readLayer(d, r, l, x);
    }
    int seekClasses(Drawing& d) override { return family(d).seekClasses(d); }
    int readClass(Drawing& d, ClassEntry& e) override { return family(d).readClass(d, e); }
    int seekVports(Drawing& d) override { return family(d).seekVports(d); }
    int readVport(Drawing& d, VportRecord& r, uint8_t& x) override { return family(d).readVport(d, r, x); }
    int seekUcss(Drawing& d) override { return family(d).seekUcss(d); }
    int readUcs(Drawing& d, UcsRecord& r, uint8_t& x) override { return family(d).readUcs(d, r, x); }
    int seekAppIds(Drawing& d) override { return family(d).seekAppIds(d); }
    int readAppId(Drawing& d, AppIdRecord& r, uint8_t& x) override { return family(d).readAppId(d, r, x); }
    int seekViews(Drawing& d) override { return family(d).seekViews(d); }
    int readView(Drawing& d, ViewRecord& r, uint8_t& x) override { return family(d).readView(d, r, x); }
    int seekStyles(Drawing& d) override { return family(d).seekStyles(d); }
    int readStyle(Drawing& d, StyleRecord& r, uint8_t& x) override { return family(d).readStyle(d, r, x); }
    int seekBlockRecords(Drawing& d) override { return family(d).seekBlockRecords(d); }
    int readBlockRecord(Drawing& d, BlockRecord& r, uint8_t& x) override { return family(d).readBlockRecord(d, r, x); }
    int seekDimStyles(Drawing& d) override { return family(d).seekDimStyles(d); }
    int readDimStyle(Drawing& d, DimStyleRecord& r, uint8_t& x) override { return family(d).readDimStyle(d, r, x); }
    int seekViewportEntities(Drawing& d) override { return family(d).seekViewportEntities(d); }
    int readViewportEntity(Drawing& d, ViewportEntityHeaderRecord& r) override {
        return family(d).readViewportEntity(d, r);
    }

    int seekSpaceEntities(Drawing& d) override { return family(d).seekSpaceEntities(d); }
    int seekBlockEntities(Drawing& d) override { return family(d).seekBlockEntities(d); }
    int readEntity(Drawing& d, EntityRecord& e, uint8_t& x) override { return family(d).readEntity(d, e, x); }

    int seekObjects(Drawing& d) override { return family(d).seekObjects(d); }
    uint16_t nextObjectCode(Drawing& d) override { return family(d).nextObjectCode(d); }
    int readDictionary(Drawing& d, ObjectRecord& o, uint8_t& x) override { return family(d).readDictionary(d, o, x); }
    int readMlineStyle(Drawing& d, ObjectRecord& o, uint8_t& x) override { return family(d).readMlineStyle(d, o, x); }
    int readGroup(Drawing& d, ObjectRecord& o, uint8_t& x) override { return family(d).readGroup(d, o, x); }
    int readClassObject(Drawing& d, ObjectRecord& o, uint8_t& x) override {
        return family(d).readClassObject(d, o, x);
    }

    EntityRangePosition entityRangePosition(Drawing& d) override { return family(d).entityRangePosition(d); }
    int attachExtendedData(Drawing& d, OwnedStream& x) override { return family(d).attachExtendedData(d, x); }
    int readLayoutBlockRecords(Drawing& d, BlockRecord& model, BlockRecord& paper, uint8_t& found) override {
        return family(d).readLayoutBlockRecords(d, model, paper, found);
    }
    int loadViewports(Drawing& d) override { return family(d).loadViewports(d); }
    int resolveIndexedHeaderRefs(Drawing& d) override { return family(d).resolveIndexedHeaderRefs(d); }
    void endTableLoad(Drawing& d) override { family(d).endTableLoad(d); }
    void endObjectLoad(Drawing& d) override { family(d).endObjectLoad(d); }

private:
    // Every operation after the open goes to the family's reader; without a load, or after an
    // open that made none, to a reader that has no file and so finds nothing.
    static FormatDriver& family(Drawing& drawing) {
        LoadSession* session = rdLoadSession(drawing);
        auto* state = session ? dynamic_cast<DwgLoadState*>(session->format.get()) : nullptr;
        if (state && state->reader) return *state->reader;
        static Dwg12Reader empty{std::span<const uint8_t>()};
        return empty;
    }
};

} // namespace

FormatDriver& dbDwgDriver() {
    static DwgDriver driver;
    return driver;
}

void dbInstallDwgReaderTable() {
    if (gSystemContext) gSystemContext->dwgDriver = &dbDwgDriver();
}

} // namespace tracemill
