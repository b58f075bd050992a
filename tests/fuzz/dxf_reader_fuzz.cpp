// Fuzz harness for the DXF reader, ASCII and binary: the input is a whole file, loaded through
// rdOpenDrawing as the host loads a drawing (the toolkit started once, the drawing freed after
// each input). Byte 0 of the input also selects the load defaults (its bit 0).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/toolkit_startup.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dxf_driver.h"

using namespace tracemill;

namespace {

bool startToolkit() {
    dbUseBuiltinInitData();
    int error = 0;
    if (!dbCreateSystemContext(nullptr, error) || !dbInitToolkit()) return false;
    dbInstallDxfReaderTable();
    return true;
}

const std::string& scratchPath() {
    static const std::string path = "/tmp/tracemill_dxf_reader_fuzz_" + std::to_string(getpid()) + ".dxf";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = startToolkit();
    if (!started || size == 0) return 0;
    std::FILE* f = std::fopen(scratchPath().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    Drawing* drawing = rdOpenDrawing(scratchPath().c_str(), 1, data[0] & 1);
    dbFreeDrawing(drawing);
    std::remove(scratchPath().c_str());
    return 0;
}
