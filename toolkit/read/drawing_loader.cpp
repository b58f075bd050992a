#include "toolkit/read/drawing_loader.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "toolkit/core/calendar.h"
#include "toolkit/core/class_list.h"
#include "toolkit/core/dim_style_fixup.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/fixed_records.h"
#include "toolkit/core/format_driver.h"
#include "toolkit/core/in_file.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_load.h"
#include "toolkit/read/block_record_pass.h"
#include "toolkit/read/entity_passes.h"
#include "toolkit/read/file_recognition.h"
#include "toolkit/read/load_fixups.h"
#include "toolkit/read/load_session.h"
#include "toolkit/read/xdata_refs.h"

namespace tracemill {

LoadSession* rdLoadSession(Drawing& drawing) { return drawing.load; }

namespace {

inline constexpr int kErrorOpenFile = 3;
inline constexpr int kErrorRecognition = 4;
inline constexpr int kErrorDxfNotAccepted = 5;
inline constexpr int kErrorNoMemoryForHead = 11;
inline constexpr int kErrorHeader = 22;
inline constexpr int kErrorAc1013NotEnabled = 286;
inline constexpr int kErrorLinetypes = 45;
inline constexpr int kErrorLayers = 46;
inline constexpr int kErrorClasses = 47;
inline constexpr int kErrorVports = 48;
inline constexpr int kErrorUcss = 49;
inline constexpr int kErrorAppIds = 50;
inline constexpr int kErrorViews = 51;
inline constexpr int kErrorStyles = 52;
inline constexpr int kErrorDimStyles = 53;
inline constexpr int kErrorBlockRecords = 54;
inline constexpr int kErrorSpaceEntities = 55;
inline constexpr int kErrorObjects = 56;
inline constexpr int kErrorViewports = 70;
inline constexpr int kErrorBlockEntities = 130;
inline constexpr int kErrorHeaderReferences = 131;
inline constexpr int kErrorDefaultDictionaries = 133;
inline constexpr int kErrorNoMemoryForDrawing = 218;

bool isDxf(const Drawing& drawing) { return drawing.sourceFormat != SourceFormat::Dwg; }

bool continueFlagSet() { return gSystemContext && gSystemContext->continueFlag != 0; }

// One load from the open of the file to the drawing handed back.
class DrawingLoader {
public:
    DrawingLoader(const char* path, uint8_t openMode, int finishDefaults, void* hostContext)
        : path_(path ? path : ""), openMode_(openMode), finishDefaults_(finishDefaults != 0),
          hostContext_(hostContext) {}

    Drawing* run(Drawing** outDrawing);

private:
    bool open();
    bool recognise();
    void chooseNewHandleFlags();
    void seedHandles();
    bool tablePasses();
    bool loadRest();
    void finish();

    // Stores the stage's error number; false when the continue flag is clear.
    bool stage(int error) {
        dbSetError(error);
        return continueFlagSet();
    }
    void progress(int percent) { rdReportLoadProgress(drawing_.get(), percent); }

