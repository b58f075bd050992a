#include "platform/gdi/gdi_types.h"

namespace tracemill::gdi {

ColorRef dibViewPixel(const DibView& view, int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= view.width || y >= view.height) return 0;
    const uint64_t stride = ((uint64_t(view.width) * uint64_t(view.bitCount) + 31) / 32) * 4;
    const uint64_t row = uint64_t(view.height - 1 - y) * stride;
    const auto byteAt = [&](uint64_t offset) -> uint8_t {
        return row + offset < view.bits.size() ? view.bits[row + offset] : 0;
    };
    const auto tableColour = [&](unsigned index) -> ColorRef {
        return index < view.colors.size() ? view.colors[index] : 0;
    };
    switch (view.bitCount) {
    case 1:
        return tableColour((byteAt(uint64_t(x) / 8) >> (7 - x % 8)) & 1);
    case 4: {
        const uint8_t b = byteAt(uint64_t(x) / 2);
        return tableColour(x % 2 == 0 ? b >> 4 : b & 0x0F);
    }
    case 8:
        return tableColour(byteAt(uint64_t(x)));
    case 16: {
        const unsigned w = byteAt(uint64_t(x) * 2) | (unsigned(byteAt(uint64_t(x) * 2 + 1)) << 8);
        const auto scale = [](unsigned v) { return uint8_t((v << 3) | (v >> 2)); };
        return rgb(scale((w >> 10) & 31), scale((w >> 5) & 31), scale(w & 31));
    }
    case 24:
        return rgb(byteAt(uint64_t(x) * 3 + 2), byteAt(uint64_t(x) * 3 + 1), byteAt(uint64_t(x) * 3));
    case 32:
        return rgb(byteAt(uint64_t(x) * 4 + 2), byteAt(uint64_t(x) * 4 + 1), byteAt(uint64_t(x) * 4));
    default:
        return 0;
    }
}

} // namespace tracemill::gdi
