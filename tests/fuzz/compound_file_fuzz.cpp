// Fuzz harness of the compound-file reader: arbitrary bytes opened as a compound file and the
// two streams of embedded objects read. A stream that comes out is never longer than the
// input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/ole/compound_file.h"

using namespace tracemill;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ole::CompoundFile file;
    if (!file.open(std::span<const uint8_t>(data, size))) return 0;
    for (const char* name : {"\x02OlePres000", "\x01Ole10Native"}) {
        const auto stream = file.readStream(ole::AnsiToWide(name));
        if (stream && stream->size() > size) std::abort();
    }
    return 0;
}
