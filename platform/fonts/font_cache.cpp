#include "platform/fonts/font_cache.h"

#include "toolkit/core/name_compare.h"

namespace tracemill {

namespace {

// The units above the baseline that become 1,000.
inline constexpr double kCapitalHeight = 1000.0;

FontCacheEntry* findLocked(HostFontState& state, std::string_view face, bool bold, bool italic) {
    for (FontCacheEntry& entry : state.cache) {
        if (entry.bold == bold && entry.italic == italic && dbEqualsNoCase(entry.face, face)) return &entry;
    }
    return nullptr;
}

// Height above the baseline of the face's 'A' in font units, or of its default glyph.
double capitalHeight(FT_Face face) {
    FT_UInt glyph = FT_Get_Char_Index(face, 'A');
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0 &&
        face->glyph->metrics.horiBearingY > 0) {
        return double(face->glyph->metrics.horiBearingY);
    }
    if (face->ascender > 0) return face->ascender;
    return face->units_per_EM > 0 ? face->units_per_EM : 1.0;
}

} // namespace

FontCacheEntry* dbFontCacheFind(std::string_view face, bool bold, bool italic) {
    HostFontState* state = dbHostFontState();
    if (!state) return nullptr;
    std::lock_guard<std::mutex> lock(state->cacheLock);
    return findLocked(*state, face, bold, italic);
}

FontCacheEntry* dbFontCacheAdd(std::string_view face, bool bold, bool italic, const InstalledFace& installed) {
    HostFontState* state = dbHostFontState();
    if (!state) return nullptr;
    std::lock_guard<std::mutex> lock(state->cacheLock);
    if (FontCacheEntry* entry = findLocked(*state, face, bold, italic)) return entry;
    FT_Face ftFace = nullptr;
    if (FT_New_Face(state->library, installed.file.c_str(), installed.index, &ftFace) != 0) return nullptr;
    if (!FT_IS_SCALABLE(ftFace)) {
        FT_Done_Face(ftFace);
        return nullptr;
    }
    FontCacheEntry entry;
    entry.face = face;
    entry.bold = bold;
    entry.italic = italic;
    entry.file = installed.file;
    entry.faceIndex = installed.index;
    entry.ftFace = ftFace;
    entry.scale = kCapitalHeight / capitalHeight(ftFace);
    state->cache.push_front(std::move(entry));
    return &state->cache.front();
}

} // namespace tracemill
