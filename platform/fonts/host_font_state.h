// The state of the host font services between dbHostStartup and dbHostShutdown: the fontconfig
// configuration, the FreeType library, the face cache and the glyph settings.
#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/fonts/character_sets.h"

namespace tracemill {

// A face the font finder accepted: the face name it was asked for, its style, and the font
// file that fontconfig matched, opened with FreeType at the scale that stands its capital 'A'
// 1,000 units high.
struct FontCacheEntry {
    std::string face;
    bool bold = false;
    bool italic = false;
    std::string file;
    int faceIndex = 0;
    FT_Face ftFace = nullptr;
    double scale = 1.0;  // drawing units per font unit
};

struct HostFontState {
    FcConfig* config = nullptr;
    FT_Library library = nullptr;
    std::mutex cacheLock;  // the cache may be searched and grown from more than one thread
    std::list<FontCacheEntry> cache;  // newest first
    CharacterDecoder decoder;  // keeps the first byte of a double-byte character
    std::mutex fallbackLock;
    // The face that draws a character its requested face lacks, by character and style (null:
    // no installed face has it).
    std::unordered_map<uint64_t, FontCacheEntry*> fallbackFaces;
};

// The started services, null before dbHostStartup and after dbHostShutdown.
HostFontState* dbHostFontState();

// Line segments per curve piece (dbSetGlyphCurveSegments).
int dbGlyphCurveSegments();

} // namespace tracemill