    std::string path_;
    uint8_t openMode_;
    bool finishDefaults_;
    void* hostContext_;
    std::unique_ptr<Drawing> drawing_;
    LoadSession session_;
};

Drawing* DrawingLoader::run(Drawing** outDrawing) {
    if (outDrawing) *outDrawing = nullptr;
    if (!gSystemContext) return nullptr;
    gSystemContext->continueFlag = 1;
    gSystemContext->versionFallbackWarning = VersionFallbackNote{};
    drawing_.reset(dbAllocDrawing());
    if (!drawing_) return nullptr;
    dbSetHostContext(drawing_.get(), hostContext_);
    if (outDrawing) *outDrawing = drawing_.get();
    drawing_->load = &session_;
    session_.path = path_;
    session_.openMode = openMode_;

    bool loaded = false;
    try {
        loaded = open() && recognise() && tablePasses() && loadRest();
    } catch (const std::bad_alloc&) {
        // Memory ran out somewhere inside the load: a failure like any other.
        dbReportError(kErrorNoMemoryForDrawing, kErrorReasonNoMemory);
    }
    if (!loaded) {
        // Unwinding: the drawing frees everything loaded so far; the error number of the stage
        // that failed stays.
        const int error = dbGetError();
        drawing_->load = nullptr;
        drawing_.reset();
        session_.format.reset();
        session_.file.reset();
        dbSetError(error);
        if (outDrawing) *outDrawing = nullptr;
        return nullptr;
    }
    try {
        finish();
    } catch (const std::bad_alloc&) {
        dbReportError(kErrorNoMemoryForDrawing, kErrorReasonNoMemory);
        drawing_->load = nullptr;
        drawing_.reset();
        if (outDrawing) *outDrawing = nullptr;
        return nullptr;
    }
    drawing_->load = nullptr;
    return drawing_.release();
}

bool DrawingLoader::open() {
    Drawing& d = *drawing_;
    d.filePath = path_;
    d.header.reset(new (std::nothrow) HeaderBlock());
    if (!d.header) {
        dbReportError(kErrorNoMemoryForDrawing, kErrorReasonNoMemory);
        return false;
    }
    dbSetError(kErrorOpenFile);
    session_.file.reset(dbInFileOpen(path_.c_str()));
    if (!session_.file) return false;
    dbSetError(kErrorRecognition);
    d.dxfSourceFlag = 0;
    d.sourceFormat = SourceFormat::Dwg;
    d.creationVersion = kCreationVersionLoaded;
    d.driver = gSystemContext->dwgDriver;
    return true;
}

bool DrawingLoader::recognise() {
    Drawing& d = *drawing_;
    std::FILE* file = session_.file.get();
    const long length = dbInFileLength(file);
    session_.fileLength = int32_t(std::clamp<long>(length, 0, INT32_MAX));
    std::vector<uint8_t> head;
    try {
        head.resize(size_t(std::clamp<long>(length, 0, long(kRecognitionHeadSize))));
    } catch (const std::bad_alloc&) {
        return dbReportError(kErrorNoMemoryForHead, kErrorReasonNoMemory);
    }
    head.resize(dbInFileRead(head.data(), 1, head.size(), file));
    const FileKind kind = rdRecognizeFile(head);
    if (kind.sourceFormat != SourceFormat::Dwg) {
        d.dxfSourceFlag = 1;
        d.sourceFormat = kind.sourceFormat;
        d.driver = gSystemContext->dxfDriver;
    }
    d.versionIndex = int16_t(kind.version.versionIndex);
    if (kind.version.ac1013Seen && !gSystemContext->acceptAc1013) return dbSetError(kErrorAc1013NotEnabled);

    session_.loading = true;
    dbSetError(kErrorDxfNotAccepted);
    if (isDxf(d) && !kind.dxfAccepted) return false;
    dbInFileSeek(file, 0, SEEK_SET);
    dbSetError(kErrorHeader);
    if (!d.driver || !d.driver->openHeader(d)) return false;

    chooseNewHandleFlags();
    progress(0);
    seedHandles();
    return true;
}

// Files without handles (before R13, or R12 files whose handles are off) give every entity a
// new handle.
void DrawingLoader::chooseNewHandleFlags() {
    const Drawing& d = *drawing_;
    const int version = d.versionIndex;
    bool space = false;
    bool block = false;
    if (version < kVersionAC1012) {
        space = block = true;
        if (session_.handlesEnabled && version == kVersionAC1009) {
            space = block = false;
        } else if (session_.handlesEnabled && version == kVersionAC1006) {
            space = false;
            block = isDxf(d);
        }
        if (isDxf(d) && session_.versionDefaulted) space = block = true;
    }
    session_.spaceNewHandles = space;
    session_.blockNewHandles = block;
}

void DrawingLoader::seedHandles() {
    Drawing& d = *drawing_;
    Handle seed = session_.handlesEnabled ? d.header->handseed : gSystemContext->initialHandleSeed;
    if (seed.isNull()) seed = gSystemContext->initialHandleSeed;  // handle 0 names nothing
    d.handleSeed = seed;
    if (d.versionIndex < kVersionAC1012) dbAssignTableHandles(&d, nullptr);
    dbSetError(kErrorLinetypes);
    gSystemContext->largestHandle = Handle();
    progress(4);
}

bool DrawingLoader::tablePasses() {
    Drawing& d = *drawing_;
    struct Pass {
        int error;
        int (*load)(Drawing&);
        int progressAfter;
    };
    static constexpr Pass kFirstPasses[] = {
        {kErrorLinetypes, dbLoadLinetypes, 8},
        {kErrorLayers, dbLoadLayers, 12},
        {kErrorClasses, dbLoadClasses, 16},
        {kErrorVports, dbLoadVports, 20},
        {kErrorUcss, dbLoadUcss, 24},
        {kErrorAppIds, dbLoadAppIds, 28},
        {kErrorViews, dbLoadViews, 32},
        {kErrorStyles, dbLoadStyles, 36},
    };
    for (const Pass& pass : kFirstPasses) {
        if (!stage(pass.error) || !pass.load(d)) return false;
        if (pass.load == dbLoadClasses) {
            ClassEntry entry;
            d.classes.adpartNumber = dbFindClassByName(d.classes, "ADPART", entry) ? entry.number : 0;
            d.classes.proxyObjectWrapperNumber =
                dbFindClassByName(d.classes, "ACAD_PROXY_OBJECT_WRAPPER", entry) ? entry.number : 0;
        }
        progress(pass.progressAfter);
    }
    if (!stage(kErrorBlockRecords) || !rdLoadBlockRecords(d)) return false;
    progress(40);
    if (!stage(kErrorDimStyles) || !dbLoadDimStyles(d)) return false;
    progress(46);
    return true;
}

bool DrawingLoader::loadRest() {
    Drawing& d = *drawing_;
    if (d.versionIndex < kVersionAC1012 && !isDxf(d) && !dbBuildBlockHandleTable(&d)) return false;
    if (!stage(kErrorSpaceEntities) || !rdLoadSpaceEntities(d)) return false;
    if (!stage(kErrorBlockEntities) || !rdLoadBlockEntities(d)) return false;
    if (!stage(kErrorObjects) || !dbLoadObjects(d)) return false;
    if (!stage(kErrorViewports)) return false;
    progress(96);
    if (!rdLoadViewports(d)) return false;
    if (!stage(kErrorHeaderReferences) || !rdResolveHeaderRefs(d, *d.header)) return false;
    if (d.versionIndex >= kVersionAC1015 && isDxf(d)) rdFindPlotStyleDictionary(d);
    if (d.versionIndex >= kVersionAC1012 && isDxf(d)) rdFindDictionaries(d);
    if (!stage(kErrorDefaultDictionaries)) return false;
    if (d.versionIndex < kVersionAC1012 && !dbCreateDefaultDictionaries(&d, *d.header, nullptr)) return false;

    if (finishDefaults_ && d.versionIndex < kVersionAC1015 && !rdFinishLoadDefaults(d, nullptr)) return false;
    if (d.versionIndex >= kVersionAC1012 && isDxf(d) && !rdEnsureCurrentMlineStyle(d)) return false;
    return true;
}

void DrawingLoader::finish() {
    Drawing& d = *drawing_;
    session_.file.reset();
    session_.format.reset();
    dbSetError(0);
    if (!session_.pendingXDataRefs.empty()) {
        rdApplyXDataRefs(d);
        // From 2000 on the view is the VIEWPORT's own: "MVIEW" data it still carries is not read.
        if (d.versionIndex < kVersionAC1015) rdConvertR12Viewports(d);
    }
    dbFixupDimStyles(&d);
    // Files before R2000 keep only the local update time; the UTC one follows from it.
    if (d.header->tduupdate == HeaderDate{}) {
        HeaderDate utc = d.header->tdupdate;
        if (dbDateLocalToUtc(utc)) d.header->tduupdate = utc;
    }
    progress(100);
    rdFreeBlockHandleTable(&d);

    rdRaiseHandleSeed(d);
    session_.loading = false;
    if (isDxf(d)) d.handles.viewportEntityHeaderControl = dbNewHandle(d);
    if (d.versionIndex == kVersionAC1014) rdMarkUnloadedXrefs(d);
    d.header->handseed = d.handleSeed;
    d.unplacedRecords = session_.unplacedRecords;
    // A file read as an older version loads, but not whole: the host hears of it.
    if (d.versionFallback.any()) dbWarnVersionFallback(d.versionFallback);
}

} // namespace

Drawing* ReadDrawingFile(const char* path, uint8_t openMode, Drawing** outDrawing, int finishDefaults,
                         void* hostContext) {
    DrawingLoader loader(path, openMode, finishDefaults, hostContext);
    return loader.run(outDrawing);
}

Drawing* rdOpenDrawing(const char* path, uint8_t openMode, int finishDefaults) {
    return ReadDrawingFile(path, openMode, nullptr, finishDefaults, nullptr);
}

Drawing* rdOpenXrefDrawing(Drawing* drawing, const char* path) {
    if (!drawing || !path) return nullptr;
    for (const std::unique_ptr<Drawing>& opened : drawing->referencedDrawings) {
        if (opened->filePath == path) return opened.get();
    }
    Drawing* opened = rdOpenDrawing(path, kOpenOrdinary, 1);
    if (!opened) return nullptr;
    try {
        drawing->referencedDrawings.emplace_back(opened);
    } catch (const std::bad_alloc&) {
        dbFreeDrawing(opened);
        dbReportError(kErrorNoMemoryForDrawing, kErrorReasonNoMemory);
        return nullptr;
    }
    return opened;
}

void rdReportLoadProgress(Drawing*, int percent) {
    if (gSystemContext && gSystemContext->loadProgress) gSystemContext->loadProgress(percent);
}

void rdFreeBlockHandleTable(Drawing* drawing) {
    if (drawing) drawing->blockHandleTable = {};
}

} // namespace tracemill
