// Fuzz harness of the metafile player: arbitrary bytes played into a small device context
// whose backend checks that every pixel it is given lies on the device.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/gdi/device_context.h"
#include "app/render/metafile_player.h"

using namespace tracemill;

namespace {

class CheckingContext : public gdi::DeviceContext {
public:
    gdi::Size deviceSize() const override { return {64, 48}; }

protected:
    void deviceFillRects(std::span<const gdi::PixelRect> rects, gdi::ColorRef) override {
        for (const gdi::PixelRect& r : rects)
            if (r.x < 0 || r.y < 0 || r.x + r.width > 64 || r.y + r.height > 48) std::abort();
    }
    void deviceDrawBitmap(int32_t x, int32_t y, const gdi::Bitmap32& b, gdi::RasterOp, bool) override {
        if (x < 0 || y < 0 || x + b.width > 64 || y + b.height > 48) std::abort();
        if (b.pixels.size() != size_t(b.width) * size_t(b.height)) std::abort();
    }
    void deviceDrawText(gdi::Point, std::string_view, const gdi::Font&, gdi::ColorRef,
                        std::optional<gdi::ColorRef>) override {}
    gdi::Size deviceTextExtent(std::string_view, const gdi::Font&) override { return {}; }
    void deviceSetClip(const std::vector<std::vector<gdi::Point>>&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckingContext dc;
    ole::PlayMetafile(dc, std::span<const uint8_t>(data, size), {4, 40, 60, 4});
    return 0;
}
