#include "app/render/drawing_object.h"

#include <cstdio>
#include <new>
#include <span>

#include "app/image/dib.h"
#include "app/render/conversion_calls.h"
#include "app/render/gdi_output_state.h"
#include "app/render/hook_sets.h"
#include "app/render/support_file_search.h"
#include "app/render/xref_loading.h"
#include "app/services/file_paths.h"
#include "app/convert/conversion_library.h"
#include "toolkit/display/display_access.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/file_problems.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/write/save_driver.h"

namespace tracemill {
namespace {

// The code page a drawing that names none is read in ("ansi_1252").
constexpr int16_t kDefaultDrawingCodePage = 12;
// The conversion library's version and format numbers of an "AC1015" DWG file.
constexpr int kLibraryVersion2000 = 8;
constexpr int kLibraryFormatDwg = 1;
constexpr int kLibraryFormatDxf = 2;

// "MEANING (error N)": the toolkit's words for one of its error numbers.
std::string toolkitReason(int error) {
    return std::string(dbErrorMeaning(error)) + " (error " + std::to_string(error) + ")";
}

// Why neither the toolkit nor the conversion library reads a drawing: the system's reason when
// the file cannot be read at all; else the library's about this file (it names the file
// first, which is left out, and adds the version a DWG file names); else the reader's error.
std::string refusalReason(const std::string& path, int readError, int converted) {
    if (std::string problem = dbReadProblem(path); !problem.empty()) return problem;
    const std::string message = DWG_GetLastMessage();
    const std::string prefix = path + ": ";
    if (message.starts_with(prefix)) return message.substr(prefix.size());
    if (readError != 0) return toolkitReason(readError);
    return "the conversion library refuses it (result " + std::to_string(converted) + ")";
}

DrawingWriter& drawingWriter() {
    static DrawingWriter writer = wrSaveDrawing;
    return writer;
}

// Puts TILEMODE back when the save leaves, also by an exception.
class TileModeRestorer {
public:
    TileModeRestorer(HeaderBlock* header, int16_t value) : header_(header), value_(value) {}
    ~TileModeRestorer() {
        if (header_) header_->tilemode = value_;
    }
    TileModeRestorer(const TileModeRestorer&) = delete;
    TileModeRestorer& operator=(const TileModeRestorer&) = delete;

private:
    HeaderBlock* header_;
    int16_t value_;
};

} // namespace

DrawingWriter SetDrawingWriter(DrawingWriter writer) {
    const DrawingWriter previous = drawingWriter();
    drawingWriter() = writer ? writer : wrSaveDrawing;
    return previous;
}

CDrawingObject::CDrawingObject() : palette_(&ColorWorkingTable()) {
    AllocWorkBuffers();
    InitDeviceRect();
}

CDrawingObject::~CDrawingObject() {
    if (openFlag_ && drawing_) {
        dbFreeDisplayContext(drawing_);
        dbFreeDrawing(drawing_);
        drawing_ = nullptr;
    }
    openFlag_ = 0;
    FreeWorkBuffers();
    ClearViewHistory();
}

int16_t CDrawingObject::AllocWorkBuffers() {
    work_.reset(new (std::nothrow) WorkRecords());
    if (!work_) header_ = nullptr;
    return work_ ? 1 : 0;
}

void CDrawingObject::FreeWorkBuffers() {
    work_.reset();
    header_ = nullptr;
}

bool CDrawingObject::CreateEmptyDrawing() {
    Drawing* drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
    if (!drawing) return false;
    drawing_ = drawing;
    header_ = dbGetHeaderBlock(drawing);
    if (header_) header_->dwgcodepage = kDefaultDrawingCodePage;
    return true;
}

int16_t CDrawingObject::Open(const char* path, ProgressCallback progress, bool drawNow, const char* password) {
    sourcePath_ = path ? path : "";
    password_ = password ? password : "";
    if (openFlag_ && drawing_) {
        dbFreeDisplayContext(drawing_);
        dbFreeDrawing(drawing_);
    }
    drawing_ = nullptr;
    header_ = nullptr;
    ClearViewHistory();
    layoutBlock_ = Handle();
    dbSetLoadProgress(progress);
    BeginDrawingOpen(sourcePath_, stopFlag_);

    openFailure_.clear();
    auto fail = [&](int16_t result, std::string reason) {
        openFlag_ = 0;
        openFailure_ = std::move(reason);
        EndDrawingOpen();
        return result;
    };

    drawing_ = rdOpenDrawing(sourcePath_.c_str(), 1, 0);
    if (!drawing_) {
        const int readError = dbGetError();
        const std::string temporary = MakeTempFileName();
        const int converted = ConvertDrawingFile(sourcePath_.c_str(), password_.c_str(), temporary.c_str(),
                                                 kLibraryVersion2000, kLibraryFormatDwg);
        if (converted != 0) {
            // The temporary name is a file already: it goes with the refusal.
            if (!temporary.empty()) std::remove(temporary.c_str());
            return fail(int16_t(converted), refusalReason(sourcePath_, readError, converted));
        }
        drawing_ = rdOpenDrawing(temporary.c_str(), 1, 0);
        const int convertedError = dbGetError();
        if (!temporary.empty()) std::remove(temporary.c_str());
        if (!drawing_) return fail(kOpenUnreadable, toolkitReason(convertedError) + " after its conversion");
    }

    if (!genBeginDisplay(drawing_, view_, deviceRect_, &cacheRect_, &layoutBlock_)) {
        dbFreeDrawing(drawing_);
        drawing_ = nullptr;
        return fail(kOpenNoDisplay, "its display cannot be set up");
    }
    if (!(view_.width > 0.0)) view_.width = 1.0;
    if (!(view_.height > 0.0)) view_.height = 1.0;
    header_ = dbGetHeaderBlock(drawing_);
    if (header_) {
        if (header_->dwgcodepage == 0) header_->dwgcodepage = kDefaultDrawingCodePage;
        keptTileMode_ = header_->tilemode;
    }

    if (drawNow) SettleViewWithNullPass();

    lastViewWidth_ = view_.width;
    lastViewHeight_ = view_.height;
    openFlag_ = 1;
    dbSetHostContext(drawing_, nullptr);
    BuildLayoutList();
    EndDrawingOpen();
    return kOpenDone;
}

int16_t CDrawingObject::SaveAs(const char* target, bool asDxf, int16_t versionIndex, uint16_t a4, uint16_t a5,
                               uint16_t a6, uint8_t a7, ProgressCallback progress) {
    const int format = asDxf ? kLibraryFormatDxf : kLibraryFormatDwg;
    const int libraryVersion = versionIndex >= 0 && versionIndex <= 8 ? versionIndex + 1 : versionIndex;
    if (ConvertDrawingFile(sourcePath_.c_str(), password_.c_str(), target, libraryVersion, format) == 0) return 0;
    if (!drawing_) return 0;

    const int16_t tileModeBefore = header_ ? header_->tilemode : int16_t(1);
    dbSetSaveProgress(progress);
    if (layoutCount_ <= 1) {
        WriteActiveViewport();
    } else if (currentLayout_ >= 0 && currentLayout_ < layoutCount_ && work_) {
        VportRecord& record = work_->vport;
        if (dbVportGet(drawing_, layouts_[size_t(currentLayout_)].lastActiveViewport, record)) {
            WriteViewToViewport(&view_, &record);
            dbVportUpdate(drawing_, record);
        }
    }
    TileModeRestorer restorer(header_, tileModeBefore);
    if (header_) header_->tilemode = keptTileMode_;
    return int16_t(drawingWriter()(drawing_, target, asDxf ? 1 : 0, versionIndex, int16_t(a4), int16_t(a5),
                                   int16_t(a6), a7));
}

bool CDrawingObject::LoadDrawingPreview(const char* path, CDib* dib) {
    const ConversionLibrary& library = GetConversionLibrary();
    uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!dib || !library.preview(path, &data, &size)) return false;
    bool read = false;
    if (data && size) read = dib->Read(std::span<const uint8_t>(data, size));
    library.release(&data);
    return read;
}

