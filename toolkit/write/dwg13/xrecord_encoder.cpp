#include "toolkit/write/dwg13/xrecord_encoder.h"

#include <algorithm>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dwg13_xrecord_data.h"

namespace tracemill {

std::vector<uint8_t> wrDwg13XrecordData(const OwnedStream& items, uint8_t codePageByte) {
    std::vector<uint8_t> data;
    if (!items) return data;
    OpenStream* in = dbStreamOpenRead(items.get());
    if (!in) return data;
    GroupItem item;
    while (dbReadGroupItem(in, item)) {
        appendLe(data, item.code, 2);
        switch (dwg13XrecordForm(item.code)) {
        case Dwg13XrecordForm::Text: {
            const size_t length = std::min<size_t>(item.text.size(), 0xFFFF);
            appendLe(data, length, 2);
            data.push_back(codePageByte);
            data.insert(data.end(), item.text.begin(), item.text.begin() + ptrdiff_t(length));
            break;
        }
        case Dwg13XrecordForm::Binary: {
            const size_t length = std::min<size_t>(item.binary.size(), 255);
            data.push_back(uint8_t(length));
            data.insert(data.end(), item.binary.begin(), item.binary.begin() + ptrdiff_t(length));
            break;
        }
        case Dwg13XrecordForm::Point:
            appendLeDouble(data, item.point.x);
            appendLeDouble(data, item.point.y);
            appendLeDouble(data, item.point.z);
            break;
        case Dwg13XrecordForm::Real:
            appendLeDouble(data, item.real);
            break;
        case Dwg13XrecordForm::Int8:
            data.push_back(uint8_t(item.int16));
            break;
        case Dwg13XrecordForm::Int16:
            appendLe(data, uint16_t(item.int16), 2);
            break;
        case Dwg13XrecordForm::Int32:
            appendLe(data, uint32_t(item.int32), 4);
            break;
        case Dwg13XrecordForm::Handle:
            appendLe(data, item.handle.value, 8);
            break;
        }
    }
    dbStreamCloseRead(in);
    return data;
}

} // namespace tracemill
