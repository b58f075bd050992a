#include "toolkit/display/tolerance_drawer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/core/dim_style_overrides.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/text/mtext_display.h"
#include "toolkit/display/text/text_tokens.h"

namespace tracemill {
namespace {

// A scale at or below this is taken as 1.
constexpr double kSmallestScale = 1e-12;
// MTEXT attachment: the top left corner of the text at its insertion point.
constexpr uint8_t kAttachTopLeft = 1;

// What the frame is drawn with: its dimension style's values and the entity's overrides.
struct ToleranceStyle {
    double scale = 1.0;
    double height = 0.0;  // the text height, 0 when neither the entity nor an override gives one
    int32_t lineColour = 0;
    int32_t textColour = 0;
    Handle textStyle;
};

ToleranceStyle readStyle(Drawing* drawing, const EntityHeader& header, const ToleranceBody& tolerance) {
    ToleranceStyle out;
    DimStyleRecord style;
    const bool found = dbGetDimStyleByHandle(drawing, tolerance.dimensionStyle, style) != 0;
    const HeaderBlock& h = *drawing->header;
    const double scale = found ? style.dimscale : h.dimscale;
    out.scale = scale > kSmallestScale ? scale : 1.0;
    out.lineColour = found ? style.dimclrd : h.dimclrd;
    out.textColour = found ? style.dimclrt : h.dimclrt;
    out.textStyle = found ? style.dimtxsty : h.current.dimtxsty;
    // A frame whose entity stores no height (DXF keeps none) takes the style's text height.
    out.height = tolerance.textHeight > 0.0 ? tolerance.textHeight : found ? style.dimtxt : h.dimtxt;
    for (const DimStyleOverride& o : dbReadDimStyleOverrides(drawing, header.xdata)) {
        switch (o.code) {
        case 140: out.height = o.value.real; break;
        case 40: out.scale = o.value.real > kSmallestScale ? o.value.real : 1.0; break;
        case 176: out.lineColour = o.value.int16; break;
        case 178: out.textColour = o.value.int16; break;
        case 340: out.textStyle = o.value.handle; break;
        default: break;
        }
    }
    return out;
}

int32_t resolve(int32_t colour, const EntityPassValues& pass) {
    return colour == kColourByBlock ? pass.byBlockColour : colour == kColourByLayer ? pass.byLayerColour : colour;
}

bool startsWithNoCase(std::string_view text, size_t at, std::string_view word) {
    if (at + word.size() > text.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = text[at + i];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != word[i]) return false;
    }
    return true;
}

} // namespace

void genPlaceTolerance(const Point3& insertion, const Point3& direction, const Point3& normal, double scale,
                       const Matrix4& transform, Matrix4& out) {
    Point3 z = genNormalized(normal);
    if (z.x == 0.0 && z.y == 0.0 && z.z == 0.0) z = {0.0, 0.0, 1.0};
    Point3 x = genNormalized(direction);
    if (x.x == 0.0 && x.y == 0.0 && x.z == 0.0) {
        Matrix4 ocs;
        genOcsMatrix(z, ocs);
        x = {ocs.at(0, 0), ocs.at(0, 1), ocs.at(0, 2)};
    }
    const Point3 y = genNormalized(genCross(z, x));
    Matrix4 frame = kIdentityMatrix4;
    frame.at(0, 0) = x.x * scale, frame.at(0, 1) = x.y * scale, frame.at(0, 2) = x.z * scale;
    frame.at(1, 0) = y.x * scale, frame.at(1, 1) = y.y * scale, frame.at(1, 2) = y.z * scale;
    frame.at(2, 0) = z.x * scale, frame.at(2, 1) = z.y * scale, frame.at(2, 2) = z.z * scale;
    frame.at(3, 0) = insertion.x, frame.at(3, 1) = insertion.y, frame.at(3, 2) = insertion.z;
    genMatrixMultiply(frame, transform, out);
}

std::vector<std::vector<std::string>> genToleranceCells(std::string_view text, bool caretBreaks) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\n' || (caretBreaks && text.substr(i, 2) == "^J")) {
            rows.emplace_back(1);
            i += text[i] == '\n' ? 1 : 2;
        } else if (startsWithNoCase(text, i, "%%v")) {
            rows.back().emplace_back();
            i += 3;
        } else {
            rows.back().back() += text[i++];
        }
    }
    return rows;
}

