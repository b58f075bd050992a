#include "toolkit/display/text/text_alignment.h"

#include <cmath>

#include "toolkit/display/text/shape_text.h"
#include "toolkit/display/text/shape_text_state.h"

namespace tracemill {

int genTextAlignPoint(Drawing* drawing, const char* text, Point2& insertion, TextParameters& params,
                      std::string_view fontFile, std::string_view bigFontFile) {
    if (params.horizontalAlign == kAlignLeft && params.verticalAlign == kAlignBaseline) return 1;
    TextExtents box;
    double descent = 0.0;
    if (!genMeasureShapeText(drawing, text, params, false, fontFile, bigFontFile, false, box, descent)) return 0;
    // A string that draws nothing leaves its box empty (min above max): it measures as a
    // point at the origin.
    if (box.min.x > box.max.x || box.min.y > box.max.y) {
        box.min = box.max = {0.0, 0.0, 0.0, 1.0};
    }
    const double width = box.max.x - box.min.x;
    if (params.horizontalAlign == kAlignAligned || params.horizontalAlign == kAlignFit) {
        if (width == 0.0) return 1;
        const double factor = genPointDistance(insertion, params.alignment) / width;
        if (params.horizontalAlign == kAlignAligned) {
            params.height *= factor;
        } else {
            params.widthFactor *= factor;
        }
        return 1;
    }
    Point2 point = params.alignment;
    switch (params.horizontalAlign) {
    case kAlignCentre: point.x -= width / 2.0; break;
    case kAlignRight: point.x -= width; break;
    case kAlignMiddle:
        point.x -= width / 2.0;
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
