// The reader operations of DXF files (ASCII and binary) behind the FormatDriver interface, and
// their installation in the context.
#pragma once

namespace tracemill {

class FormatDriver;

// The one DXF driver of the process; it keeps no state (a load keeps it in its session).
FormatDriver& dbDxfDriver();

// Makes the context read DXF files through it.
void dbInstallDxfReaderTable();

} // namespace tracemill
