// The view a host states for a display pass, and the view of the collected extents it gets
// back (28 words in the original: three homogeneous vectors and two sizes).
#pragma once

#include "toolkit/core/matrix4.h"

namespace tracemill {

struct ViewBlock {
    Point4 direction{0.0, 0.0, 1.0, 0.0};  // from the target towards the viewer
    Point4 target{0.0, 0.0, 0.0, 1.0};     // the point at the centre of the device area
    Point4 up{0.0, 1.0, 0.0, 0.0};
    double width = 0.0;   // of the visible area, in drawing units
    double height = 0.0;
    friend bool operator==(const ViewBlock&, const ViewBlock&) = default;
};

} // namespace tracemill
