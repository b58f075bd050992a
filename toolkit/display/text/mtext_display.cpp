#include "toolkit/display/text/mtext_display.h"

#include <cmath>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/display_context.h"
#include "toolkit/core/fonts/shape_access.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/text/glyph_output.h"
#include "toolkit/display/text/mtext_layout.h"
#include "toolkit/display/text/mtext_transform.h"
#include "toolkit/display/text/shape_interpreter.h"
#include "toolkit/display/text/shape_text_state.h"
#include "toolkit/display/text/text_extents.h"
#include "toolkit/display/text/text_fonts.h"

namespace tracemill {
namespace {

constexpr uint8_t kStyleVertical = 4;
constexpr uint8_t kDirectionVertical = 3;
constexpr int16_t kVersionIndexR13 = 5;

// Characters of MTEXT through the shape interpreter: measured with a matrix from shape units
// to the block, drawn with per-viewport matrices from shape units to the device.
class DisplayGlyphs : public MTextGlyphs {
public:
    DisplayGlyphs(Drawing* drawing, const Matrix4& blockToWorld, bool vertical)
        : drawing_(drawing), blockToWorld_(blockToWorld), vertical_(vertical) {}

    void measure(uint16_t code, uint8_t inCodePage, const MTextFormat& format, TextBox& box,
                 double& advance) override {
        advance = 0.0;
        Matrix4 m;
        genTextMatrix({0.0, 0.0}, format.oblique, format.widthFactor, format.scale, m);
        ShapeTextState state;
        TextExtents extents;
        if (!run(code, inCodePage, format, state, 0, &extents, &m, nullptr)) return;
        if (extents.min.x <= extents.max.x) {
            genBoxAddPoint(box, extents.min.x, extents.min.y);
            genBoxAddPoint(box, extents.max.x, extents.max.y);
        }
        advance = vertical_ ? -state.pen.y * format.scale : state.pen.x * format.widthFactor * format.scale;
    }

    void draw(uint16_t code, uint8_t inCodePage, const MTextFormat& format, double x, double y) override {
        Matrix4 m;
        genTextMatrix({x, y}, format.oblique, format.widthFactor, format.scale, m);
        genMatrixMultiply(m, blockToWorld_, m);
        if (!genGlyphMatricesPerViewport(drawing_, m, matrices_)) {
            failed = true;
            return;
        }
        GlyphTarget target{matrices_.data()};
        ShapeTextState state;
        run(code, inCodePage, format, state, 1, nullptr, nullptr, &target);
    }

    void line(double x1, double y1, double x2, double y2) override {
        if (!genGlyphMatricesPerViewport(drawing_, blockToWorld_, matrices_)) {
            failed = true;
            return;
        }
        genDrawLinetypedSegment(drawing_, {x1, y1, 0.0}, {x2, y2, 0.0}, matrices_.data(), nullptr, nullptr, 0, 0.0);
    }

    void colour(int16_t colour) override {
        if (colour >= 0 && colour <= 255 && gOutputHookTable)
            genSetColour(drawing_, gOutputHookTable->colorIndexMap[size_t(colour)]);
    }

    bool failed = false;

private:
    // Finds the character's shape and runs it from the pen at the origin; false when no font
    // has it.
    bool run(uint16_t code, uint8_t inCodePage, const MTextFormat& format, ShapeTextState& state, uint8_t drawFlag,
             TextExtents* extents, const Matrix4* matrix, GlyphTarget* target) {
        if (!format.font) return false;
        const bool trueType = (format.font->kind & kFontKindTrueType) != 0;
        ShapeFont* font = trueType ? format.font
                                   : genFindShape(drawing_, format.font, format.bigFont, code,
                                                  inCodePage ? kFindShapeConvertCode : 0);
        if (!font) return false;
        state.mainFont = format.font;
        state.bigFont = format.bigFont;
        state.above = uint16_t(format.font->above > 0 ? format.font->above : kDefaultFontAbove);
        state.layoutFlags = vertical_ ? kShapeTextVertical : 0;
        state.drawFlag = drawFlag;
        state.hostWord = target;
        if (format.bigFont && font != format.bigFont && !trueType) {
            const double mainScale = format.bigFont->bigHeight / double(state.above);
            state.xScale = state.yScale = mainScale;
        }
        ShapeInterpreter(drawing_, code, *font, state, format.decoration, extents, matrix);
        return true;
    }

