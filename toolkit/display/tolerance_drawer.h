// TOLERANCE entities (feature control frames): the text cut into rows at line feeds (and "^J")
// and each row into cells at "%%v"; each row a band twice the text height high, framed, its
// cells separated by lines and their texts drawn as MTEXT, so that format codes such as a
// switch to the GDT font work in them. Sizes, colours and the text style come from the
// entity's dimension style and its "DSTYLE" overrides.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/display/entity_pass_values.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct EntityHeader;
struct ToleranceBody;

// The text of an empty frame, which draws nothing.
inline constexpr std::string_view kEmptyToleranceText = "%%v%%v%%v%%v%%v";

// The transform from the frame's own coordinates (the insertion point at the origin, x along
// the direction, y across it in the plane of `normal`, scaled by `scale`) to the world through
// `transform`.
void genPlaceTolerance(const Point3& insertion, const Point3& direction, const Point3& normal, double scale,
                       const Matrix4& transform, Matrix4& out);

// The rows of a tolerance text (cut at line feeds, and at "^J" with `caretBreaks`), each the
// texts of its cells (cut at "%%v").
std::vector<std::vector<std::string>> genToleranceCells(std::string_view text, bool caretBreaks);

// Draws the frame; `pass` gives the list's transform and the entity's colours. 1; 0 when the
// frame's transforms cannot be made (error callback 2).
int genDrawTolerance(Drawing* drawing, const EntityHeader& header, const ToleranceBody& tolerance,
                     const EntityPassValues& pass);

// One line of the frame: drawn as the TOLERANCE in the line colour, after which the text
// colour is sent and the entity is drawn as TEXT again.
void genDrawToleranceLine(Drawing* drawing, const Point3& from, const Point3& to, const Matrix4* matrices,
                          int32_t lineColour, int32_t textColour);

} // namespace tracemill
