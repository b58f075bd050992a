#include "toolkit/display/layout_plot_style.h"

#include <string>

#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_context.h"

namespace tracemill {

int dbLoadLayoutPlotStyleTable(Drawing* drawing) {
    DisplayContext* display = drawing ? drawing->displayContext.get() : nullptr;
    if (!display) return 0;
    const PlotSettings& layout = display->layout.settings;
    if (layout.styleSheet.empty() || !(layout.plotLayoutFlags & kLayoutUsesPlotStyles)) return 0;
    std::string path;
    if (gOutputHookTable && gOutputHookTable->plotStyleFile) {
        gOutputHookTable->plotStyleFile(layout.styleSheet.c_str(), path, drawing->hostContext);
    } else {
        path = layout.styleSheet;
    }
    if (path.empty() || !dbReadPlotStyleTable(path.c_str(), display->plotStyleTable)) return 0;
    if (drawing->header && drawing->header->pstylemode == 0) {
        dbLinkPlotStyles(drawing, display->plotStyleTable.get());
    } else if (display->plotStyleTable->aciTableAvailable == 0) {
        dbFreePlotStyleTable(display->plotStyleTable);
    }
    return 1;
}

} // namespace tracemill
