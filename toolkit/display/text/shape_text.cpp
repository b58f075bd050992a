#include "toolkit/display/text/shape_text.h"

#include <algorithm>
#include <cmath>

#include "toolkit/core/drawing.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/builtin_fonts.h"
#include "toolkit/core/fonts/font_resolver.h"
#include "toolkit/core/fonts/shape_access.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/text/shape_interpreter.h"
#include "toolkit/display/text/shape_text_state.h"
#include "toolkit/display/text/text_decoding.h"

namespace tracemill {

namespace {

constexpr double kPi = 3.14159265358979323846;

// a / b, or 0 where a font's height is 0 (a font without its information shape): such text
// measures as a point instead of growing without bound.
double ratio(double a, double b) { return b != 0.0 ? a / b : 0.0; }

// The matrix from shape units to the text's own axes: (s w x + t s y, s y), s the height per
// shape unit, w the width factor and t the slant.
Matrix4 measuringMatrix(double scale, double widthFactor, double obliqueAngle) {
    if (obliqueAngle > kPi / 2.0) obliqueAngle -= 2.0 * kPi;
    const double slant = obliqueAngle == 0.0 ? 0.0 : std::tan(obliqueAngle);
    Matrix4 m = kIdentityMatrix4;
    m.at(0, 0) = scale * widthFactor;
    m.at(1, 0) = slant * scale;
    m.at(1, 1) = scale;
    return m;
}

} // namespace

int genDrawShapeText(Drawing* drawing, const char* text, ShapeTextState& state, double mainFontScale,
                     TextExtents* extents, const Matrix4* matrix, bool extentsOnly) {
    state.pen = {0.0, 0.0};
    state.drawFlag = extentsOnly ? 0 : 1;
    state.xScale = 1.0;
    state.yScale = 1.0;
    uint8_t decorationFlags = 0;
    const int codePage = drawing && drawing->header ? drawing->header->dwgcodepage : 0;
    const uint8_t fontFlags = state.mainFont ? state.mainFont->kind : 0;
    const char* cursor = text ? text : "";
    for (;;) {
        uint8_t plain = 0;
        const uint16_t code = genDecodeTextChar(cursor, fontFlags, state, codePage, plain, decorationFlags);
        if (code == 0) return 1;
        ShapeFont* font = (fontFlags & kFontKindTrueType)
                              ? state.mainFont
                              : genFindShape(drawing, state.mainFont, state.bigFont, code,
                                             plain ? kFindShapeConvertCode : 0);
        if (!font) return 0;
        if (state.bigFont) {
            const double scale = font == state.bigFont ? 1.0 : mainFontScale;
            state.xScale = scale;
            state.yScale = scale;
        }
        ShapeInterpreter(drawing, code, *font, state, decorationFlags, extents, matrix);
    }
}

int genMeasureShapeText(Drawing* drawing, const char* text, const TextParameters& params, bool vertical,
                        std::string_view fontFile, std::string_view bigFontFile, bool useBuiltinFallback,
                        TextExtents& extentsOut, double& descentOut) {
    if (!gSystemContext) return 0;
    SystemContext& context = *gSystemContext;
    const bool withBigFont = !bigFontFile.empty();
    ShapeFont* fallback = useBuiltinFallback ? context.builtinFonts[kBuiltinSimplexFont].get() : nullptr;
    ShapeFont* mainFont = FontResolver(drawing, fontFile, withBigFont ? kAcceptPrimaryBesideBigFont : kAcceptPrimaryFont,
                                       fallback, {}, -1);
    if (!mainFont) return dbSetError(kErrorTextFontNotFound);
    ShapeFont* bigFont = nullptr;
    if (withBigFont) {
        bigFont = FontResolver(drawing, bigFontFile, kAcceptBigFont, nullptr, {}, -1);
        if (!bigFont) return dbSetError(kErrorTextBigFontNotFound);
    }
    return genMeasureFontText(drawing, text, params, vertical, mainFont, bigFont, extentsOut, descentOut);
}

int genMeasureFontText(Drawing* drawing, const char* text, const TextParameters& params, bool vertical,
                       ShapeFont* mainFont, ShapeFont* bigFont, TextExtents& extentsOut, double& descentOut) {
    if (!gSystemContext || !mainFont) return 0;
    SystemContext& context = *gSystemContext;
    double descent = -ratio(mainFont->below * params.height, mainFont->above);
    double mainFontScale = 1.0;
    if (bigFont) {
        mainFontScale = ratio(bigFont->bigHeight, mainFont->above);
        if (mainFont->below != 0) descent = std::min(descent, -(bigFont->below * params.height / mainFont->below));
    }

    double height = params.height;
    double widthFactor = params.widthFactor;
    if (params.generation & kTextUpsideDown) {
        height = -height;
        widthFactor = -widthFactor;
    }
    if (params.generation & kTextBackwards) widthFactor = -widthFactor;
    const double unitsPerShapeUnit = ratio(height, bigFont ? bigFont->bigHeight : mainFont->above);
    const Matrix4 matrix = measuringMatrix(unitsPerShapeUnit, widthFactor, params.obliqueAngle);

    ShapeTextState state;
    state.mainFont = mainFont;
    state.bigFont = bigFont;
    state.layoutFlags = vertical ? kShapeTextVertical : 0;
    state.above = uint16_t(mainFont->above);
    genResetShapePositionStack();
    const ShapeLineCallback savedLine = context.shapeLineCallback;
    const ShapeArcCallback savedArc = context.shapeArcCallback;
    context.shapeLineCallback = nullptr;
    context.shapeArcCallback = genExtentsArc;
    extentsOut = TextExtents{};
    if (params.horizontalAlign == kAlignFit) context.extentsTakeAdvance = 1;
    genDrawShapeText(drawing, text, state, mainFontScale, &extentsOut, &matrix,
                     (mainFont->kind & kFontKindTrueType) != 0);
    context.extentsTakeAdvance = 0;
    context.shapeLineCallback = savedLine;
    context.shapeArcCallback = savedArc;
    descentOut = descent;
    return 1;
}

} // namespace tracemill
