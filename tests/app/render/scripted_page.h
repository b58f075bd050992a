// One picture of 800 x 600 device units drawn through any output device: polylines in
// several pens, a fill with a hole and a plain fill, placed so that a picture upside down
// does not match. Devices without poly-polygons get the polygons one by one, as the device
// hook set gives them.
#pragma once

#include <vector>

#include "app/render/devices/output_device.h"

namespace tracemill::test {

inline constexpr double kPageWidth = 800;
inline constexpr double kPageHeight = 600;

struct ScriptedPolyline {
    render::ColorRef colour;
    std::vector<render::DevicePoint> points;
};

struct ScriptedFill {
    render::ColorRef colour;
    std::vector<render::DevicePoint> points;
    std::vector<uint32_t> counts; // one polygon when it has one count
};

inline const std::vector<ScriptedPolyline>& ScriptedPolylines() {
    static const std::vector<ScriptedPolyline> polylines = {
        {gdi::rgb(200, 0, 0), {{50, 550}, {300, 550}, {300, 400}, {150, 450}}},
        {gdi::rgb(0, 0, 0), {{350, 500}, {450, 580}, {550, 500}, {650, 580}, {750, 500}}},
        {gdi::rgb(10, 20, 30), {{100, 350}, {250, 350}}},
    };
    return polylines;
}

inline const std::vector<ScriptedFill>& ScriptedFills() {
    static const std::vector<ScriptedFill> fills = {
        {gdi::rgb(0, 0, 200),
         {{400, 100}, {700, 100}, {700, 400}, {400, 400}, {500, 200}, {600, 200}, {600, 300}, {500, 300}},
         {4, 4}},
        {gdi::rgb(0, 150, 0), {{50, 50}, {250, 50}, {50, 300}}, {3}},
    };
    return fills;
}

// Begin must have been called; End is the caller's.
inline void DrawScriptedPage(render::COutputDevice& device, double penWidth = 0.01) {
    for (const ScriptedPolyline& polyline : ScriptedPolylines()) {
        device.SetPen(polyline.colour, penWidth);
        device.MoveTo(polyline.points[0].x, polyline.points[0].y);
        for (size_t i = 1; i < polyline.points.size(); ++i) device.LineTo(polyline.points[i].x, polyline.points[i].y);
    }
    for (const ScriptedFill& fill : ScriptedFills()) {
        device.SetPen(fill.colour, penWidth);
        std::vector<render::DevicePoint> points = fill.points; // devices may change them
        if (fill.counts.size() > 1 && device.SupportsPolyPolygon()) {
            device.FillPolyPolygon(points.data(), fill.counts.data(), uint32_t(fill.counts.size()));
            continue;
        }
        int32_t first = 0;
        for (uint32_t count : fill.counts) {
            device.FillPolygon(first, first + int32_t(count) - 1, points.data());
            first += int32_t(count);
        }
    }
}

} // namespace tracemill::test