    Drawing* drawing_;
    Matrix4 blockToWorld_;
    bool vertical_;
    std::vector<Matrix4> matrices_;
};

bool findStyle(Drawing* drawing, Handle handle, StyleRecord& style) {
    if (!handle.isNull() && dbGetStyleByHandle(drawing, handle, style)) return true;
    ListLink* first = drawing->styles.first;
    if (!first) return false;
    style = StyleList::asNode(first)->record;
    return true;
}

} // namespace

namespace {

// The layout's input for the MTEXT, and the transform of its block; false for a blank text.
bool prepareMText(Drawing* drawing, const MtextBody& body, const Matrix4& transform, int16_t colour,
                  int16_t byLayerColour, int16_t byBlockColour, uint8_t interpretCodes, MTextLayoutInput& input,
                  Matrix4& blockToWorld) {
    input.text = genPrepareMTextText(body.text);
    if (genIsBlankText(input.text)) return false;
    input.interpretCodes = interpretCodes;
    const bool r13LineFeeds = drawing->versionIndex == kVersionIndexR13 && input.text.find('\n') != std::string::npos;
    input.skipLineFeeds = interpretCodes && !r13LineFeeds;
    input.codePage = drawing->header ? drawing->header->dwgcodepage : 0;
    input.textHeight = body.textHeight;
    input.referenceWidth = body.referenceWidth > body.textHeight / 10.0 ? body.referenceWidth : 1e300;
    input.attachment = body.attachment;
    input.lineSpacingStyle = body.lineSpacingStyle;
    input.lineSpacingFactor = body.lineSpacingFactor;
    input.byLayerColour = byLayerColour;
    input.byBlockColour = byBlockColour;

    StyleRecord style;
    const bool haveStyle = findStyle(drawing, body.style, style);
    const StyleFonts fonts = genResolveStyleFonts(drawing, style);
    input.vertical = body.drawingDirection == kDirectionVertical || (haveStyle && (style.flags & kStyleVertical));
    MTextFormat& f = input.initial;
    f.height = body.textHeight;
    f.widthFactor = style.widthFactor != 0.0 ? style.widthFactor : 1.0;
    f.oblique = style.obliqueAngle;
    f.font = fonts.primary;
    f.bigFont = fonts.bigFont;
    f.scale = f.height / genShapeUnitsPerHeight(f.font, f.bigFont);
    f.colour = colour;

    const DrawnEntity& entity = drawing->displayContext->entity;
    genMtextTransform(body.insertion, body.xDirection,
                      (entity.flags & kEntityHasExtrusion) ? &entity.extrusion : nullptr, transform, blockToWorld, 1.0);
    return true;
}

} // namespace

int genDrawMText(Drawing* drawing, MtextBody& body, const Matrix4& transform, int16_t colour, int16_t byLayerColour,
                 int16_t byBlockColour, uint8_t interpretCodes, double frameMargin) {
    if (!drawing || !drawing->displayContext) return 1;
    MTextLayoutInput input;
    Matrix4 blockToWorld;
    if (!prepareMText(drawing, body, transform, colour, byLayerColour, byBlockColour, interpretCodes, input,
                      blockToWorld))
        return 1;
    input.frameMargin = frameMargin;
    DisplayGlyphs glyphs(drawing, blockToWorld, input.vertical);
    GlyphDrawingScope scope(drawing, input.initial.scale);
    MTextLayoutResult measured;
    body.extentsWidth = input.referenceWidth;
    body.extentsHeight = 0.0;
    genLayoutMText(drawing, input, 0, glyphs, measured);
    body.extentsWidth = measured.width;
    body.extentsHeight = measured.height;
    input.extentsHeight = measured.height;
    MTextLayoutResult drawn;
    genLayoutMText(drawing, input, 1, glyphs, drawn);
    if (glyphs.failed) {
        dbReportError(kErrorMTextMatrices, kErrorReasonNoMemory);
        return 0;
    }
    return 1;
}

void genMeasureMText(Drawing* drawing, MtextBody& body, const Matrix4& transform) {
    body.extentsWidth = body.extentsHeight = 0.0;
    if (!drawing || !drawing->displayContext) return;
    MTextLayoutInput input;
    Matrix4 blockToWorld;
    if (!prepareMText(drawing, body, transform, -1, 7, 7, 1, input, blockToWorld)) return;
    DisplayGlyphs glyphs(drawing, blockToWorld, input.vertical);
    GlyphDrawingScope scope(drawing, input.initial.scale);
    MTextLayoutResult measured;
    genLayoutMText(drawing, input, 0, glyphs, measured);
    body.extentsWidth = measured.width;
    body.extentsHeight = measured.height;
}

} // namespace tracemill
