// Where the strokes and glyphs of text go while a text is drawn: the shape interpreter's
// line and arc outputs and the TrueType glyph routine take shape units through the text's
// per-viewport glyph matrices to the device. Also the glyph matrices of MTEXT runs.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct GlyphFillArguments;
struct TextExtents;

// The host word of a text's shape outputs: one matrix per viewport from shape units to the
// device.
struct GlyphTarget {
    const Matrix4* matrices = nullptr;
};

// Error numbers: the per-viewport glyph matrices of a TEXT / an MTEXT cannot be made.
inline constexpr int kErrorTextMatrices = 258;
inline constexpr int kErrorMTextMatrices = 260;

// The shape outputs of drawing: a stroke through genDrawLinetypedSegment, an arc through the
// arc drawer (drawn when the pen is down, measured into the extents when they are given).
void genTextLineOutput(Drawing* drawing, const Point3& from, const Point3& to, void* hostWord);
void genTextArcOutput(Drawing* drawing, const Point3& centre, double start, double end, double radius, void* hostWord,
                      uint8_t penState, uint8_t penDown, TextExtents* extents, const Matrix4* matrix);

// The TrueType glyph routine (the system context's glyphFill, installed at start-up): asks
// the host's glyph outline hook for the character's outline at the pen, measures it into the
// extents, fills it (or draws its segments) through the glyph target's matrices when drawing,
// and moves the pen on by the advance. Without the hook, or when the hook has no glyph,
// nothing happens.
void genFillTrueTypeGlyph(GlyphFillArguments& arguments);

// While it lives, text strokes go to the drawing outputs: the current entity is drawn as TEXT,
// the shape position stack is empty, and the view's curve resolution is multiplied by
// |shape scale| so that arcs of shape units get the chords of their drawn size. Everything is
// put back afterwards.
class GlyphDrawingScope {
public:
    GlyphDrawingScope(Drawing* drawing, double shapeScale);
    ~GlyphDrawingScope();
    GlyphDrawingScope(const GlyphDrawingScope&) = delete;
    GlyphDrawingScope& operator=(const GlyphDrawingScope&) = delete;

private:
    Drawing* drawing_;
    uint16_t kind_ = 0;
    double viewScale_ = 1.0;
    ShapeLineCallback line_ = nullptr;
    ShapeArcCallback arc_ = nullptr;
};

// The glyph matrix of an MTEXT run: identity, sheared by tan(oblique) (an oblique above pi/2
// first loses 2 pi), scaled by (width factor x scale, scale, 1), moved by the origin.
void genTextMatrix(const Point2& origin, double oblique, double widthFactor, double scale, Matrix4& out);

// base (shape units to the world) times each viewport's world-to-device matrix; false when
// memory runs out.
bool genGlyphMatricesPerViewport(Drawing* drawing, const Matrix4& base, std::vector<Matrix4>& out);

} // namespace tracemill
