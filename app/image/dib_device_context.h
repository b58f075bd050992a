// Drawing into a CDib through the device-context layer (what CDib::BeginDraw and EndDraw
// do): the picture is drawn in 32 bits and, when finished, stored back into the bitmap;
// bitmaps of 1, 4 and 8 bits get the nearest colour of their palette for every pixel.
#pragma once

#include <QImage>
#include <cstdlib>
#include <memory>
#include <span>

#include "app/image/dib.h"
#include "platform/gdi/image_device_context.h"

namespace tracemill {

namespace dib_detail {
// The 32-bit pixels drawn on; a base so that they exist before the context starts painting.
// A large surface lies in pages of 2 MiB where the system gives them: a line running down a
// bitmap of thousands of rows touches a new row, and with small pages a new page, at every
// pixel.
struct DrawingSurface {
    explicit DrawingSurface(const CDib& dib);
    struct Release {
        void operator()(uint32_t* pixels) const { std::free(pixels); }
    };
    std::unique_ptr<uint32_t, Release> buffer;
    std::span<uint32_t> pixels;
    QImage image;
};
} // namespace dib_detail

class DibDeviceContext : private dib_detail::DrawingSurface, public gdi::ImageDeviceContext {
public:
    // Begins drawing on `dib`, which must outlive this context; the bitmap is stale until
    // Finish (or the destructor) ran.
    explicit DibDeviceContext(CDib& dib);
    ~DibDeviceContext() override;

    // False when the bitmap is empty or run-length encoded: nothing can be drawn.
    bool IsValid() const { return !image.isNull() && isActive(); }
    // Ends drawing and stores the pixels into the bitmap; true once stored.
    bool Finish();

private:
    CDib& dib_;
    bool finished_ = false;
};

} // namespace tracemill
