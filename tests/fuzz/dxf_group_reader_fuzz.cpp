// Fuzz harness for DXF group input, ASCII and binary.
//
// Input: byte 0 chooses how the rest is read: bit 0 binary, bits 1-2 the version (unknown,
// R12, R13, 2000), bit 7 from a file on disk through tiny windows (bits 5-6 the window size)
// instead of from memory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include <unistd.h>

#include "toolkit/core/system_context.h"
#include "toolkit/read/dxf_group_reader.h"

using namespace tracemill;

namespace {

const std::string& scratchPath() {
    static const std::string path = "/tmp/tracemill_dxf_fuzz_" + std::to_string(getpid()) + ".dxf";
    return path;
}

void readEverything(DxfGroupReader& reader) {
    if (reader.sourceFormat == SourceFormat::BinaryDxf && !rdDxfBeginBinary(reader)) reader.input.seek(0);
    for (unsigned n = 0; n < 1000000; ++n) {
        const uint64_t before = reader.input.tell();
        if (!rdDxfReadGroup(reader)) break;
        if (n % 7 == 3) {
            // Read the group again from its remembered position.
            const uint64_t after = reader.input.tell();
            reader.input.seek(before);
            rdDxfReadGroup(reader);
            reader.input.seek(after);
        }
    }
    reader.input.seek(0);
    rdDxfReadLine(reader);
    rdDxfReadRawDouble(reader);
    rdDxfReadRawLong(reader);
    rdDxfReadRawShort(reader);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    SystemContext context;
    gSystemContext = &context;
    const uint8_t config = data[0];
    static const int kVersions[4] = {kVersionUnknown, kVersionAC1009, kVersionAC1012, kVersionAC1015};
    std::span<const uint8_t> file(data + 1, size - 1);

    DxfGroupReader reader;
    reader.sourceFormat = (config & 1) ? SourceFormat::BinaryDxf : SourceFormat::AsciiDxf;
    reader.versionIndex = kVersions[(config >> 1) & 3];
    bool opened = false;
    if (config & 0x80) {
        if (std::FILE* f = std::fopen(scratchPath().c_str(), "wb")) {
            std::fwrite(file.data(), 1, file.size(), f);
            std::fclose(f);
            reader.input.setBlockSize(1 + ((config >> 5) & 3) * 5);
            opened = reader.input.openFile(scratchPath());
        }
    }
    if (!opened) reader.input.openMemory(file);
    readEverything(reader);
    reader.input.close();
    if (opened) std::remove(scratchPath().c_str());
    gSystemContext = nullptr;
    return 0;
}
