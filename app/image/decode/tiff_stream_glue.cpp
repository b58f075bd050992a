#include "app/image/decode/tiff_stream_glue.h"

#include <cstdio>

#include "app/image/decode/cx_image.h"
#include "app/image/decode/image_stream.h"

namespace tracemill {

namespace {

ImageStream& streamOf(thandle_t handle) { return *static_cast<ImageStream*>(handle); }

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size) {
    return size <= 0 ? 0 : tmsize_t(streamOf(handle).Read(buffer, 1, size_t(size)));
}

tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t size) {
    return size <= 0 ? 0 : tmsize_t(streamOf(handle).Write(buffer, 1, size_t(size)));
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
    if (offset == toff_t(-1)) return toff_t(-1);
    ImageStream& stream = streamOf(handle);
    if (!stream.Seek(int64_t(offset), whence)) return toff_t(-1);
    if (whence == SEEK_SET) return offset;
    return toff_t(stream.Tell());
}

int closeProc(thandle_t) { return 0; }

toff_t sizeProc(thandle_t handle) { return toff_t(streamOf(handle).Size()); }

int mapProc(thandle_t, void**, toff_t*) { return 0; } // no mapping offered

void unmapProc(thandle_t, void*, toff_t) {}

int silentHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }


} // namespace

TIFF* OpenTiffOverStream(ImageStream& stream, const char* mode) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, silentHandler, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, silentHandler, nullptr);
    // The largest single buffer libtiff may allocate for one of our files.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(2 * CxImage::GetMemoryLimit()));
    TIFF* tif = TIFFClientOpenExt("TIFF IMAGE", mode, &stream, readProc, writeProc, seekProc, closeProc, sizeProc,
                                  mapProc, unmapProc, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

} // namespace tracemill
