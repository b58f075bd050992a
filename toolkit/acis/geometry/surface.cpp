#include "toolkit/acis/geometry/surface.h"

#include <ostream>

#include "toolkit/acis/geometry/trace_switches.h"
#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {

int c_Surface::silhouetteCurves(const aVector&, CurveArray&) const { return 0; }

int c_Surface::isoCurves(int, CurveArray&) const { return 0; }

int c_Surface::intersect(const c_Curve&, IntersectionList&) const {
    if (traceSwitches().surface) kernelDiagnostics() << "c_Surface::intersect called.\n";
    return 0;
}

OldStyleRecord c_Surface::makeOldStyleEntity() const {
    if (traceSwitches().surface) {
        kernelDiagnostics() << "c_Surface::makeOldStyleEntity making NULL entity (" << className() << ").\n";
    }
    return std::monostate{};
}

aVector c_Surface::normalAt(const aPoint&) const {
    if (traceSwitches().surface) kernelDiagnostics() << "c_Surface::normalAt returning a zero vector.\n";
    return kZeroVector;
}

int c_Surface::curvesThrough(const aPoint&, CurveArray&, int) const { return 0; }

} // namespace tracemill
