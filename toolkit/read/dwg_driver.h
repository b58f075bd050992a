// The reader operations of DWG files behind the FormatDriver interface, and their installation
// in the context. The one driver of the process keeps no state: its open reads the file into
// the load's session and makes the reader of the file's version there (before R13:
// Dwg12Reader; R13 to 2000: Dwg13Reader); every later operation goes to that reader, and the
// extended data it leaves raw is converted in the file's form.
#pragma once

namespace tracemill {

class FormatDriver;

// The one DWG driver of the process.
FormatDriver& dbDwgDriver();

// Makes the context read DWG files through it.
void dbInstallDwgReaderTable();

} // namespace tracemill