void CDrawingObject::CloseDrawing() {
    if (openFlag_ && drawing_) {
        dbFreeDisplayContext(drawing_);
        dbFreeDrawing(drawing_);
        drawing_ = nullptr;
        header_ = nullptr;
    }
    openFlag_ = 0;
}

void CDrawingObject::InitDeviceRect() {
    deviceRect_ = {0, 0, 500, 400};
    clientWidth_ = 500;
    clientHeight_ = 400;
}

void CDrawingObject::BeginDisplay() {
    genBeginDisplay(drawing_, view_, deviceRect_, &cacheRect_, &layoutBlock_);
    ResetViewCache();
    if (!(view_.width > 1e-9)) view_.width = 1.0;
    if (!(view_.height > 1e-9)) view_.height = 1.0;
}

void CDrawingObject::SetColorMode(int16_t mode) {
    colorMode_ = mode;
    GdiOutputState& state = GetGdiOutputState();
    for (size_t i = kFirstRotatingSlot; i < kPenCacheSlots; ++i) state.penCache[i].colorIndex = kNoColorSelected;
    state.nextSlot = kFirstRotatingSlot;
    if (mode == kColorModeBlackWhite) palette_ = &BlackColorTable();
    else if (mode == kColorModeGray) palette_ = &GrayWorkingTable();
    else palette_ = &ColorWorkingTable();
}

int16_t CDrawingObject::PrepareView() {
    return int16_t(genPrepareView(drawing_, view_, deviceRect_, &cacheRect_));
}

void CDrawingObject::StoreDrawingFolder() const {
    const char* path = drawing_ ? genDrawingPath(drawing_) : nullptr;
    SetCurrentDrawingFolder(GetPathFolder(path ? path : ""));
}

void CDrawingObject::SettleViewWithNullPass() {
    InstallNullHooks();
    StoreDrawingFolder();
    PrepareView();
    genDrawDrawing(drawing_);
    InstallScreenHooks();
}

} // namespace tracemill
