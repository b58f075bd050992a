#include "platform/fonts/host_font_state.h"

#include <memory>

#include "platform/fonts/host_fonts.h"

namespace tracemill {

namespace {
std::unique_ptr<HostFontState> gHostFonts;
int gCurveSegments = 4;
} // namespace

HostFontState* dbHostFontState() { return gHostFonts.get(); }

int dbHostStartup() {
    if (gHostFonts) return 1;
    auto state = std::make_unique<HostFontState>();
    state->config = FcInitLoadConfigAndFonts();
    if (!state->config) return 0;
    if (FT_Init_FreeType(&state->library) != 0) {
        FcConfigDestroy(state->config);
        return 0;
    }
    gHostFonts = std::move(state);
    return 1;
}

void dbHostShutdown() {
    if (!gHostFonts) return;
    for (FontCacheEntry& entry : gHostFonts->cache) {
        if (entry.ftFace) FT_Done_Face(entry.ftFace);
    }
    FT_Done_FreeType(gHostFonts->library);
    FcConfigDestroy(gHostFonts->config);
    gHostFonts.reset();
}

int dbSetGlyphCurveSegments(int n) {
    const int previous = gCurveSegments;
    if (n >= 1) gCurveSegments = n;
    return previous;
}

int dbGlyphCurveSegments() { return gCurveSegments; }

} // namespace tracemill
