#include "app/image/dib_device_context.h"

namespace tracemill {
namespace dib_detail {

DrawingSurface::DrawingSurface(const CDib& dib) {
    if (!dib.GetHandle()) return;
    std::optional<std::vector<uint32_t>> expanded = ExpandDibTo32(*dib.GetHandle());
    if (!expanded) return;
    pixels = std::move(*expanded);
    image = QImage(reinterpret_cast<uchar*>(pixels.data()), dib.GetWidth(), dib.GetHeight(), dib.GetWidth() * 4,
                   QImage::Format_RGB32);
}

} // namespace dib_detail

DibDeviceContext::DibDeviceContext(CDib& dib) : DrawingSurface(dib), ImageDeviceContext(image), dib_(dib) {}

DibDeviceContext::~DibDeviceContext() { Finish(); }

bool DibDeviceContext::Finish() {
    if (finished_) return true;
    finished_ = true;
    end();
    if (image.isNull()) return false;
    return dib_.StorePixels32(pixels);
}

} // namespace tracemill
