#include "toolkit/display/lineweights.h"

#include <algorithm>

#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_context.h"

namespace tracemill {
namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr int16_t kPaperUnitsInches = 0;
constexpr int16_t kPaperUnitsMillimetres = 1;

const DisplayContext* displayOf(const Drawing* drawing) { return drawing ? drawing->displayContext.get() : nullptr; }

} // namespace

int dbLineweightPosition(int32_t code) {
    const auto found = std::find(kStandardLineweights.begin(), kStandardLineweights.end(), code);
    return found == kStandardLineweights.end() ? 0 : int(found - kStandardLineweights.begin()) + 1;
}

int dbLineweightToMm(const Drawing* drawing, int32_t code, double& out) {
    const int position = dbLineweightPosition(code);
    const DisplayContext* display = displayOf(drawing);
    if (display && display->plotStyleTable) {
        out = display->plotStyleTable->customLineweights[size_t(position)];
    } else {
        out = position ? code / 100.0 : 0.0;
    }
    return 1;
}

double dbLineweightToDrawingUnits(const Drawing* drawing, int32_t code) {
    double width = 0.0;
    dbLineweightToMm(drawing, code, width);
    const DisplayContext* display = displayOf(drawing);
    if (display && display->paperSpace) {
        switch (display->layout.settings.paperUnits) {
        case kPaperUnitsInches:
            return width / kMillimetresPerInch * display->paperScale;
        case kPaperUnitsMillimetres:
            return width * display->paperScale;
        default:
            return gOutputHookTable ? width * gOutputHookTable->lineweightUnitScale : width;
        }
    }
    if (gOutputHookTable && gOutputHookTable->lineweightScale >= 0.0) return width * gOutputHookTable->lineweightScale;
    return width;
}

} // namespace tracemill
