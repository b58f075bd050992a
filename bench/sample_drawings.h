// What the benchmarks over the shared sample drawings share: the samples folder (the
// environment's TRACEMILL_SAMPLES, else the folder the build was configured with) and the
// toolkit started as a host starts it, with the DWG reader installed.
#pragma once

#include <cstdlib>
#include <filesystem>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dwg_driver.h"

namespace tracemill {

inline std::filesystem::path benchSamplesFolder() {
    if (const char* env = std::getenv("TRACEMILL_SAMPLES")) return env;
    return TRACEMILL_SAMPLES_DEFAULT;
}

inline bool benchStartToolkit() {
    dbUseBuiltinInitData();
    int error = 0;
    if (!dbCreateSystemContext(nullptr, error) || !dbInitToolkit()) return false;
    dbInstallDwgReaderTable();
    dbSetReferenceOpener(rdOpenXrefDrawing);
    return true;
}

} // namespace tracemill
