// The fonts of a text style as text drawing uses them: the primary font (its TrueType family
// and parameters from the style's extended data) and the big font, and the number of shape
// units to one unit of text height.
#pragma once

#include <cstdint>
#include <string>

namespace tracemill {

struct Drawing;
struct ShapeFont;
struct StyleRecord;

// The height above the baseline taken for a font that gives none (no font-information shape):
// that of the built-in fonts.
inline constexpr int kDefaultFontAbove = 21;

struct StyleFonts {
    ShapeFont* primary = nullptr;  // never null while the system context has its built-in fonts
    ShapeFont* bigFont = nullptr;
    std::string family;            // the TrueType family of the extended data (last 1000)
    int32_t params = -1;           // its parameters (last 1071), -1 when absent
};

// The style's TrueType family and parameters from its extended data.
void genStyleTrueTypeData(const StyleRecord& style, std::string& family, int32_t& params);

// Resolves the style's fonts: the primary one with the built-in "SIMPLEX.SHX" as fallback,
// accepting the kinds that go beside a big font when the style names one; the big font.
StyleFonts genResolveStyleFonts(Drawing* drawing, const StyleRecord& style);

// Shape units per unit of text height: the big font's cell height when a big font with one is
// given and the primary font is not TrueType, else the primary font's height above the
// baseline (kDefaultFontAbove when the font gives 0).
double genShapeUnitsPerHeight(const ShapeFont* primary, const ShapeFont* bigFont);

} // namespace tracemill
