// Fuzz harness for the R13-2000 DWG reader: every reader operation of a load (the open with the
// file structure and header variables, classes, the table passes, block records, the entity
// walks of the spaces and blocks, the viewport entity headers, the objects) on arbitrary bytes;
// an input of seed size is then also loaded as a drawing file through rdOpenDrawing (the DWG
// driver, the loader and the fix-ups after loading). The sample drawings of the replay and
// their mutations go through the reader operations only: the tests load the samples whole, and
// a load of every mutation of them would make the replay several times longer.
#include <cstddef>
#include <cstdint>
#include <span>

#include "dwg13_test_support.h"
#include "fuzz_load.h"

using namespace tracemill;

namespace {

constexpr size_t kMostLoadedSize = 64 * 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::startToolkit()) return 0;
    const std::span<const uint8_t> input(data, size);
    {
        Drawing drawing;
        Dwg13Reader reader(input);
        test::dwg13ReadEverything(reader, drawing);
    }
    if (size <= kMostLoadedSize) fuzz::loadAsDrawingFile(input, ".dwg");
    return 0;
}
