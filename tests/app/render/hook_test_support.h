// What the hook-set tests share: the toolkit started with the program's colour state, a
// white image the GDI output state draws on, and the hooks called through the output hook
// table as the entity walk calls them.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <vector>

#include "app/render/gdi_output_state.h"
#include "app/render/hook_sets.h"
#include "app/render/pen_width_table.h"
#include "platform/gdi/image_device_context.h"
#include "toolkit_fixture.h"

namespace tracemill::test {

// The process's pen table, put back as it was when the scope ends.
class SavedPenTable {
public:
    SavedPenTable() : saved_(GetPenWidthTable()) {}
    ~SavedPenTable() { GetPenWidthTable() = saved_; }
    SavedPenTable(const SavedPenTable&) = delete;
    SavedPenTable& operator=(const SavedPenTable&) = delete;
    PenWidthEntry& operator[](size_t index) { return GetPenWidthTable()[index]; }

private:
    PenWidthTable saved_;
};

class HookSetTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        InitGdiOutputState();
        InstallScreenHooks();
    }
    void TearDown() override {
        GdiOutputState& state = GetGdiOutputState();
        state.target = nullptr;
        state.mask = nullptr;
        dc.reset();
        ReleaseGdiOutputState();
        ToolkitTest::TearDown();
    }

    // A white image of that size as the target.
    void startImage(int width, int height) {
        GetGdiOutputState().target = nullptr;
        dc.reset();
        image = QImage(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        dc = std::make_unique<gdi::ImageDeviceContext>(image);
        GetGdiOutputState().target = dc.get();
    }
    // Ends drawing so that the image holds every pixel.
    void finishImage() {
        if (dc) dc->end();
    }

    // The hooks as the entity walk calls them.
    void moveTo(int32_t x, int32_t y, HostWord host = nullptr) { gOutputHookTable->moveTo(x, y, host); }
    void lineTo(int32_t x, int32_t y, HostWord host = nullptr) { gOutputHookTable->lineTo(x, y, host); }
    void color(int16_t index, HostWord host = nullptr) { gOutputHookTable->color(index, host); }
    void polygon(const std::vector<DevicePoint>& points, HostWord host = nullptr) {
        gOutputHookTable->polygon(PointRange{0, int32_t(points.size()) - 1}, points.data(), host);
    }
    void polyPolygon(const std::vector<DevicePoint>& points, const std::vector<int32_t>& counts,
                     HostWord host = nullptr) {
        gOutputHookTable->polyPolygon(points.data(), counts.data(), int32_t(counts.size()), host);
    }

    // The pixels of the image in that colour (0xRRGGBB).
    std::vector<gdi::Point> pixelsOf(QRgb colour) const {
        std::vector<gdi::Point> found;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) found.push_back({x, y});
        return found;
    }
    static QRgb qtColour(gdi::ColorRef c) { return qRgb(gdi::redOf(c), gdi::greenOf(c), gdi::blueOf(c)); }

    QImage image;
    std::unique_ptr<gdi::ImageDeviceContext> dc;
};

} // namespace tracemill::test
