#include "toolkit/core/dim_style_overrides.h"

#include "toolkit/core/symbol_tables.h"

namespace tracemill {
namespace {

constexpr uint16_t kXDataText = 1000;
constexpr uint16_t kXDataApplication = 1001;
constexpr uint16_t kXDataBrace = 1002;
constexpr uint16_t kXDataInt16 = 1070;
constexpr uint8_t kBraceClose = 1;

std::vector<XDataItem> readItems(const OwnedStream& xdata) {
    std::vector<XDataItem> items;
    OpenStream* stream = dbStreamOpenRead(xdata.get());
    if (!stream) return items;
    XDataItem item;
    while (dbReadXDataItem(stream, item)) items.push_back(std::move(item));
    dbStreamCloseRead(stream);
    return items;
}

} // namespace

std::vector<DimStyleOverride> dbReadDimStyleOverrides(Drawing* drawing, const OwnedStream& xdata) {
    std::vector<DimStyleOverride> overrides;
    Handle acad;
    if (!xdata || !dbFindAppIdHandle(drawing, "ACAD", acad)) return overrides;
    const std::vector<XDataItem> items = readItems(xdata);

    enum class State { OtherApplication, Acad, Dstyle, Pairs } state = State::OtherApplication;
    for (size_t i = 0; i < items.size(); ++i) {
        const XDataItem& item = items[i];
        if (item.code == kXDataApplication) {
            if (state == State::Pairs) break;
            state = item.handle == acad ? State::Acad : State::OtherApplication;
            continue;
        }
        switch (state) {
        case State::OtherApplication:
            break;
        case State::Acad:
            if (item.code == kXDataText && item.text == "DSTYLE") state = State::Dstyle;
            break;
        case State::Dstyle:
            if (item.code == kXDataBrace) state = item.brace == kBraceClose ? State::Acad : State::Pairs;
            break;
        case State::Pairs:
            if (item.code == kXDataBrace) return overrides;
            if (item.code != kXDataInt16 || i + 1 >= items.size()) break;
            if (items[i + 1].code == kXDataApplication || items[i + 1].code == kXDataBrace) break;
            overrides.push_back({item.int16, items[i + 1]});
            ++i;
            break;
        }
    }
    return overrides;
}

} // namespace tracemill
