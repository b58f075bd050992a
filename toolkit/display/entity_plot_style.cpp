#include "toolkit/display/entity_plot_style.h"

#include <array>

#include "toolkit/core/drawing.h"
#include "toolkit/core/header_block.h"
#include "toolkit/display/display_context.h"

namespace tracemill {
namespace {

constexpr std::array<int16_t, 27> kPlotStyleLineweights = {0,  5,  9,  10, 13, 15,  18,  20,  25,  30,  35,  40,  45, 50,
                                                           53, 60, 65, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};

const PlotStyle* styleOfHandle(Handle handle, const PlotStyleTable* table) {
    const PlotStyle* style = nullptr;
    if (!table || !dbFindPlotStyle(handle, table, style)) return nullptr;
    return style;
}

// The table a layer's own plot style is looked up in: that of the drawing the layer belongs to
// (a referenced drawing's layer is its own drawing's), else the pass's.
const PlotStyleTable* layerTable(const LayerRecord& layer, const PlotStyleTable* table) {
    const Drawing* owner = layer.drawing;
    if (owner && owner->displayContext && owner->displayContext->passPlotStyleTable)
        return owner->displayContext->passPlotStyleTable;
    return table;
}

} // namespace

int32_t genPlotStyleLineweight(int32_t code) {
    return code >= 1 && code <= 27 ? kPlotStyleLineweights[size_t(code - 1)] : 0;
}

const PlotStyle* genEntityPlotStyle(const Drawing& drawing, const EntityHeader& header, int32_t colour,
                                    const LayerRecord& layer, const PlotStyle* inherited, const PlotStyleTable* table) {
    if (!table || layer.colour < 0) return nullptr;
    if (drawing.header && drawing.header->pstylemode != 0) {
        // Only the colour indices have styles: BYBLOCK, BYLAYER and what a damaged file holds
        // have none.
        if (colour < 1 || colour > 255 || size_t(colour - 1) >= table->aciStyles.size()) return nullptr;
        const int32_t position = table->aciStyles[size_t(colour - 1)];
        return position >= 0 && size_t(position) < table->styles.size() ? &table->styles[size_t(position)] : nullptr;
    }
    if (header.flags & kEntityPlotStyleByLayer) return styleOfHandle(layer.plotStyle, layerTable(layer, table));
    if ((header.flags & kEntityPlotStyleByBlock) && inherited && !inherited->name.empty()) return inherited;
    return styleOfHandle(header.plotStyle, table);
}

} // namespace tracemill
