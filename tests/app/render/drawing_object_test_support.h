// What the drawing-object tests share: the toolkit started as the program starts it, a drawing
// object freed before the toolkit stops, the fixtures of tests/data/render, and pictures drawn
// into 32-bit images.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>

#include "app/render/drawing_object.h"
#include "app/render/export_progress.h"
#include "app/render/hook_sets.h"
#include "app/services/progress_dialog.h"
#include "app/services/progress_step.h"
#include "host_test_support.h"
#include "test_paths.h"
#include "toolkit/display/display_interface.h"

namespace tracemill::test {

inline std::string renderFixture(const std::string& name) { return (testDataDir() / "render" / name).string(); }

class DrawingObjectTest : public HostCallbackTest {
protected:
    void SetUp() override {
        HostCallbackTest::SetUp();
        object_ = std::make_unique<CDrawingObject>();
    }
    void TearDown() override {
        object_.reset();
        HostCallbackTest::TearDown();
    }
    CDrawingObject& object() { return *object_; }
    // Opens a fixture of tests/data/render without the settling pass.
    void openFixture(const std::string& name, bool drawNow = false) {
        ASSERT_EQ(object().Open(renderFixture(name).c_str(), nullptr, drawNow, ""), 0) << name;
    }
    // The object's view stated to the toolkit for its device rectangle.
    void prepareView() {
        ViewBlock view = object().GetView();
        genPrepareView(object().GetDrawing(), view, object().GetDeviceRect(), nullptr);
        object().SetView(view);
    }
    // A plan view of `width` x `height` drawing units centred on (x, y), on a device rectangle
    // of one drawing unit per pixel.
    void planView(double x, double y, int32_t width, int32_t height) {
        ViewBlock view;
        view.target = {x, y, 0.0, 1.0};
        view.width = double(width);
        view.height = double(height);
        object().SetView(view);
        object().SetLastViewSize(view.width, view.height);
        object().SetDeviceRect({0, 0, width, height});
        prepareView();
    }

private:
    std::unique_ptr<CDrawingObject> object_;
};

// A picture's pixel as 0x00RRGGBB.
inline uint32_t rgbAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

// A 32-bit image of one colour.
inline QImage filledImage(int width, int height, uint32_t rgb) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(rgb));
    return image;
}

// An interactive export (the progress flag set, the main frame's progress dialog there) whose
// Stop is pressed by the first events the export lets through after PressStop.
class StoppableExport {
public:
    StoppableExport() {
        SetMainProgressDialog(&dialog_);
        SetExportProgress(true);
    }
    ~StoppableExport() {
        QCoreApplication::processEvents();
        SetExportProgress(false);
        SetMainProgressDialog(nullptr);
    }
    StoppableExport(const StoppableExport&) = delete;
    StoppableExport& operator=(const StoppableExport&) = delete;
    void PressStop() {
        QTimer::singleShot(0, [this] { dialog_.OnStop(); });
    }
    const CProgressDialog& Dialog() const { return dialog_; }

private:
    CProgressDialog dialog_;
};

} // namespace tracemill::test
