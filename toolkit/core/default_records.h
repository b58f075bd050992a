// The default contents of table records, and the default records every drawing has
// ("ByBlock", "ByLayer", "Continuous", layer "0", "*ACTIVE", "ACAD", "Standard"), which a new
// drawing always gets and a load adds when its file lacks them.
#pragma once

#include "toolkit/core/drawing.h"

namespace tracemill {

// Record defaults. The VPORT, VIEW and DIMSTYLE templates agree with the header template
// (docs/drawing-defaults.md).
void dbInitLinetypeRecord(LinetypeRecord& record);
void dbInitStyleRecord(StyleRecord& record);
void dbInitVportRecord(VportRecord& record);
void dbInitViewRecord(ViewRecord& record);
void dbInitUcsRecord(UcsRecord& record);
void dbInitAppIdRecord(AppIdRecord& record);
void dbInitBlockRecord(BlockRecord& record);
// Colour 7, the drawing's first linetype, the plot style "Normal" of the drawing.
void dbInitLayerRecord(Drawing& drawing, LayerRecord& record);
// The DIMSTYLE template with the drawing's first text style.
void dbInitDimStyleRecord(Drawing& drawing, DimStyleRecord& record);

// Copies the header's dimension variables into the matching DIMSTYLE fields (names, handles
// and the text style stay as they are).
void dbDimStyleFromHeader(const HeaderBlock& header, DimStyleRecord& record);

// The default records, each with its handle from the handle set (when given) or a new one;
// 1, or 0 with the error of the failing table operation.
int dbAddNamedLinetype(Drawing& drawing, const char* name, Handle handle);
int dbAddByBlockByLayerLinetypes(Drawing& drawing, const HandleSet* handles);
int dbAddContinuousLinetype(Drawing& drawing, const HandleSet* handles);
int dbAddLayerZero(Drawing& drawing, const HandleSet* handles);
int dbAddActiveVport(Drawing& drawing, const HandleSet* handles);
int dbAddAcadAppId(Drawing& drawing, const HandleSet* handles);
int dbAddStandardStyle(Drawing& drawing, const HandleSet* handles);
int dbAddStandardDimStyle(Drawing& drawing, const HandleSet* handles);

} // namespace tracemill
