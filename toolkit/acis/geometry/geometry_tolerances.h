// The kernel's process-wide geometric tolerances, which nearly every geometric test reads.
// The wireframe renderer recomputes them for every body it draws.
#pragma once

#include "toolkit/acis/scoped_value.h"

namespace tracemill {

struct GeometryTolerances {
    double BasicAngleTol = 0.001;
    double BasicDistanceTol = 1e-6;
    double BasicDistanceSquaredTol = 0.0002;
    double BasicUnitTol = 1e-6;
    // Two points coincide when they are closer than this (strictly); 0 until the renderer's
    // first tolerance setup, so that nothing coincides before.
    double coincTol = 0.0;
};

// The process-wide values.
GeometryTolerances& geometryTolerances();

// Sets a tolerance for the length of a scope and restores the value it had, however the scope
// is left.
using ScopedTolerance = ScopedValue<double>;

} // namespace tracemill
