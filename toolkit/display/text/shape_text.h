// A whole string through the shape interpreter: drawn (genDrawShapeText, what the TEXT,
// MTEXT, attribute and dimension text drawers call once their state is set up) or measured
// (genMeasureShapeText, for text alignment).
//
// How a text drawer uses genDrawShapeText:
//   1. Resolve the style's fonts (FontResolver, fonts/font_resolver.h): the main font with
//      kAcceptPrimaryBesideBigFont when the style names a big font, else kAcceptPrimaryFont;
//      the big font with kAcceptBigFont.
//   2. Fill a ShapeTextState: mainFont, bigFont (or null), above = mainFont->above,
//      layoutFlags (kShapeTextVertical for vertical text) and hostWord (what the outputs need
//      to place the strokes, e.g. the text's per-viewport matrices). genDrawShapeText sets the
//      pen, the draw flag and the scales itself.
//   3. Empty the position stack (genResetShapePositionStack).
//   4. Make sure the system context's outputs are the drawing ones: shapeLineCallback and
//      shapeArcCallback (strokes in shape units, which the outputs take through their host
//      word's transforms) and, for TrueType fonts, glyphFill.
//   5. Call genDrawShapeText with mainFontScale = bigFont->bigHeight / mainFont->above when
//      there is a big font (main-font characters are drawn at that scale against the big
//      font's cell), else 1.0.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/point.h"

namespace tracemill {

struct Drawing;
struct Matrix4;
struct ShapeFont;
struct ShapeTextState;
struct TextExtents;

// Error numbers of genMeasureShapeText.
inline constexpr int kErrorTextFontNotFound = 296;
inline constexpr int kErrorTextBigFontNotFound = 297;

// Text generation flags.
inline constexpr uint8_t kTextBackwards = 2;
inline constexpr uint8_t kTextUpsideDown = 4;

// Horizontal and vertical alignment codes of a TEXT.
inline constexpr uint8_t kAlignLeft = 0;
inline constexpr uint8_t kAlignCentre = 1;
inline constexpr uint8_t kAlignRight = 2;
inline constexpr uint8_t kAlignAligned = 3;
inline constexpr uint8_t kAlignMiddle = 4;
inline constexpr uint8_t kAlignFit = 5;
inline constexpr uint8_t kAlignBaseline = 0;
inline constexpr uint8_t kAlignBottom = 1;
inline constexpr uint8_t kAlignVerticalMiddle = 2;
inline constexpr uint8_t kAlignTop = 3;

// The geometry of a single-line text as measurement and alignment read and change it.
struct TextParameters {
    double height = 1.0;
    double rotation = 0.0;      // radians
    double widthFactor = 1.0;
    double obliqueAngle = 0.0;  // radians
    uint8_t generation = 0;     // kTextBackwards, kTextUpsideDown
    uint8_t horizontalAlign = kAlignLeft;
    uint8_t verticalAlign = kAlignBaseline;
    Point2 alignment;  // the second point of a justified text
};

// Draws or measures the string character by character. The pen starts at (0, 0) in shape
// units, the draw flag is 0 with extentsOnly, both scales start at 1.0 and the decoration
// flags at 0; the drawing's DWGCODEPAGE decodes the string. Each character's shape is found in
// the main font and big font (genFindShape, with its fall-backs '?' and space) and run by
// ShapeInterpreter; with a big font, characters of the main font are scaled by
// mainFontScale. `extents` may be null; `matrix` takes shape points into the extents' units.
// 1 when the string is done; 0 when a character has no shape at all (what was output stays).
int genDrawShapeText(Drawing* drawing, const char* text, ShapeTextState& state, double mainFontScale,
                     TextExtents* extents, const Matrix4* matrix, bool extentsOnly);

// Measures a string in drawing units of the text's own axes (the insertion point at the
// origin, before rotation): its extents, widened by each character's advance for a "fit"
// text, and its descent below the baseline (negative). The fonts are resolved by name
// (`useBuiltinFallback` lets a missing main font be "SIMPLEX.SHX"); while it measures, the
// system context's line output is removed and its arc output measures; both are restored.
// 1; 0 with error 296 (main font) or 297 (big font) when a font cannot be found.
int genMeasureShapeText(Drawing* drawing, const char* text, const TextParameters& params, bool vertical,
                        std::string_view fontFile, std::string_view bigFontFile, bool useBuiltinFallback,
                        TextExtents& extentsOut, double& descentOut);

// The same measurement with fonts already resolved (the primary font never null), as the text
// is drawn with them.
int genMeasureFontText(Drawing* drawing, const char* text, const TextParameters& params, bool vertical,
                       ShapeFont* mainFont, ShapeFont* bigFont, TextExtents& extentsOut, double& descentOut);

} // namespace tracemill
