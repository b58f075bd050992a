// Where a paper layout's plot settings put the page: the margins on each side of the turned
// page, the printable area and the sheet in drawing units. The plot area of the print commands
// and the paper sheet on screen are both made here, so they always agree.
#pragma once

#include "toolkit/core/object_record.h"
#include "toolkit/core/point.h"

namespace tracemill {

// Plot types of a layout's plot settings.
inline constexpr int16_t kPlotTypeDisplay = 0;
inline constexpr int16_t kPlotTypeExtents = 1;
inline constexpr int16_t kPlotTypeLimits = 2;
inline constexpr int16_t kPlotTypeView = 3;
inline constexpr int16_t kPlotTypeWindow = 4;
inline constexpr int16_t kPlotTypeLayout = 5;
// The plot-layout flag of a plot centred on the paper.
inline constexpr int16_t kPlotCentred = 4;

// The record's margins in paper units as they lie on the page turned by the plot rotation:
// rotation 1 puts the top margin on the left, 2 turns the page half round, 3 puts the bottom
// margin on the left; any other rotation gives no margins.
struct PageMargins {
    double left = 0.0;
    double bottom = 0.0;
    double right = 0.0;
    double top = 0.0;
};
PageMargins RotatedPageMargins(const PlotSettings& settings);

// Paper units per millimetre of the record: 1 for millimetres, 1/25.4 for inches.
double PaperUnitFactor(const PlotSettings& settings);

struct Rect2 {
    Point2 min;
    Point2 max;
};

// The area the layout plots, grown by the unused paper when the drawing is scaled (half on
// each side when centred, else all above and to the right): the printable area of the page.
// `tolerance` widens it by the factors the print commands use (0.9995 in x, 1.0005 in y).
// Plot types 0 and 3 name no area of their own and plot the layout's extents as type 1.
Rect2 LayoutPrintableArea(const LayoutBody& layout, bool tolerance);
// The whole sheet of paper: the printable area grown by the margins at the plot's scale (for
// plots of the limits or the layout, the limits themselves).
Rect2 LayoutSheet(const LayoutBody& layout);

} // namespace tracemill
