#include "toolkit/display/quad_outline.h"

#include "toolkit/core/drawing.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/linetype_drawer.h"

namespace tracemill {

void genDrawRunStroke(Drawing* drawing, const Point3& from, const Point3& to, const Matrix4* matrices,
                      const LinetypeRecord* linetype) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return;
    context->segmentCounter += context->segmentRunEnd;
    genDrawLinetypedSegment(drawing, from, to, matrices, linetype, nullptr, context->segmentCounter, 0.0);
}

void genQuadOutline(Drawing* drawing, const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4,
                    const Matrix4* matrices, const LinetypeRecord* linetype) {
    genDrawRunStroke(drawing, p1, p2, matrices, linetype);
    genDrawRunStroke(drawing, p2, p3, matrices, linetype);
    genDrawRunStroke(drawing, p3, p4, matrices, linetype);
    genDrawRunStroke(drawing, p4, p1, matrices, linetype);
}

} // namespace tracemill
