// LEADER entities: the path from the arrowhead at the first vertex to the last, straight or as
// a curve through the vertices, the hook towards the annotation and the underline of a text
// annotation, in the arrow size, gap and colour of the leader's dimension style and its
// overrides. A leader whose style asks for framed text arms the frame of its MTEXT annotation.
#pragma once

#include <cstdint>

#include "toolkit/display/entity_pass_values.h"

namespace tracemill {

struct Drawing;
struct EntityHeader;
struct LeaderBody;

// Error number: the leader's work arrays cannot be made.
inline constexpr int kErrorLeaderArrays = 28;

// The leader's effective dimension scale: DIMSCALE, or for DIMSCALE 0 (scale to the sheet) the
// sheet's device scale over the first viewport's when model space is shown in the viewports
// of a sheet, 1 otherwise.
double genLeaderScale(Drawing* drawing, const EntityHeader& header, double dimscale);

// Draws the leader; `pass` holds its matrices, colour and linetype. 1; 0 when its arrays cannot
// be made (error 28, error callback 2).
int genDrawLeader(Drawing* drawing, const EntityHeader& header, const LeaderBody& leader, const EntityPassValues& pass);

} // namespace tracemill
