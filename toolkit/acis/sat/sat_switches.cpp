#include "toolkit/acis/sat/sat_switches.h"

namespace tracemill {

SatDiagnosticSwitches& satSwitches() {
    static SatDiagnosticSwitches switches;
    return switches;
}

} // namespace tracemill
