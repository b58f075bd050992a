// libtiff over an ImageStream: a client open whose callbacks read, seek and measure the
// stream; libtiff's messages are swallowed, never printed.
#pragma once

#include <tiffio.h>

namespace tracemill {

class ImageStream;

// Opens libtiff over the stream (the stream must outlive the handle); null on failure.
TIFF* OpenTiffOverStream(ImageStream& stream, const char* mode);

} // namespace tracemill
