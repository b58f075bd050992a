// Fuzz harness for the DXF reader, ASCII and binary: the input is a whole file, loaded through
// rdOpenDrawing as the host loads a drawing (the toolkit started once, the drawing freed after
// each input). Byte 0 of the input also selects the load defaults (its bit 0).
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_load.h"

using namespace tracemill;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::startToolkit() || size == 0) return 0;
    fuzz::loadAsDrawingFile(std::span<const uint8_t>(data, size), ".dxf", data[0] & 1);
    return 0;
}
