// The process-wide values of the solids kernel (tolerances, trace switches, the intersection
// kernels' own tolerance, the Bezier end-game strategy, the SAT reader's diagnostic switches)
// and their reset to the start values.
#pragma once

namespace tracemill {

// Puts every process-wide kernel value back to its start value. Test fixtures call it so that
// nothing one test changed reaches the next.
void acisResetKernelState();

} // namespace tracemill
