// The number of chords an arc is drawn with.
#pragma once

#include <cstdint>

namespace tracemill {

// Chords for an arc of `sweep` radians (either sign): a full circle gets 4 x resolution, or
// with resolution 0 `circleChords`, the count display generation gives the arc's circle in
// the current view (genCircleSegmentCount); the arc its share, rounded, at least 2. A sweep
// that is not finite gets 2, and the count never exceeds the 32-bit range.
int32_t dbArcSegmentCount(int32_t resolution, double sweep, int32_t circleChords);

} // namespace tracemill
