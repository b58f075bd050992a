#include "toolkit/display/paper_space_switch.h"

#include "toolkit/display/display_context.h"

namespace tracemill {

void dbSetPaperSpaceActive(Drawing* drawing, bool on) {
    DisplayContext* display = drawing ? drawing->displayContext.get() : nullptr;
    if (!display) return;
    display->paperSpace = on ? 1 : 0;
    display->viewportCount = on ? display->paperSpaceViewportCount : 1;
}

} // namespace tracemill
