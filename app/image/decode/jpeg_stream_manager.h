// The libjpeg source and destination manager over an ImageStream: 4096-byte reads with a
// fake end-of-image marker (and libjpeg's premature-end warning) when the data ends early,
// and 4096-byte writes that raise libjpeg's file-write error when the stream takes less.
#pragma once

#include <array>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace tracemill {

class ImageStream;

struct JpegStreamManager {
    jpeg_source_mgr pub{};
    jpeg_destination_mgr destination{};
    ImageStream* stream = nullptr;
    std::array<JOCTET, 4096> buffer{};
    bool startOfFile = true;

    // Installs this manager as the decompressor's source.
    void Attach(j_decompress_ptr cinfo, ImageStream& source);
    // Installs this manager as the compressor's destination.
    void Attach(j_compress_ptr cinfo, ImageStream& target);
};

} // namespace tracemill
