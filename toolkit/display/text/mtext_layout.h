// The layout of MTEXT: lines read from the formatted text, wrapped inside the reference
// width, advanced by the line-spacing rules, placed by the attachment point, with stacked
// fractions. The layout measures and places; what a character looks like and how it is drawn
// is the glyph output's (`MTextGlyphs`), so the same layout serves the display, measuring
// rows of tolerance frames and the tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/display/text/mtext_format.h"
#include "toolkit/display/text/mtext_tokens.h"

namespace tracemill {

struct Drawing;

// The factor of line spacing: 1.666667, not 5/3.
inline constexpr double kMTextLineSpacing = 1.666667;

// Line-spacing styles.
inline constexpr int16_t kMTextSpacingAtLeast = 1;
inline constexpr int16_t kMTextSpacingExactly = 2;

// What layout needs of the glyph output. Units are those of the text's block: x along the
// text, y up, the pen on the baseline.
class MTextGlyphs {
public:
    virtual ~MTextGlyphs() = default;
    // The box of the character drawn with its pen at the origin, and how far it moves the pen
    // (before tracking).
    virtual void measure(uint16_t code, uint8_t inCodePage, const MTextFormat& format, TextBox& box,
                         double& advance) = 0;
    // Draws the character with its pen at (x, y).
    virtual void draw(uint16_t code, uint8_t inCodePage, const MTextFormat& format, double x, double y) = 0;
    // A straight line: stack bars, the frame of a leader's text.
    virtual void line(double x1, double y1, double x2, double y2) = 0;
    // The colour of what follows (already BYLAYER and BYBLOCK resolved).
    virtual void colour(int16_t colour) = 0;
};

// One MTEXT as layout reads it.
struct MTextLayoutInput {
    std::string text;          // prepared (genPrepareMTextText)
    uint8_t interpretCodes = 1;
    uint8_t skipLineFeeds = 1; // the line-feed switch: on, line feeds are passed over and lines wrap
    int16_t codePage = 0;
    double textHeight = 1.0;
    double referenceWidth = 1e300;  // 1e300: no wrapping
    uint8_t attachment = 1;         // 1..9
    bool vertical = false;
    int16_t lineSpacingStyle = kMTextSpacingAtLeast;
    double lineSpacingFactor = 1.0;
    double extentsHeight = 0.0;     // from the measuring pass
    int16_t byLayerColour = 7;
    int16_t byBlockColour = 7;
    MTextFormat initial;            // height, width factor, oblique, scale, colour, fonts
    double frameMargin = -1.0;      // 0 or more: the drawing pass frames the block that far out
};

// What a pass found: the block's width and height (the sum of the line advances and the depth
// of the last line below its baseline), its box, and the last line's baseline.
struct MTextLayoutResult {
    double width = 0.0;
    double height = 0.0;
    TextBox block;
    double lastBaseline = 0.0;
    int lines = 0;
};

// Lays the text out: pass 0 measures, pass 1 draws through the glyph output as well.
void genLayoutMText(Drawing* drawing, const MTextLayoutInput& input, int pass, MTextGlyphs& glyphs,
                    MTextLayoutResult& result);

// The x offset of a line by the attachment column: left -(minimum x), centre -(width)/2,
// right -(width); 0 for an empty line.
double genAttachmentOffsetX(uint8_t attachment, const TextBox& line);

// The rise of characters inside their line under the format's \A alignment.
double genLineAlignOffset(const MTextFormat& format, double lineHeight);

// Applies a decoration code (kMTextOverlineOn ... kMTextUnderlineOff) to the decoration bits;
// 0 when the code is no decoration code.
int genApplyLineCode(uint16_t code, uint8_t& decoration);

// The text as layout reads it: a closing '}' at its end is set aside while trailing spaces are
// removed, then put back; a text that then ends in "\P}" gets a second \P before the brace.
std::string genPrepareMTextText(std::string_view text);

} // namespace tracemill
