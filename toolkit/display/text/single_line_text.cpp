#include "toolkit/display/text/single_line_text.h"

#include <cmath>
#include <string>
#include <vector>

#include "toolkit/core/code_pages.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/display_context.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/text/glyph_output.h"
#include "toolkit/display/text/shape_text.h"
#include "toolkit/display/text/shape_text_state.h"
#include "toolkit/display/text/text_fonts.h"
#include "toolkit/display/text/text_tokens.h"

namespace tracemill {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kVerticalTurn = 4.71238898038469;
constexpr uint8_t kStyleVertical = 4;

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

bool hexRun(const char* p, int n) {
    for (int i = 0; i < n; ++i)
        if (!isHex(p[i])) return false;
    return true;
}

bool pfbName(const std::string& name) {
    return name.find(".PFB") != std::string::npos || name.find(".pfb") != std::string::npos;
}

// The entity's own coordinate system, then the list's transform.
Matrix4 planeTransform(Drawing* drawing, const Matrix4& transform) {
    Matrix4 m = transform;
    const DrawnEntity& entity = drawing->displayContext->entity;
    if (entity.flags & kEntityHasExtrusion) genMatrixMultiply(entity.objectMatrix, transform, m);
    return m;
}

// QTEXTMODE and text below the minimum height: the baseline, and with the rectangle the
// other three sides of the text's box.
void drawSimplified(Drawing* drawing, const TextFields& text, const StyleRecord& style, const Matrix4* matrices,
                    double height, bool rectangle) {
    double length;
    if (text.horizontalAlign == 5) {
        length = std::fabs(text.alignment.x - text.insertion.x);
    } else {
        const int codePage = drawing->header ? drawing->header->dwgcodepage : 0;
        length = genTextCharacterCount(text.text.c_str(), codePage) * height * text.widthFactor;
    }
    if (text.generation & kTextBackwards) length = -length;
    double rotation = text.rotation;
    if (style.flags & kStyleVertical) rotation += kVerticalTurn;
    const Point3 start = text.insertion;
    const Point3 end{start.x + length * std::cos(rotation), start.y + length * std::sin(rotation), start.z};
    genDrawLinetypedSegment(drawing, start, end, matrices, nullptr, nullptr, 0, 0.0);
    if (!rectangle) return;
    const double h = (text.generation & kTextUpsideDown) ? -height : height;
    const Point3 up{-h * std::sin(rotation), h * std::cos(rotation), 0.0};
    const Point3 startUp{start.x + up.x, start.y + up.y, start.z}, endUp{end.x + up.x, end.y + up.y, end.z};
    genDrawLinetypedSegment(drawing, start, startUp, matrices, nullptr, nullptr, 0, 0.0);
    genDrawLinetypedSegment(drawing, startUp, endUp, matrices, nullptr, nullptr, 0, 0.0);
    genDrawLinetypedSegment(drawing, endUp, end, matrices, nullptr, nullptr, 0, 0.0);
}

} // namespace

int genTextCharacterCount(const char* text, int codePage) {
    int count = 0;
    const char* p = text;
    while (*p) {
        if (p[0] == '\\' && (p[1] == 'U' || p[1] == 'u') && p[2] == '+' && hexRun(p + 3, 4)) {
            p += 7;
        } else if (p[0] == '\\' && (p[1] == 'M' || p[1] == 'm') && p[2] == '+' && p[3] >= '0' && p[3] <= '5' &&
                   hexRun(p + 4, 4)) {
            p += 8;
        } else if (dbIsLeadByte(uint8_t(p[0]), codePage) && p[1] != 0) {
            p += 2;
        } else {
            ++p;
        }
        ++count;
    }
    return count;
}

int genDrawText(Drawing* drawing, const TextFields& text, const StyleRecord& style, const Matrix4& transform,
                double minimumHeight) {
    if (!drawing || !drawing->displayContext) return 1;
    double oblique = text.obliqueAngle;
    if (oblique >= kPi / 2.0) oblique -= 2.0 * kPi;
    if (oblique > kMaxTextOblique || genIsBlankText(text.text)) return 1;

    const StyleFonts fonts = genResolveStyleFonts(drawing, style);
    if (!fonts.primary) return 1;
    double height = text.height;
    if (pfbName(style.fontFile)) height *= kPfbHeightFactor;
    const double above = fonts.primary->above > 0 ? fonts.primary->above : kDefaultFontAbove;
    const double bigScale = fonts.bigFont ? fonts.bigFont->bigHeight / above : 1.0;

    const Matrix4 plane = planeTransform(drawing, transform);
    const bool quick = drawing->header && drawing->header->qtextmode != 0;
    if (quick || std::fabs(height) < minimumHeight) {
        std::vector<Matrix4> matrices;
        if (!genGlyphMatricesPerViewport(drawing, plane, matrices)) {
            dbReportError(kErrorTextMatrices, kErrorReasonNoMemory);
            return 0;
        }
        const uint16_t kind = drawing->displayContext->entity.kind;
        drawing->displayContext->entity.kind = kEntityText;
        drawSimplified(drawing, text, style, matrices.data(), height, std::fabs(height) >= minimumHeight);
        drawing->displayContext->entity.kind = kind;
        return 1;
    }

    // The text's own generation flags decide: a style's backward and upside-down flags are the
    // defaults that new text takes from it, and text that cleared them draws unmirrored.
    const bool mirrorX = (text.generation & kTextBackwards) != 0;
    const bool mirrorY = (text.generation & kTextUpsideDown) != 0;
    if (mirrorY) height = -height;
    double widthFactor = text.widthFactor;
    if (mirrorX != mirrorY) widthFactor = -widthFactor;
    const double s = height / genShapeUnitsPerHeight(fonts.primary, fonts.bigFont);

    Matrix4 base = plane;
    genMatrixTranslate(text.insertion, base);
    if (text.rotation != 0.0) genMatrixRotateZ(text.rotation, base);
    Matrix4 shear = kIdentityMatrix4;
    shear.at(1, 0) = std::tan(oblique);
    genMatrixMultiply(shear, base, base);
    genMatrixScale(s * widthFactor, s, 1.0, base);

    std::vector<Matrix4> matrices;
    if (!genGlyphMatricesPerViewport(drawing, base, matrices)) {
        dbReportError(kErrorTextMatrices, kErrorReasonNoMemory);
        return 0;
    }
    GlyphTarget target{matrices.data()};
    ShapeTextState state;
    state.mainFont = fonts.primary;
    state.bigFont = fonts.bigFont;
    state.above = uint16_t(above);
    state.layoutFlags = (style.flags & kStyleVertical) ? kShapeTextVertical : 0;
    state.hostWord = &target;
    GlyphDrawingScope scope(drawing, s);
    genDrawShapeText(drawing, text.text.c_str(), state, bigScale, nullptr, nullptr, false);
    return 1;
}

} // namespace tracemill
