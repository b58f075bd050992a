// The request block of the glyph outline hook (output hook slot 31): text drawing asks the
// host for the outline of one character of a TrueType face and fills or measures what comes
// back.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/core/true_type_lookup.h"
#include "toolkit/core/hatch_segments.h"

namespace tracemill {

// Flags of an outline.
inline constexpr uint32_t kGlyphOutlineLines = 0x01;  // the contours may be drawn as lines
inline constexpr uint32_t kGlyphOutlineFill = 0x02;   // fill them as polygons (before lines)

// What the host answers: closed contours of line segments in drawing units (the face scaled
// so that its capital 'A' stands 1,000 units above the baseline), offset by the request's
// origin, and the pen advance of the character at that scale. Empty when the character has
// no glyph (or is the first byte of a double-byte character, which the next request
// completes).
struct GlyphOutline {
    std::vector<HatchSegments> contours;  // the loops the glyph fill takes
    double advance = 0.0;
    uint32_t flags = 0;
};

struct GlyphRequest {
    uint16_t code = 0;                    // the character: a byte of the face's character set
    Point2 origin;                        // added to every point of the outline
    const TrueTypeLookup* face = nullptr; // the face as the host's font finder answered it
    GlyphOutline outline;                 // filled by the hook
};

} // namespace tracemill
