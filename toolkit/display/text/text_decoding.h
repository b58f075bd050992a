// Reading the characters of a text string as text drawing sees them: single bytes of the
// drawing's code page, double-byte characters, the escapes \U+XXXX and \M+nXXXX, and the
// control codes that start with %% (over- and underline, degree, plus/minus, diameter, a
// decimal character code, a percent sign); and the codes at which a font keeps the three
// special signs.
#pragma once

#include <cstdint>

namespace tracemill {

struct ShapeTextState;

// The code of the degree, plus/minus and diameter sign in a font of these kind flags
// (kFontKind... bits): GDT 126, 96, 110; shape font 1.0: 127, 128, 129; a font that defines
// shapes 127 and 248: 248, 241, 237; unifonts and TrueType 176, 177 and 8709 (unifont) or 216
// (TrueType); "SIMPLEX6.SHX" plus/minus 177; any other font 256, 257, 258.
uint16_t genDegreeCode(uint8_t fontFlags);
uint16_t genPlusMinusCode(uint8_t fontFlags);
uint16_t genDiameterCode(uint8_t fontFlags);

// Reads the next character of a NUL-terminated string and moves `cursor` past it; 0 at the
// end of the string (the cursor then stays on the NUL). `fontFlags` are the main font's kind
// bits; of `state` only the main and big font are read (a big font's lead-byte ranges and a
// TrueType main font's character set make double-byte characters, else the code page's lead
// bytes do). `plainOut` becomes 1 for a character of the code page, 0 for a code that is
// already final (an escape, a sign of a unifont, %%nnn from 128 to 255). %%o and %%u toggle
// kDecorationOverline and kDecorationUnderline in `decorationFlags`. The signs 176, 177 and
// 8709 come out as the font's own codes (genDegreeCode ...), except plain characters of a
// unifont.
uint16_t genDecodeTextChar(const char*& cursor, uint8_t fontFlags, const ShapeTextState& state, int codePage,
                           uint8_t& plainOut, uint8_t& decorationFlags);

} // namespace tracemill
