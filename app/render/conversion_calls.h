// How the drawing side calls the conversion library: through one table of its entry points,
// which tests replace by a recording library, and with the process-wide conversion serial,
// passed to every conversion and counted up after each.
#pragma once

#include <cstdint>

namespace tracemill {

struct ConversionLibrary {
    int (*convert)(const char* source, const char* password, const char* target, int versionCode, int format,
                   uint32_t serial);
    bool (*preview)(const char* path, uint8_t** data, uint32_t* size);
    void (*release)(uint8_t** data);
};

// The entry points in use: the conversion library's own unless replaced.
const ConversionLibrary& GetConversionLibrary();
// Replaces them (null entries put the library's own back); returns the ones replaced.
ConversionLibrary SetConversionLibrary(const ConversionLibrary& library);

// Converts through the library with the current serial, which then counts up by one.
int ConvertDrawingFile(const char* source, const char* password, const char* target, int versionCode, int format);
uint32_t GetConversionSerial();

} // namespace tracemill
