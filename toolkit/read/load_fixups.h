// The fix-ups after loading: what a loaded drawing still lacks against one the database builds
// itself (handles of the header's current entries, dictionaries, layouts, viewport data of
// older files), run by the loader in a fixed order after the passes over the file.
#pragma once

#include "toolkit/core/drawing.h"
#include "toolkit/core/load_defaults.h"

namespace tracemill {

// The viewport pass: the viewport entity headers get the data of their VIEWPORT entities
// (DWG; nothing for DXF input or an empty viewport table).
int rdLoadViewports(Drawing& drawing);

// The header's current entries become handles: DXF names them (a missing current layer is
// created; a missing linetype gives BYBLOCK; "*UNNAMED" or an empty dimension style, and an
// empty UCS name, give the null handle; an empty dimension text style means "Standard"),
// DWG before R13 gives positions. The four arrow block names become block handles ("_NAME",
// then "NAME"; neither: the standard arrowhead built under the name when the context's
// arrowBlocks switch is on, else the null handle).
int rdResolveHeaderRefs(Drawing& drawing, HeaderBlock& header);

// The ACAD_PLOTSTYLENAME entry of the named object dictionary, kept in the drawing.
int rdFindPlotStyleDictionary(Drawing& drawing);

// DXF from R13 on: the drawing's handles of the named object dictionary (the first object)
// and of its ACAD_GROUP, ACAD_MLINESTYLE, ACAD_LAYOUT and ACAD_PLOTSETTINGS entries, where the
// file has them (DWG takes them from its header).
int rdFindDictionaries(Drawing& drawing);

// The multiline style the header's CMLSTYLE names: found by name among the MLINESTYLE objects,
// or made (with the defaults of a new style) and added. Its handle goes into the header.
int rdEnsureCurrentMlineStyle(Drawing& drawing);

// Viewports of files before 2000 keep their view in "MVIEW" extended data of the application
// "ACAD": it is decoded into the VIEWPORT entities' fields (the loader calls it for those files
// only).
int rdConvertR12Viewports(Drawing& drawing);

// R14 files mark unloaded external references by an "ACAD_UNLOAD" entry of the block record's
// extension dictionary; the block records get the unload flag of later files.
void rdMarkUnloadedXrefs(Drawing& drawing);

} // namespace tracemill
