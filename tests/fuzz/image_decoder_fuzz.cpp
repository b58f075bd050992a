// Fuzz harness of one image decoder; TM_FUZZ_IMAGE_FORMAT names its format id. The input is
// a whole image file. It is decoded from memory with the format forced (and, when it has
// several frames or pages, once more for the last one), asked for its dimensions only, and
// decoded through detection by content. Every picture that comes out must be consistent.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/image/decode/cx_image.h"
#include "memory_image_stream.h"

#ifndef TM_FUZZ_IMAGE_FORMAT
#error "TM_FUZZ_IMAGE_FORMAT must name the format id of the harness"
#endif

using namespace tracemill;

namespace {

// Stops the run (so that the fuzzer keeps the input) when a picture breaks its own rules.
void require(bool holds, const char* rule) {
    if (holds) return;
    std::fprintf(stderr, "inconsistent picture: %s\n", rule);
    std::abort();
}

// A decoded picture holds a header, palette and rows that agree with each other.
void checkPicture(CxImage& image) {
    require(image.IsValid(), "no picture after success");
    const BitmapInfoHeader& header = image.GetHeader();
    const uint64_t width = image.GetWidth();
    const uint64_t height = image.GetHeight();
    const uint32_t bits = image.GetBitCount();
    require(width > 0 && height > 0, "empty size");
    require(bits == 1 || bits == 4 || bits == 8 || bits == 24, "bit count not held");
    require(image.GetRowLength() == (width * bits + 31) / 32 * 4, "row length");
    require(header.biSizeImage == uint64_t(image.GetRowLength()) * height, "image size");
    require(header.biClrUsed == (bits == 24 ? 0u : 1u << bits), "colours used");
    require(header.biSizeImage + image.GetPaletteSize() <= CxImage::GetMemoryLimit(), "memory limit");
    require(image.GetPaletteSize() == 0 || image.GetPalette() != nullptr, "palette storage");
    // The storage holds every row the header claims: its very last byte is readable (the
    // address sanitizer stops the run when it is not).
    const uint8_t* lastRow = image.GetRow(uint32_t(height - 1));
    require(lastRow != nullptr && image.GetRow(uint32_t(height)) == nullptr, "row storage");
    volatile uint8_t lastByte = lastRow[image.GetRowLength() - 1];
    (void)lastByte;
}

void decodeForced(MemoryImageStream& stream, int32_t frame) {
    stream.Seek(0, SEEK_SET);
    CxImage image;
    image.SetFrame(frame);
    if (image.Decode(stream, TM_FUZZ_IMAGE_FORMAT)) {
        checkPicture(image);
        if (frame == 0 && image.GetFrameCount() > 1) decodeForced(stream, image.GetFrameCount() - 1);
    }
}

// Pictures up to CXIMAGE_MAX_MEMORY are legal even from files of a few bytes (run-length data,
// GIF screens, short files); clearing and copying them takes a sanitizer build a second or
// more each. The harness lowers the library's own limit so that such inputs are refused the
// way larger ones always are, and the replay stays short.
constexpr uint64_t kHarnessMemoryLimit = 16000000;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CxImage::SetMemoryLimit(kHarnessMemoryLimit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryImageStream stream(data, size);
    decodeForced(stream, 0);

    stream.Seek(0, SEEK_SET);
    CxImage dimensions;
    dimensions.SetEscape(-1);
    dimensions.Decode(stream, TM_FUZZ_IMAGE_FORMAT);

    stream.Seek(0, SEEK_SET);
    CxImage detected;
    if (detected.Decode(stream, CXIMAGE_FORMAT_UNKNOWN)) checkPicture(detected);
    return 0;
}
