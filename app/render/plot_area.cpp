#include "app/render/plot_area.h"

#include <algorithm>

namespace tracemill {
namespace {

constexpr double kMillimetresPerInch = 25.4;
// The print commands' tolerances of the plot area.
constexpr double kTolerance9995 = 0.9995;
constexpr double kTolerance10005 = 1.0005;

bool plotsLimits(const PlotSettings& settings) {
    return settings.plotType == kPlotTypeLayout || settings.plotType == kPlotTypeLimits;
}

// Drawing units per paper unit of a plot of `area` onto `paper`: the layout's own print scale
// (paper units per drawing unit, from its numerator and denominator) unless it is scaled to
// fit or names no usable scale.
double plotScale(const PlotSettings& settings, double areaWidth, double areaHeight, double paperWidth,
                 double paperHeight) {
    if (settings.scaleType != 0 && settings.realWorldUnits > 0.0 && settings.drawingUnits > 0.0)
        return settings.drawingUnits / settings.realWorldUnits;
    return std::max(areaWidth / paperWidth, areaHeight / paperHeight);
}

struct ScaledPlot {
    Rect2 area;     // what is plotted, before the unused paper is added
    double width;   // printable paper in paper units
    double height;
    double scale;   // drawing units per paper unit
};

ScaledPlot scaledPlot(const LayoutBody& layout) {
    const PlotSettings& settings = layout.settings;
    const double f = PaperUnitFactor(settings);
    const PageMargins m = RotatedPageMargins(settings);
    double paperWidth = settings.paperWidth * f;
    double paperHeight = settings.paperHeight * f;
    if (settings.plotRotation == 1 || settings.plotRotation == 3) std::swap(paperWidth, paperHeight);
    ScaledPlot plot;
    plot.width = paperWidth - (m.left + m.right);
    plot.height = paperHeight - (m.bottom + m.top);
    if (settings.plotType == kPlotTypeWindow) {
        plot.area = {settings.windowMin, settings.windowMax};
    } else {
        plot.area = {{layout.extentsMin.x, layout.extentsMin.y}, {layout.extentsMax.x, layout.extentsMax.y}};
    }
    plot.scale = plotScale(settings, plot.area.max.x - plot.area.min.x, plot.area.max.y - plot.area.min.y,
                           plot.width, plot.height);
    return plot;
}

} // namespace

double PaperUnitFactor(const PlotSettings& settings) {
    return settings.paperUnits != 0 ? 1.0 : 1.0 / kMillimetresPerInch;
}

PageMargins RotatedPageMargins(const PlotSettings& settings) {
    const double f = PaperUnitFactor(settings);
    const double left = settings.leftMargin * f;
    const double bottom = settings.bottomMargin * f;
    const double right = settings.rightMargin * f;
    const double top = settings.topMargin * f;
    switch (settings.plotRotation) {
    case 0: return {left, bottom, right, top};
    case 1: return {top, right, bottom, left};
    case 2: return {right, top, left, bottom};
    case 3: return {bottom, left, top, right};
    default: return {};
    }
}

Rect2 LayoutPrintableArea(const LayoutBody& layout, bool tolerance) {
    const PlotSettings& settings = layout.settings;
    if (plotsLimits(settings)) {
        // Margins at the lower left taken 0.9995 times, at the upper right 1.0005 times.
        const double low = tolerance ? kTolerance9995 : 1.0;
        const double high = tolerance ? kTolerance10005 : 1.0;
        const PageMargins m = RotatedPageMargins(settings);
        return {{layout.limitsMin.x + m.left * low, layout.limitsMin.y + m.bottom * low},
                {layout.limitsMax.x - m.right * high, layout.limitsMax.y - m.top * high}};
    }
    const ScaledPlot plot = scaledPlot(layout);
    const double slackX = plot.width * plot.scale - (plot.area.max.x - plot.area.min.x);
    const double slackY = plot.height * plot.scale - (plot.area.max.y - plot.area.min.y);
    const bool centred = (settings.plotLayoutFlags & kPlotCentred) != 0;
    const double belowX = centred ? slackX / 2.0 : 0.0;
    const double belowY = centred ? slackY / 2.0 : 0.0;
    // The unused paper taken 0.9995 times in x, 1.0005 times in y.
    const double factorX = tolerance ? kTolerance9995 : 1.0;
    const double factorY = tolerance ? kTolerance10005 : 1.0;
    return {{plot.area.min.x - belowX * factorX, plot.area.min.y - belowY * factorY},
            {plot.area.max.x + (slackX - belowX) * factorX, plot.area.max.y + (slackY - belowY) * factorY}};
}

Rect2 LayoutSheet(const LayoutBody& layout) {
    const PlotSettings& settings = layout.settings;
    if (plotsLimits(settings)) return {layout.limitsMin, layout.limitsMax};
    const PageMargins m = RotatedPageMargins(settings);
    const double s = scaledPlot(layout).scale;
    const Rect2 printable = LayoutPrintableArea(layout, false);
    return {{printable.min.x - m.left * s, printable.min.y - m.bottom * s},
            {printable.max.x + m.right * s, printable.max.y + m.top * s}};
}

} // namespace tracemill
