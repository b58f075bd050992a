// Fuzz harness for the preview picture of DWG files: the file header, the preview image section
// and its bitmap on arbitrary bytes. A picture that comes out must be a ".bmp" file image the
// bitmap library reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/image/packed_dib.h"
#include "app/convert/preview_picture.h"

using namespace tracemill;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<std::vector<uint8_t>> picture = PreviewBitmapFileImage(std::span<const uint8_t>(data, size));
    if (picture && !ReadBmpFileImage(*picture)) std::abort();
    return 0;
}
