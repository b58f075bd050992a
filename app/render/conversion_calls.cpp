#include "app/render/conversion_calls.h"

#include "app/convert/conversion_library.h"

namespace tracemill {
namespace {

constexpr ConversionLibrary kOwnLibrary{llpp, lppp, ppll};

ConversionLibrary library = kOwnLibrary;
uint32_t conversionSerial = 0;

} // namespace

const ConversionLibrary& GetConversionLibrary() { return library; }

ConversionLibrary SetConversionLibrary(const ConversionLibrary& replacement) {
    ConversionLibrary previous = library;
    library.convert = replacement.convert ? replacement.convert : kOwnLibrary.convert;
    library.preview = replacement.preview ? replacement.preview : kOwnLibrary.preview;
    library.release = replacement.release ? replacement.release : kOwnLibrary.release;
    return previous;
}

int ConvertDrawingFile(const char* source, const char* password, const char* target, int versionCode, int format) {
    return library.convert(source, password, target, versionCode, format, conversionSerial++);
}

uint32_t GetConversionSerial() { return conversionSerial; }

} // namespace tracemill
