// The SAT reader's diagnostic switches. All are off; nothing in the program switches them on.
// A message said to be written under a switch is written only while it is on.
#pragma once

namespace tracemill {

struct SatDiagnosticSwitches {
    bool warnings = false;       // "+++ Warning: " texts of the parser and the subtype readers
    bool errorDetails = false;   // "*** ERROR: " texts about references, fields and restores
    bool toleranceEcho = false;  // the header's resabs and resnor
    bool tableDump = false;      // the subtype and entity tables into "RefMgr.txt" and "Tables.txt"
};

SatDiagnosticSwitches& satSwitches();

} // namespace tracemill
