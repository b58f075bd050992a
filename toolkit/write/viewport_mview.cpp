#include "toolkit/write/viewport_mview.h"

namespace tracemill {

std::vector<XDataItem> wrViewportMviewItems(const ViewportBody& b, Handle acad) {
    std::vector<XDataItem> items;
    auto add = [&](uint16_t code) -> XDataItem& {
        items.emplace_back();
        items.back().code = code;
        return items.back();
    };
    auto brace = [&](bool close) { add(1002).brace = close ? 1 : 0; };
    auto flag = [&](int32_t value) { add(1070).int16 = int16_t(value); };
    auto real = [&](double value) { add(1040).real = value; };
    auto bit = [&](int n) { return (b.statusFlags >> n) & 1; };
    add(1001).handle = acad;
    add(1000).text = "MVIEW";
    brace(false);
    flag(16);
    add(1010).point = b.viewTarget;
    add(1010).point = b.viewDirection;
    for (double value : {b.twistAngle, b.viewHeight, b.viewCentre.x, b.viewCentre.y, b.lensLength, b.frontClip,
                         b.backClip})
        real(value);
    flag(b.statusFlags & 0x1F);
    flag(b.circleZoom);
    flag(bit(7));
    flag((b.statusFlags >> 5) & 3);
    flag(bit(8));
    flag(bit(9));
    flag(bit(10));
    flag(bit(12) ? 1 : bit(13) ? 2 : 0);
    for (double value : {b.snapAngle, b.snapBase.x, b.snapBase.y, b.snapSpacing.x, b.snapSpacing.y,
                         b.gridSpacing.x, b.gridSpacing.y})
        real(value);
    flag(bit(11));
    brace(false);
    for (Handle layer : b.frozenLayers) add(1003).handle = layer;
    brace(true);
    brace(true);
    return items;
}

std::vector<XDataItem> wrViewportXDataItems(const ViewportBody& viewport, Handle acad, const OwnedStream& xdata) {
    const std::vector<XDataItem> own = dbReadXDataItems(xdata);
    std::vector<XDataItem> items = wrViewportMviewItems(viewport, acad);
    for (size_t i = 0; i < own.size();) {
        const bool mview = own[i].code == 1001 && own[i].handle == acad && i + 1 < own.size() &&
                           own[i + 1].code == 1000 && own[i + 1].text == "MVIEW";
        size_t end = i + 1;
        while (end < own.size() && own[end].code != 1001) ++end;
        if (!mview) items.insert(items.end(), own.begin() + ptrdiff_t(i), own.begin() + ptrdiff_t(end));
        i = end;
    }
    return items;
}

} // namespace tracemill
