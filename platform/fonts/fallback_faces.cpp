#include "platform/fonts/fallback_faces.h"

#include <memory>
#include <optional>
#include <string>

#include "platform/fonts/face_matching.h"
#include "platform/fonts/font_cache.h"
#include "platform/fonts/fontconfig_handles.h"

namespace tracemill {

namespace {

// The face fontconfig prefers for the character, with the file and index it lives in.
std::optional<InstalledFace> matchCovering(FcConfig* config, uint32_t character, bool bold, bool italic) {
    FcCharSetPtr characters(FcCharSetCreate());
    FcCharSetAddChar(characters.get(), character);
    FcPatternPtr pattern(FcPatternCreate());
    FcPatternAddCharSet(pattern.get(), FC_CHARSET, characters.get());
    FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    FcFontSetPtr sorted(FcFontSort(config, pattern.get(), FcFalse, nullptr, &result));
    for (int i = 0; sorted && i < sorted->nfont; ++i) {
        FcPattern* font = sorted->fonts[i];
        FcCharSet* coverage = nullptr;
        FcBool outline = FcFalse;
        FcChar8* file = nullptr;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &coverage) != FcResultMatch ||
            !FcCharSetHasChar(coverage, character) ||
            (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch && !outline) ||
            FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) {
            continue;
        }
        InstalledFace found{reinterpret_cast<const char*>(file), 0};
        FcPatternGetInteger(font, FC_INDEX, 0, &found.index);
        return found;
    }
    return std::nullopt;
}

} // namespace

FontCacheEntry* dbFallbackFace(uint32_t character, bool bold, bool italic) {
    HostFontState* state = dbHostFontState();
    if (!state) return nullptr;
    const uint64_t key = uint64_t(character) << 2 | (bold ? 2u : 0u) | (italic ? 1u : 0u);
    {
        std::lock_guard<std::mutex> lock(state->fallbackLock);
        if (const auto known = state->fallbackFaces.find(key); known != state->fallbackFaces.end()) return known->second;
    }
    FontCacheEntry* entry = nullptr;
    if (const std::optional<InstalledFace> face = matchCovering(state->config, character, bold, italic)) {
        // Cached under its file, a name no family takes.
        const std::string name = "file:" + face->file + "#" + std::to_string(face->index);
        entry = dbFontCacheAdd(name, bold, italic, *face);
        if (entry && FT_Get_Char_Index(entry->ftFace, character) == 0) entry = nullptr;
    }
    std::lock_guard<std::mutex> lock(state->fallbackLock);
    state->fallbackFaces.emplace(key, entry);
    return entry;
}

} // namespace tracemill
