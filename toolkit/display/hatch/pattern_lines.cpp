#include "toolkit/display/hatch/pattern_lines.h"

#include <new>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

int genReadHatchPatternLines(const HatchBody& hatch, HatchPatternLines& out) {
    try {
        out.lines = hatch.patternLines;
    } catch (const std::bad_alloc&) {
        out.lines.clear();
        dbNotifyError(kErrorReasonNoMemory);
        return 0;
    }
    out.patternFlags = hatch.patternType;
    return 1;
}

void genFreeHatchPatternLines(HatchPatternLines& lines) { lines.lines = {}; }

} // namespace tracemill
