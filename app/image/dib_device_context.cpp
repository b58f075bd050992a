#include "app/image/dib_device_context.h"

#include <sys/mman.h>

#include <algorithm>

namespace tracemill {
namespace dib_detail {

namespace {

constexpr size_t kLargePage = size_t(2) << 20;
// Surfaces from this size on are laid in large pages.
constexpr size_t kLargeSurface = 2 * kLargePage;

} // namespace

DrawingSurface::DrawingSurface(const CDib& dib) {
    if (!dib.GetHandle()) return;
    std::optional<std::vector<uint32_t>> expanded = ExpandDibTo32(*dib.GetHandle());
    if (!expanded || expanded->empty()) return;
    const size_t bytes = expanded->size() * sizeof(uint32_t);
    const bool large = bytes >= kLargeSurface;
    const size_t allocated = large ? (bytes + kLargePage - 1) / kLargePage * kLargePage : bytes;
    buffer.reset(static_cast<uint32_t*>(large ? std::aligned_alloc(kLargePage, allocated) : std::malloc(allocated)));
    if (!buffer) return;
    // Asked for before the pages are first touched.
    if (large) ::madvise(buffer.get(), allocated, MADV_HUGEPAGE);
    std::copy(expanded->begin(), expanded->end(), buffer.get());
    pixels = std::span<uint32_t>(buffer.get(), expanded->size());
    image = QImage(reinterpret_cast<uchar*>(buffer.get()), dib.GetWidth(), dib.GetHeight(), dib.GetWidth() * 4,
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
