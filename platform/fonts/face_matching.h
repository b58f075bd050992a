// Installed faces through fontconfig: matching a face name with a style and character set,
// and the face of a font file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "toolkit/core/true_type_lookup.h"

namespace tracemill {

// Bits of TrueTypeLookup::params.
inline constexpr int32_t kFaceItalic = 0x01000000;
inline constexpr int32_t kFaceBold = 0x02000000;
inline int faceCharacterSet(int32_t params) { return (params >> 8) & 0xFF; }

// An installed font file that holds a face.
struct InstalledFace {
    std::string file;
    int index = 0;
};

// The installed face that fontconfig matches for the name, weight (bold: above 400), slant
// and the language of the character set, accepted only when its family equals the name over
// the shorter of the two lengths (case aside), its bold and italic states are the ones asked
// for and it covers the character set's language. Nothing for an empty name.
std::optional<InstalledFace> dbMatchInstalledFace(std::string_view face, bool bold, bool italic, int characterSet);

// Looks the request's font file up among the installed fonts: the first file (in name order)
// whose name begins with the request's file name without folder and extension, a file of
// exactly that name first. Found: its family becomes the request's face name (family) and the
// result is true.
bool dbFaceFromFontFile(TrueTypeLookup& request);

// True when an installed face has this family name (case aside).
bool dbIsFamilyInstalled(std::string_view family);

} // namespace tracemill
