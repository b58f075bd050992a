#include "app/convert/conversion_library.h"

#include <fstream>
#include <string>

#include "toolkit/core/drawing.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/write/save_driver.h"

namespace tracemill {
namespace {

constexpr int kFirstVersionCode = 1;
constexpr int kLastVersionCode = 8;
constexpr int kNextReleaseCode = 9;

struct LibraryCallbacks {
    DwgPasswordCallback password = nullptr;
    DwgAuditCallback auditSummary = nullptr;
    void* auditSummaryUser = nullptr;
    DwgAuditCallback auditError = nullptr;
    void* auditErrorUser = nullptr;
    DwgProgressBegin progressBegin = nullptr;
    DwgProgressStep progressStep = nullptr;
    DwgProgressEnd progressEnd = nullptr;
};

LibraryCallbacks callbacks;
std::string lastMessage;

int fail(int result, std::string message) {
    lastMessage = std::move(message);
    return result;
}

std::string toolkitFailure(const char* path, int error) {
    return std::string(path) + ": " + dbErrorMeaning(error) + " (error " + std::to_string(error) + ")";
}

// The version a DWG file names in its first six bytes ("AC1018"), or nothing.
std::string dwgVersionText(const char* path) {
    char head[6] = {};
    std::ifstream file(path, std::ios::binary);
    if (!file.read(head, sizeof head) || head[0] != 'A' || head[1] != 'C') return {};
    return std::string(head, sizeof head);
}

// The load and save progress of the toolkit, reported as one run from 0 to 100.
void reportLoadProgress(int percent) {
    if (callbacks.progressStep) callbacks.progressStep(percent / 2.0);
}
void reportSaveProgress(int percent) {
    if (callbacks.progressStep) callbacks.progressStep(50.0 + percent / 2.0);
}

// Installs the progress reporting for one conversion and puts the host's callbacks back.
class ConversionProgress {
public:
    ConversionProgress()
        : load_(gSystemContext->loadProgress), save_(gSystemContext->saveProgress) {
        dbSetLoadProgress(reportLoadProgress);
        dbSetSaveProgress(reportSaveProgress);
        if (callbacks.progressBegin) callbacks.progressBegin();
    }
    ~ConversionProgress() {
        if (callbacks.progressEnd) callbacks.progressEnd();
        dbSetLoadProgress(load_);
        dbSetSaveProgress(save_);
    }
    ConversionProgress(const ConversionProgress&) = delete;
    ConversionProgress& operator=(const ConversionProgress&) = delete;

private:
    ProgressCallback load_;
    ProgressCallback save_;
};

} // namespace

int InitDLL() {
    lastMessage.clear();
    return 1;
}

void UninitDLL() {
    callbacks = LibraryCallbacks{};
    lastMessage.clear();
}

void DWG_SetPasswordCallbackFunc(DwgPasswordCallback callback) { callbacks.password = callback; }

void DWG_SetAuditPrintSummaryCallbackFunc(DwgAuditCallback callback, void* user) {
    callbacks.auditSummary = callback;
    callbacks.auditSummaryUser = user;
}

void DWG_SetAuditPrintErrorCallbackFunc(DwgAuditCallback callback, void* user) {
    callbacks.auditError = callback;
    callbacks.auditErrorUser = user;
}

void DWG_SetProgressCallBackFuns(DwgProgressBegin begin, DwgProgressStep step, DwgProgressEnd end) {
    callbacks.progressBegin = begin;
    callbacks.progressStep = step;
    callbacks.progressEnd = end;
}

int llpp(const char* source, const char* password, const char* target, int versionCode, int format,
         uint32_t serial) {
    (void)password;
    (void)serial;
    lastMessage.clear();
    if (!gSystemContext) return fail(kConvertNotStarted, "the drawing toolkit is not running");
    if (!source || !*source || !target || !*target)
        return fail(kConvertBadArguments, "a source and a target file must be named");
    if (format != kConvertFormatDwg && format != kConvertFormatDxf)
        return fail(kConvertBadArguments, "format " + std::to_string(format) + " is neither 1 (DWG) nor 2 (DXF)");
    if (versionCode == kNextReleaseCode)
        return fail(kConvertVersionRefused, "version code 9 (the release after \"AC1015\") cannot be written; "
                                            "codes 1 to 8 (\"AC1002\" to \"AC1015\") can");
    if (versionCode < kFirstVersionCode || versionCode > kLastVersionCode)
        return fail(kConvertVersionRefused, "version code " + std::to_string(versionCode) +
                                                " is unknown; codes 1 to 8 (\"AC1002\" to \"AC1015\") can be written");

    ConversionProgress progress;
    Drawing* drawing = rdOpenDrawing(source, kOpenOrdinary, 0);
    if (!drawing) {
        std::string message = toolkitFailure(source, dbGetError());
        const std::string version = dwgVersionText(source);
        if (!version.empty()) message += "; the file says \"" + version + "\"";
        return fail(kConvertSourceRefused, std::move(message));
    }
    const uint8_t saveFormat = format == kConvertFormatDxf ? kSaveFormatAsciiDxf : kSaveFormatDwg;
    const int saved = wrSaveDrawing(drawing, target, saveFormat, int16_t(versionCode - 1), kSaveRealSwitch,
                                    kSaveDecimalPlaces, kSaveEntitySwitch, kSaveOldDxfFlag);
    const int error = dbGetError();
    dbFreeDrawing(drawing);
    if (!saved) return fail(kConvertWriteFailed, toolkitFailure(target, error));
    return kConvertDone;
}

const char* DWG_GetLastMessage() { return lastMessage.c_str(); }

} // namespace tracemill
