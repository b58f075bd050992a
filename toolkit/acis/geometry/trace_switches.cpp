#include "toolkit/acis/geometry/trace_switches.h"

namespace tracemill {

TraceSwitches& traceSwitches() {
    static TraceSwitches switches;
    return switches;
}

} // namespace tracemill
