// Finding and loading the fonts a text style names: SHX shape fonts, unifonts, big fonts and
// TrueType faces (through the host's font finder). Each drawing keeps its loaded fonts and a
// ring of five names that were not found; "SIMPLEX.SHX" and "GDT.SHX" are built in.
//
// Text drawing resolves a style's primary font with
//     FontResolver(drawing, style.fontFile, bigFont ? 0x17 : 0x37, builtin SIMPLEX, family, params)
// (family and params from the style's extended data groups 1000 and 1071; params -1 when the
// style has none) and its big font with
//     FontResolver(drawing, style.bigFontFile, kFontKindBigFont, nullptr, {}, -1).
// A font is never loaded twice for one drawing, and a name that was not found is not searched
// again; the drawing frees its fonts with genFreeDrawingFonts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/core/true_type_lookup.h"
#include "toolkit/core/fonts/shape_font.h"

namespace tracemill {

struct Drawing;

// Accept masks: the kinds a text drawer takes for a primary font (shape fonts, unifonts and
// TrueType), for a primary font beside a big font (no TrueType), and for a big font.
inline constexpr uint16_t kAcceptPrimaryFont = 0x37;
inline constexpr uint16_t kAcceptPrimaryBesideBigFont = 0x17;
inline constexpr uint16_t kAcceptBigFont = kFontKindBigFont;

inline constexpr int kErrorFontNoMemory = 293;  // a font record or the copy of a font file

// The font for a name:
// - an empty name without family name gives `fallback`;
// - a TrueType request (a family name, or "|b", ".ttf", ".ttc" in the name) goes to the host's
//   font finder; "|b", "|i", "|c", "|p" in the name set the parameters (bold, italic,
//   character set, pitch and family) and cut the request at its first '|';
// - any other name is a shape file (genNormaliseShxName) found through the system context's
//   file finder; one that is not found turns into a TrueType request when the mask allows
//   TrueType (not for ".PFB" names);
// - "gdt" and "gdt.shx" (and "amgdt", "amgdt.shx" when no such file is found) give the
//   built-in "GDT.SHX";
// - a font already loaded for the drawing is returned again; a name not found, a file of
//   another extension (".pfb"), an unrecognised or damaged file and a kind outside acceptMask
//   enter the missing-font ring and give `fallback`;
// - a big font that cannot be read gives null, and no memory gives "SIMPLEX.SHX" or null
//   (error 293).
ShapeFont* FontResolver(Drawing* drawing, std::string_view name, uint16_t acceptMask, ShapeFont* fallback,
                        std::string_view familyName, int32_t trueTypeParams);

// Frees the drawing's fonts and clears its missing-font ring.
void genFreeDrawingFonts(Drawing* drawing);

// The missing-font ring: 1 when the name (compared exactly) is in it; adding overwrites the
// oldest of five.
int genIsMissingFont(const Drawing* drawing, std::string_view name);
void genNoteMissingFont(Drawing* drawing, std::string_view name);

// The drawing's font whose request (or path) field equals the text exactly, or null.
ShapeFont* genFindFontByRequest(Drawing* drawing, std::string_view request);
ShapeFont* genFindFontByPath(Drawing* drawing, std::string_view path);

// The name of a shape file as it is requested: ".shx" appended when the name is shorter than
// five characters or has no '.' four characters from its end, then upper-cased (a..z only;
// double-byte characters of the system context's header code page are left alone).
std::string genNormaliseShxName(std::string_view name);

// Asks the host's font finder for a TrueType face. With `explicitParams` the name goes into
// the block's family, otherwise into its name (and familyName, when given, into its family).
// outPath gets the name the finder answered, else its family; empty when nothing was found or
// when the system context has no font finder or no TrueType glyph routine. `block` is the
// block as the finder returned it.
void genLookupTrueTypeFont(Drawing* drawing, std::string_view name, std::string_view familyName, int32_t params,
                           bool explicitParams, std::string& outPath, TrueTypeLookup& block);

} // namespace tracemill
