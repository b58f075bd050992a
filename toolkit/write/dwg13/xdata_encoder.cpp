#include "toolkit/write/dwg13/xdata_encoder.h"

#include <algorithm>

#include "toolkit/core/byte_order.h"

namespace tracemill {
namespace {

// The 8 bytes of a handle, most significant first.
void appendHandle(std::vector<uint8_t>& out, Handle handle) {
    for (int i = 7; i >= 0; --i) out.push_back(uint8_t(handle.value >> (8 * i)));
}

} // namespace

bool wrDwgXDataItem(const XDataItem& item, uint8_t codePageByte, std::vector<uint8_t>& out) {
    const size_t start = out.size();
    out.push_back(uint8_t(item.code - 1000));
    switch (item.code) {
    case 1000:
        appendLe(out, item.text.size(), 2);
        out.push_back(codePageByte);
        out.insert(out.end(), item.text.begin(), item.text.end());
        return true;
    case 1002:
        out.push_back(item.brace ? 1 : 0);
        return true;
    case 1003:
    case 1005:
        appendHandle(out, item.handle);
        return true;
    case 1004: {
        const size_t length = std::min(item.binary.size(), kDwgXDataBinaryLimit);
        out.push_back(uint8_t(length));
        out.insert(out.end(), item.binary.begin(), item.binary.begin() + ptrdiff_t(length));
        return true;
    }
    case 1010:
    case 1011:
    case 1012:
    case 1013:
        appendLeDouble(out, item.point.x);
        appendLeDouble(out, item.point.y);
        appendLeDouble(out, item.point.z);
        return true;
    case 1040:
    case 1041:
    case 1042:
        appendLeDouble(out, item.real);
        return true;
    case 1070:
        appendLe(out, uint16_t(item.int16), 2);
        return true;
    case 1071:
        appendLe(out, uint32_t(item.int32), 4);
        return true;
    default:
        out.resize(start);
        return false;
    }
}

} // namespace tracemill
