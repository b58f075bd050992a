// CSvgDevice: writes an SVG 1.0 document, or the same document gzip-compressed (SVGZ). The
// document is built in memory and written at End. Strokes with one pen gather into one path
// element (each polyline a subpath of its own); every fill is a path element of its own.
// y is flipped: a point is written as (x, page height - y).
#pragma once

#include <optional>
#include <string>

#include "app/render/devices/output_device.h"
#include "app/render/devices/stroke_state.h"

namespace tracemill::render {

class CSvgDevice : public COutputDevice {
public:
    explicit CSvgDevice(bool compress = false);

    bool Begin(const char* title, const char* fileName, const char* reserved, double width,
               double height) override;
    bool End() override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void FillPolygon(int32_t first, int32_t last, DevicePoint* points) override;
    void FillPolyPolygon(DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) override;
    bool SupportsPolyPolygon() const override { return true; }
    void SetPen(ColorRef colour, double width) override;

    bool Compresses() const { return compress_; }
    // What the document holds so far (the file's text before compression).
    const std::string& Document() const { return document_; }

private:
    void AppendPoint(double x, double y);
    void AppendPoint(const DevicePoint& p) { AppendPoint(p.x, p.y); }
    // Appends the points of one polygon after its "M": "x yLx y x y ... x y".
    void AppendPolygon(const DevicePoint* points, uint32_t count);
    void CloseStrokePath();

    std::string fileName_;
    std::string document_;
    bool compress_;
    int32_t subpathCount_ = 0; // subpaths of the open stroke element; 0: none open
    StrokeState stroke_;
    double pageHeight_ = 0;
    std::string colourText_ = "black";
    std::optional<ColorRef> currentColour_;
    std::string widthText_ = "0.2";
    double currentWidth_ = 0;
};

} // namespace tracemill::render
