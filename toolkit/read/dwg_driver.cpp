#include "toolkit/read/dwg_driver.h"

#include <cstdint>
#include <memory>
#include <new>
#include <span>

#include "toolkit/core/drawing.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dwg12_reader.h"
#include "toolkit/read/dwg13_reader.h"
#include "toolkit/read/dwg_file_check.h"
#include "toolkit/read/file_recognition.h"
#include "toolkit/read/load_session.h"
#include "toolkit/read/xdata_refs.h"

namespace tracemill {
namespace {

inline constexpr int kErrorNoMemoryForFile = 218;

// What a DWG load keeps: the file's bytes and the reader of its version, which works on them.
class DwgLoadState final : public FormatLoadState {
public:
    std::unique_ptr<uint8_t[]> bytes;  // left uninitialised until the file is read into them
    size_t size = 0;
    std::unique_ptr<FormatDriver> reader;
    Dwg12Reader* before13 = nullptr;  // the reader when the file is older than R13
    RawXDataForm xdataForm = RawXDataForm::DwgR13;

    std::span<const uint8_t> file() const { return {bytes.get(), size}; }
};

DwgLoadState& state(Drawing& drawing) { return static_cast<DwgLoadState&>(*drawing.load->format); }
FormatDriver& reader(Drawing& drawing) { return *state(drawing).reader; }

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

class DwgDriver final : public FormatDriver {
public:
    // Reads the file, runs the light file check and opens it with the reader of its version:
    // before R13 Dwg12Reader, R13 to 2000 Dwg13Reader. Other signatures fail with error 8.
    int openHeader(Drawing& drawing) override {
        if (!drawing.load) return 0;
        LoadSession& session = *drawing.load;
        auto opened = std::make_unique<DwgLoadState>();
        DwgLoadState& s = *opened;
        if (!readFile(session, s)) return 0;
        session.format = std::move(opened);
        const bool acceptAc1013 = gSystemContext && gSystemContext->acceptAc1013 != 0;
        const int version = rdDwgVersionIndex(s.file(), acceptAc1013);
        if (version < 0) return 0;
        if (rdCheckDwgFile(s.file(), kDwgCheckLight) == 1) return 0;
        if (version < kVersionAC1012) {
            auto before13 = std::make_unique<Dwg12Reader>(s.file());
            s.before13 = before13.get();
            s.reader = std::move(before13);
            s.xdataForm = RawXDataForm::DwgR12;
        } else {
            s.reader = std::make_unique<Dwg13Reader>(s.file(), acceptAc1013);
        }
        if (!s.reader->openHeader(drawing)) return 0;
        // R13 and later files always carry handles; older ones say so in their header.
        session.handlesEnabled = s.before13 ? s.before13->handlesEnabled() : true;
        return 1;
    }

    int seekLinetypes(Drawing& d) override { return reader(d).seekLinetypes(d); }
    int readLinetype(Drawing& d, LinetypeRecord& r, uint8_t& x) override { return reader(d).readLinetype(d, r, x); }
    int seekLayers(Drawing& d) override { return reader(d).seekLayers(d); }
    int readLayer(Drawing& d, LayerRecord& r, LinetypeReference& l, uint8_t& x) override {
        return reader(d).readLayer(d, r, l, x);
    }
    int seekClasses(Drawing& d) override { return reader(d).seekClasses(d); }
    int readClass(Drawing& d, ClassEntry& e) override { return reader(d).readClass(d, e); }
    int seekVports(Drawing& d) override { return reader(d).seekVports(d); }
    int readVport(Drawing& d, VportRecord& r, uint8_t& x) override { return reader(d).readVport(d, r, x); }
    int seekUcss(Drawing& d) override { return reader(d).seekUcss(d); }
    int readUcs(Drawing& d, UcsRecord& r, uint8_t& x) override { return reader(d).readUcs(d, r, x); }
    int seekAppIds(Drawing& d) override { return reader(d).seekAppIds(d); }
    int readAppId(Drawing& d, AppIdRecord& r, uint8_t& x) override { return reader(d).readAppId(d, r, x); }
    int seekViews(Drawing& d) override { return reader(d).seekViews(d); }
    int readView(Drawing& d, ViewRecord& r, uint8_t& x) override { return reader(d).readView(d, r, x); }
    int seekStyles(Drawing& d) override { return reader(d).seekStyles(d); }
    int readStyle(Drawing& d, StyleRecord& r, uint8_t& x) override { return reader(d).readStyle(d, r, x); }
    int seekBlockRecords(Drawing& d) override { return reader(d).seekBlockRecords(d); }
    int readBlockRecord(Drawing& d, BlockRecord& r, uint8_t& x) override { return reader(d).readBlockRecord(d, r, x); }
    int seekDimStyles(Drawing& d) override { return reader(d).seekDimStyles(d); }
    int readDimStyle(Drawing& d, DimStyleRecord& r, uint8_t& x) override { return reader(d).readDimStyle(d, r, x); }
    int seekViewportEntities(Drawing& d) override { return reader(d).seekViewportEntities(d); }
    int readViewportEntity(Drawing& d, ViewportEntityHeaderRecord& r) override {
        return reader(d).readViewportEntity(d, r);
    }

    int seekSpaceEntities(Drawing& d) override { return reader(d).seekSpaceEntities(d); }
    int seekBlockEntities(Drawing& d) override {
        // Files before R13 know their blocks by name.
        if (Dwg12Reader* before13 = state(d).before13) before13->setCurrentBlock(d.load->currentBlockName);
        return reader(d).seekBlockEntities(d);
    }
    int readEntity(Drawing& d, EntityRecord& e, uint8_t& x) override { return reader(d).readEntity(d, e, x); }

    int seekObjects(Drawing& d) override { return reader(d).seekObjects(d); }
    uint16_t nextObjectCode(Drawing& d) override { return reader(d).nextObjectCode(d); }
    int readDictionary(Drawing& d, ObjectRecord& o, uint8_t& x) override { return reader(d).readDictionary(d, o, x); }
    int readMlineStyle(Drawing& d, ObjectRecord& o, uint8_t& x) override { return reader(d).readMlineStyle(d, o, x); }
    int readGroup(Drawing& d, ObjectRecord& o, uint8_t& x) override { return reader(d).readGroup(d, o, x); }
    int readClassObject(Drawing& d, ObjectRecord& o, uint8_t& x) override { return reader(d).readClassObject(d, o, x); }

    EntityRangePosition entityRangePosition(Drawing& d) override { return reader(d).entityRangePosition(d); }
    // The readers leave a record's extended data in the file's raw form.
    int attachExtendedData(Drawing& d, OwnedStream& s) override { return rdConvertXDataRefs(d, state(d).xdataForm, s); }
    int readLayoutBlockRecords(Drawing& d, BlockRecord& model, BlockRecord& paper, uint8_t& found) override {
        return reader(d).readLayoutBlockRecords(d, model, paper, found);
    }
    int loadViewports(Drawing& d) override { return reader(d).loadViewports(d); }
    int resolveIndexedHeaderRefs(Drawing& d) override { return reader(d).resolveIndexedHeaderRefs(d); }
    void endTableLoad(Drawing& d) override { reader(d).endTableLoad(d); }
    void endObjectLoad(Drawing& d) override { reader(d).endObjectLoad(d); }
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
