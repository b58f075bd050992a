// The reader operations of DWG files behind the FormatDriver interface, and their installation
// in the context. The one driver of the process keeps no state: its open reads the file into
// the load's session, recognises its version and makes the reader of the file's family there
// (before R13, "AC1002" to "AC1009": Dwg12Reader; R13 to 2000: Dwg13Reader); every later
// operation goes to that reader, which takes what it needs of the load from the session.
#pragma once

namespace tracemill {

class FormatDriver;

// The one DWG driver of the process.
FormatDriver& dbDwgDriver();

// Makes the context read DWG files through it.
void dbInstallDwgReaderTable();

} // namespace tracemill
