// MLINE entities: the lines of a multiline, each at its offset along the miters of the
// vertices, broken where its parameters break it, in its own colour and linetype; the bands
// between them filled when the style fills; miters, square and round caps and inner arcs as
// the multiline style asks.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/entity_pass_values.h"

namespace tracemill {

struct Drawing;
struct EntityHeader;
struct MlineBody;

// Error numbers: the per-viewport transforms of a round cap's arcs, of its fill; the
// elements' linetypes.
inline constexpr int kErrorMlineCapArcTransforms = 247;
inline constexpr int kErrorMlineCapFillTransforms = 248;
inline constexpr int kErrorMlineElementLinetypes = 257;

// Bits of a multiline style's flags.
inline constexpr int16_t kMlineStyleFill = 0x1;
inline constexpr int16_t kMlineStyleMiters = 0x2;
inline constexpr int16_t kMlineStyleStartSquare = 0x10;
inline constexpr int16_t kMlineStyleStartInnerArcs = 0x20;
inline constexpr int16_t kMlineStyleStartRound = 0x40;
inline constexpr int16_t kMlineStyleEndSquare = 0x100;
inline constexpr int16_t kMlineStyleEndInnerArcs = 0x200;
inline constexpr int16_t kMlineStyleEndRound = 0x400;

// Draws the multiline; `pass` gives its matrices, colours and linetypes. 1; 0 when a work
// array cannot be made (errors 247, 248, 257, error callback 2).
int genDrawMline(Drawing* drawing, const EntityHeader& header, const MlineBody& mline, const EntityPassValues& pass);

// The half circle about the middle of p1 and p2 through both, from p1 turning by sign x pi
// (sign +1 counter-clockwise) in the entity's plane, as two quarter arcs: the first in
// `colour1` with `linetype1`, the second in `colour2` with `linetype2` (a colour below 0 keeps
// the one sent). 1; 0 when its transforms cannot be made (error 247).
int genMlineCapArc(Drawing* drawing, const EntityHeader& header, const Point3& p1, const Point3& p2, double sign,
                   int32_t colour1, int32_t colour2, const LinetypeRecord* linetype1,
                   const LinetypeRecord* linetype2, const EntityPassValues& pass);

// The same half disc filled as triangles from its centre, half as many as the circle's chords.
// 1; 0 when its transforms cannot be made (error 248).
int genMlineCapFill(Drawing* drawing, const EntityHeader& header, const Point3& p1, const Point3& p2, double sign,
                    const EntityPassValues& pass);

} // namespace tracemill
