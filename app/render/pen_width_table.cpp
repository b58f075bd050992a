#include "app/render/pen_width_table.h"

namespace tracemill {

PenWidthTable& GetPenWidthTable() {
    static PenWidthTable table = [] {
        PenWidthTable t;
        for (size_t i = 0; i < t.size(); ++i) t[i].mappedColorIndex = int16_t(i);
        return t;
    }();
    return table;
}

} // namespace tracemill
