#include "toolkit/read/dwg13_xrecord_data.h"

#include "toolkit/core/system_context.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/byte_cursor.h"

namespace tracemill {

Dwg13XrecordForm dwg13XrecordForm(uint16_t code) {
    auto in = [code](int low, int high) { return code >= low && code <= high; };
    if (in(310, 319) || code == 1004) return Dwg13XrecordForm::Binary;
    if (in(10, 19) || in(110, 112) || code == 210 || in(1010, 1019)) return Dwg13XrecordForm::Point;
    if (in(20, 59) || in(113, 149) || in(211, 239) || in(460, 469) || in(1020, 1059)) return Dwg13XrecordForm::Real;
    if (in(280, 299)) return Dwg13XrecordForm::Int8;
    if (in(60, 79) || in(170, 179) || in(270, 279) || in(370, 389) || in(400, 409) || in(1060, 1070))
        return Dwg13XrecordForm::Int16;
    if (in(90, 99) || in(420, 429) || in(440, 459) || code == 1071) return Dwg13XrecordForm::Int32;
    if (in(320, 369) || in(390, 399) || in(480, 481) || code == 1005) return Dwg13XrecordForm::Handle;
    return Dwg13XrecordForm::Text;
}

int rdDwg13XrecordItems(std::span<const uint8_t> data, OpenStream* target) {
    ByteCursor cursor(data);
    while (cursor.remaining() >= 2) {
        GroupItem item;
        item.code = cursor.le16();
        switch (dwg13XrecordForm(item.code)) {
        case Dwg13XrecordForm::Text: {
            const uint16_t length = cursor.le16();
            cursor.u8(); // code page
            const std::span<const uint8_t> bytes = cursor.take(length);
            item.text.assign(bytes.begin(), bytes.end());
            item.length = uint16_t(item.text.size());
            break;
        }
        case Dwg13XrecordForm::Binary: {
            const std::span<const uint8_t> bytes = cursor.take(cursor.u8());
            item.binary.assign(bytes.begin(), bytes.end());
            item.length = uint16_t(item.binary.size());
            break;
        }
        case Dwg13XrecordForm::Point:
            rdCursor3Doubles(cursor, item.point);
            break;
        case Dwg13XrecordForm::Real:
            item.real = cursor.rawDouble();
            break;
        case Dwg13XrecordForm::Int8:
            item.int16 = cursor.u8();
            break;
        case Dwg13XrecordForm::Int16:
            item.int16 = int16_t(cursor.le16());
            break;
        case Dwg13XrecordForm::Int32:
            item.int32 = int32_t(cursor.le32());
            break;
        case Dwg13XrecordForm::Handle: {
            const uint32_t low = cursor.le32();
            item.handle = Handle(uint64_t(low) | uint64_t(cursor.le32()) << 32);
            break;
        }
        }
        if (cursor.overrun()) break;
        // A value of a code that group items have no form for is passed over.
        if (!dbWriteGroupItem(target, item) && dbGetError() != kErrorUnknownGroupCode) return 0;
    }
    return 1;
}

} // namespace tracemill
