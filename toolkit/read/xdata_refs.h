// Extended data read from a file: the conversion of a record's raw extended data into its
// stored form, and the fix-ups that give the application (1001) and layer (1003) references
// their handles once every table is loaded.
#pragma once

#include "toolkit/core/owned_stream.h"
#include "toolkit/read/raw_xdata.h"

namespace tracemill {

struct Drawing;

// Replaces the raw extended data that `xdata` holds (in the reader's raw form) by the stored
// items; each 1001 and 1003 item is queued in the drawing's load session for rdApplyXDataRefs
// and keeps the number of its queue entry as its value until then. A walk that stops early
// (an unknown group byte, data cut short) keeps the items before it. 1, or 0 when memory is
// exhausted (the stream is then released).
int rdConvertXDataRefs(Drawing& drawing, RawXDataForm form, OwnedStream& xdata);

// The fix-up pass after the load: every queued reference becomes the handle of its APPID or
// LAYER record (DXF: by name without regard to case; DWG before R13: the record at that
// position; R13-2000 DWG: the handle when it names a record of that table), or the null handle
// when none matches. Walks the extended data of every record of the drawing. Result 1.
int rdApplyXDataRefs(Drawing& drawing);

} // namespace tracemill
