// Fuzz harness for the R13-2000 DWG reader: every reader operation of a load (the open with the
// file structure and header variables, classes, the table passes, block records, the entity
// walks of the spaces and blocks, the viewport entity headers, the objects) on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "dwg13_test_support.h"
#include "toolkit/core/system_context.h"

using namespace tracemill;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SystemContext context;
    gSystemContext = &context;
    {
        Drawing drawing;
        Dwg13Reader reader(std::span<const uint8_t>(data, size));
        test::dwg13ReadEverything(reader, drawing);
    }
    gSystemContext = nullptr;
    return 0;
}
