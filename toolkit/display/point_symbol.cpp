#include "toolkit/display/point_symbol.h"

#include <cmath>
#include <numbers>

#include "toolkit/core/drawing.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/linetype_drawer.h"

namespace tracemill {

void genRotateAboutViewCentre(Drawing* drawing, Point2& point, double cos, double sin) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return;
    const Point2 c = context->symbol.viewCentre;
    const double dx = point.x - c.x, dy = point.y - c.y;
    point = {c.x + dx * cos - dy * sin, c.y + dx * sin + dy * cos};
}

void genDrawSymbolSegment(Drawing* drawing, const Point3& p, const Point3& q, const LinetypeRecord* linetype) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !context->symbol.matrices) return;
    const double angle = 2.0 * std::numbers::pi - context->symbol.twist;
    const double c = std::cos(angle), s = std::sin(angle);
    Point2 a{p.x, p.y}, b{q.x, q.y};
    genRotateAboutViewCentre(drawing, a, c, s);
    genRotateAboutViewCentre(drawing, b, c, s);
    genDrawLinetypedSegment(drawing, {a.x, a.y, p.z}, {b.x, b.y, q.z}, context->symbol.matrices, linetype, nullptr,
                            ++context->segmentCounter, 0.0);
}

} // namespace tracemill
