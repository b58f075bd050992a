#include "toolkit/acis/kernel_state.h"

#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/rat_bezier_curve.h"
#include "toolkit/acis/geometry/trace_switches.h"
#include "toolkit/acis/intersect/record_geometry.h"
#include "toolkit/acis/sat/sat_switches.h"

namespace tracemill {

void acisResetKernelState() {
    geometryTolerances() = GeometryTolerances{};
    traceSwitches() = TraceSwitches{};
    pointOnPlaneTolerance() = 1e-8;
    bezierEndGameStrategy() = 0;
    satSwitches() = SatDiagnosticSwitches{};
}

} // namespace tracemill
