#include "app/render/toolkit_lifetime.h"

#include <filesystem>
#include <system_error>

#include "app/render/converted_file_cache.h"
#include "app/render/embedded_objects.h"
#include "app/render/gdi_output_state.h"
#include "app/render/hook_sets.h"
#include "app/render/partial_blit.h"
#include "app/render/shx_search_dirs.h"
#include "app/render/support_file_search.h"
#include "app/render/xref_loading.h"
#include "app/services/file_paths.h"
#include "app/services/language_texts.h"
#include "app/services/message_box.h"
#include "platform/fonts/host_fonts.h"
#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit/read/dwg_driver.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dxf_driver.h"

namespace tracemill {
namespace {

// Curves are flattened finer than the toolkit's default.
constexpr int32_t kProgramCurveResolution = 40;

void showInitError() { ShowMessageBox(LookupText("InitError", "Unable to initialize.")); }

// The folder of the running executable.
std::string executableFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : GetPathFolder(executable.string());
}

} // namespace

CToolkitLifetime::CToolkitLifetime() {
    StartDrawingToolkit();
    LoadShxSearchDirs();
}

CToolkitLifetime::~CToolkitLifetime() {
    SaveShxSearchDirs();
    StopDrawingToolkit();
}

int16_t StartDrawingToolkit() {
    dbSetInitDataOpen(dbInitDataMemOpen);
    dbSetInitDataSeek(dbInitDataMemSeek);
    dbSetInitDataGetc(dbInitDataMemGetc);
    dbSetInitDataRead(dbInitDataMemRead);
    dbSetInitDataClose(dbInitDataMemClose);
    int error = 0;
    if (!dbCreateSystemContext(nullptr, error)) {
        showInitError();
        return 0;
    }
    dbEnableAc1013();
    dbInstallDwgReaderTable();
    dbInstallDxfReaderTable();
    dbSetReferenceOpener(rdOpenXrefDrawing);
    if (!dbInitToolkit()) {
        showInitError();
        dbDestroySystemContext();
        return 0;
    }
    dbSetDisplayListMode(1);
    InstallToolkitCallbacks();
    dbHostStartup();
    SetProgramFolder(executableFolder());
    CreateShxDirList();
    return 1;
}

int16_t InstallToolkitCallbacks() {
    InitGdiOutputState();
    InstallScreenHooks();
    dbSetFontFinder(dbTrueTypeFontLookup);
    dbSetGlyphOutlineHook(GlyphOutlineProvider);
    dbSetCurveResolution(kProgramCurveResolution);
    // Many programs write justified text with its first point equal to its alignment point:
    // every picture places such text from its alignment point.
    dbSetAlignTextFlag(1);
    dbSetXrefLoadHook(LoadXrefDrawing);
    dbSetFileFinder(FindSupportFile);
    dbSetRefreshHook(BlitPartialRegen);
    dbSetOleDataHook(OleObjectPictureHook);
    GdiOutputState& state = GetGdiOutputState();
    state.lineWeightValue = 0;
    state.lineWeightFlag = 0;
    return 1;
}

int16_t StopDrawingToolkit() {
    dbTermToolkit();
    dbHostShutdown();
    dbDestroySystemContext();
    ReleaseGdiOutputState();
    DeleteShxDirList();
    GetConvertedFileCache().Clear();
    return 1;
}

} // namespace tracemill
