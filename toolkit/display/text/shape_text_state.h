// What text drawing keeps while it turns one string into strokes: the per-string state the
// shape interpreter reads and moves on (`ShapeTextState`), the box a measurement grows
// (`TextExtents`) and the arguments of the TrueType glyph routine (`GlyphFillArguments`,
// the system context's `glyphFill`).
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"
#include "toolkit/core/true_type_lookup.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/text/text_extents.h"

namespace tracemill {

struct Drawing;
struct ShapeFont;

// Layout flag of vertical text.
inline constexpr uint8_t kShapeTextVertical = 4;

// Decoration flags of a string, toggled by %%o and %%u.
inline constexpr uint8_t kDecorationOverline = 1;
inline constexpr uint8_t kDecorationUnderline = 2;

struct ShapeTextState {
    Point2 pen;                     // in shape units: where the next shape starts
    uint8_t layoutFlags = 0;        // kShapeTextVertical for vertical text
    uint8_t drawFlag = 1;           // 0: nothing is output, only extents grow
    void* hostWord = nullptr;       // handed unchanged to every line, arc and glyph output
    ShapeFont* mainFont = nullptr;  // the style's font
    ShapeFont* bigFont = nullptr;   // the style's big font, or null
    double xScale = 1.0;            // applied to every displacement
    double yScale = 1.0;
    uint16_t above = 0;  // the main font's height above the baseline: the unit of over- and underlines
};

// The TrueType glyph routine's arguments: one character of a TrueType font, filled (drawFlag
// 1) or only measured into the extents, after which the routine moves state.pen on by the
// character's advance.
struct GlyphFillArguments {
    ShapeTextState* state = nullptr;
    uint16_t code = 0;
    const TrueTypeLookup* face = nullptr;  // the font's face as the host found it
    Drawing* drawing = nullptr;
    void* hostWord = nullptr;
    int8_t layoutFlags = 0;
    TextExtents* extents = nullptr;  // null when nothing is measured
    const Matrix4* matrix = nullptr;  // takes shape points into the extents' units
    uint8_t decorationFlags = 0;
    uint8_t drawFlag = 0;
};

} // namespace tracemill
