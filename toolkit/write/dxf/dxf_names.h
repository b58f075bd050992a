// The names that DXF carries where the drawing keeps handles: the name of the linetype, layer,
// text style, block or dimension style of a handle, and the numbers by which names are
// converted and anonymous blocks renumbered (a record's position in its list).
#pragma once

#include <string>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// Errors of handles that name no record.
inline constexpr int kErrorNoSuchLayer = 66;
inline constexpr int kErrorNoSuchLinetype = 67;
inline constexpr int kErrorNoSuchStyle = 68;
inline constexpr int kErrorNoSuchDimStyle = 69;
inline constexpr int kErrorNoSuchAppId = 71;
inline constexpr int kErrorNoSuchBlock = 75;
inline constexpr int kErrorNoSuchUcs = 128;

// Notes the position of every table record and block record of the drawing in the context.
void wrIndexRecordPositions(const Drawing& drawing, OutputContext& output);
// The position of the record of a handle in its list; 0 when unknown.
int32_t wrRecordPosition(const OutputContext& output, Handle handle);

// "ByLayer" and "ByBlock" for the drawing's BYLAYER and BYBLOCK linetypes (found by handle),
// "ByLayer" for a handle that names no linetype; else the linetype's name. Always 1.
int wrLinetypeNameByHandle(const Drawing& drawing, Handle handle, std::string& name);
// 1 and the name; 0 with 66, 68 or 69 when the handle names no record of the table. A null
// dimension-style handle gives "*UNNAMED".
int wrLayerNameByHandle(const Drawing& drawing, Handle handle, std::string& name);
int wrStyleNameByHandle(const Drawing& drawing, Handle handle, std::string& name);
int wrDimStyleNameByHandle(const Drawing& drawing, Handle handle, std::string& name);
int wrUcsNameByHandle(const Drawing& drawing, Handle handle, std::string& name);
// The block's name as the file carries it: anonymous names ("*U12") keep their first two
// characters and end in the block's position; 0 with 75 when no block has the handle.
int wrBlockNameByHandle(const Drawing& drawing, const OutputContext& output, Handle handle, std::string& name);
// The renumbered form of a block name at a position (names that do not start with "*", and
// those that start with "*PAPER_SPACE" or "*MODEL_SPACE", stay as they are).
std::string wrRenumberedBlockName(std::string_view name, int32_t position);
// The name of an APPID record; 0 with 71 when none has the handle.
int wrAppIdNameByHandle(const Drawing& drawing, Handle handle, std::string& name);

} // namespace tracemill