void genDrawToleranceLine(Drawing* drawing, const Point3& from, const Point3& to, const Matrix4* matrices,
                          int32_t lineColour, int32_t textColour) {
    DisplayContext& context = *drawing->displayContext;
    context.entity.kind = kEntityTolerance;
    genSetIndexColour(drawing, lineColour);
    genDrawLinetypedSegment(drawing, from, to, matrices, nullptr, nullptr, ++context.segmentCounter, 0.0);
    genSetIndexColour(drawing, textColour);
    context.entity.kind = kEntityText;
}

int genDrawTolerance(Drawing* drawing, const EntityHeader& header, const ToleranceBody& tolerance,
                     const EntityPassValues& pass) {
    if (!drawing || !drawing->displayContext || !drawing->header) return 1;
    if (tolerance.text == kEmptyToleranceText || genIsBlankText(tolerance.text)) return 1;
    DisplayContext& context = *drawing->displayContext;
    const ToleranceStyle style = readStyle(drawing, header, tolerance);
    const double H = style.height;
    if (!(H > 0.0) || !std::isfinite(H)) return 1;

    Matrix4 placement;
    genPlaceTolerance(tolerance.insertion, tolerance.xDirection,
                      (header.flags & kEntityHasExtrusion) ? header.extrusion : Point3{0.0, 0.0, 1.0}, style.scale,
                      pass.transform, placement);
    std::vector<Matrix4> matrices;
    if (!dbTryResize(matrices, size_t(context.viewportCount))) {
        dbNotifyError(kErrorReasonNoMemory);
        return 0;
    }
    genViewportTransforms(drawing, placement, matrices);

    // A text style of a fixed height sets the cells' height, centred in their bands.
    double cellHeight = H;
    Handle textStyle = style.textStyle;
    if (textStyle.isNull()) dbFindStyleHandle(drawing, "Standard", textStyle);
    StyleRecord record;
    if (dbGetStyleByHandle(drawing, textStyle, record) && record.fixedHeight > 0.0)
        cellHeight = record.fixedHeight / style.scale;
    const int32_t lineColour = resolve(style.lineColour, pass);
    const int32_t textColour = resolve(style.textColour, pass);

    // The frame lies in its own plane: the cells' MTEXT must not turn into the entity's again.
    const DrawnEntity entity = context.entity;
    context.entity.flags &= uint8_t(~kEntityHasExtrusion);
    context.entity.extrusion = {0.0, 0.0, 1.0};
    context.entity.objectMatrix = kIdentityMatrix4;
    context.entity.kind = kEntityText;
    context.insideTolerance = 1;
    genSetIndexColour(drawing, textColour);

    auto frameLine = [&](double x0, double y0, double x1, double y1) {
        genDrawToleranceLine(drawing, {x0, y0, 0.0}, {x1, y1, 0.0}, matrices.data(), lineColour, textColour);
    };
    double previousRight = 0.0;
    double bottom = H;
    bool first = true;
    for (const std::vector<std::string>& row : genToleranceCells(tolerance.text, context.caretLineBreaks != 0)) {
        // A row without text draws no band.
        if (std::all_of(row.begin(), row.end(), [](const std::string& cell) { return cell.empty(); })) continue;
        const double top = bottom;
        bottom = top - 2.0 * H;
        frameLine(0.0, top, 0.0, bottom);
        double x = 0.0;
        for (const std::string& cell : row) {
            if (cell.empty()) continue;  // an empty compartment is not drawn
            x += H / 2.0;
            MtextBody text;
            text.insertion = {x, top - (2.0 * H - cellHeight) / 2.0, 0.0};
            text.xDirection = {1.0, 0.0, 0.0};
            text.textHeight = cellHeight;
            text.attachment = kAttachTopLeft;
            text.lineSpacingFactor = 1.0;
            text.text = cell;
            text.style = textStyle;
            genMeasureMText(drawing, text, placement);
            const double width = text.extentsWidth;
            genDrawMText(drawing, text, placement, int16_t(textColour), pass.byLayerColour, pass.byBlockColour, 1);
            x += width + H / 2.0;
            frameLine(x, top, x, bottom);
        }
        frameLine(0.0, top, first ? x : std::max(x, previousRight), top);
        previousRight = x;
        first = false;
    }
    if (!first) frameLine(0.0, bottom, previousRight, bottom);

    context.insideTolerance = 0;
    context.entity = entity;
    return 1;
}

} // namespace tracemill
