// What the harnesses of the drawing readers share: the toolkit started once as a host starts it
// (both readers installed), and an input loaded as a drawing file through rdOpenDrawing (with
// the fix-ups after loading), the drawing freed again.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include <unistd.h>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dwg_driver.h"
#include "toolkit/read/dxf_driver.h"

namespace tracemill::fuzz {

// Starts the toolkit on the first call; false when it cannot start.
inline bool startToolkit() {
    static const bool started = [] {
        dbUseBuiltinInitData();
        int error = 0;
        if (!dbCreateSystemContext(nullptr, error) || !dbInitToolkit()) return false;
        dbInstallDwgReaderTable();
        dbInstallDxfReaderTable();
        dbSetReferenceOpener(rdOpenXrefDrawing);
        return true;
    }();
    return started;
}

// Writes the input to a scratch file of this process (named with `suffix`) and opens it: the
// drawing, null when it does not load. The caller frees it.
inline Drawing* openAsDrawingFile(std::span<const uint8_t> input, const char* suffix, int finishDefaults = 1) {
    const std::string path = "/tmp/tracemill_fuzz_" + std::to_string(getpid()) + suffix;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return nullptr;
    std::fwrite(input.data(), 1, input.size(), out);
    std::fclose(out);
    Drawing* drawing = rdOpenDrawing(path.c_str(), 1, finishDefaults);
    std::remove(path.c_str());
    return drawing;
}

// Loads the input as a drawing file and frees it again.
inline void loadAsDrawingFile(std::span<const uint8_t> input, const char* suffix, int finishDefaults = 1) {
    dbFreeDrawing(openAsDrawingFile(input, suffix, finishDefaults));
}

} // namespace tracemill::fuzz
