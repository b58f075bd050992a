#include "toolkit/display/text/text_alignment.h"

#include <cmath>

#include "toolkit/core/table_records.h"
#include "toolkit/display/text/shape_text.h"
#include "toolkit/display/text/shape_text_state.h"
#include "toolkit/display/text/text_fonts.h"

namespace tracemill {
namespace {

// Places the text from its measured extents and descent (the string's own axes, insertion at
// the origin). A centred or right-aligned text lines its ink box up with the alignment point
// (a glyph's side bearing does not shift it); a left-aligned one starts its pen there, as a
// text without alignment does.
void placeFromExtents(Point2& insertion, TextParameters& params, TextExtents box, double descent) {
    // A string that draws nothing leaves its box empty (min above max): it measures as a
    // point at the origin.
    if (box.min.x > box.max.x || box.min.y > box.max.y) {
        box.min = box.max = {0.0, 0.0, 0.0, 1.0};
    }
    const double width = box.max.x - box.min.x;
    if (params.horizontalAlign == kAlignAligned || params.horizontalAlign == kAlignFit) {
        if (width == 0.0) return;
        const double factor = genPointDistance(insertion, params.alignment) / width;
        if (params.horizontalAlign == kAlignAligned) {
            params.height *= factor;
        } else {
            params.widthFactor *= factor;
        }
        return;
    }
    Point2 point = params.alignment;
    switch (params.horizontalAlign) {
    case kAlignCentre: point.x -= box.min.x + width / 2.0; break;
    case kAlignRight: point.x -= box.max.x; break;
    case kAlignMiddle:
        point.x -= box.min.x + width / 2.0;
        point.y -= (box.min.y + box.max.y) / 2.0;
        break;
    default: break;
    }
    if (params.horizontalAlign != kAlignMiddle) {
        switch (params.verticalAlign) {
        case kAlignBottom: point.y -= descent; break;
        case kAlignVerticalMiddle: point.y -= box.max.y / 2.0; break;
        case kAlignTop: point.y -= box.max.y; break;
        default: break;
        }
    }
    genRotatePointAbout(point, params.alignment, params.rotation);
    insertion = point;
}

} // namespace

int genTextAlignPoint(Drawing* drawing, const char* text, Point2& insertion, TextParameters& params,
                      std::string_view fontFile, std::string_view bigFontFile) {
    if (params.horizontalAlign == kAlignLeft && params.verticalAlign == kAlignBaseline) return 1;
    TextExtents box;
    double descent = 0.0;
    if (!genMeasureShapeText(drawing, text, params, false, fontFile, bigFontFile, false, box, descent)) return 0;
    placeFromExtents(insertion, params, box, descent);
    return 1;
}

int genTextAlignPoint(Drawing* drawing, const char* text, Point2& insertion, TextParameters& params,
                      const StyleRecord& style) {
    if (params.horizontalAlign == kAlignLeft && params.verticalAlign == kAlignBaseline) return 1;
    const StyleFonts fonts = genResolveStyleFonts(drawing, style);
    TextExtents box;
    double descent = 0.0;
    if (!genMeasureFontText(drawing, text, params, false, fonts.primary, fonts.bigFont, box, descent)) return 0;
    placeFromExtents(insertion, params, box, descent);
    return 1;
}

double genPointDistance(const Point2& a, const Point2& b) { return std::hypot(b.x - a.x, b.y - a.y); }

void genRotatePointAbout(Point2& point, const Point2& centre, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double dx = point.x - centre.x;
    const double dy = point.y - centre.y;
    point = {centre.x + c * dx - s * dy, centre.y + s * dx + c * dy};
}

} // namespace tracemill
