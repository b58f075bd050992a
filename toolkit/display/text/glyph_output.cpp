#include "toolkit/display/text/glyph_output.h"

#include <cmath>
#include <new>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/glyph_request.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/arc_drawer.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/hatch/glyph_fill.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/text/shape_interpreter.h"
#include "toolkit/display/text/shape_text_state.h"
#include "toolkit/display/text/text_extents.h"

namespace tracemill {
namespace {

constexpr double kPi = 3.14159265358979323846;

const Matrix4* targetMatrices(void* hostWord) {
    return hostWord ? static_cast<const GlyphTarget*>(hostWord)->matrices : nullptr;
}

} // namespace

void genTextLineOutput(Drawing* drawing, const Point3& from, const Point3& to, void* hostWord) {
    const Matrix4* matrices = targetMatrices(hostWord);
    if (!drawing || !drawing->displayContext || !matrices) return;
    genDrawLinetypedSegment(drawing, from, to, matrices, nullptr, nullptr, 0, 0.0);
}

void genTextArcOutput(Drawing* drawing, const Point3& centre, double start, double end, double radius, void* hostWord,
                      uint8_t penState, uint8_t penDown, TextExtents* extents, const Matrix4* matrix) {
    const Matrix4* matrices = targetMatrices(hostWord);
    if (!drawing || !drawing->displayContext || !matrices) {
        // Measuring without a drawing target: the arc still widens the box.
        genExtentsArc(drawing, centre, start, end, radius, hostWord, penState, penDown, extents, matrix);
        return;
    }
    genDrawArc(drawing, centre, start, end, radius, matrices, penState != 0 && penDown != 0, extents, matrix, nullptr);
}

void genFillTrueTypeGlyph(GlyphFillArguments& arguments) {
    if (!gOutputHookTable || !gOutputHookTable->glyphOutline || !arguments.state) return;
    ShapeTextState& state = *arguments.state;
    GlyphRequest request;
    request.code = arguments.code;
    request.origin = state.pen;
    request.face = arguments.face;
    void* host = arguments.drawing ? arguments.drawing->hostContext : nullptr;
    if (gOutputHookTable->glyphOutline(request, host) != 0) return;
    const GlyphOutline& outline = request.outline;
    if (arguments.extents) {
        for (const HatchSegments& contour : outline.contours)
            for (const HatchSegment& s : contour)
                genExtentsAddSegment({s.start.x, s.start.y, 0.0}, {s.end.x, s.end.y, 0.0}, *arguments.extents,
                                     arguments.matrix);
    }
    const Matrix4* matrices = targetMatrices(arguments.hostWord);
    if (arguments.drawFlag && matrices && arguments.drawing && arguments.drawing->displayContext) {
        if (outline.flags & kGlyphOutlineFill) {
            genFillGlyphLoops(arguments.drawing, matrices, outline.contours);
        } else if (outline.flags & kGlyphOutlineLines) {
            for (const HatchSegments& contour : outline.contours)
                for (const HatchSegment& s : contour)
                    genDrawLinetypedSegment(arguments.drawing, {s.end.x, s.end.y, 0.0}, {s.start.x, s.start.y, 0.0},
                                            matrices, nullptr, nullptr, 0, 0.0);
        }
    }
    state.pen.x += outline.advance;
}

GlyphDrawingScope::GlyphDrawingScope(Drawing* drawing, double shapeScale) : drawing_(drawing) {
    SystemContext* system = gSystemContext;
    if (system) {
        line_ = system->shapeLineCallback;
        arc_ = system->shapeArcCallback;
        system->shapeLineCallback = genTextLineOutput;
        system->shapeArcCallback = genTextArcOutput;
    }
    genResetShapePositionStack();
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (context) {
        kind_ = context->entity.kind;
        viewScale_ = context->viewScale;
        context->entity.kind = kEntityText;
        context->viewScale *= std::fabs(shapeScale);
    }
}

GlyphDrawingScope::~GlyphDrawingScope() {
    if (gSystemContext) {
        gSystemContext->shapeLineCallback = line_;
        gSystemContext->shapeArcCallback = arc_;
    }
    DisplayContext* context = drawing_ ? drawing_->displayContext.get() : nullptr;
    if (context) {
        context->entity.kind = kind_;
        context->viewScale = viewScale_;
    }
}

void genTextMatrix(const Point2& origin, double oblique, double widthFactor, double scale, Matrix4& out) {
    if (oblique > kPi / 2.0) oblique -= 2.0 * kPi;
    out = kIdentityMatrix4;
    out.at(0, 0) = widthFactor * scale;
    out.at(1, 0) = std::tan(oblique) * scale;
    out.at(1, 1) = scale;
    out.at(3, 0) = origin.x;
    out.at(3, 1) = origin.y;
}

bool genGlyphMatricesPerViewport(Drawing* drawing, const Matrix4& base, std::vector<Matrix4>& out) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return false;
    try {
        out.resize(size_t(context->viewportCount));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int i = 0; i < context->viewportCount; ++i)
        genMatrixMultiply(base, context->viewports[size_t(i)].worldToDevice, out[size_t(i)]);
    return true;
}

} // namespace tracemill
