#include "toolkit/core/system_context.h"

#include <algorithm>
#include <new>

#include "toolkit/core/file_finder.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/fonts/builtin_fonts.h"

namespace tracemill {

SystemContext* gSystemContext = nullptr;

namespace {

ErrorCallback gDefaultErrorCallback = nullptr;

// Allocates one work buffer; the error number names the buffer before the allocation, so a
// failure leaves exactly that number.
bool allocate(std::vector<uint8_t>& buffer, size_t size, int errorNumber) {
    dbSetError(errorNumber);
    if (dbTryResize(buffer, size)) return true;
    dbReportError(errorNumber, kErrorReasonNoMemory);
    return false;
}

// Steps 3 to 8 of the creation; on failure the error number stands in the context.
bool build(SystemContext& context, const char* initDataName) {
    if (!allocate(context.scratchBlock, kScratchBlockSize, kErrorScratchBlock)) return false;
    if (!dbHeapStartup()) return false;
    if (!allocate(context.workBuffer128a, kWorkBuffer128Size, kErrorWorkBuffer128a) ||
        !allocate(context.workBuffer128b, kWorkBuffer128Size, kErrorWorkBuffer128b) ||
        !allocate(context.workBuffer32a, kWorkBuffer32Size, kErrorWorkBuffer32a) ||
        !allocate(context.workBuffer32b, kWorkBuffer32Size, kErrorWorkBuffer32b))
        return false;
    if (!dbLoadInitData(initDataName)) return false;
    dbSetError(kErrorBuiltinFontsInvalid);
    if (!genCreateBuiltinFonts()) return false;
    context.errorNumber = 0;
    return true;
}

} // namespace

SystemContext::SystemContext() : fileFinder(dbDefaultFileFinder) {}
SystemContext::~SystemContext() = default;

int dbSetError(int number) {
    if (gSystemContext) gSystemContext->errorNumber = number;
    return 0;
}

int dbReportError(int number, int callbackReason) {
    dbSetError(number);
    dbNotifyError(callbackReason);
    return 0;
}

void dbNotifyError(int callbackReason) {
    if (gSystemContext && gSystemContext->errorCallback) gSystemContext->errorCallback(callbackReason);
}

int dbGetError() { return gSystemContext ? gSystemContext->errorNumber : 0; }

void dbWarnVersionFallback(const VersionFallbackNote& note) {
    if (!gSystemContext) return;
    gSystemContext->versionFallbackWarning = note;
    dbNotifyError(kErrorReasonVersionFallback);
}

const VersionFallbackNote& dbGetVersionFallbackWarning() {
    static const VersionFallbackNote none;
    return gSystemContext ? gSystemContext->versionFallbackWarning : none;
}

int dbCreateSystemContext(const char* initDataName, int& error) {
    if (gSystemContext) {
        error = kErrorContextAllocation;
        return 0;
    }
    std::unique_ptr<SystemContext> context = dbNewObject<SystemContext>();
    if (!context) {
        error = kErrorContextAllocation;
        return 0;
    }
    context->errorCallback = gDefaultErrorCallback;
    gSystemContext = context.get();
    bool built = false;
    try {
        built = build(*context, initDataName);
    } catch (const std::bad_alloc&) {
        dbReportError(context->errorNumber, kErrorReasonNoMemory);
    }
    if (built) {
        context.release();
        return 1;
    }
    error = context->errorNumber;
    // Undo in reverse order: fonts, init data, buffers (with the context), the heap.
    genFreeBuiltinFonts();
    dbFreeInitData();
    gSystemContext = nullptr;
    context.reset();
    dbHeapShutdown();
    return 0;
}

void dbDestroySystemContext() {
    if (!gSystemContext) return;
    dbFreeInitData();
    genFreeBuiltinFonts();
    delete gSystemContext;
    gSystemContext = nullptr;
    dbHeapShutdown();
}

void dbSetDefaultErrorCallback(ErrorCallback fn) { gDefaultErrorCallback = fn; }

void dbEnableAc1013() {
    if (gSystemContext) gSystemContext->acceptAc1013 = 1;
}

int dbGetDefaultCodePage() { return gSystemContext ? gSystemContext->defaultCodePage : 26; }

void dbSetFileFinder(FileFinder fn) {
    if (gSystemContext) gSystemContext->fileFinder = fn;
}

void dbSetFontFinder(FontFinder fn) {
    if (gSystemContext) gSystemContext->fontFinder = fn;
}

void dbSetReferenceOpener(ReferenceOpener fn) {
    if (gSystemContext) gSystemContext->referenceOpener = fn;
}

void dbSetLoadProgress(ProgressCallback fn) {
    if (gSystemContext) gSystemContext->loadProgress = fn;
}

void dbReportWarning(int number) {
    if (gSystemContext && gSystemContext->warningCallback) gSystemContext->warningCallback(number);
}

void dbSetSaveProgress(ProgressCallback fn) {
    if (gSystemContext) gSystemContext->saveProgress = fn;
}

void dbSetEntityDataReleaseHook(EntityDataReleaseHook fn) {
    if (gSystemContext) gSystemContext->entityDataRelease = fn;
}

void dbReportSaveProgress(int percent) {
    if (gSystemContext && gSystemContext->saveProgress) gSystemContext->saveProgress(std::min(percent, 100));
}

} // namespace tracemill
