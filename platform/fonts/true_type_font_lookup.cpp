#include <string>

#include "platform/fonts/face_matching.h"
#include "platform/fonts/font_cache.h"
#include "platform/fonts/font_substitutions.h"
#include "platform/fonts/host_fonts.h"

namespace tracemill {

namespace {

// A face whose bold styles are the only ones some systems install: a regular request is
// tried again as bold.
constexpr std::string_view kBoldOnlyFace = "Haettenschweiler";

// Looks the request's face up among the installed faces; an accepted face goes into the cache.
bool enumerateFace(const TrueTypeLookup& request) {
    const bool bold = (request.params & kFaceBold) != 0;
    const bool italic = (request.params & kFaceItalic) != 0;
    const auto installed = dbMatchInstalledFace(request.family, bold, italic, faceCharacterSet(request.params));
    return installed && dbFontCacheAdd(request.family, bold, italic, *installed) != nullptr;
}

} // namespace

void dbTrueTypeFontLookup(TrueTypeLookup& request, void*) {
    if (request.family.empty()) dbFaceFromFontFile(request);
    bool found = enumerateFace(request);
    if (!found && request.family == kBoldOnlyFace) {
        request.params |= kFaceBold;
        found = enumerateFace(request);
    }
    if (!found && !request.family.empty() && request.family[0] == '@') {
        request.family.erase(0, 1);
        found = enumerateFace(request);
    } else if (!found) {
        if (!dbFaceFromFontFile(request)) {
            // A collection of the same name ("x.ttc" for "x.ttf"), under the face name
            // before " & " ("Face & Other" names two faces of one file).
            if (!request.name.empty()) request.name.back() = 'c';
            const size_t both = request.family.find(" & ");
            if (both != std::string::npos) request.family.resize(both);
            dbFaceFromFontFile(request);
        }
        found = enumerateFace(request);
        if (!found && dbSearchAltFontNames(request)) found = enumerateFace(request);
    }
    if (!found) {
        request.name.clear();
        request.family.clear();
    }
}

} // namespace tracemill
