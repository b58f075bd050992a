// fontconfig objects owned by unique pointers, destroyed with their own calls.
#pragma once

#include <fontconfig/fontconfig.h>

#include <memory>

namespace tracemill {

struct FcPatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FcFontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct FcObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FcCharSetDeleter {
    void operator()(FcCharSet* s) const { FcCharSetDestroy(s); }
};

using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;
using FcFontSetPtr = std::unique_ptr<FcFontSet, FcFontSetDeleter>;
using FcObjectSetPtr = std::unique_ptr<FcObjectSet, FcObjectSetDeleter>;
using FcCharSetPtr = std::unique_ptr<FcCharSet, FcCharSetDeleter>;

} // namespace tracemill
