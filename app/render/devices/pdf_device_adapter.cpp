#include "app/render/devices/pdf_device_adapter.h"

#include "app/render/pdf/pdf_content.h"

namespace tracemill::render {

bool CPdfDeviceAdapter::Begin(const char*, const char*, const char*, double, double) {
    stroke_.Reset();
    if (!content_) return false;
    Check(content_->SetLineCap(1));
    Check(content_->SetLineJoin(1));
    return true;
}

bool CPdfDeviceAdapter::End() {
    if (!content_) return false; // Begin has failed
    if (stroke_.PathOpen()) Check(content_->Stroke(false));
    stroke_.Reset();
    return !failed_;
}

void CPdfDeviceAdapter::MoveTo(double x, double y) { stroke_.MoveTo(x, y); }

void CPdfDeviceAdapter::LineTo(double x, double y) {
    if (!content_) return; // Begin has failed
    DevicePoint from;
    const StrokeState::Step step = stroke_.LineTo(x, y, &from);
    if (step == StrokeState::Step::StartSubpath) Check(content_->MoveTo(from.x + originX_, from.y + originY_));
    if (step != StrokeState::Step::Nothing) Check(content_->LineTo(x + originX_, y + originY_));
}

void CPdfDeviceAdapter::FillPolygon(int32_t first, int32_t last, DevicePoint* points) {
    if (!content_) return; // Begin has failed
    if (stroke_.PathOpen()) Check(content_->Stroke());
    for (int32_t i = first; i <= last; ++i) {
        points[i].x += originX_;
        points[i].y += originY_;
    }
    Check(content_->FillPolygon(first, last, points));
    stroke_.Reset();
}

void CPdfDeviceAdapter::FillPolyPolygon(DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) {
    if (!content_) return; // Begin has failed
    if (stroke_.PathOpen()) Check(content_->Stroke());
    uint64_t total = 0;
    for (uint32_t k = 0; k < polygonCount; ++k) total += counts[k];
    for (uint64_t i = 0; i < total; ++i) {
        points[i].x += originX_;
        points[i].y += originY_;
    }
    Check(content_->FillPolyPolygon(points, counts, polygonCount));
    stroke_.Reset();
}

void CPdfDeviceAdapter::SetPen(ColorRef colour, double width) {
    if (!content_) return; // Begin has failed
    if (stroke_.PathOpen()) Check(content_->Stroke());
    stroke_.PenChanged();
    const uint8_t red = gdi::redOf(colour), green = gdi::greenOf(colour), blue = gdi::blueOf(colour);
    if (red == green && green == blue) {
        Check(content_->SetStrokeGray(red / 255.0));
        Check(content_->SetFillGray(red / 255.0));
    } else {
        Check(content_->SetStrokeRgb(red / 255.0, green / 255.0, blue / 255.0));
        Check(content_->SetFillRgb(red / 255.0, green / 255.0, blue / 255.0));
    }
    if (UsePenWidths()) Check(content_->SetLineWidth(width * 72));
}

} // namespace tracemill::render
