// The libjpeg source manager over an ImageStream: 4096-byte reads, a fake end-of-image
// marker (with libjpeg's premature-end warning) when the data ends early.
#pragma once

#include <array>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace tracemill {

class ImageStream;

struct JpegStreamManager {
    jpeg_source_mgr pub{};
    ImageStream* stream = nullptr;
    std::array<JOCTET, 4096> buffer{};
    bool startOfFile = true;

    // Installs this manager as the decompressor's source.
    void Attach(j_decompress_ptr cinfo, ImageStream& source);
};

} // namespace tracemill
