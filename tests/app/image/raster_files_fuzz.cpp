// Fuzz harness of the raster file readers of the bitmap library: ".bmp" file images and
// packed DIBs in memory, and GIF, PCX and JPEG files. Small 1-, 4- and 8-bit packed DIBs
// also go through a GIF89a file and must come back with the same pixels.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/image/dib.h"
#include "app/image/gif_file.h"
#include "app/image/gif_packed_dib.h"
#include "app/image/image_file_io.h"
#include "app/image/jpeg_file.h"
#include "app/image/pcx_file.h"

using namespace tracemill;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    CDib dib;
    if (dib.Read(bytes) && dib.GetWidth() * int64_t(dib.GetHeight()) <= 4096) {
        dib.ChangeBitCount(8);
        std::vector<uint8_t> out;
        dib.Write(out);
    }
    CDib packed;
    packed.CreateFromPackedDib(bytes);

    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tracemill_raster_fuzz_" + std::to_string(::getpid()));
    const std::optional<PackedDib> block = ParsePackedDib(bytes);
    if (block && block->header.biWidth * int64_t(block->header.biHeight) <= 4096 &&
        SaveDibAsGif89(path, *block, block->header.biWidth % 2 == 1)) {
        const std::optional<PackedDib> back = ReadGifToDib(path);
        if (!back || ExpandDibToIndices(*back) != ExpandDibToIndices(*block)) std::abort();
    }
    if (!WriteFileBytes(path, bytes)) return 0;
    CGifFile().Load(path);
    ReadGifToDib(path);
    CPcxFile().Load(path);
    JpegFile().Load(path);
    std::filesystem::remove(path);
    return 0;
}
