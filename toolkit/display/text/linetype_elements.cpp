// The text and shapes of complex linetypes, drawn at the end of their element in one viewport.
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/display_context.h"
#include "toolkit/core/fonts/builtin_fonts.h"
#include "toolkit/core/fonts/font_resolver.h"
#include "toolkit/core/fonts/shape_access.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/text/glyph_output.h"
#include "toolkit/display/text/shape_interpreter.h"
#include "toolkit/display/text/shape_text.h"
#include "toolkit/display/text/shape_text_state.h"
#include "toolkit/display/text/text_fonts.h"

namespace tracemill {
namespace {

constexpr int16_t kElementAbsoluteRotation = 1;
constexpr int16_t kElementText = 2;

std::string elementText(const LinetypeRecord& linetype, uint16_t position) {
    if (position >= linetype.textArea.size()) return {};
    const std::string& area = linetype.textArea;
    const size_t end = area.find('\0', position);
    return area.substr(position, end == std::string::npos ? std::string::npos : end - position);
}

} // namespace

int genDrawLinetypeElement(Drawing* drawing, const LinetypeRecord& linetype, int element, const Point3& at,
                           const Point3& direction, int viewport) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || element < 0 || element >= std::min<int>(linetype.dashCount, kMaxLinetypeDashes)) return 0;
    const LinetypeDash& dash = linetype.dashes[size_t(element)];
    StyleRecord style;
    Drawing* owner = linetype.drawing ? linetype.drawing : drawing;
    if (dash.style.isNull() || !dbGetStyleByHandle(owner, dash.style, style)) return 0;
    const bool text = (dash.complexFlags & kElementText) != 0;
    ShapeFont* simplex = gSystemContext ? gSystemContext->builtinFonts[kBuiltinSimplexFont].get() : nullptr;
    ShapeFont* font = FontResolver(drawing, style.fontFile, kAcceptPrimaryFont, text ? simplex : nullptr, {}, -1);
    if (!font || (!text && font == simplex)) return 0;

    // The pattern's scale in drawing units, the element's size, its turn and its place.
    const double patternScale = drawing->header->ltscale * context->entity.linetypeScale;
    double size = dash.scale;
    if (text) {
        size /= genShapeUnitsPerHeight(font, nullptr);
        if (style.fixedHeight != 0.0) size *= style.fixedHeight;
    }
    size *= patternScale;
    const double pieceAngle = std::atan2(direction.y, direction.x);
    const double angle = (dash.complexFlags & kElementAbsoluteRotation) ? dash.rotation : pieceAngle + dash.rotation;
    const double c = std::cos(pieceAngle), s = std::sin(pieceAngle);
    const Point3 place{at.x + (dash.offset.x * c - dash.offset.y * s) * patternScale,
                       at.y + (dash.offset.x * s + dash.offset.y * c) * patternScale, at.z};

    Matrix4 m = kIdentityMatrix4;
    genMatrixScale(size, size, 1.0, m);
    Matrix4 turn = kIdentityMatrix4;
    genMatrixRotateZ(angle, turn);
    genMatrixMultiply(m, turn, m);
    genMatrixPostTranslate(place.x, place.y, place.z, m);
    const DrawnEntity saved = context->entity;
    if ((saved.flags & kEntityHasExtrusion) && !(font->kind & kFontKindTrueType))
        genMatrixMultiply(m, saved.objectMatrix, m);
    std::vector<Matrix4> matrices(size_t(context->viewportCount), kIdentityMatrix4);
    if (viewport < 0 || viewport >= context->viewportCount) return 0;
    genMatrixMultiply(m, context->viewports[size_t(viewport)].worldToDevice, matrices[size_t(viewport)]);

    // Only this viewport shows the element; the entity is drawn as TEXT without its thickness.
    const uint64_t hidden = context->hiddenMask;
    context->hiddenMask = ~(uint64_t(1) << viewport);
    context->entity.thickness = 0.0;
    const uint32_t identity = context->linetypeEntityIdentity;
    GlyphTarget target{matrices.data()};
    ShapeTextState state;
    state.mainFont = font;
    state.above = uint16_t(genShapeUnitsPerHeight(font, nullptr));
    state.hostWord = &target;
    int result = 1;
    {
        GlyphDrawingScope scope(drawing, size);
        if (text) {
            const std::string characters = elementText(linetype, dash.textPosition);
            result = genDrawShapeText(drawing, characters.c_str(), state, 1.0, nullptr, nullptr, false);
        } else if (ShapeFont* found = genFindShape(drawing, font, nullptr, uint16_t(dash.shapeNumber), 0)) {
            ShapeInterpreter(drawing, uint16_t(dash.shapeNumber), *found, state, 0, nullptr, nullptr);
        } else {
            result = 0;
        }
    }
    context->linetypeEntityIdentity = identity;
    context->entity = saved;
    context->hiddenMask = hidden;
    return result;
}

} // namespace tracemill
